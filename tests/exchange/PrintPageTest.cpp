#include "exchange/PrintPage.h"

#include <gtest/gtest.h>

#include "picture/Lead.h"
#include "platform/IniFile.h"
#include "support/PictureCompare.h"
#include "support/TestPaths.h"

namespace {

// A picture whose every pixel tells its own column and row.
TBitmap32 Numbered(int w, int h) {
  TBitmap32 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, Color32(x & 255, (x >> 8) & 255, y & 255, 255));
  return b;
}

struct TCall {
  int Width, Height;  // of the bitmap
  TColor32 FirstPixel;
  int Left, Top, WidthTenths, HeightTenths;
};

class FakeDevice : public IPrintDevice {
 public:
  int PageWidthMm() const override { return 210; }
  int PageHeightMm() const override { return 297; }
  int DpiX() const override { return 600; }
  int DpiY() const override { return 300; }
  bool BeginDoc() override { return begins++, canBegin; }
  bool EndDoc() override { return ++ends, true; }
  void PrintBitmap(const TBitmap32& b, int left, int top, int w, int h) override {
    calls.push_back({b.Width(), b.Height(), b.Pixel(0, 0), left, top, w, h});
  }
  bool canBegin = true;
  int begins = 0, ends = 0;
  std::vector<TCall> calls;
};

}  // namespace

TEST(MirrorBitmap, ReversesEveryRowAtAnyWidth) {
  // Odd and even widths, one column, and rows wider than the old 1,025-pixel buffer.
  for (int w : {1, 2, 3, 1024, 1025, 1026, 3001}) {
    TBitmap32 b = Numbered(w, 3);
    const TBitmap32 original = b;
    MirrorBitmap(b);
    TBitmap32 mirrored(w, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) mirrored.SetPixel(x, y, original.Pixel(w - 1 - x, y));
    EXPECT_TRUE(SamePicture(b, mirrored)) << "width " << w;
  }
  TBitmap32 empty;
  MirrorBitmap(empty);
  EXPECT_TRUE(empty.Empty());
}

TEST(PrintPage, LayoutSwitchEmptiesSlotsAndFlags) {
  TPrintPage page;
  ASSERT_TRUE(page.SetLayout(4));
  for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(page.Place(slot, "a.png"), slot);
  page.ToggleMirror(2);
  page.ToggleMirror(4);
  // The same layout again still starts empty.
  ASSERT_TRUE(page.SetLayout(4));
  for (int position = 1; position <= 4; ++position) {
    EXPECT_FALSE(page.HasFile(position));
    EXPECT_FALSE(page.Mirrored(position));
  }
  EXPECT_FALSE(page.SetLayout(5));
  EXPECT_FALSE(page.SetLayout(0));
  EXPECT_EQ(page.Layout(), 4);
}

TEST(PrintPage, SlotsFillTheirLayoutsPositions) {
  TPrintPage page;
  page.SetLayout(3);
  EXPECT_EQ(page.Place(2, "x.bmp"), 3);
  EXPECT_EQ(page.Place(3, "x.bmp"), 4);  // the same file twice
  EXPECT_EQ(page.Place(4, "x.bmp"), 0);  // layout 3 has three slots
  EXPECT_EQ(page.Place(1, ""), 0);
  EXPECT_EQ(page.SlotFile(3), "x.bmp");
  EXPECT_EQ(page.SlotFile(4), "x.bmp");
  EXPECT_EQ(page.SlotFile(2), "");
  EXPECT_EQ(page.SlotFile(9), "");
  // A file dropped on a mirrored position arrives unmirrored, as the preview shows it.
  EXPECT_TRUE(page.ToggleMirror(4));
  page.Place(3, "y.bmp");
  EXPECT_FALSE(page.Mirrored(4));
  EXPECT_FALSE(page.ToggleMirror(0));
}

TEST(PrintPage, ClearingAnEmptyOrFilledSlot) {
  TPrintPage page;
  page.SetLayout(2);
  // Right-click on an empty slot: its position, nothing else changes.
  EXPECT_EQ(page.Clear(2), 3);
  EXPECT_FALSE(page.HasFile(3));
  page.Place(1, "a.png");
  page.ToggleMirror(1);
  EXPECT_EQ(page.Clear(1), 1);
  EXPECT_FALSE(page.HasFile(1));
  EXPECT_FALSE(page.Mirrored(1));
  EXPECT_EQ(page.Clear(3), 0);  // no third slot in layout 2
  EXPECT_EQ(page.Clear(0), 0);
}

TEST(PrintPage, PrintsEachFilledPositionLoadedSeparately) {
  TPrintPage page;
  page.SetLayout(4);
  page.Place(1, "same.png");
  page.Place(4, "same.png");
  page.Place(2, "broken.png");
  page.ToggleMirror(4);
  std::vector<std::pair<std::string, bool>> loads;
  auto loader = [&](const fs::path& file, bool mirrored) {
    loads.emplace_back(file.string(), mirrored);
    if (file == "broken.png") return TBitmap32();  // a file no loader reads
    TBitmap32 b = Numbered(400, 200);
    if (mirrored) MirrorBitmap(b);
    return b;
  };
  const TBitmap32 logo(30, 20, Color32(1, 2, 3));
  FakeDevice device;
  auto printed = PrintPage(page, device, {5, 10}, logo, loader);
  ASSERT_TRUE(printed);
  EXPECT_EQ(device.begins, 1);
  EXPECT_EQ(device.ends, 1);
  ASSERT_EQ(loads.size(), 3u);
  EXPECT_EQ(loads[0], (std::pair<std::string, bool>{"same.png", false}));
  EXPECT_EQ(loads[1], (std::pair<std::string, bool>{"broken.png", false}));
  EXPECT_EQ(loads[2], (std::pair<std::string, bool>{"same.png", true}));

  // The unreadable file is skipped; the house picture comes last at the origin.
  ASSERT_EQ(device.calls.size(), 3u);
  ASSERT_EQ(printed->size(), 3u);
  const TPrintableArea area = PrintableArea(210, 297, 5, 10);
  for (int i = 0; i < 2; ++i) {
    const int position = (*printed)[i].Position;
    const TRect box = PrintPlacement(4, position, 400, 200, area);
    EXPECT_EQ((*printed)[i].Box, box);
    EXPECT_EQ(device.calls[i].Left, TenthsToDevice(box.Left, 600));
    EXPECT_EQ(device.calls[i].Top, TenthsToDevice(box.Top, 300));
    EXPECT_EQ(device.calls[i].WidthTenths, box.Width());
    EXPECT_EQ(device.calls[i].HeightTenths, box.Height());
  }
  EXPECT_EQ((*printed)[0].Position, 1);
  EXPECT_EQ((*printed)[1].Position, 4);
  // Position 4 got the mirrored copy: its first pixel is the last column's.
  EXPECT_EQ(device.calls[0].FirstPixel, Color32(0, 0, 0));
  EXPECT_EQ(device.calls[1].FirstPixel, Color32(399 & 255, 1, 0));
  EXPECT_EQ(device.calls[2].Left, 0);
  EXPECT_EQ(device.calls[2].Top, 0);
  EXPECT_EQ(device.calls[2].WidthTenths, 30);
  EXPECT_EQ(device.calls[2].HeightTenths, 20);
}

TEST(PrintPage, EmptyPageAndRefusedDocument) {
  TPrintPage page;
  FakeDevice device;
  auto loader = [](const fs::path&, bool) { return TBitmap32(10, 10); };
  auto printed = PrintPage(page, device, {}, TBitmap32(), loader);
  ASSERT_TRUE(printed);  // still a page, empty
  EXPECT_TRUE(printed->empty());
  EXPECT_EQ(device.ends, 1);

  page.Place(1, "a.png");
  device.canBegin = false;
  EXPECT_FALSE(PrintPage(page, device, {}, TBitmap32(), loader));
  EXPECT_EQ(device.calls.size(), 0u);
}

TEST(PrintPage, LoadingFilesForPrinting) {
  TempFolder dir;
  TBitmap32 picture = Numbered(5, 2);
  ASSERT_TRUE(SaveImageFile(picture, dir / "p.bmp", kLeadBmp));
  TBitmap32 mirrored = LoadPrintPicture(dir / "p.bmp", true);
  ASSERT_EQ(mirrored.Width(), 5);
  EXPECT_EQ(mirrored.Pixel(0, 1), picture.Pixel(4, 1));
  // Unreadable and missing files give an empty picture, never a zero-size one to scale.
  WriteTestFile(dir / "bad.jpg", "not a picture");
  EXPECT_TRUE(LoadPrintPicture(dir / "bad.jpg", false).Empty());
  EXPECT_TRUE(LoadPrintPicture(dir / "none.psd", true).Empty());

  WriteTestFile(dir / "Notes.txt", "x");
  WriteTestFile(dir / "b.PNG", "x");
  fs::create_directory(dir / "dir.png");
  EXPECT_EQ(PrintableFiles(dir.Path()), (std::vector<std::string>{"b.PNG", "bad.jpg", "p.bmp"}));
  EXPECT_TRUE(PrintableFiles(dir / "missing").empty());
}

TEST(PrintPage, MarginsStayWithinThePage) {
  const TPrintMargins usual = PrintMargins(5, 10);
  EXPECT_EQ(usual.LeftRight, 5);
  EXPECT_EQ(usual.TopBottom, 10);
  const TPrintMargins wild = PrintMargins(-3, 150);
  EXPECT_EQ(wild.LeftRight, 0);
  EXPECT_EQ(wild.TopBottom, 99);
}
