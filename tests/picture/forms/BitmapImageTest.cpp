#include <gtest/gtest.h>

#include <QColor>

#include "picture/forms/BitmapImage.h"

TEST(BitmapImage, ViewSharesPixelsWithoutCopying) {
  TBitmap32 b(3, 2, Color32(10, 20, 30, 128));
  QImage view = ImageView(b);
  ASSERT_EQ(view.format(), QImage::Format_ARGB32);
  EXPECT_EQ(view.constBits(), b.Bits());
  EXPECT_EQ(view.pixel(2, 1), qRgba(10, 20, 30, 128));
  b.SetPixel(0, 0, Color32(1, 2, 3, 4));
  EXPECT_EQ(view.pixel(0, 0), qRgba(1, 2, 3, 4));
  EXPECT_TRUE(ImageView(TBitmap32()).isNull());
}

TEST(BitmapImage, WritableViewPaintsIntoTheBitmap) {
  TBitmap32 b(2, 2, Color32(0, 0, 0, 0));
  QImage view = WritableImageView(b);
  view.setPixel(1, 1, qRgba(9, 8, 7, 6));
  EXPECT_EQ(view.constBits(), b.Bits());
  EXPECT_EQ(b.Pixel(1, 1), Color32(9, 8, 7, 6));
}

TEST(BitmapImage, CopyFromAnyFormatKeepsStraightAlpha) {
  QImage premultiplied(2, 1, QImage::Format_ARGB32_Premultiplied);
  premultiplied.setPixelColor(0, 0, QColor(200, 100, 50, 255));
  premultiplied.setPixelColor(1, 0, QColor(0, 0, 0, 0));
  TBitmap32 b = BitmapFromImage(premultiplied);
  ASSERT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Pixel(0, 0), Color32(200, 100, 50, 255));
  EXPECT_EQ(AlphaOf(b.Pixel(1, 0)), 0);
}
