#include "online/forms/FormViewWork.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "picture/forms/BitmapImage.h"
#include "shell/forms/TermText.h"

TFormViewWork::TFormViewWork(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("FormViewWork");
  setWindowTitle(TermText("ProductName", ""));
  ImageChecking = new QLabel(this);
  ImageChecking->setObjectName("ImageChecking");
  ImageChecking->setAlignment(Qt::AlignCenter);
}

void TFormViewWork::ShowPicture(const TBitmap32& picture) {
  QImage image = ImageView(picture).copy();
  // A picture larger than the screen is shown whole rather than cut off.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() * 9 / 10;
    if (image.width() > room.width() || image.height() > room.height())
      image = image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  ImageChecking->setPixmap(QPixmap::fromImage(image));
  ImageChecking->setGeometry(0, 0, image.width(), image.height());
  setFixedSize(image.size());
  show();
  raise();
  activateWindow();
}

bool TFormViewWork::HasPicture() const { return !ImageChecking->pixmap().isNull(); }

void TFormViewWork::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TFormViewWork::closeEvent(QCloseEvent* event) {
  ImageChecking->clear();
  QWidget::closeEvent(event);
}
