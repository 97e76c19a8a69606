// The spans a compositor trusts to skip pixels: a wrong one would drop or hide
// pixels, so the steps of eight and thirty-two pixels are checked against
// pixel-by-pixel reading over rows of every width around those steps.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "picture/AlphaSpans.h"

namespace {

TAlphaSpan PixelByPixel(const std::vector<TColor32>& row) {
  TAlphaSpan span;
  const int width = int(row.size());
  int left = 0, right = width;
  while (left < width && AlphaOf(row[std::size_t(left)]) == 0) ++left;
  while (right > left && AlphaOf(row[std::size_t(right - 1)]) == 0) --right;
  if (left == right) return span;
  span.Left = left;
  span.Right = right;
  for (int x = left, run = 0; x < right; ++x) {
    run = AlphaOf(row[std::size_t(x)]) == 255 ? run + 1 : 0;
    if (run > span.SolidRight - span.SolidLeft) {
      span.SolidLeft = x + 1 - run;
      span.SolidRight = x + 1;
    }
  }
  return span;
}

bool operator==(const TAlphaSpan& a, const TAlphaSpan& b) {
  return a.Left == b.Left && a.Right == b.Right && a.SolidLeft == b.SolidLeft && a.SolidRight == b.SolidRight;
}

TEST(AlphaSpans, AgreeWithPixelByPixelReadingAtEveryWidth) {
  std::mt19937 random(5);
  for (int width = 0; width <= 140; ++width)
    for (int trial = 0; trial < 200; ++trial) {
      // Long runs of one alpha, so that whole steps are clear or opaque.
      std::vector<TColor32> row(static_cast<std::size_t>(width));
      for (int x = 0; x < width;) {
        const std::uint32_t kind = random() % 4;
        const TColor32 alpha = kind == 0 ? 0 : kind == 1 ? 255 : kind == 2 ? 1 + random() % 254 : random() % 256;
        for (int n = int(random() % (kind < 2 ? 80 : 20)); n >= 0 && x < width; --n, ++x)
          row[std::size_t(x)] = (alpha << 24) | random() % 0x1000000;
      }
      const TAlphaSpan expected = PixelByPixel(row);
      ASSERT_TRUE(MeasureAlphaSpan(row.data(), width) == expected) << "width " << width << " trial " << trial;
    }
}

// A soft edge with one opaque pixel anywhere in it: no step may pass over it.
TEST(AlphaSpans, FindOneOpaquePixelInAPartlyClearRun) {
  for (int width = 1; width <= 100; ++width)
    for (int at = 0; at < width; ++at) {
      std::vector<TColor32> row(static_cast<std::size_t>(width), 0x80102030);
      row[std::size_t(at)] = 0xFF102030;
      ASSERT_TRUE((MeasureAlphaSpan(row.data(), width) == TAlphaSpan{0, width, at, at + 1}))
          << "width " << width << " at " << at;
    }
  // Alpha 254 is the nearest to opaque that is not.
  std::vector<TColor32> row(100, 0xFE102030);
  EXPECT_TRUE((MeasureAlphaSpan(row.data(), 100) == TAlphaSpan{0, 100, 0, 0}));
}

TEST(AlphaSpans, ClearRowsAndOpaqueEdges) {
  TBitmap32 picture(19, 3);
  picture.SetPixel(0, 1, 0xFF000000);  // opaque at both ends, clear between
  picture.SetPixel(18, 1, 0xFF000000);
  for (int x = 3; x < 19; ++x) picture.SetPixel(x, 2, 0xFF102030);
  const std::vector<TAlphaSpan> spans = MeasureAlphaSpans(picture);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_TRUE(spans[0] == TAlphaSpan{}) << "a clear row";
  EXPECT_TRUE((spans[1] == TAlphaSpan{0, 19, 0, 1}));
  EXPECT_TRUE((spans[2] == TAlphaSpan{3, 19, 3, 19}));
  EXPECT_TRUE(MeasureAlphaSpans(TBitmap32()).empty());
}

}  // namespace
