#include "exchange/PictureAcquisition.h"

#include <gtest/gtest.h>

#include "picture/PsdFile.h"
#include "platform/Geometry.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {

class PictureLoading : public ::testing::Test {
 protected:
  TempFolder dir_;
};

TEST_F(PictureLoading, RoutesGoByTheExtensionIgnoringCase) {
  EXPECT_EQ(LoadRouteFor("a/Face.PsD"), TLoadRoute::Psd);
  EXPECT_EQ(LoadRouteFor("Face.JPEG"), TLoadRoute::Jpeg);
  EXPECT_EQ(LoadRouteFor("Face.jpg"), TLoadRoute::Jpeg);
  EXPECT_EQ(LoadRouteFor("Face.psd.png"), TLoadRoute::Lead);
  EXPECT_EQ(LoadRouteFor("Face"), TLoadRoute::Lead);
}

TEST_F(PictureLoading, PhotoshopFileWithoutAlphaLoadsOpaqueAndStillCountsAsAlpha) {
  const TBitmap32 colours = TestPicture(9, 6, false);
  const fs::path file = dir_ / "FACE.PSD";
  ImageMagickWrite(colours, file, "-alpha off");  // three channels: the reader gives alpha 0
  const auto loaded = LoadIncomingPicture(file);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(SamePicture(loaded->Picture, colours));
  EXPECT_TRUE(loaded->HasAlpha);
}

TEST_F(PictureLoading, PhotoshopAlphaIsKept) {
  const TBitmap32 picture = TestPicture(9, 6, true);
  const fs::path file = dir_ / "cut.psd";
  ASSERT_TRUE(SavePsdFile(picture, file));
  const auto loaded = LoadIncomingPicture(file);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(SamePicture(loaded->Picture, picture));
  EXPECT_TRUE(loaded->HasAlpha);
}

TEST_F(PictureLoading, JpegInCapitalsAndOtherFormatsLoadWithoutAlpha) {
  const TBitmap32 colours = TestPicture(16, 12, false);
  for (const char* name : {"PHOTO.JPEG", "photo.png", "photo.tga", "photo.gif"}) {
    const fs::path file = dir_ / name;
    ImageMagickWrite(colours, file, "-quality 100");
    const auto loaded = LoadIncomingPicture(file);
    ASSERT_TRUE(loaded) << name;
    EXPECT_FALSE(loaded->HasAlpha) << name;
    const TBitmap32& picture = loaded->Picture;
    ASSERT_EQ(picture.Width(), 16) << name;
    ASSERT_EQ(picture.Height(), 12) << name;
    // JPEG and GIF are lossy; the corner colours still tell an upside-down picture.
    for (TPoint p : {TPoint{0, 0}, TPoint{15, 11}})
      EXPECT_NEAR(RedOf(picture.Pixel(p.X, p.Y)), RedOf(colours.Pixel(p.X, p.Y)), 12) << name;
    EXPECT_EQ(AlphaOf(picture.Pixel(3, 3)), 255) << name;
  }
}

TEST_F(PictureLoading, FailedLoadsGiveTheirCauseAndNoPicture) {
  WriteTestFile(dir_ / "broken.psd", "8BPS but not really");
  WriteTestFile(dir_ / "broken.jpg", std::string("\xFF\xD8\xFF\xE0 truncated", 14));
  WriteTestFile(dir_ / "broken.png", "not a png");
  for (const char* name : {"broken.psd", "broken.jpg", "broken.png", "missing.bmp", "missing.psd"}) {
    const auto loaded = LoadIncomingPicture(dir_ / name);
    ASSERT_FALSE(loaded) << name;
    EXPECT_EQ(loaded.Error().Cause == TFileFault::NoSuchFile, std::string(name).starts_with("missing")) << name;
  }
}

TEST(ScanResults, AScanBecomesTheOpaqueSourcePicture) {
  TScanResult grey{TScanStatus::Scanned, {3, 2, false, {0, 50, 100, 150, 200, 250}}, ""};
  const TScanOutcome outcome = TakeScanResult(grey);
  EXPECT_FALSE(outcome.Message);
  ASSERT_EQ(outcome.Picture.Width(), 3);
  EXPECT_EQ(outcome.Picture.Pixel(2, 1), Color32(250, 250, 250));

  TScanResult colour{TScanStatus::Scanned, {1, 1, true, {10, 20, 30}}, ""};
  const TBitmap32 picture = TakeScanResult(colour).Picture;
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Pixel(0, 0), Color32(10, 20, 30));
}

TEST(ScanResults, CancelsAreSilentAndFailuresTellTheReasonWithoutAPicture) {
  const TScanOutcome cancelled = TakeScanResult({TScanStatus::Cancelled, {}, "Operation was cancelled"});
  EXPECT_TRUE(cancelled.Picture.Empty());
  EXPECT_FALSE(cancelled.Message);

  const TScanOutcome failed = TakeScanResult({TScanStatus::Failed, {}, "Document feeder jammed"});
  EXPECT_TRUE(failed.Picture.Empty());
  ASSERT_TRUE(failed.Message);
  EXPECT_NE(failed.Message->find("Document feeder jammed"), std::string::npos);

  // A scan whose samples do not cover its size is no picture.
  const TScanOutcome shortScan = TakeScanResult({TScanStatus::Scanned, {4, 4, true, {1, 2, 3}}, ""});
  EXPECT_TRUE(shortScan.Picture.Empty());
  EXPECT_TRUE(shortScan.Message);
}

}  // namespace
