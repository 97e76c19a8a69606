#include "shell/forms/Image.h"

#include <QPainter>

#include "picture/forms/BitmapImage.h"

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(TBitmap32 picture) {
  picture_ = std::move(picture);
  update();
  emit PictureChanged();
}

void TImage::paintEvent(QPaintEvent*) {
  if (picture_.Empty()) return;
  QPainter painter(this);
  if (Stretch)
    painter.drawImage(rect(), ImageView(picture_));
  else
    painter.drawImage(0, 0, ImageView(picture_));
}
