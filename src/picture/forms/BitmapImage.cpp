#include "picture/forms/BitmapImage.h"

#include <cstring>

QImage ImageView(const TBitmap32& bitmap) {
  if (bitmap.Empty()) return {};
  return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.Stride()),
                QImage::Format_ARGB32);
}

QImage WritableImageView(TBitmap32& bitmap) {
  if (bitmap.Empty()) return {};
  return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.Stride()),
                QImage::Format_ARGB32);
}

TBitmap32 BitmapFromImage(const QImage& image) {
  TBitmap32 out;
  if (image.isNull() || !out.SetSize(image.width(), image.height())) return out;
  QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.Height(); ++y) std::memcpy(out.Row(y), argb.constScanLine(y), out.Stride());
  return out;
}
