// The stretch family, blending into a rectangle and rotation.
#include <gtest/gtest.h>

#include "picture/BitmapRoutines.h"
#include "support/PictureCompare.h"

namespace {
TBitmap32 Row2(TColor32 left, TColor32 right) {
  TBitmap32 b(2, 1);
  b.SetPixel(0, 0, left);
  b.SetPixel(1, 0, right);
  return b;
}

TBitmap32 Pattern(int w, int h) {
  TBitmap32 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, Color32(std::uint8_t(x * 37 + y), std::uint8_t(y * 11), std::uint8_t(x ^ y),
                               std::uint8_t((x * 5 + y * 3) % 256)));
  return b;
}

// The w x h piece of `big` whose top left is (left, top).
TBitmap32 Cut(const TBitmap32& big, int left, int top, int w, int h) {
  TBitmap32 piece(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) piece.SetPixel(x, y, big.Pixel(left + x, top + y));
  return piece;
}
}  // namespace

TEST(Stretch, BilinearSamplesHalfwayAndRepeatsTheLastColumnAndRow) {
  // 2 -> 4 columns: samples at 0, 0.5, 1 and 1.5; the last source column has no
  // right neighbour, so 1.5 repeats it.
  TBitmap32 canvas(4, 2);
  StretchDrawBilinear(canvas, {0, 0, 4, 2}, Row2(Color32(0, 10, 0, 7), Color32(255, 20, 100, 7)));
  const TColor32 expected[4] = {Color32(0, 10, 0), Color32(127, 15, 50), Color32(255, 20, 100),
                                Color32(255, 20, 100)};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.Pixel(x, y), expected[x]) << x << "," << y;
}

TEST(Stretch, FlatAreasKeepTheirExactValue) {
  TBitmap32 source(7, 5, Color32(201, 33, 255, 255));
  TBitmap32 canvas(23, 17);
  StretchDrawAlpha32(canvas, {0, 0, 23, 17}, source);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x) ASSERT_EQ(canvas.Pixel(x, y), Color32(201, 33, 255, 255)) << x << "," << y;
}

TEST(Stretch, Alpha32PremultipliesColourByTheBilinearAlpha) {
  TBitmap32 canvas(4, 1, Color32(9, 9, 9, 9));
  StretchDrawBilinear32(canvas, {0, 0, 4, 1}, Row2(Color32(200, 100, 50, 0), Color32(200, 100, 50, 255)));
  EXPECT_EQ(canvas.Pixel(0, 0), 0u);                                 // alpha 0: colour 0
  EXPECT_EQ(canvas.Pixel(1, 0), Color32(99, 49, 24, 127));           // 200 * 127 / 255 = 99.6, truncated
  EXPECT_EQ(canvas.Pixel(2, 0), Color32(200, 100, 50, 255));
  TBitmap32 again(4, 1);
  StretchDrawAlpha32(again, {0, 0, 4, 1}, Row2(Color32(200, 100, 50, 0), Color32(200, 100, 50, 255)));
  EXPECT_TRUE(SamePicture(again, canvas));
}

TEST(Stretch, HardAlphaNeverMakesTransparentPixelsPartlyOpaque) {
  TBitmap32 source(3, 3, Color32(10, 20, 30, 255));
  source.SetPixel(1, 1, Color32(0, 0, 0, 0));
  source.SetPixel(0, 2, Color32(0, 0, 0, 0));
  TBitmap32 hard(11, 11), soft(11, 11);
  StretchDrawAlpha(hard, {0, 0, 11, 11}, source, false);
  StretchDrawAlpha(soft, {0, 0, 11, 11}, source, true);
  int partialSoft = 0;
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 11; ++x) {
      const auto a = AlphaOf(hard.Pixel(x, y));
      EXPECT_TRUE(a == 0 || a == 255) << x << "," << y;
      const auto s = AlphaOf(soft.Pixel(x, y));
      if (s != 0 && s != 255) ++partialSoft;
    }
  EXPECT_GT(partialSoft, 0);
}

TEST(Stretch, PartialAlphaBlendsTowardsTheColourOnItsLeft) {
  // Source alpha 100 everywhere: the first column blends towards 0, each next one
  // towards the colour just written.
  TBitmap32 source(3, 1, Color32(200, 200, 200, 100));
  TBitmap32 canvas(3, 1);
  StretchDrawAlpha(canvas, {0, 0, 3, 1}, source, false);
  const int first = 200 * 100 / 255;                          // 78
  const int second = (200 * 100 + 155 * first) / 255;         // 125
  EXPECT_EQ(RedOf(canvas.Pixel(0, 0)), first);
  EXPECT_EQ(RedOf(canvas.Pixel(1, 0)), second);
  EXPECT_EQ(RedOf(canvas.Pixel(2, 0)), first) << "the last source column blends towards 0";
  EXPECT_EQ(AlphaOf(canvas.Pixel(1, 0)), 100);
}

TEST(Stretch, ClippedDrawingMatchesTheSamePixelsDrawnWhole) {
  const TBitmap32 source = Pattern(13, 9);
  const TRect whole{0, 0, 40, 30};
  for (bool all : {false, true}) {
    TBitmap32 big(40, 30), clipped(15, 12);
    StretchDrawAlpha(big, whole, source, all);
    StretchDrawAlpha(clipped, {-20, -11, 20, 19}, source, all);
    EXPECT_TRUE(SamePicture(clipped, Cut(big, 20, 11, 15, 12))) << (all ? "every pixel" : "opaque pixels");
  }
  TBitmap32 big(40, 30), clipped(15, 12);
  StretchDrawBilinear32(big, whole, source);
  StretchDrawBilinear32(clipped, {-25, -18, 15, 12}, source);
  EXPECT_TRUE(SamePicture(clipped, Cut(big, 25, 18, 15, 12)));
}

TEST(Stretch, EmptySourceOrRectangleDrawsNothing) {
  const TBitmap32 before(5, 5, Color32(1, 2, 3, 4));
  TBitmap32 canvas = before;
  StretchDrawAlpha(canvas, {0, 0, 5, 5}, TBitmap32(), false);
  StretchDrawBilinear(canvas, {0, 0, 5, 5}, TBitmap32());
  StretchDrawAlpha32(canvas, {3, 3, 3, 8}, Pattern(4, 4));
  StretchDrawBilinear32(canvas, {4, 4, 2, 2}, Pattern(4, 4));
  StretchBlendInRect(canvas, {9, 9, 20, 20}, Pattern(4, 4));
  StretchDrawNearest(canvas, {0, 0, 5, kMaxPictureSide + 1}, Pattern(4, 4));
  EXPECT_TRUE(SamePicture(canvas, before));
}

TEST(Stretch, BlendInRectUsesTheSourceAlphaAndKeepsTheCanvasAlpha) {
  TBitmap32 canvas(2, 1, Color32(200, 200, 200, 77));
  TBitmap32 source(1, 1, Color32(0, 255, 200, 128));
  StretchBlendInRect(canvas, {0, 0, 2, 1}, source);
  // 200 + (0 - 200) * 128 / 255 truncates toward zero: 200 - 100 = 100.
  EXPECT_EQ(canvas.Pixel(0, 0), Color32(100, 227, 200, 77));
  EXPECT_EQ(canvas.Pixel(1, 0), Color32(100, 227, 200, 77));
}

TEST(Stretch, NearestStretchAndPlainDrawCopyAllFourBytes) {
  TBitmap32 source = Row2(Color32(1, 2, 3, 4), Color32(5, 6, 7, 8));
  TBitmap32 canvas(5, 2);
  StretchDrawNearest(canvas, {1, 0, 5, 2}, source);
  EXPECT_EQ(canvas.Pixel(0, 1), 0u);
  EXPECT_EQ(canvas.Pixel(2, 1), Color32(1, 2, 3, 4));
  EXPECT_EQ(canvas.Pixel(3, 1), Color32(5, 6, 7, 8));
  DrawBitmap(canvas, 4, 1, source);  // the second pixel falls off the canvas
  EXPECT_EQ(canvas.Pixel(4, 1), Color32(1, 2, 3, 4));
  DrawBitmap(canvas, -1, 0, source);
  EXPECT_EQ(canvas.Pixel(0, 0), Color32(5, 6, 7, 8));
}

TEST(Rotate, ZeroDegreesKeepsRowsAndSizesTheDestinationFromTheCentre) {
  TBitmap32 source = Pattern(200, 150);
  TBitmap32 turned = RotateBitmap(source, 0, 100, 75);
  // OX = 199 - 100, OY = 75: 2 * 99 + 5 by 2 * 75 + 5.
  ASSERT_EQ(turned.Width(), 203);
  ASSERT_EQ(turned.Height(), 155);
  // Rows stay; the forward mapping lands column x at x - 1 and then fills x - 2.
  for (int y = 0; y < 150; ++y) EXPECT_EQ(turned.Pixel(50, y), source.Pixel(52, y)) << y;
  EXPECT_EQ(turned.Pixel(202, 154), Color32(255, 255, 255, 0));
}

TEST(Rotate, QuarterTurnMovesTheTopEdgeToTheLeft) {
  TBitmap32 source(200, 120, Color32(0, 0, 255));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) source.SetPixel(x, y, Color32(255, 0, 0));  // red top-left quadrant
  TBitmap32 turned = RotateBitmap(source, 90, 100, 60);
  ASSERT_FALSE(turned.Empty());
  EXPECT_GE(turned.Width(), 120);
  EXPECT_GE(turned.Height(), 200);
  // Top-left quadrant: top goes left, left goes down.
  const int cx = turned.Width() / 2, cy = turned.Height() / 2;
  EXPECT_EQ(turned.Pixel(cx - 30, cy + 50), Color32(255, 0, 0));
  EXPECT_EQ(turned.Pixel(cx - 30, cy - 50), Color32(0, 0, 255));
  EXPECT_EQ(turned.Pixel(cx + 30, cy + 50), Color32(0, 0, 255));
}

TEST(Rotate, SmallPicturesComeBackAtTheirOwnScale) {
  TBitmap32 source(40, 30, Color32(10, 200, 30));
  TBitmap32 turned = RotateBitmap(source, 180, 20, 15);
  // Doubled: 80 x 60 about (40, 30): OY = 30 - 59 .. rounded; the result is half.
  ASSERT_FALSE(turned.Empty());
  EXPECT_NEAR(turned.Width(), 40, 4);
  EXPECT_NEAR(turned.Height(), 30, 4);
  EXPECT_EQ(turned.Pixel(turned.Width() / 2, turned.Height() / 2), Color32(10, 200, 30));
}

TEST(Rotate, RefusesEmptySourceAndEmptyDestination) {
  EXPECT_TRUE(RotateBitmap(TBitmap32(), 30, 0, 0).Empty());
  // A centre far to the right of the picture gives a negative width.
  EXPECT_TRUE(RotateBitmap(Pattern(150, 150), 0, 5000, 75).Empty());
  EXPECT_TRUE(RotateBitmap(Pattern(20, 20), 0, 5000, 10).Empty());
}
