#pragma once
// Judging printed PDF files with poppler's own tools.
#include <QImage>
#include <QString>
#include <cstdlib>
#include <string>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"
#include "support/TestPaths.h"

// pdfinfo's report of a file; empty when it cannot read it.
inline std::string PdfInfo(const fs::path& pdf) {
  std::string info;
  if (RunCommand("pdfinfo " + pdf.string(), &info) != 0) return {};
  return info;
}

inline int PdfPageCount(const std::string& info) {
  const std::size_t pages = info.find("Pages:");
  return pages == std::string::npos ? -1 : std::atoi(info.c_str() + pages + 6);
}

// The first page rendered by pdftoppm at `dpi`; null when it fails.
inline QImage RenderPdfPage(const fs::path& pdf, int dpi) {
  const fs::path stem = pdf.parent_path() / (pdf.stem().string() + "-render");
  if (RunCommand("pdftoppm -r " + std::to_string(dpi) + " -png -singlefile " + pdf.string() + " " + stem.string()) != 0)
    return {};
  return QImage(QString::fromStdString(stem.string() + ".png"));
}

// The bounding box, in tenths of a millimetre from the page corner, of the pixels
// close to `color` inside `within` (pixels; the whole page when empty).
inline TRect FindColourTenths(const QImage& page, TColor32 color, double dpi, TRect within = {}) {
  if (within.IsEmpty()) within = {0, 0, page.width(), page.height()};
  TRect box{page.width(), page.height(), -1, -1};
  for (int y = std::max(0, within.Top); y < std::min(page.height(), within.Bottom); ++y)
    for (int x = std::max(0, within.Left); x < std::min(page.width(), within.Right); ++x) {
      const QRgb p = page.pixel(x, y);
      if (std::abs(qRed(p) - RedOf(color)) < 40 && std::abs(qGreen(p) - GreenOf(color)) < 40 &&
          std::abs(qBlue(p) - BlueOf(color)) < 40)
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    }
  if (box.Right < 0) return {};
  auto tenths = [dpi](int px) { return int(px * 254.0 / dpi); };
  return {tenths(box.Left), tenths(box.Top), tenths(box.Right), tenths(box.Bottom)};
}
