#include "exchange/forms/PagePrinter.h"

#include <QPrinter>

#include "picture/forms/BitmapImage.h"

TBitmap32 FlattenOnWhite(const TBitmap32& bitmap) {
  TBitmap32 out = bitmap;
  for (int y = 0; y < out.Height(); ++y) {
    std::uint8_t* p = out.Row(y);
    for (int x = 0; x < out.Width(); ++x, p += 4) {
      unsigned a = p[3];
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * a + 255 * (255 - a) + 127) / 255);
      p[3] = 255;
    }
  }
  return out;
}

TPagePrinter::TPagePrinter(QPrinter& printer) : printer_(printer) {}

TPagePrinter::~TPagePrinter() {
  if (painter_.isActive()) painter_.end();
}

int TPagePrinter::PageWidthMm() const { return printer_.widthMM(); }
int TPagePrinter::PageHeightMm() const { return printer_.heightMM(); }
int TPagePrinter::DpiX() const { return printer_.logicalDpiX(); }
int TPagePrinter::DpiY() const { return printer_.logicalDpiY(); }

bool TPagePrinter::BeginDoc() { return painter_.begin(&printer_); }
bool TPagePrinter::NewPage() { return printer_.newPage(); }
bool TPagePrinter::EndDoc() { return painter_.end(); }

void TPagePrinter::PrintBitmap(const TBitmap32& bitmap, int left, int top, int widthTenths, int heightTenths) {
  if (!painter_.isActive() || bitmap.Empty()) return;
  TRect target = PrintDeviceRect(left, top, widthTenths, heightTenths, DpiX(), DpiY());
  if (target.IsEmpty()) return;
  TBitmap32 flat = FlattenOnWhite(bitmap);
  QImage image = ImageView(flat).convertToFormat(QImage::Format_RGB32);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform);
  painter_.drawImage(QRect(target.Left, target.Top, target.Width(), target.Height()), image);
}
