#include "exchange/forms/FormPostCard.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>

#include "editor/MainShell.h"
#include "editor/PortraitToolDesign.h"
#include "exchange/LoadSaveController.h"
#include "exchange/PrintPage.h"
#include "exchange/WorkMailer.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "exchange/forms/PagePrinter.h"
#include "exchange/forms/ProLabel.h"
#include "exchange/forms/WindowMailUi.h"
#include "picture/BitmapRoutines.h"
#include "picture/PictureFiles.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/FileDialogFilters.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {
constexpr int kViewLeft = 10;
constexpr int kViewTop = 30;
constexpr int kColumn = kViewLeft + TFormPostCard::kCardWidth + 12;
constexpr int kListWidth = 150;
constexpr int kFormWidth = kColumn + kListWidth + 10;
constexpr int kFormHeight = kViewTop + TFormPostCard::kCardHeight + 10;

void FillSquare(TBitmap32& card, int x, int y, int radius, TColor32 colour) {
  for (int py = y - radius; py <= y + radius; ++py)
    for (int px = x - radius; px <= x + radius; ++px) card.SetPixel(px, py, colour);
}
}  // namespace

// The card as the picture output sees it: never empty, drawn without handles.
class TFormPostCard::TCardPicture : public IWorkPicture {
 public:
  explicit TCardPicture(TFormPostCard& form) : form_(form) {}
  bool WorkIsEmpty() const override { return false; }
  TBitmap32 TakeExportPicture() override { return form_.RenderedCard(); }

 private:
  TFormPostCard& form_;
};

TFormPostCard::TFormPostCard(IWorkPicture& work, const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormPostCard", parent), settings_(settings), work_(work) {
  resize(kFormWidth, kFormHeight);
  PlaceFromFrame({60, 40});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kFormWidth, d::kCaptionHeight);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, d::kSheetExitTop, {kFormWidth - 30, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { close(); };

  ResImage = new TCardView(*this, this);
  ResImage->setObjectName("ResImage");
  ResImage->setGeometry(kViewLeft, kViewTop, kCardWidth, kCardHeight);
  ListBoxElements = new TElementList(*this, this);
  ListBoxElements->setObjectName("ListBoxElements");
  ListBoxElements->setGeometry(kColumn, kViewTop, kListWidth, 300);

  auto button = [this](const char* name, const char* caption, int row, void (TFormPostCard::*click)()) {
    TGraphicButton* b = NewSheetButton(this, name, ImageButtons, d::kSheetButtonTop,
                                       {kColumn + (kListWidth - d::kButtonWidth) / 2, kViewTop + 316 + row * 36,
                                        d::kButtonWidth, d::kButtonHeight});
    b->SetCaption(TermText((std::string("FormPostCard") + name + "Caption").c_str(), caption));
    b->OnClick = [this, click] { (this->*click)(); };
    return b;
  };
  ButtonAddText = button("ButtonAddText", "Add text", 0, &TFormPostCard::ButtonAddTextClick);
  ButtonSave = button("ButtonSave", "Save", 1, &TFormPostCard::ButtonSaveClick);
  ButtonPrint = button("ButtonPrint", "Print", 2, &TFormPostCard::ButtonPrintClick);
  ButtonSend = button("ButtonSend", "Mail", 3, &TFormPostCard::ButtonSendClick);

  ownTextEditor_ = std::make_unique<TFormPostCardText>();
  ownBackEditor_ = std::make_unique<TFormPostCardBack>(*this, settings);
  TextEditor = ownTextEditor_.get();
  BackEditor = ownBackEditor_.get();
  cardPicture_ = std::make_unique<TCardPicture>(*this);
  // Mailing leaves the composer open.
  mailUi_ = std::make_unique<TWindowMailUi>(nullptr, settings);
  mailer_ = std::make_unique<TWorkMailer>(*mailUi_, *cardPicture_, nullptr, settings);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormPostCardCaption", "Post card");

  card_ = TBitmap32(kCardWidth, kCardHeight, Color32(255, 255, 255));
  Skins = {"FormPostCard.Skin", "FormPcrd.psd", "FormPostCardButtons", "ButPcrd.psd"};
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this](bool& canClose) {
    if (changed_)
      canClose = ShowMessageBox("ConfirmPostcardExit", mbkYesNo, false,
                                "Postcard is changed.\rExit without saving?") == 6;
  };
}

TFormPostCard::~TFormPostCard() = default;

void TFormPostCard::FormShow() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  showHandles_ = true;
  workBitmap_ = work_.TakeExportPicture();
  image_.Place(workBitmap_.Width(), workBitmap_.Height(), kCardWidth, kCardHeight);
  elements_.clear();
  elements_.push_back({ekBackground, {}, nullptr});
  elements_.push_back({ekImage, {}, nullptr});
  selected_ = 1;
  RefreshList();
  RenderCard();
  changed_ = false;
  QApplication::restoreOverrideCursor();
}

void TFormPostCard::RefreshList() {
  ListBoxElements->clear();
  for (const TCardElement& e : elements_) {
    if (e.Kind == ekBackground)
      ListBoxElements->addItem(TermText("FormPostCardItemBackground", "Background"));
    else if (e.Kind == ekImage)
      ListBoxElements->addItem(TermText("FormPostCardItemImage", "Image"));
    else
      ListBoxElements->addItem(e.Text.Lines.value(0) + (e.Text.Lines.size() > 1 ? "..." : ""));
  }
  ListBoxElements->setCurrentRow(selected_);
}

void TFormPostCard::DrawHandles() {
  for (const TFloatPoint& p : image_.Handles()) {
    const int x = int(std::nearbyint(p.X)), y = int(std::nearbyint(p.Y));
    FillSquare(card_, x, y, 3, Color32(0, 0, 0));
    FillSquare(card_, x, y, 2, Color32(255, 255, 255));
  }
}

void TFormPostCard::PaintLabel(const TProLabel& label) {
  QImage view = WritableImageView(card_);
  QPainter painter(&view);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(label.x(), label.y());
  painter.setClipRect(0, 0, label.width(), label.height());
  label.PaintTo(painter);
}

void TFormPostCard::RenderCard() {
  card_.Clear(Color32(255, 255, 255));
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    const TCardElement& e = elements_[i];
    if (e.Kind == ekBackground) {
      card_.Clear(BackEditor->BackgroundColor() | 0xFF000000u);
      if (!plainColor_ && !backgroundPicture_.Empty()) DrawBitmap(card_, 0, 0, backgroundPicture_);
    } else if (e.Kind == ekImage) {
      TransformOnto(card_, workBitmap_, image_.Corners());
      if (int(i) == selected_ && showHandles_ && !image_.Moving()) DrawHandles();
    } else if (e.Label) {
      PaintLabel(*e.Label);
    }
  }
  ResImage->update();
}

TBitmap32 TFormPostCard::RenderedCard() {
  const bool shown = showHandles_;
  showHandles_ = false;
  RenderCard();
  TBitmap32 card = card_;
  showHandles_ = shown;
  RenderCard();
  return card;
}

bool TFormPostCard::LoadBackgroundImage(const std::filesystem::path& file, int placement) {
  TFileResult<TBitmap32> picture = LoadPictureFile(file);
  if (!picture || picture->Empty()) return false;
  TBitmap32 placed = PlaceBackground(*picture, kCardWidth, kCardHeight, placement, BackEditor->BackgroundColor());
  if (placed.Empty()) return false;
  backgroundSource_ = *std::move(picture);
  backgroundPicture_ = std::move(placed);
  changed_ = true;
  return true;
}

void TFormPostCard::SetColorBackground(bool plain) { plainColor_ = plain; }

void TFormPostCard::BackgroundChanged() {
  if (!backgroundSource_.Empty())
    backgroundPicture_ =
        PlaceBackground(backgroundSource_, kCardWidth, kCardHeight, BackEditor->Placement(), BackEditor->BackgroundColor());
  changed_ = true;
  RenderCard();
}

void TFormPostCard::ApplyText(TCardElement& element) {
  TProLabel& label = *element.Label;
  const TCardText& t = element.Text;
  label.Caption = t.Lines.join('\n');
  label.setFont(CardTextFont(t));
  label.FontColor = t.Color | 0xFF000000u;
  label.Alignment = t.Alignment == 0 ? Qt::AlignLeft : t.Alignment == 2 ? Qt::AlignRight : Qt::AlignHCenter;
  label.SetShadowStyle(ssCustom);
  label.SetShadowDirection(TDirection(std::clamp(t.ShadowDirection, 0, 7) + 1));
  // The first shadow one step out: at no distance the face would hide it.
  label.SetShadowDepth(t.ShadowSize > 0 ? 1 : 0);
  label.SetShadowSize(t.ShadowSize);
  label.SetShadowColor(t.ShadowColor | 0xFF000000u);
  label.SetAngle(-t.Rotation);
  const QFontMetrics metrics(label.font());
  int widest = 0;
  for (const QString& line : t.Lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  const TPoint size = CardLabelSize(widest, metrics.height(), std::max<int>(1, t.Lines.size()), t.ShadowSize, label.Angle());
  label.resize(size.X, size.Y);
}

bool TFormPostCard::AddText(const TCardText& text) {
  if (text.Lines.join("").trimmed().isEmpty()) return false;
  TCardElement element{ekText, text, std::make_unique<TProLabel>()};
  element.Label->SetVerticalAlignment(vaCenter);
  element.Label->Transparent = true;
  element.Label->move(0, 0);
  ApplyText(element);
  elements_.push_back(std::move(element));
  selected_ = int(elements_.size()) - 1;
  changed_ = true;
  RefreshList();
  RenderCard();
  return true;
}

void TFormPostCard::ButtonAddTextClick() {
  // A new text starts in the look the editor last had: only the words are new.
  TCardText text = TextEditor->Text();
  text.Lines.clear();
  if (TextEditor->Edit(text)) AddText(text);
}

bool TFormPostCard::SaveCard(const std::filesystem::path& file) {
  const TFileResult<> saved = SaveWorkPicture(*cardPicture_, file);
  if (saved) {
    changed_ = false;
    return true;
  }
  if (saved.Error().Cause == TFileFault::Empty) ShowMessageBox(ImageOutputMessage(TFileFault::Empty), mbkOKCancel, false);
  else ShowMessageBox(ImageSaveFailureText(saved.Error()), mbkOKCancel, true);
  return false;
}

void TFormPostCard::ButtonSaveClick() {
  QFileDialog dialog(this);
  CloseCompletionWithDialog(dialog);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("bmp");
  dialog.setNameFilters(QtNameFilterList(ImageSaveFilters()));
  dialog.setDirectory(QString::fromStdString(DataFolderPath(settings_.SaveImageDir).string()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveCard(dialog.selectedFiles().front().toStdString());
}

bool TFormPostCard::PrintCardOn(QPrinter& printer) {
  TPagePrinter device(printer);
  return PrintCard(RenderedCard(), device, PrintMargins(settings_.LeftRightMargin, settings_.TopBottomMargin))
      .has_value();
}

void TFormPostCard::ButtonPrintClick() {
  const TPrintReport report =
      printer_.PrintWithDialog(this, PrintJobTitle(TermText("FormPostCardCaption", "Post card")),
                               [this](QPrinter& printer) { return PrintCardOn(printer); });
  TellPrintReport(report, "MessagePostCardNotPrinted", "The post card could not be printed.");
}

void TFormPostCard::ButtonSendClick() { mailer_->SendImage(); }

void TFormPostCard::SelectElement(int row) {
  if (row < 0 || row >= int(elements_.size())) return;
  selected_ = row;
  SetProgramCursor(*ResImage, elements_[row].Kind == ekBackground ? crDefault : crHandFlat);
  RenderCard();
}

void TFormPostCard::EditElement(int row) {
  if (row < 0 || row >= int(elements_.size())) return;
  TCardElement& e = elements_[row];
  if (e.Kind == ekText) {
    if (!TextEditor->Edit(e.Text)) return;
    ApplyText(e);
    changed_ = true;
    RefreshList();
    RenderCard();
  } else if (e.Kind == ekBackground) {
    ShowSkinnedModal(*BackEditor);
  }
}

void TFormPostCard::SwapElements(int from, int to) {
  const int count = int(elements_.size());
  if (from < 0 || to < 0 || from >= count || to >= count || from == to) return;
  std::swap(elements_[from], elements_[to]);
  selected_ = to;
  changed_ = true;
  RefreshList();
  RenderCard();
}

void TFormPostCard::DeleteElement(int row) {
  if (row < 0 || row >= int(elements_.size()) || elements_[row].Kind != ekText) return;
  elements_.erase(elements_.begin() + row);
  selected_ = int(elements_.size()) - 1;
  changed_ = true;
  RefreshList();
  RenderCard();
}

void TFormPostCard::ViewMouseDown(int x, int y, Qt::MouseButton button) {
  if (button != Qt::LeftButton || selected_ < 0) return;
  buttonHeld_ = true;
  last_ = {x, y};
  if (elements_[selected_].Kind == ekImage) image_.MouseDown(x, y);
}

void TFormPostCard::ViewMouseMove(int x, int y, Qt::MouseButtons buttons) {
  if (selected_ < 0) return;
  const TCardElement& e = elements_[selected_];
  if (!buttonHeld_ || !(buttons & Qt::LeftButton)) {
    if (e.Kind != ekImage) return;
    const int zone = image_.HitZone(x, y);
    SetProgramCursor(*ResImage, zone == kZoneInside ? crHandFlat : zone == kZoneOutside ? crRotate : crSizeAll);
    return;
  }
  if (e.Kind == ekText) {
    e.Label->move(e.Label->pos() + QPoint(x, y) - last_);
    SetProgramCursor(*ResImage, crHandGrab);
  } else if (e.Kind == ekImage) {
    image_.MouseMove(x, y);
    if (image_.Moving()) SetProgramCursor(*ResImage, crHandGrab);
  }
  last_ = {x, y};
  changed_ = true;
  RenderCard();
}

void TFormPostCard::ViewMouseUp() {
  if (!buttonHeld_) return;
  buttonHeld_ = false;
  image_.MouseUp();
  SetProgramCursor(*ResImage, selected_ >= 0 && elements_[selected_].Kind != ekBackground ? crHandFlat : crDefault);
  changed_ = true;
  RenderCard();
}

TCardView::TCardView(TFormPostCard& form, QWidget* parent) : QWidget(parent), form_(form) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, ImageView(form_.Card()));
}

void TCardView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.ViewMouseDown(p.x(), p.y(), event->button());
}

void TCardView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.ViewMouseMove(p.x(), p.y(), event->buttons());
}

void TCardView::mouseReleaseEvent(QMouseEvent*) { form_.ViewMouseUp(); }

TElementList::TElementList(TFormPostCard& form, QWidget* parent) : QListWidget(parent), form_(form) {}

void TElementList::mousePressEvent(QMouseEvent* event) {
  pressed_ = indexAt(event->position().toPoint()).row();
  QListWidget::mousePressEvent(event);
}

void TElementList::mouseReleaseEvent(QMouseEvent* event) {
  const int row = indexAt(event->position().toPoint()).row();
  QListWidget::mouseReleaseEvent(event);
  if (pressed_ >= 0 && row >= 0 && row != pressed_)
    form_.SwapElements(pressed_, row);
  else if (row >= 0)
    form_.SelectElement(row);
  pressed_ = -1;
}

void TElementList::mouseDoubleClickEvent(QMouseEvent* event) {
  const int row = indexAt(event->position().toPoint()).row();
  if (row >= 0) form_.EditElement(row);
}

void TElementList::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) form_.DeleteElement(currentRow());
  QListWidget::keyReleaseEvent(event);
}

void RunPostCard(IWorkPicture& work, const TMainSettings& settings) {
  if (work.WorkIsEmpty()) {
    ShowMessageBox("MessageWorkIsEmpty", mbkOKCancel, false, MailMessageDefault("MessageWorkIsEmpty"));
    return;
  }
  TFormPostCard composer(work, settings);
  ShowSkinnedModal(composer);
  QCoreApplication::processEvents();
}
