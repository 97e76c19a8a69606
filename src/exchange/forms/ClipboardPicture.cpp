#include "exchange/forms/ClipboardPicture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "picture/forms/BitmapImage.h"

std::optional<TBitmap32> ClipboardPicture() {
  const QImage image = QGuiApplication::clipboard()->image();
  if (image.isNull() || !PictureSizeAllowed(image.width(), image.height())) return std::nullopt;
  TBitmap32 picture = BitmapFromImage(image);
  if (picture.Empty()) return std::nullopt;
  return picture;
}

void SetClipboardPicture(const TBitmap32& picture) {
  QGuiApplication::clipboard()->setImage(ImageView(picture).convertToFormat(QImage::Format_RGB32));
}
