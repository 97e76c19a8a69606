#include <gtest/gtest.h>

#include <utility>

#include "picture/Bitmap32.h"

TEST(Bitmap32, BytesAreBgraRowsTopToBottom) {
  TBitmap32 b(2, 2);
  b.SetPixel(1, 0, Color32(0x11, 0x22, 0x33, 0x44));
  const std::uint8_t* row0 = b.Row(0);
  EXPECT_EQ(row0[4], 0x33);  // B
  EXPECT_EQ(row0[5], 0x22);  // G
  EXPECT_EQ(row0[6], 0x11);  // R
  EXPECT_EQ(row0[7], 0x44);  // A
  EXPECT_EQ(b.Stride(), 8u);
  EXPECT_EQ(b.Pixel(1, 0), 0x44112233u);
  EXPECT_EQ(b.Pixel(0, 1), 0u);
}

TEST(Bitmap32, CheckedAccessOutsideDoesNothing) {
  TBitmap32 b(3, 2, Color32(1, 2, 3));
  b.SetPixel(-1, 0, 0);
  b.SetPixel(3, 0, 0);
  b.SetPixel(0, 2, 0);
  EXPECT_EQ(b.Pixel(3, 0), 0u);
  EXPECT_EQ(b.Pixel(-1, -1), 0u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), Color32(1, 2, 3));
}

TEST(Bitmap32, SizeCapsAreEnforced) {
  TBitmap32 b(4, 4);
  EXPECT_FALSE(b.SetSize(-1, 5));
  EXPECT_FALSE(b.SetSize(kMaxPictureSide + 1, 1));
  EXPECT_EQ(b.Width(), 4);  // unchanged after refusals
  EXPECT_TRUE(PictureSizeAllowed(kMaxPictureSide, kMaxPictureSide));
  EXPECT_FALSE(PictureSizeAllowed(kMaxPictureSide, kMaxPictureSide + 1));
  EXPECT_FALSE(PictureSizeAllowed(1, -1));
  EXPECT_TRUE(b.SetSize(0, 7));
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.ByteSize(), 0u);
}

TEST(Bitmap32, SharedPixelsPartWhenEitherSideWrites) {
  TBitmap32 a(3, 2, Color32(1, 2, 3));
  TBitmap32 b = a.Share();
  EXPECT_TRUE(a.Shared());
  EXPECT_EQ(std::as_const(a).Bits(), std::as_const(b).Bits());
  EXPECT_NE(a.Bits(), b.Bits());  // a non-const access of a shared picture unshares it
  EXPECT_FALSE(a.Shared());
  EXPECT_FALSE(b.Shared());

  TBitmap32 c = a.Share();
  c.SetPixel(0, 0, Color32(9, 9, 9));
  EXPECT_EQ(a.Pixel(0, 0), Color32(1, 2, 3));
  EXPECT_EQ(c.Pixel(0, 0), Color32(9, 9, 9));

  TBitmap32 d = a.Share();
  a.Row(1)[0] = 7;
  a.SetSize(1, 1);
  EXPECT_EQ(d.Pixel(0, 1), Color32(1, 2, 3));
  EXPECT_EQ(d.Width(), 3);

  // A copy is always its own.
  TBitmap32 e = c;
  EXPECT_FALSE(c.Shared());
  e.Clear(0);
  EXPECT_EQ(c.Pixel(0, 0), Color32(9, 9, 9));
  EXPECT_NE(e, c);
}
