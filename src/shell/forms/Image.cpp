#include "shell/forms/Image.h"

#include <QPainter>

#include "picture/forms/BitmapImage.h"

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetBitmap(TBitmap32 bitmap) {
  bitmap_ = std::move(bitmap);
  update();
  emit PictureChanged();
}

void TImage::paintEvent(QPaintEvent*) {
  if (bitmap_.Empty()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, ImageView(bitmap_));
}
