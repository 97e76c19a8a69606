#include "exchange/forms/FormPrint.h"

#include <QTimer>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>

#include "editor/MainShell.h"
#include "exchange/PrintSheet.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/PagePrinter.h"
#include "picture/forms/BitmapImage.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormPrint* FormPrint = nullptr;

namespace {

using L = TPrintSheetLayout;

const QColor kPageGround(248, 248, 243);
constexpr QRect kPageBounds(320, 52, 160, 230);
constexpr QRect kPreviewBounds(172, 44, 122, 136);

// The mirror switch's two pictures: 0 not mirrored (an outlined arrow pair),
// 1 mirrored (filled).
QImage FlipIcon(bool mirrored) {
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(QColor(255, 255, 255));
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 20, 20), 1));
  p.drawRect(QRectF(0.5, 0.5, 15, 15));
  p.setBrush(mirrored ? QBrush(QColor(24, 110, 124)) : Qt::NoBrush);
  const QPointF left[] = {{7, 3}, {7, 13}, {2, 8}};
  const QPointF right[] = {{9, 3}, {9, 13}, {14, 8}};
  p.drawPolygon(left, 3);
  p.drawPolygon(right, 3);
  return icon;
}

TBitmap32 BitmapOf(const QImage& image) { return BitmapFromImage(image); }

}  // namespace

TPrintImage::TPrintImage(QWidget* parent) : QWidget(parent) {
  setAcceptDrops(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPrintImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (Picture) painter.drawImage(0, 0, *Picture);
}

void TPrintImage::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }
void TPrintImage::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void TPrintImage::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  const QPoint p = event->position().toPoint();
  if (OnDragDrop) OnDragDrop(p.x(), p.y());
}

void TPrintImage::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (OnMouseUp) OnMouseUp(event->button(), p.x(), p.y());
}

TFormPrint::TFormPrint(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormPrint", parent), settings_(settings) {
  FormPrint = this;
  // Tall enough for the skin's well, which ends 48 pixels above the bottom, to
  // hold the file list, the page and the buttons.
  resize(501, 348);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - QPoint(width() / 2, height() / 2));

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width(), 20);
  ButtonExit = new TGraphicButton(CaptionBar);
  ButtonExit->setObjectName("ButtonExit");
  ButtonExit->setGeometry(480, 0, 20, 19);
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { ButtonExitClick(); };

  FileListBox = new QListWidget(this);
  FileListBox->setObjectName("FileListBox");
  FileListBox->setGeometry(20, 44, 140, 252);
  FileListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  FileListBox->setDragEnabled(true);
  FileListBox->setDragDropMode(QAbstractItemView::DragOnly);
  connect(FileListBox, &QListWidget::currentRowChanged, this, [this] { FileListBoxChange(); });

  previewPicture_ = QImage(kPreviewBounds.size(), QImage::Format_ARGB32);
  previewPicture_.fill(Qt::white);
  ImagePreview = new TPrintImage(this);
  ImagePreview->setObjectName("ImagePreview");
  ImagePreview->setGeometry(kPreviewBounds);
  ImagePreview->Picture = &previewPicture_;

  pagePicture_ = QImage(kPageBounds.size(), QImage::Format_ARGB32);
  pagePicture_.fill(kPageGround);
  ImagePage = new TPrintImage(this);
  ImagePage->setObjectName("ImagePage");
  ImagePage->setGeometry(kPageBounds);
  ImagePage->Picture = &pagePicture_;
  for (TPrintImage* image : {ImagePage, ImagePreview}) {
    // A drop on the list preview counts as a point of the page preview.
    image->OnDragDrop = [this](int x, int y) { ImagePageDragDrop(x, y); };
    image->OnMouseUp = [this](Qt::MouseButton button, int x, int y) { ImagePageMouseUp(button, x, y); };
  }

  flipIcons_[0] = FlipIcon(false);
  flipIcons_[1] = FlipIcon(true);
  for (int position = 1; position <= TPrintPage::kPositions; ++position) {
    const TRect quarter = PositionRect(4, position, kPageBounds.width(), kPageBounds.height());
    auto* flip = new TMyImage(this);
    flip->setObjectName(QString("ImageFlip%1").arg(position));
    flip->setGeometry(kPageBounds.left() + quarter.Left + 2, kPageBounds.top() + quarter.Top + 2, 16, 16);
    flip->OnClick = [this, position] { CB1Click(position); };
    flip->hide();
    ImageFlip[position - 1] = flip;
    SetFlipIcon(position);
  }

  for (int layout = 1; layout <= 4; ++layout) {
    TGraphicButton* button = NewSheetButton(this, QString("ButtonPage%1").arg(layout), ImageButtons, L::PageTop(layout),
                                         {172 + (layout - 1) * 31, 190, L::SquareSide, L::SquareSide});
    button->SetTag(layout);
    button->OnClick = [this, layout] { ButtonPage1Click(layout); };
    ButtonPage[layout - 1] = button;
  }
  ButtonChangeDir = NewSheetButton(this, "ButtonChangeDir", ImageButtons, L::ChangeDirTop, {172, 228, 28, 28});
  ButtonChangeDir->OnClick = [this] { ButtonChangeDirClick(); };
  ButtonPrintSetup = NewSheetButton(this, "ButtonPrintSetup", ImageButtons, L::SetupTop, {203, 228, 28, 28});
  ButtonPrintSetup->OnClick = [this] { ButSetupPrClick(); };
  ButtonPrint = NewSheetButton(this, "ButtonPrint", ImageButtons, L::PrintTop, {172, 268, L::WideWidth, L::Height});
  ButtonPrint->OnClick = [this] { OKBtnClick(); };
  ButtonCancel = NewSheetButton(this, "ButtonCancel", ImageButtons, L::CancelTop, {236, 268, L::WideWidth, L::Height});
  ButtonCancel->OnClick = [this] { ButtonExitClick(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  const QString caption = TermText("FormPrintCaption");
  if (caption.isEmpty()) {
    CaptionBar->Caption = windowTitle();
  } else {
    CaptionBar->Caption = caption;
    setWindowTitle(caption);
  }
  for (TMyImage* flip : ImageFlip) flip->setToolTip(TermText("FormPrintImageFlipHint"));
  folderPrompt_ = TermText("FormPrintPromptSelectDirectory");

  // By default the work and the picture saving are the load-and-save window's.
  PictureUnsaved = [] {
    auto* loadSave = StandingForm<TFormLoadSave>("FormLoadSave");
    return loadSave && loadSave->Saved && !loadSave->Saved->Image && loadSave->Work && !loadSave->Work->WorkIsEmpty();
  };
  SaveImage = [] {
    if (auto* loadSave = StandingForm<TFormLoadSave>("FormLoadSave")) loadSave->Actions().SaveImage();
  };

  Skins = {"FormPrint.Skin", "FormPrint.psd", "FormPrintButtons", "ButPrint.psd"};
  // Once the window is up: a question asked before it is mapped left it unmapped
  // under a window manager, the main window disabled by a window never seen.
  OnShow = [this] {
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) FormShow();
    });
  };
  OnClose = [this] { FormClose(); };
}

TFormPrint::~TFormPrint() {
  if (FormPrint == this) FormPrint = nullptr;
}


void TFormPrint::FormShow() {
  if (PictureUnsaved && PictureUnsaved() &&
      ShowMessageBox("ConfirmSaveBeforePrint", mbkYesNo, false,
                     "Current image is changed. Save it before printing?") == 6 &&
      SaveImage)
    SaveImage();
  SetFolder(DataFolderPath(settings_.SaveImageDir));
  SetMainPrintButtonPressed(true);
  ButtonPage1Click(1);
}

void TFormPrint::FormClose() {
  SetMainPrintButtonPressed(false);
}

void TFormPrint::SetMainPrintButtonPressed(bool pressed) { SetFrameButtonPressed(*this, "ButtonPrint", pressed); }

void TFormPrint::SetFolder(const fs::path& folder) {
  folder_ = folder;
  FileListBox->clear();
  for (const std::string& name : PrintableFiles(folder)) FileListBox->addItem(QString::fromStdString(name));
  if (FileListBox->count() > 0) FileListBox->setCurrentRow(0);
  FileListBoxChange();
}

QString TFormPrint::SelectedFile() const {
  const QListWidgetItem* item = FileListBox->currentItem();
  if (!item) return {};
  return QString::fromStdString((folder_ / item->text().toStdString()).string());
}

void TFormPrint::DrawFitted(QImage& target, const TBitmap32& picture, const TRect& area) {
  QPainter p(&target);
  const QRect box(area.Left, area.Top, area.Width(), area.Height());
  p.fillRect(box, Qt::white);
  const TRect fit = FitPreview(picture.Width(), picture.Height(), area);
  if (!fit.IsEmpty()) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(fit.Left, fit.Top, fit.Width(), fit.Height()), ImageView(picture));
  }
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(box.adjusted(0, 0, -1, -1));
}

void TFormPrint::FileListBoxChange() {
  previewPicture_.fill(Qt::white);
  const QString file = SelectedFile();
  if (!file.isEmpty()) {
    const TBitmap32 picture = LoadPrintPicture(file.toStdString(), false);
    if (!picture.Empty())
      DrawFitted(previewPicture_, picture, Bounds(0, 0, previewPicture_.width(), previewPicture_.height()));
  }
  ImagePreview->update();
}

void TFormPrint::ButSetupPrClick() {
  printer_.SetUp(this, TermText("FormPrintSetupDialogOKCaption", "Use this printer"));
}

void TFormPrint::ButtonChangeDirClick() {
  const QString folder = QFileDialog::getExistingDirectory(this, folderPrompt_, QString::fromStdString(folder_.string()));
  if (!folder.isEmpty()) SetFolder(folder.toStdString());
}

void TFormPrint::PaintLayoutFrame() {
  pagePicture_.fill(kPageGround);
  QPainter p(&pagePicture_);
  p.setPen(Qt::black);
  const int w = pagePicture_.width(), h = pagePicture_.height();
  const int layout = page_.Layout();
  if (layout >= 2) p.drawLine(0, h / 2, w - 1, h / 2);
  if (layout == 3) p.drawLine(w / 2, h / 2, w / 2, h - 1);
  if (layout == 4) p.drawLine(w / 2, 0, w / 2, h - 1);
}

void TFormPrint::ButtonPage1Click(int layout) {
  if (!page_.SetLayout(layout)) return;
  for (int i = 0; i < 4; ++i) ButtonPage[i]->SetPressed(ButtonPage[i]->Tag() == layout);
  for (int position = 1; position <= TPrintPage::kPositions; ++position) {
    ImageFlip[position - 1]->hide();
    SetFlipIcon(position);
  }
  PaintLayoutFrame();
  ImagePage->update();
}

void TFormPrint::SetFlipIcon(int position) {
  ImageFlip[position - 1]->SetPicture(BitmapOf(flipIcons_[page_.Mirrored(position) ? 1 : 0]));
}

void TFormPrint::ImagePageDragDrop(int x, int y) {
  const QString file = SelectedFile();
  if (file.isEmpty()) return;
  const TSlotHit hit = HitTestPage(page_.Layout(), x, y, pagePicture_.width(), pagePicture_.height());
  if (hit.Slot == 0) return;
  const TBitmap32 picture = LoadPrintPicture(file.toStdString(), false);
  if (picture.Empty()) return;  // nothing readable is placed
  const int position = page_.Place(hit.Slot, file.toStdString());
  if (position == 0) return;
  DrawFitted(pagePicture_, picture, hit.Rect);
  SetFlipIcon(position);
  ImageFlip[position - 1]->show();
  ImageFlip[position - 1]->raise();
  ImagePage->update();
}

void TFormPrint::ImagePageMouseUp(Qt::MouseButton button, int x, int y) {
  if (button != Qt::RightButton) return;
  const TSlotHit hit = HitTestPage(page_.Layout(), x, y, pagePicture_.width(), pagePicture_.height());
  const int position = page_.Clear(hit.Slot);
  if (position == 0) return;
  ImageFlip[position - 1]->hide();
  SetFlipIcon(position);
  QPainter p(&pagePicture_);
  const QRect box(hit.Rect.Left, hit.Rect.Top, hit.Rect.Width(), hit.Rect.Height());
  p.fillRect(box, kPageGround);
  p.setPen(Qt::black);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.end();
  ImagePage->update();
}

void TFormPrint::CB1Click(int position) {
  const bool mirrored = page_.ToggleMirror(position);
  SetFlipIcon(position);
  if (!page_.HasFile(position)) return;
  const TBitmap32 picture = LoadPrintPicture(page_.SlotFile(position), mirrored);
  if (picture.Empty()) return;
  DrawFitted(pagePicture_, picture,
             PositionRect(page_.Layout(), position, pagePicture_.width(), pagePicture_.height()));
  ImagePage->update();
}

bool TFormPrint::OKBtnClick() {
  const TBitmap32 logo = LoadPrintPicture(ResolvePath(fs::path(InstallationFolder()), "LogoPrvt.bmp"), false);
  // The job is named after the pictures on the page.
  QStringList names;
  for (int position = 1; position <= TPrintPage::kPositions; ++position)
    if (page_.HasFile(position)) names << QString::fromStdString(fs::path(page_.SlotFile(position)).filename().string());
  const QString title = PrintJobTitle(names.isEmpty() ? TermText("FormPrintCaption", "Print") : names.join(", "));
  const TPrintReport report = printer_.PrintWithDialog(this, title, [this, &logo](QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Portrait);
    TPagePrinter device(printer);
    return PrintPage(page_, device, PrintMargins(settings_.LeftRightMargin, settings_.TopBottomMargin), logo)
        .has_value();
  });
  TellPrintReport(report, "FormPrintCannotPrint", "The page could not be printed.");
  return report.Outcome == TPrintReport::TOutcome::Printed;
}

void TFormPrint::ButtonExitClick() { close(); }

void RegisterFormPrint(TMainSettings& settings) {
  RegisterStandingForm("FormPrint", [&settings](QWidget* owner) { return new TFormPrint(settings, owner); }, TStandingPlace::ByScreen);
}
