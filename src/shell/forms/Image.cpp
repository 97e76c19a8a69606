#include "shell/forms/Image.h"

#include <QPaintEvent>
#include <QPainter>

#include "picture/forms/BitmapImage.h"

TImage::TImage(QWidget* parent) : QWidget(parent) {}

const TBitmap32& TImage::Picture() const {
  if (picture_.Empty() && !sheet_.Empty()) picture_ = sheet_.Unpacked();
  return picture_;
}

void TImage::SetPicture(TBitmap32 picture) {
  picture_ = std::move(picture);
  sheet_ = TSharedRowBitmap();
  update();
  emit PictureChanged();
}

void TImage::SetPackedPicture(const TBitmap32& picture) {
  picture_.Reset();
  sheet_ = TSharedRowBitmap(picture);
  update();
  emit PictureChanged();
}

void TImage::paintEvent(QPaintEvent* event) {
  if (!HasPicture()) return;
  QPainter painter(this);
  if (Stretch)
    painter.drawImage(rect(), ImageView(Picture()));
  else if (!sheet_.Empty())
    DrawRows(painter, sheet_, event->rect());
  else
    painter.drawImage(0, 0, ImageView(picture_));
}
