#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "exchange/forms/PagePrinter.h"
#include "PdfJudge.h"

namespace {
struct Placed {
  TColor32 color;
  TRect boxMm10;  // expected box in tenths of a millimetre from the page corner
};
}  // namespace

TEST(PagePrinter, FourPicturesOnOneA4PdfPageLandInTheirBoxes) {
  TempFolder dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((dir / "page.pdf").string()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  printer.setResolution(300);

  TPagePrinter page(printer);
  ASSERT_EQ(page.PageWidthMm(), 210);
  ASSERT_EQ(page.PageHeightMm(), 297);
  TPrintableArea area = PrintableArea(page.PageWidthMm(), page.PageHeightMm(), 5, 10);
  // Four pictures of different shapes; the tall one must stay inside its quarter.
  std::vector<std::pair<TBitmap32, TColor32>> pictures;
  for (auto [w, h, c] : {std::tuple{400, 300, Color32(220, 30, 30)}, std::tuple{300, 300, Color32(30, 160, 30)},
                         std::tuple{100, 400, Color32(30, 30, 220)}, std::tuple{500, 100, Color32(230, 200, 20)}})
    pictures.emplace_back(TBitmap32(w, h, c), c);
  // A transparent corner must print white, not black.
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) pictures[0].first.SetPixel(x, y, 0);

  ASSERT_TRUE(page.BeginDoc());
  std::vector<Placed> expected;
  for (int position = 1; position <= 4; ++position) {
    const TBitmap32& bitmap = pictures[position - 1].first;
    TRect box = PrintPlacement(4, position, bitmap.Width(), bitmap.Height(), area);
    ASSERT_FALSE(box.IsEmpty());
    page.PrintBitmap(bitmap, TenthsToDevice(box.Left, page.DpiX()), TenthsToDevice(box.Top, page.DpiY()),
                     box.Width(), box.Height());
    expected.push_back({pictures[position - 1].second, box});
  }
  ASSERT_TRUE(page.EndDoc());

  const std::string info = PdfInfo(dir / "page.pdf");
  EXPECT_EQ(PdfPageCount(info), 1) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

  QImage rendered = RenderPdfPage(dir / "page.pdf", 100);
  ASSERT_FALSE(rendered.isNull());
  for (const Placed& p : expected) {
    TRect found = FindColourTenths(rendered, p.color, 100);
    const TRect& want = p.boxMm10;
    EXPECT_NEAR(found.Right, want.Right, 10);
    EXPECT_NEAR(found.Bottom, want.Bottom, 10);
    EXPECT_NEAR(found.Width(), want.Width(), 10);
    EXPECT_NEAR(found.Height(), want.Height(), 10);
    EXPECT_GE(found.Left, want.Left - 10);
    EXPECT_GE(found.Top, want.Top - 10);
  }
  // The transparent corner of the first picture printed white.
  QRgb corner = rendered.pixel(int((expected[0].boxMm10.Left + 20) * 100 / 254.0),
                               int((expected[0].boxMm10.Top + 20) * 100 / 254.0));
  EXPECT_GT(qGray(corner), 240);
}

TEST(PagePrinter, FlattenOnWhiteComposesAlpha) {
  TBitmap32 b(3, 1);
  b.SetPixel(0, 0, Color32(0, 0, 0, 0));
  b.SetPixel(1, 0, Color32(0, 0, 0, 255));
  b.SetPixel(2, 0, Color32(255, 0, 0, 128));
  TBitmap32 flat = FlattenOnWhite(b);
  EXPECT_EQ(flat.Pixel(0, 0), Color32(255, 255, 255, 255));
  EXPECT_EQ(flat.Pixel(1, 0), Color32(0, 0, 0, 255));
  EXPECT_EQ(flat.Pixel(2, 0), Color32(255, 127, 127, 255));
}
