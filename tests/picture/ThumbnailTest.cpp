// Thumbnails and previews: placement, composition over the background, JPEG output.
#include <gtest/gtest.h>

#include "picture/BitmapRoutines.h"
#include "support/PictureJudges.h"

namespace {
const TColor32 kBlue = Color32(0, 0, 255);

// The bounding box of pixels that differ from the background.
TRect Drawn(const TBitmap32& canvas, TColor32 background) {
  TRect box{canvas.Width(), canvas.Height(), 0, 0};
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
      if (canvas.Pixel(x, y) != background) box = {std::min(box.Left, x), std::min(box.Top, y),
                                                    std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
  return box;
}
}  // namespace

TEST(Thumbnail, PlacesPicturesUnscaledCentredOrFittedInside) {
  const TColor32 red = Color32(255, 0, 0);
  EXPECT_EQ(Drawn(ThumbnailCanvas(TBitmap32(10, 6, red), 20, kBlue, 20), kBlue), (TRect{5, 7, 15, 13}));
  EXPECT_EQ(Drawn(ThumbnailCanvas(TBitmap32(40, 20, red), 20, kBlue, 20), kBlue), (TRect{0, 5, 20, 15}));
  EXPECT_EQ(Drawn(ThumbnailCanvas(TBitmap32(20, 40, red), 20, kBlue, 20), kBlue), (TRect{5, 0, 15, 20}));
  EXPECT_EQ(Drawn(ThumbnailCanvas(TBitmap32(20, 20, red), 20, kBlue, 20), kBlue), (TRect{0, 0, 20, 20}));
  // A wide canvas fits a square picture by its height rather than cutting it.
  EXPECT_EQ(Drawn(ThumbnailCanvas(TBitmap32(20, 20, red), 40, kBlue, 10), kBlue), (TRect{15, 0, 25, 10}));
  EXPECT_EQ(Drawn(ThumbnailCanvas(TBitmap32(), 8, kBlue, 8), kBlue), (TRect{8, 8, 0, 0})) << "nothing drawn";
  EXPECT_TRUE(ThumbnailCanvas(TBitmap32(3, 3), 0, kBlue, 8).Empty());
}

TEST(Thumbnail, ComposesTransparencyOverTheBackgroundInEveryCase) {
  TBitmap32 picture(20, 20, Color32(200, 0, 0, 128));
  picture.SetPixel(0, 0, Color32(9, 9, 9, 0));
  for (int size : {20, 30, 10}) {  // same size, smaller, fitted
    SCOPED_TRACE(size);
    const TBitmap32 canvas = ThumbnailCanvas(picture, size, kBlue, size);
    const TColor32 middle = canvas.Pixel(size / 2, size / 2);
    EXPECT_EQ(middle, Color32(200 * 128 / 255, 0, 255 * 127 / 255));
    EXPECT_TRUE(AlphaIs(canvas, 255));
  }
  const TBitmap32 same = ThumbnailCanvas(picture, 20, kBlue, 20);
  EXPECT_EQ(same.Pixel(0, 0), kBlue) << "a transparent pixel shows the background, not black";
}

TEST(Thumbnail, MakesJpegsOfQuality70) {
  TempFolder dir;
  auto thumb = MakeThumbnail(TestPicture(50, 30, true), 64, Color32(255, 255, 255), 48);
  ASSERT_TRUE(thumb.has_value());
  ASSERT_TRUE(thumb->SaveToFile(dir / "t.jpg"));
  EXPECT_EQ(Identify(dir / "t.jpg", "%w %h %Q"), "64 48 70");
  EXPECT_FALSE(MakeThumbnail(TestPicture(5, 5, false), -1, 0, 5).has_value());

  auto preview = MakeJpegPreview(TBitmap32(4, 4, Color32(255, 0, 0, 255)), 32, 16, Color32(255, 255, 255));
  ASSERT_TRUE(preview.has_value());
  ASSERT_TRUE(preview->SaveToFile(dir / "p.jpg"));
  EXPECT_EQ(Identify(dir / "p.jpg", "%w %h %Q"), "32 16 70");
  auto pixels = preview->ToBitmap();
  ASSERT_TRUE(pixels.Ok());
  EXPECT_GT(RedOf(pixels->Pixel(16, 8)), 240);
  EXPECT_LT(GreenOf(pixels->Pixel(16, 8)), 20) << "opaque red covers the white background";
  EXPECT_FALSE(MakeJpegPreview(TBitmap32(2, 2), 0, 10, 0).has_value());
}
