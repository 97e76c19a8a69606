#pragma once
// Printing bitmaps on the pages of a QPrinter: a system printer (CUPS) or a PDF.
#include <QPainter>

#include "exchange/PrintLayout.h"
#include "exchange/PrintPage.h"
#include "picture/Bitmap32.h"

class QPrinter;

class TPagePrinter : public IPrintDevice {
 public:
  // The printer must outlive this object.
  explicit TPagePrinter(QPrinter& printer);
  ~TPagePrinter() override;

  // The printable area in whole millimetres, as the device reports it.
  int PageWidthMm() const override;
  int PageHeightMm() const override;
  int DpiX() const override;
  int DpiY() const override;

  bool BeginDoc() override;
  bool NewPage();
  bool EndDoc() override;

  // Prints `bitmap` with its top-left corner at device pixel (left, top) and a size
  // of widthTenths x heightTenths tenths of a millimetre. Transparent parts are
  // composed over white first, since a printer has no alpha.
  void PrintBitmap(const TBitmap32& bitmap, int left, int top, int widthTenths, int heightTenths) override;

 private:
  QPrinter& printer_;
  QPainter painter_;
};

// The picture composed over opaque white (alpha 255 everywhere).
TBitmap32 FlattenOnWhite(const TBitmap32& bitmap);
