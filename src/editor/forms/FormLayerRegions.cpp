#include "editor/forms/FormLayerRegions.h"

#include <QPainter>

#include "editor/LayerList.h"
#include "editor/MontageDesk.h"
#include "editor/PortraitToolDesign.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerSave.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "picture/forms/BitmapImage.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormLayerRegions* FormLayerRegions = nullptr;

namespace {

constexpr int kWidth = 233;
constexpr int kHeight = 338;
constexpr int kCaptionHeight = 20;
constexpr QRect kListPlace(8, 24, 217, 262);
constexpr int kButtonTop = 296;
constexpr QColor kNavy(0, 0, 128);
constexpr QColor kGrey(128, 128, 128);

}  // namespace

TFormLayerRegions::TFormLayerRegions(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormLayerRegions", parent), settings_(settings) {
  FormLayerRegions = this;
  resize(kWidth, kHeight);
  PlaceFromFrame({550, 130});

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, kCaptionHeight);
  ButtonMinimize = NewSheetButton(CaptionBar, "ButtonMinimize", ImageButtons, 0, {192, 0, 20, 19});
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {212, 0, 20, 19});
  TakeMainWindowLooks(*ButtonMinimize);
  TakeMainWindowLooks(*ButtonExit);
  ButtonMinimize->OnClick = [this] { showMinimized(); };
  ButtonExit->OnClick = [this] { close(); };

  ListBox = new TMyListBox(this);
  ListBox->setObjectName("ListBox");
  ListBox->setGeometry(kListPlace);
  ListBox->setSelectionMode(QAbstractItemView::NoSelection);
  ListBox->OnCNDrawItem = [this](TMyListBox&, int index, const QRect& rect, int, QPainter& canvas) {
    const bool selected = index == selectedItem_;
    canvas.fillRect(rect, selected ? kNavy : QColor(Qt::white));
    if (index >= 0 && index < kRegionItemCount && !thumbnails_[std::size_t(index)].Empty()) {
      const int side = rect.height() - 4;
      canvas.drawImage(QRect(rect.left() + 5, rect.top() + 2, side, side), ImageView(thumbnails_[std::size_t(index)]));
    }
    canvas.setPen(selected ? QColor(Qt::white) : kNavy);
    const int textLeft = rect.left() + kRegionItemHeight + 10;
    canvas.drawText(QRect(textLeft, rect.top(), rect.right() - textLeft, rect.height()),
                    Qt::AlignVCenter | Qt::AlignLeft, ListBox->item(index)->text());
    canvas.setPen(kGrey);
    canvas.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  };
  connect(ListBox, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { ListBoxClick(ListBox->row(item)); });
  connect(ListBox, &QListWidget::itemDoubleClicked, this, [this] { ButtonEditRegionClick(); });

  namespace d = portrait_tool;
  ButtonEditRegion = NewSheetButton(this, "ButtonEditRegion", ImageButtons, d::kSheetButtonTop,
                                    {8, kButtonTop, d::kButtonWidth, d::kButtonHeight});
  ButtonSaveRegion = NewSheetButton(this, "ButtonSaveRegion", ImageButtons, d::kSheetButtonTop,
                                    {kWidth - 8 - d::kButtonWidth, kButtonTop, d::kButtonWidth, d::kButtonHeight});
  ButtonEditRegion->SetCaption(TermText("FormLayerRegionsButtonEditRegionCaption", "Edit"));
  ButtonSaveRegion->SetCaption(TermText("FormLayerRegionsButtonSaveRegionCaption", "Save"));
  ButtonEditRegion->OnClick = [this] { ButtonEditRegionClick(); };
  ButtonSaveRegion->OnClick = [this] { ButtonSaveRegionClick(); };

  ApplyInterface(this);
  // The text table's caption, or the designed one when it has none.
  const QString caption = TermText("FormLayerRegionsCaption");
  CaptionBar->Caption = caption.isEmpty() ? QString("Regions") : caption;
  setWindowTitle(CaptionBar->Caption);
  itemRegionCaption_ = TermText("FormLayerRegionsItemRegionCaption", "Region ").toStdString();
  itemNoRegionCaption_ = TermText("FormLayerRegionsItemNoRegionCaption", "No region").toStdString();
  SetLayer(nullptr);

  Skins = {"FormLayerRegions.Skin", "FormLrgs.psd", "FormLayerRegionsButtons", "ButLRegs.psd"};
  OnShow = [this] {
    TMontageDesk* desk = Desk();
    SetLayer(desk ? desk->SelectedLayer() : nullptr);
  };
  LayerWindowLinks().RegionsShowLayer = [this](TLayer* layer) {
    // A hidden window takes the desk's layer when it shows.
    if (isVisible()) SetLayer(layer);
    else layer_ = nullptr;
  };
}

TFormLayerRegions::~TFormLayerRegions() {
  if (FormLayerRegions == this) {
    FormLayerRegions = nullptr;
    LayerWindowLinks().RegionsShowLayer = nullptr;
  }
}

TFormMain* TFormLayerRegions::Main() const { return MainWindow; }

TMontageDesk* TFormLayerRegions::Desk() const {
  TFormMain* main = Main();
  return main && main->DeskWindow() ? &main->DeskWindow()->Desk() : nullptr;
}

TLayer* TFormLayerRegions::LiveLayer() const {
  TMontageDesk* desk = Desk();
  return layer_ && desk && desk->IndexOfLayer(layer_) >= 0 ? layer_ : nullptr;
}

void TFormLayerRegions::SetLayer(TLayer* layer) {
  ListBox->clear();
  layer_ = layer;
  if (!layer) {
    thumbnails_ = {};
    ListBox->setEnabled(false);
    ButtonEditRegion->hide();
    ButtonSaveRegion->hide();
    return;
  }
  // A fresh binding would reset the mask's state: bind only a mask bound elsewhere.
  if (layer->Mask.Bitmap() != &layer->Picture) layer->Mask.SetBitmap(&layer->Picture);
  RefreshRegionThumbnails();
  for (int i = 0; i < kRegionItemCount; ++i) {
    const std::string caption = i == 0 ? itemNoRegionCaption_ : itemRegionCaption_ + std::to_string(i);
    auto* item = new QListWidgetItem(QString::fromStdString(caption), ListBox);
    item->setSizeHint(QSize(kListPlace.width() - 4, kRegionItemHeight));
  }
  selectedItem_ = layer->Mask.GetRegionIndex();
  ListBox->scrollToItem(ListBox->item(selectedItem_));
  ListBox->setEnabled(true);
  ListBox->viewport()->update();
  ButtonEditRegion->show();
  ButtonSaveRegion->show();
}

void TFormLayerRegions::RefreshRegionThumbnails() {
  if (TLayer* layer = LiveLayer()) thumbnails_ = RegionThumbnails(layer->Picture, layer->Mask.GetMap());
  ListBox->viewport()->update();
}

void TFormLayerRegions::ListBoxClick(int item) {
  TLayer* layer = LiveLayer();
  if (!layer) return;
  // The mask's change event shows the region's values on the main window.
  layer->Mask.SetRegionIndex(std::max(item, 0));
  selectedItem_ = layer->Mask.GetRegionIndex();
  ListBox->viewport()->update();
}

void TFormLayerRegions::ButtonEditRegionClick() {
  TLayer* layer = LiveLayer();
  if (!layer) return;
  if (layer->Mask.GetRegionIndex() == 0) {
    ShowMessageBox("MessageChooseRegionToEdit", mbkOKCancel, false, "Choose one of the regions in the list first.");
    return;
  }
  auto* edit = StandingForm<TFormLayerRegionEdit>("FormLayerRegionEdit");
  if (!edit) return;
  if (layer->Mask.Bitmap() != &layer->Picture) layer->Mask.SetBitmap(&layer->Picture);
  edit->StartRegionEdit(layer->Mask);
  if (edit->EditModally()) RegionsChanged();
}

void TFormLayerRegions::RegionsChanged() {
  TLayer* layer = LiveLayer();
  TFormMain* main = Main();
  if (!layer || !main) return;
  main->State().LayerRegionsEdited(*layer);
  RefreshRegionThumbnails();
}

void TFormLayerRegions::ButtonSaveRegionClick() {
  TLayer* layer = LiveLayer();
  TMontageDesk* desk = Desk();
  if (!layer || !desk || selectedItem_ < 1 || selectedItem_ > TMask::kRegionCount) return;
  // The template keeps the layer's own colours: its user recolours it again on the desk.
  const std::optional<TRegionCut> cut =
      CutRegion(layer->Picture, layer->Mask.GetMap(), selectedItem_, {layer->Left, layer->Top}, desk->Points.Face);
  if (!cut) {
    ShowMessageBox("MessageRegionIsEmpty", mbkOKCancel, false, "The region is empty.");
    return;
  }
  SaveAsTemplate(*desk, settings_, Main()->Templates(), &*cut);
}

void RegisterFormLayerRegions(TMainSettings& settings) {
  RegisterStandingForm("FormLayerRegions",
                       [&settings](QWidget* owner) { return new TFormLayerRegions(settings, owner); });
}
