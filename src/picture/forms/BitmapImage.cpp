#include "picture/forms/BitmapImage.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <vector>

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

void DrawRows(QPainter& painter, const TSharedRowBitmap& picture, const QRect& area) {
  const QRect part = area & QRect(0, 0, picture.Width(), picture.Height());
  if (part.isEmpty()) return;
  // A few rows a band: the band stays small enough to be reused from the heap.
  const int bandRows = std::clamp(16384 / part.width(), 1, part.height());
  std::vector<TColor32> band(std::size_t(part.width()) * std::size_t(bandRows));
  for (int top = part.top(); top <= part.bottom(); top += bandRows) {
    const int rows = std::min(bandRows, part.bottom() + 1 - top);
    for (int i = 0; i < rows; ++i)
      std::memcpy(band.data() + std::size_t(i) * std::size_t(part.width()), picture.Row(top + i) + part.left(),
                  std::size_t(part.width()) * 4);
    const QImage view(reinterpret_cast<const uchar*>(band.data()), part.width(), rows,
                      qsizetype(part.width()) * 4, QImage::Format_ARGB32);
    painter.drawImage(part.left(), top, view);
  }
}
