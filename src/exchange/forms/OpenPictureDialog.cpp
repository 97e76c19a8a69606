#include "exchange/forms/OpenPictureDialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "exchange/PicturePreview.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/FileDialogFilters.h"

namespace {
const char* const kPictureCaption = "Picture:";
const char* const kNone = "(None)";
const char* const kPreview = "Preview";
}  // namespace

void CloseCompletionWithDialog(QFileDialog& dialog) {
  QObject::connect(&dialog, &QDialog::finished, &dialog, [&dialog] {
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
      if (QCompleter* completer = edit->completer(); completer && completer->popup()) completer->popup()->hide();
  });
}

TPelmoOpenPictureDialog::TPelmoOpenPictureDialog(QWidget* parent) : QFileDialog(parent) {
  // Only Qt's own dialog can take a panel beside its file list.
  setOption(QFileDialog::DontUseNativeDialog);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilters(QtNameFilterList(DefaultPictureFilter()));
  CloseCompletionWithDialog(*this);

  PicturePanel = new QFrame(this);
  PicturePanel->setObjectName("PicturePanel");
  PicturePanel->setFixedSize(169, 200);
  PictureLabel = new QLabel(kPictureCaption, PicturePanel);
  PictureLabel->setObjectName("PictureLabel");
  PictureLabel->setGeometry(6, 6, 157, 23);
  PictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PreviewButton = new QToolButton(PictureLabel);
  PreviewButton->setObjectName("PreviewButton");
  PreviewButton->setGeometry(PictureLabel->width() - 23, 1, 23, 22);
  PreviewButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  PreviewButton->setToolTip(kPreview);
  PreviewButton->setEnabled(false);
  PaintPanel = new QFrame(PicturePanel);
  PaintPanel->setObjectName("PaintPanel");
  PaintPanel->setGeometry(6, 29, 157, 165);
  PaintPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PaintPanel->setLineWidth(2);
  PaintBox = new TPreviewPaintBox(*this, PaintPanel);
  PaintBox->setObjectName("PaintBox");
  PaintBox->setGeometry(2, 2, 153, 161);

  if (auto* grid = qobject_cast<QGridLayout*>(layout()))
    grid->addWidget(PicturePanel, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
  connect(this, &QFileDialog::currentChanged, this, &TPelmoOpenPictureDialog::SelectionChanged);
  connect(PreviewButton, &QToolButton::clicked, this, &TPelmoOpenPictureDialog::PreviewClick);
}

TPelmoOpenPictureDialog::~TPelmoOpenPictureDialog() = default;

void TPelmoOpenPictureDialog::showEvent(QShowEvent* event) {
  picture_.Reset();
  PictureLabel->setText(kPictureCaption);
  PreviewButton->setEnabled(false);
  PaintBox->update();
  QFileDialog::showEvent(event);
}

void TPelmoOpenPictureDialog::SelectionChanged(const QString& file) {
  TPicturePreview preview = LoadPicturePreview(file.toStdString());
  picture_ = std::move(preview.Picture);
  if (preview.Valid)
    PictureLabel->setText(QString(" (%1x%2)").arg(picture_.Width()).arg(picture_.Height()));
  else
    PictureLabel->setText(kPictureCaption);
  PreviewButton->setEnabled(preview.Valid);
  PaintBox->update();
}

void TPelmoOpenPictureDialog::PreviewClick() {
  QDialog window(this, Qt::Tool);
  window.setObjectName("PreviewForm");
  window.setWindowTitle(kPreview);
  auto* panel = new QFrame(&window);
  panel->setObjectName("Panel");
  panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  panel->setLineWidth(1);
  panel->setAutoFillBackground(true);
  panel->setBackgroundRole(QPalette::Base);
  auto* image = new QLabel(panel);
  image->setObjectName("Image");
  image->setScaledContents(true);
  // The window owns a copy: the selection may change under a modeless caller.
  image->setPixmap(QPixmap::fromImage(ImageView(picture_).copy()));
  auto* inner = new QVBoxLayout(panel);
  inner->setContentsMargins(5, 5, 5, 5);
  inner->addWidget(image);
  auto* outer = new QVBoxLayout(&window);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(panel);
  if (picture_.Width() > 0) window.resize(picture_.Width() + 2 * 6 + 10, picture_.Height() + 2 * 6 + 10);
  window.exec();
}

TPreviewPaintBox::TPreviewPaintBox(TPelmoOpenPictureDialog& dialog, QWidget* parent)
    : QWidget(parent), dialog_(dialog) {}

void TPreviewPaintBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const TBitmap32& picture = dialog_.Picture();
  const TRect target = PreviewPaintRect(picture.Width(), picture.Height(), {0, 0, width(), height()});
  if (target.IsEmpty()) {
    p.drawText(rect(), Qt::AlignCenter, kNone);
    return;
  }
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(QRect(target.Left, target.Top, target.Width(), target.Height()), ImageView(picture));
}

void TPreviewPaintBox::mouseDoubleClickEvent(QMouseEvent*) { dialog_.PreviewClick(); }
