#include <gtest/gtest.h>

#include <algorithm>

#include "shell/SkinPixels.h"
#include "shell/TransparencyError.h"
#include "support/PictureCompare.h"

namespace {

// A 3-frame sheet of 4x2 frames: frame i is filled with colour (10*(i+1), 0, 0)
// and alpha 255, except the right half of every frame, which has alpha 0x40.
TBitmap32 Sheet() {
  TBitmap32 sheet(12, 2, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 12; ++x)
      sheet.SetPixel(x, y, Color32(std::uint8_t(10 * (x / 4 + 1)), 0, 0, (x % 4) < 2 ? 255 : 0x40));
  return sheet;
}

TColor32 Opaque(int r, int g, int b) { return Color32(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)); }

}  // namespace

TEST(FrameRect, ColumnAndRowFromIndexAndControlSizeForZero) {
  TFrameGrid grid{5, 7, 0, 0, 2, 3};
  EXPECT_EQ(FrameRect(grid, 0, 10, 20), Bounds(5, 7, 10, 20));
  EXPECT_EQ(FrameRect(grid, 4, 10, 20), Bounds(15, 27, 10, 20));
  grid.Width = 4;
  grid.Height = 3;
  EXPECT_EQ(FrameRect(grid, 5, 10, 20), Bounds(13, 10, 4, 3));
}

TEST(FrameRect, NegativeIndexHasNoFrameAndZeroColsCountsAsOne) {
  TFrameGrid grid{0, 0, 4, 4, 1, 3};
  EXPECT_TRUE(FrameRect(grid, -1, 4, 4).IsEmpty());
  grid.Cols = 0;
  EXPECT_EQ(FrameRect(grid, 2, 4, 4), Bounds(0, 8, 4, 4));
}

TEST(ExtractFrame, CopiesTheFrameAndClipsWhatLiesOutsideTheSheet) {
  const TBitmap32 sheet = Sheet();
  TBitmap32 frame = ExtractFrame(sheet, Bounds(4, 0, 4, 2), 4, 2);
  EXPECT_EQ(frame.Pixel(0, 0), Color32(20, 0, 0, 255));
  EXPECT_EQ(frame.Pixel(3, 1), Color32(20, 0, 0, 0x40));
  // Half of this frame lies right of the sheet, and a row below it.
  frame = ExtractFrame(sheet, Bounds(10, 1, 4, 2), 4, 2);
  EXPECT_EQ(frame.Pixel(1, 0), Color32(30, 0, 0, 0x40));
  EXPECT_EQ(frame.Pixel(2, 0), 0u);
  EXPECT_EQ(frame.Pixel(0, 1), 0u);
  // Entirely off the sheet, even at negative coordinates.
  frame = ExtractFrame(sheet, Bounds(-10, -10, 4, 2), 4, 2);
  EXPECT_TRUE(SamePicture(frame, TBitmap32(4, 2, 0)));
}

TEST(ExtractFrame, StretchesToTheControlSizeByNearestPixel) {
  const TBitmap32 sheet = Sheet();
  const TBitmap32 frame = ExtractFrame(sheet, Bounds(0, 0, 4, 2), 8, 4);
  EXPECT_EQ(frame.Pixel(3, 3), Color32(10, 0, 0, 255));  // sheet (1, 1)
  EXPECT_EQ(frame.Pixel(4, 0), Color32(10, 0, 0, 0x40));  // sheet (2, 0)
  EXPECT_EQ(frame.Pixel(7, 3), Color32(10, 0, 0, 0x40));
}

TEST(ExtractFrame, AFrameBesideTheSheetInItsRowsReadsNothing) {
  const TBitmap32 sheet = Sheet();
  EXPECT_EQ(ExtractFrame(sheet, Bounds(20, 0, 4, 2), 4, 2), TBitmap32(4, 2, 0));
  EXPECT_EQ(ExtractFrame(sheet, Bounds(-9, 1, 4, 2), 8, 4), TBitmap32(8, 4, 0));
}

TEST(ExtractFrame, ASheetWithSharedRowsGivesTheFramesAndHitsOfTheWholeSheet) {
  TBitmap32 sheet = Sheet();
  sheet.SetPixel(11, 1, Color32(1, 2, 3, 0x80));  // the rows differ at the last pixel only
  const TSharedRowBitmap shared(sheet);
  ASSERT_EQ(shared.DistinctRows(), 2u);
  // Inside, stretched, and partly or wholly off the sheet.
  for (const TRect& frame : {Bounds(4, 0, 4, 2), Bounds(8, 0, 4, 2), Bounds(10, 1, 4, 2), Bounds(-2, -1, 4, 2),
                             Bounds(20, 0, 4, 2)}) {
    for (const TPoint size : {TPoint{4, 2}, TPoint{9, 5}, TPoint{3, 1}})
      EXPECT_EQ(ExtractFrame(shared, frame, size.X, size.Y), ExtractFrame(sheet, frame, size.X, size.Y))
          << frame.Left << "," << frame.Top << " at " << size.X << "x" << size.Y;
    for (int y = -1; y <= 2; ++y)
      for (int x = -1; x <= 4; ++x)
        for (int alpha : {0, 0x41, 0x81, 255})
          EXPECT_EQ(FrameHitTest(shared, frame, 4, 2, x, y, alpha), FrameHitTest(sheet, frame, 4, 2, x, y, alpha))
              << frame.Left << "," << frame.Top << " at " << x << "," << y << " alpha " << alpha;
  }
}

TEST(FrameHitTest, AlphaAgainstActiveAlphaAtTheDrawnPixel) {
  const TBitmap32 sheet = Sheet();
  const TRect second = Bounds(4, 0, 4, 2);
  EXPECT_TRUE(FrameHitTest(sheet, second, 4, 2, 1, 1, 255));
  EXPECT_TRUE(FrameHitTest(sheet, second, 4, 2, 2, 0, 0x40));
  EXPECT_FALSE(FrameHitTest(sheet, second, 4, 2, 2, 0, 0x41));
  // Active alpha 0: every pixel of the sheet counts, even fully transparent ones.
  TBitmap32 clear(4, 2, 0);
  EXPECT_TRUE(FrameHitTest(clear, Bounds(0, 0, 4, 2), 4, 2, 3, 1, 0));
  // Outside the control, outside the sheet, without a sheet, without a frame.
  EXPECT_FALSE(FrameHitTest(sheet, second, 4, 2, 4, 0, 0));
  EXPECT_FALSE(FrameHitTest(sheet, second, 4, 2, -1, 0, 0));
  EXPECT_FALSE(FrameHitTest(sheet, Bounds(10, 0, 4, 2), 4, 2, 2, 0, 0));
  EXPECT_FALSE(FrameHitTest(TBitmap32(), second, 4, 2, 0, 0, 0));
  EXPECT_FALSE(FrameHitTest(sheet, TRect{}, 4, 2, 0, 0, 0));
}

TEST(FrameHitTest, StretchedFrameIsTestedWhereItIsDrawn) {
  const TBitmap32 sheet = Sheet();
  // Drawn twice as large: control pixel (5, 3) shows sheet pixel (2, 1), alpha 0x40.
  EXPECT_FALSE(FrameHitTest(sheet, Bounds(0, 0, 4, 2), 8, 4, 5, 3, 0x80));
  EXPECT_TRUE(FrameHitTest(sheet, Bounds(0, 0, 4, 2), 8, 4, 3, 3, 0x80));
}

TEST(RecolorFrame, ThresholdInTheTopByteAndColourInClassLibraryOrder) {
  TBitmap32 frame(4, 1, 0);
  frame.SetPixel(0, 0, Color32(1, 2, 3, 0x7F));
  frame.SetPixel(1, 0, Color32(1, 2, 3, 0x80));
  frame.SetPixel(2, 0, Color32(1, 2, 3, 0xFF));
  frame.SetPixel(3, 0, Color32(1, 2, 3, 0x00));
  RecolorFrame(frame, 0x80332211u);  // red 0x11, green 0x22, blue 0x33
  EXPECT_EQ(frame.Pixel(0, 0), Color32(1, 2, 3, 0x7F));
  EXPECT_EQ(frame.Pixel(1, 0), Color32(0x11, 0x22, 0x33, 0x80));
  EXPECT_EQ(frame.Pixel(2, 0), Color32(0x11, 0x22, 0x33, 0xFF));
  EXPECT_EQ(frame.Pixel(3, 0), Color32(1, 2, 3, 0));
  TBitmap32 same = frame;
  RecolorFrame(same, clNone);
  EXPECT_TRUE(SamePicture(same, frame));
  // Threshold 0 paints even fully transparent pixels.
  RecolorFrame(frame, 0x00000000u);
  EXPECT_EQ(frame.Pixel(3, 0), Color32(0, 0, 0, 0));
}

TEST(BlendChannel, RoundsEachTermHalfToEvenAndCapsAt255) {
  EXPECT_EQ(BlendChannel(0, 255, 0.5), 128);   // 0 + round(127.5) = 128
  EXPECT_EQ(BlendChannel(1, 0, 0.5), 0);       // round(0.5) = 0
  EXPECT_EQ(BlendChannel(3, 0, 0.5), 2);       // round(1.5) = 2
  EXPECT_EQ(BlendChannel(5, 5, 0.5), 4);       // round(2.5) + round(2.5) = 2 + 2
  EXPECT_EQ(BlendChannel(255, 255, 0.5), 255); // 128 + 128 would overflow a byte
  EXPECT_EQ(BlendChannel(200, 100, 0.0), 200);
  EXPECT_EQ(BlendChannel(200, 100, 1.0), 100);
}

// Every frame alpha over varied colours, four pixels a step and the odd ones at a
// row's end, against the one-pixel blend.
TEST(BlendFrame, EveryAlphaBlendsAsTheOnePixelBlendDoes) {
  constexpr int kWidth = 259, kHeight = 7;
  TBitmap32 frame(kWidth, kHeight), under(kWidth, kHeight);
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      frame.SetPixel(x, y, (next() & 0x00FFFFFFu) | TColor32((x + 37 * y) % 256) << 24);
      under.SetPixel(x, y, next());
    }
  for (int transparency : {-5, 0, 1, 33, 50, 99}) {
    SCOPED_TRACE(transparency);
    TBitmap32 buffer = under;
    BlendFrame(buffer, frame, transparency);
    const double strength = 1.0 - std::max(transparency, 0) / 100.0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const TColor32 o = frame.Pixel(x, y), u = under.Pixel(x, y);
        const double f = AlphaOf(o) / 255.0 * strength;
        const TColor32 expected = AlphaOf(o) == 0 ? u
                                                  : Color32(BlendChannel(RedOf(u), RedOf(o), f),
                                                            BlendChannel(GreenOf(u), GreenOf(o), f),
                                                            BlendChannel(BlueOf(u), BlueOf(o), f), AlphaOf(u));
        ASSERT_EQ(buffer.Pixel(x, y), expected) << "first difference at " << x << "," << y;
      }
  }
}

TEST(BlendFrame, TransparencyTable) {
  const TColor32 under = Color32(200, 100, 0, 0x12);
  TBitmap32 frame(5, 1, 0);
  frame.SetPixel(0, 0, Color32(0, 0, 200, 255));
  frame.SetPixel(1, 0, Color32(0, 0, 200, 0));  // alpha 0: background stays
  frame.SetPixel(2, 0, Color32(0, 0, 200, 51)); // f = 0.2 * t0
  frame.SetPixel(3, 0, Color32(255, 255, 255, 255));
  frame.SetPixel(4, 0, Color32(1, 3, 5, 255));
  auto blended = [&](int transparency) {
    TBitmap32 buffer(5, 1, under);
    BlendFrame(buffer, frame, transparency);
    return buffer;
  };
  TBitmap32 t0 = blended(0);
  EXPECT_EQ(t0.Pixel(0, 0), Color32(0, 0, 200, 0x12));  // buffer alpha untouched
  EXPECT_EQ(t0.Pixel(1, 0), under);
  EXPECT_EQ(t0.Pixel(2, 0), Color32(160, 80, 40, 0x12));
  TBitmap32 t1 = blended(1);  // f = 0.99: round(0.01*200)=2, round(0.99*200)=198
  EXPECT_EQ(t1.Pixel(0, 0), Color32(2, 1, 198, 0x12));
  // f = 0.198: red round(160.4)=160, green round(80.2)=80, blue round(39.6)=40.
  EXPECT_EQ(t1.Pixel(2, 0), Color32(160, 80, 40, 0x12));
  EXPECT_TRUE(SamePicture(blended(100), TBitmap32(5, 1, under)));
  TBitmap32 t50 = blended(50);  // f = 0.5: halves round to even
  EXPECT_EQ(t50.Pixel(3, 0), Color32(228, 178, 128, 0x12));  // 100+128, 50+128, 0+128
  EXPECT_EQ(t50.Pixel(4, 0), Color32(100, 52, 2, 0x12));      // 100+0, 50+2, 0+2
}

TEST(BlendFrameAt, PlacesTheFrameWithItsOwnAlphaAndSkipsWhatFallsOutside) {
  TBitmap32 frame(3, 2, Color32(100, 100, 100, 255));
  frame.SetPixel(1, 0, Color32(100, 100, 100, 0));
  TBitmap32 buffer(3, 3, Color32(0, 0, 0, 255));
  BlendFrameAt(buffer, frame, 1, 2);
  EXPECT_EQ(buffer.Pixel(1, 2), Color32(100, 100, 100, 255));
  EXPECT_EQ(buffer.Pixel(2, 2), Color32(0, 0, 0, 255));  // frame alpha 0
  EXPECT_EQ(buffer.Pixel(0, 2), Color32(0, 0, 0, 255));
  EXPECT_EQ(buffer.Pixel(1, 1), Color32(0, 0, 0, 255));
  BlendFrameAt(buffer, frame, -2, -1);
  EXPECT_EQ(buffer.Pixel(0, 0), Color32(100, 100, 100, 255));
  EXPECT_EQ(buffer.Pixel(1, 0), Color32(0, 0, 0, 255));
}

TEST(ComposeButtonBuffer, OpaqueCopyBlendOrBackgroundOnly) {
  TBitmap32 frame(2, 1, 0);
  frame.SetPixel(0, 0, Color32(10, 20, 30, 0));  // transparent, but has a colour
  frame.SetPixel(1, 0, Color32(40, 50, 60, 255));
  const TBitmap32 background(2, 1, Color32(1, 1, 1, 255));
  // Transparency 0, no recolouring: an opaque square, transparent pixels included.
  TBitmap32 opaque = ComposeButtonBuffer(TBitmap32(), frame, false, true, 0);
  EXPECT_EQ(opaque.Pixel(0, 0), Opaque(10, 20, 30));
  EXPECT_EQ(opaque.Pixel(1, 0), Opaque(40, 50, 60));
  TBitmap32 blended = ComposeButtonBuffer(background, frame, true, true, 0);
  EXPECT_EQ(blended.Pixel(0, 0), Opaque(1, 1, 1));
  EXPECT_EQ(blended.Pixel(1, 0), Opaque(40, 50, 60));
  // No sheet to blend, or transparency 100: the background alone.
  EXPECT_TRUE(SamePicture(ComposeButtonBuffer(background, frame, true, false, 1), background));
  EXPECT_TRUE(SamePicture(ComposeButtonBuffer(background, frame, true, true, 100), background));
}

TEST(ETransparencyOutOfRange, MessageNamesTheValue) {
  EXPECT_NO_THROW(CheckTransparency(0));
  EXPECT_NO_THROW(CheckTransparency(100));
  try {
    CheckTransparency(101);
    FAIL() << "101 was accepted";
  } catch (const ETransparencyOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Trasparency value (101) is out of range [0..100]");
  }
  EXPECT_THROW(CheckTransparency(-1), ETransparencyOutOfRange);
}
