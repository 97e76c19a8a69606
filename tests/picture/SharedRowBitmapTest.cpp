#include <gtest/gtest.h>

#include "picture/SharedRowBitmap.h"
#include "platform/Geometry.h"

namespace {

// Rows 0, 2 and 4 alike (not neighbours), 1 and 3 alike, row 5 its own.
TBitmap32 Striped() {
  TBitmap32 picture(11, 6, 0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 11; ++x)
      picture.SetPixel(x, y, y == 5 ? Color32(std::uint8_t(x), 1, 2, 3)
                                    : Color32(std::uint8_t(x * 30), std::uint8_t(y % 2), 9, 200));
  return picture;
}

}  // namespace

TEST(SharedRowBitmap, HoldsEqualRowsOnceAndReadsEveryPixelAsTheWholePicture) {
  const TBitmap32 picture = Striped();
  const TSharedRowBitmap shared(picture);
  EXPECT_EQ(shared.DistinctRows(), 3u);
  EXPECT_EQ(shared.Unpacked(), picture);
  for (int y = -1; y <= 6; ++y)
    for (int x = -1; x <= 11; ++x) EXPECT_EQ(shared.Pixel(x, y), picture.Pixel(x, y)) << x << "," << y;
  // A row differing in one pixel only, early or last, is its own.
  TBitmap32 changed = picture;
  changed.SetPixel(2, 4, 0);
  changed.SetPixel(10, 3, 0);
  EXPECT_EQ(TSharedRowBitmap(changed).DistinctRows(), 5u);
  EXPECT_EQ(TSharedRowBitmap(changed).Unpacked(), changed);
  EXPECT_TRUE(TSharedRowBitmap(TBitmap32()).Empty());
}

TEST(SharedRowBitmap, CropClipsAtEveryEdgeAsTheWholePictureDoes) {
  const TBitmap32 picture = Striped();
  const TSharedRowBitmap shared(picture);
  for (const TRect& r : {Bounds(0, 0, 11, 6), Bounds(-2, -3, 5, 5), Bounds(8, 3, 6, 6), Bounds(11, 0, 3, 3),
                         Bounds(-5, 2, 3, 2), Bounds(2, 1, 3, 4)}) {
    const TBitmap32 part = CropBitmap(shared, r.Left, r.Top, r.Width(), r.Height());
    ASSERT_EQ(part.Width(), r.Width());
    ASSERT_EQ(part.Height(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x)
        EXPECT_EQ(part.Pixel(x, y), picture.Pixel(r.Left + x, r.Top + y))
            << r.Left << "," << r.Top << ": " << x << "," << y;
  }
}
