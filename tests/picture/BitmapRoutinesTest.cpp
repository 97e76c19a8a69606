// Mirroring, rectangles, alpha helpers and the contour routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "picture/BitmapRoutines.h"
#include "support/PictureCompare.h"

namespace {
TBitmap32 Numbered(int w, int h) {
  TBitmap32 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, TColor32(y * 1000 + x));
  return b;
}
}  // namespace

TEST(Flip, MirrorsRowsOrColumnsIncludingTheMiddleOfOddSizes) {
  TBitmap32 b = Numbered(3, 3);
  FlipBitmap(b, kFlipTopBottom);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), TColor32((2 - y) * 1000 + x));
  b = Numbered(4, 2);
  FlipBitmap(b, kFlipLeftRight);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x, y), TColor32(y * 1000 + 3 - x));
}

TEST(Flip, NeedsTwoPixelsAlongTheFlipAndAKnownDirection) {
  TBitmap32 line = Numbered(5, 1);
  const TBitmap32 original = line;
  FlipBitmap(line, kFlipTopBottom);
  EXPECT_TRUE(SamePicture(line, original));
  FlipBitmap(line, 2);
  FlipBitmap(line, -1);
  EXPECT_TRUE(SamePicture(line, original));
  FlipBitmap(line, kFlipLeftRight);  // a one-row picture still mirrors sideways
  EXPECT_EQ(line.Pixel(0, 0), 4u);
  TBitmap32 empty;
  FlipBitmap(empty, kFlipLeftRight);
  EXPECT_TRUE(empty.Empty());
}

TEST(Rects, IntersectionKeepsTouchingEdgesAndReportsNone) {
  EXPECT_EQ(IntersectRectOrNone({0, 0, 10, 10}, {10, 0, 20, 10}), (TRect{10, 0, 10, 10}));
  EXPECT_EQ(IntersectRectOrNone({0, 0, 10, 10}, {11, 0, 20, 10}), (TRect{-1, -1, -1, -1}));
  EXPECT_EQ(IntersectRectOrNone({0, 0, 10, 10}, {2, 3, 5, 20}), (TRect{2, 3, 5, 10}));
  EXPECT_EQ(IntersectRectOrNone({0, 0, 10, 10}, {0, 12, 10, 20}), (TRect{-1, -1, -1, -1}));
}

TEST(AlphaHelpers, SetAndTestEveryPixel) {
  TBitmap32 b(3, 2, Color32(1, 2, 3, 255));
  EXPECT_TRUE(AlphaIs(b, 255));
  b.SetPixel(2, 1, Color32(1, 2, 3, 254));
  EXPECT_FALSE(AlphaIs(b, 255));
  SetAlpha(b, 0);
  EXPECT_TRUE(AlphaIs(b, 0));
  EXPECT_EQ(b.Pixel(2, 1), Color32(1, 2, 3, 0));
  EXPECT_FALSE(AlphaIs(b, -1));
  EXPECT_FALSE(AlphaIs(b, 256));
  TBitmap32 empty;
  SetAlpha(empty, 9);
  EXPECT_TRUE(AlphaIs(empty, -1));
  ClearPicture(b);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
}

TEST(Chain, StepsInScreenDirectionsAndStaysOnTheCanvas) {
  TBitmap32 canvas(5, 5);
  const TPoint c{2, 2};
  const TPoint expected[8] = {{3, 2}, {3, 1}, {2, 1}, {1, 1}, {1, 2}, {1, 3}, {2, 3}, {3, 3}};
  for (int code = 0; code < 8; ++code) EXPECT_EQ(ChainNeighbour(code, c, canvas), expected[code]) << code;
  EXPECT_EQ(ChainNeighbour(-1, c, canvas), (TPoint{3, 3}));
  EXPECT_EQ(ChainNeighbour(3, {0, 0}, canvas), (TPoint{0, 0}));
  EXPECT_EQ(ChainNeighbour(7, {4, 4}, canvas), (TPoint{4, 4}));
  EXPECT_EQ(ChainNeighbour(1, {4, 3}, canvas), (TPoint{4, 2})) << "each coordinate is kept on its own";
  EXPECT_THROW(ChainNeighbour(8, c, canvas), std::invalid_argument);
  EXPECT_THROW(ChainNeighbour(-2, c, canvas), std::invalid_argument);
}

TEST(Contour, WalksTheBorderOfARegionBackToItsStart) {
  TBitmap32 canvas(12, 10, Color32(0, 0, 0));
  for (int y = 2; y < 6; ++y)
    for (int x = 3; x < 8; ++x) canvas.SetPixel(x, y, Color32(200, 150, 100));
  const TColor32 low = Color32(100, 100, 50), high = Color32(255, 200, 150);
  auto points = TraceContour({6, 4}, canvas, low, high);
  ASSERT_GE(points.size(), 2u);
  EXPECT_EQ(points.front(), (TPoint{3, 4})) << "starts at the leftmost pixel of the start's run";
  EXPECT_EQ(points.back(), points.front());
  std::set<std::pair<int, int>> border;
  for (int y = 2; y < 6; ++y)
    for (int x = 3; x < 8; ++x)
      if (y == 2 || y == 5 || x == 3 || x == 7) border.insert({x, y});
  std::set<std::pair<int, int>> walked;
  for (auto p : points) {
    EXPECT_TRUE(border.count({p.X, p.Y})) << p.X << "," << p.Y;
    walked.insert({p.X, p.Y});
  }
  EXPECT_EQ(walked, border);
  for (std::size_t i = 1; i < points.size(); ++i)
    EXPECT_LE(std::max(std::abs(points[i].X - points[i - 1].X), std::abs(points[i].Y - points[i - 1].Y)), 1);
}

TEST(Contour, FailsOnAnIsolatedPixelAnOversizedContourOrAStartOffTheCanvas) {
  TBitmap32 canvas(9, 9, Color32(0, 0, 0));
  canvas.SetPixel(4, 4, Color32(255, 255, 255));
  const TColor32 white = Color32(255, 255, 255);
  EXPECT_TRUE(TraceContour({4, 4}, canvas, white, white).empty());
  EXPECT_TRUE(TraceContour({-1, 4}, canvas, white, white).empty());

  TBitmap32 wide(4700, 6, Color32(0, 0, 0));
  for (int x = 10; x < 4610; ++x)
    for (int y = 1; y < 4; ++y) wide.SetPixel(x, y, white);
  EXPECT_TRUE(TraceContour({20, 2}, wide, white, white).empty()) << "about 9200 points are needed";
  TBitmap32 shorter(4700, 6, Color32(0, 0, 0));
  for (int x = 10; x < 4000; ++x)
    for (int y = 1; y < 4; ++y) shorter.SetPixel(x, y, white);
  auto points = TraceContour({20, 2}, shorter, white, white);
  EXPECT_GT(points.size(), 7900u);
  EXPECT_LT(points.size(), std::size_t(kMaxContourPoints));
}

TEST(Neighbours, AverageSkipsTheIgnoredColourAndTheOutsideOfTheCanvas) {
  const TColor32 hole = Color32(0, 255, 0, 0);
  TBitmap32 canvas(3, 3, hole);
  canvas.SetPixel(1, 0, Color32(10, 20, 30, 0));
  canvas.SetPixel(0, 1, Color32(21, 40, 61, 9));
  // Corner (0, 0): three neighbours on the canvas, one of them a hole.
  EXPECT_EQ(AverageNeighbourColor(0, 0, hole, canvas), Color32(15, 30, 45, 255));
  // The ignored colour is compared without its alpha.
  EXPECT_EQ(AverageNeighbourColor(2, 2, Color32(0, 255, 0, 255), canvas), Color32(0, 255, 0, 255));
  canvas.SetPixel(2, 2, Color32(100, 100, 100, 100));
  EXPECT_EQ(AverageNeighbourColor(1, 1, hole, canvas), Color32(43, 53, 63, 255));
}
