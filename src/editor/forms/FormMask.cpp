#include "editor/forms/FormMask.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include "editor/CatalogIndex.h"
#include "editor/TemplatePlacement.h"
#include "editor/TemplateGrid.h"
#include "editor/forms/BusyCursor.h"
#include "editor/forms/FormCatalog.h"
#include "picture/BitmapRoutines.h"
#include "picture/PictureFiles.h"
#include "picture/forms/BitmapImage.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/TextFile.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormMask* FormMask = nullptr;

namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 380;
// Two columns of thumbnails and a scroll bar per list: both lists fit the well.
constexpr int kThumbSide = 92;
constexpr int kListWidth = 2 * kThumbSide + 1 + 20;
// The skin's well, below its title strip and above its foot.
constexpr int kWellTop = 44;
constexpr int kWellBottom = 330;
constexpr int kListTop = kWellTop + 32;
constexpr int kCursorHandPoint = 110;

// A picture file of the content folders, or an empty picture.
TBitmap32 LoadContentPicture(const TContentFolders& content, std::string_view name) {
  TBitmap32 picture;
  if (const auto file = FindModelFile(TemplateApplyFolders(content), name)) {
    if (TFileResult<TBitmap32> loaded = LoadPictureFile(*file)) picture = *std::move(loaded);
  }
  return picture;
}

// A scroll box's inner widget, sized to hold its thumbnails.
QWidget* Inner(QScrollArea* box) {
  if (!box->widget()) {
    auto* inner = new QWidget;
    box->setWidget(inner);
    box->setWidgetResizable(false);
  }
  return box->widget();
}

}  // namespace

TModelThumb::TModelThumb(const TBitmap32& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  SetProgramCursor(*this, kCursorHandPoint);
}

void TModelThumb::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!picture_.Empty()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), ImageView(picture_));
  }
}

void TModelThumb::mousePressEvent(QMouseEvent* event) { ctrl_ = event->modifiers() & Qt::ControlModifier; }

void TModelThumb::mouseReleaseEvent(QMouseEvent* event) {
  ctrl_ = ctrl_ || (event->modifiers() & Qt::ControlModifier);
  if (doubleClicked_) {
    doubleClicked_ = false;
    return;
  }
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick(ctrl_);
}

void TModelThumb::mouseDoubleClickEvent(QMouseEvent* event) {
  doubleClicked_ = true;
  if (event->button() == Qt::LeftButton && OnDblClick) OnDblClick(ctrl_ || (event->modifiers() & Qt::ControlModifier));
}

TFormMask::TFormMask(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormMask", parent), settings_(settings) {
  FormMask = this;
  resize(kWidth, kHeight);
  PlaceFromFrame({488, 130});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, 20);
  ButtonMinimize = NewSheetButton(CaptionBar, "ButtonMinimize", ImageButtons, 0, {kWidth - 45, 0, 20, 19});
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {kWidth - 25, 0, 20, 19});
  TakeMainWindowLooks(*ButtonMinimize);
  TakeMainWindowLooks(*ButtonExit);
  ButtonMinimize->OnClick = [this] { showMinimized(); };
  ButtonExit->OnClick = [this] { close(); };

  ComboBox = new QComboBox(this);
  ComboBox->setObjectName("ComboBox");
  ComboBox->setGeometry(12, kWellTop + 2, 214, 24);
  connect(ComboBox, &QComboBox::activated, this, [this](int index) { ComboBoxChange(index); });
  ScrollBoxMasks = new QScrollArea(this);
  ScrollBoxMasks->setObjectName("ScrollBoxMasks");
  ScrollBoxMasks->setGeometry(12, kListTop, kListWidth, kWellBottom - 2 - kListTop);
  ScrollBoxParts = new QScrollArea(this);
  ScrollBoxParts->setObjectName("ScrollBoxParts");
  ScrollBoxParts->setGeometry(kWidth - 12 - kListWidth, kListTop, kListWidth, kWellBottom - 2 - kListTop);
  for (QScrollArea* box : {ScrollBoxMasks, ScrollBoxParts}) box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormMaskCaption", "Ready Solutions");
  ShowMessage = [](const std::string& key) { ShowMessageBox(key, mbkOKCancel, false); };

  Skins = {"FormMask.Skin", "FormMask.psd", {}, {}};
  OnShow = [this] {
    Reload();
  };
  OnClose = [this] {
    if (OnClosed) OnClosed();
    ClearThumbs(modelThumbs_);
    ClearThumbs(partThumbs_);
    groups_.clear();
    ComboBox->clear();
    group_ = model_ = -1;
  };
}

TFormMask::~TFormMask() {
  if (FormMask == this) FormMask = nullptr;
}

void TFormMask::Reload() {
  ComboBox->clear();
  ClearThumbs(modelThumbs_);
  ClearThumbs(partThumbs_);
  groups_.clear();
  group_ = model_ = -1;
  const std::vector<TModelType> types = ParseModelTypes(settings_.Ini.ReadSectionValues("MODEL TYPES"));
  if (types.empty()) return;
  const TFileResult<std::vector<std::string>> lines =
      ReadTextLines(ProgramFileForReading(fs::path(InstallationFolder()), "Models.txt"));
  if (!lines) return;  // no models: an empty window
  groups_ = GroupModels(types, *lines);
  for (const TModelGroup& group : groups_) ComboBox->addItem(QString::fromStdString(group.Text));
  if (!groups_.empty()) {
    ComboBox->setCurrentIndex(0);
    ComboBoxChange(0);
  }
}

void TFormMask::ClearThumbs(std::vector<TModelThumb*>& thumbs) {
  for (TModelThumb* thumb : thumbs) delete thumb;
  thumbs.clear();
}

void TFormMask::ComboBoxChange(int index) {
  if (index < 0 || index >= int(groups_.size())) return;
  TBusyCursor busy;
  group_ = index;
  model_ = -1;
  ClearThumbs(modelThumbs_);
  ClearThumbs(partThumbs_);
  QWidget* inner = Inner(ScrollBoxMasks);
  const std::vector<TModel>& models = groups_[std::size_t(index)].Models;
  for (int n = 0; n < int(models.size()); ++n) {
    auto* thumb = new TModelThumb(LoadContentPicture(settings_.Content, models[std::size_t(n)].Header.Picture), inner);
    thumb->setObjectName(QString("ImageM%1").arg(n));
    thumb->setGeometry(n % 2 ? kThumbSide + 1 : 0, kThumbSide * (n / 2) + 2, kThumbSide, kThumbSide);
    thumb->setToolTip(QString::fromStdString(models[std::size_t(n)].Header.Hint));
    thumb->OnClick = [this, n](bool) { ShowModelParts(n); };
    thumb->OnDblClick = [this, n](bool ctrl) { ApplyModelClick(n, ctrl); };
    if (const std::string page = OfferedCatalogPage('M', models[std::size_t(n)].Header.Name); !page.empty())
      AddCatalogIcon(*thumb, page);
    thumb->show();
    modelThumbs_.push_back(thumb);
  }
  inner->resize(2 * kThumbSide + 1, kThumbSide * ((int(models.size()) + 1) / 2) + 2);
}

void TFormMask::ShowModelParts(int model) {
  if (group_ < 0 || model < 0 || model >= int(groups_[std::size_t(group_)].Models.size())) return;
  TBusyCursor busy;
  model_ = model;
  ClearThumbs(partThumbs_);
  QWidget* inner = Inner(ScrollBoxParts);
  const std::vector<TModelPart>& parts = groups_[std::size_t(group_)].Models[std::size_t(model)].Parts;
  // A model of one part shows it large.
  const QSize client = ScrollBoxParts->viewport()->size();
  const bool single = parts.size() == 1;
  for (int m = 0; m < int(parts.size()); ++m) {
    const TBitmap32 picture = LoadContentPicture(settings_.Content, parts[std::size_t(m)].File);
    auto* thumb = new TModelThumb(
        picture.Empty() ? picture : ThumbnailCanvas(picture, picture.Width(), Color32(255, 255, 255), picture.Height()),
        inner);
    thumb->setObjectName(QString("ImagePB%1").arg(m));
    if (single)
      thumb->setGeometry(0, 0, client.width(), client.height());
    else
      thumb->setGeometry(m % 2 ? kThumbSide + 1 : 0, (kThumbSide + 1) * (m / 2), kThumbSide, kThumbSide);
    thumb->setToolTip(QString::fromStdString(parts[std::size_t(m)].Caption));
    thumb->OnClick = [this, m](bool ctrl) { ApplyPartClick(m, ctrl); };
    if (const std::string page = OfferedCatalogPage('T', parts[std::size_t(m)].File); !page.empty())
      AddCatalogIcon(*thumb, page);
    thumb->show();
    partThumbs_.push_back(thumb);
  }
  inner->resize(single ? client : QSize(2 * kThumbSide + 1, (kThumbSide + 1) * ((int(parts.size()) + 1) / 2)));
}

bool TFormMask::FaceIsSet() {
  if (Desk && Desk->Points().Face.X != -1 && Desk->Points().Face.Y != -1) return true;
  if (ShowMessage) ShowMessage("MessageFaceIsNotAdjusted");
  return false;
}

int TFormMask::Apply(const TModel& model, bool ctrl) {
  if (!Desk) return -1;
  TBusyCursor busy;
  return ApplyModel(*Desk, model, TemplateApplyFolders(settings_.Content), Desk->Points().Face, ctrl);
}

int TFormMask::ApplyModelClick(int model, bool ctrl) {
  if (!FaceIsSet() || group_ < 0 || model < 0 || model >= int(groups_[std::size_t(group_)].Models.size()))
    return -1;
  return Apply(groups_[std::size_t(group_)].Models[std::size_t(model)], ctrl);
}

int TFormMask::ApplyPartClick(int part, bool ctrl) {
  if (!FaceIsSet() || group_ < 0 || model_ < 0) return -1;
  const TModel& model = groups_[std::size_t(group_)].Models[std::size_t(model_)];
  if (part < 0 || part >= int(model.Parts.size())) return -1;
  return Apply(TModel{model.Header, {model.Parts[std::size_t(part)]}}, ctrl);
}

void RegisterFormMask(TMainSettings& settings) {
  RegisterStandingForm("FormMask", [&settings](QWidget* owner) { return new TFormMask(settings, owner); });
}
