#include "exchange/PictureAcquisition.h"

#include <gtest/gtest.h>

#include "editor/SourcePicture.h"
#include "picture/PsdFile.h"
#include "platform/Geometry.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {

class PictureLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSourcePicture();
    previous_ = TestPicture(7, 5, true);
    SourcePicture = previous_;
    SourceHasAlpha = true;
  }
  void TearDown() override { ResetSourcePicture(); }

  void ExpectPreviousKept() {
    EXPECT_TRUE(SamePicture(SourcePicture, previous_));
    EXPECT_TRUE(SourceHasAlpha);
  }

  TempFolder dir_;
  TBitmap32 previous_;
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
  SourceHasAlpha = false;
  ASSERT_TRUE(LoadSourcePictureFile(file));
  EXPECT_TRUE(SamePicture(SourcePicture, colours));
  EXPECT_TRUE(SourceHasAlpha);
}

TEST_F(PictureLoading, PhotoshopAlphaIsKept) {
  const TBitmap32 picture = TestPicture(9, 6, true);
  const fs::path file = dir_ / "cut.psd";
  ASSERT_TRUE(SavePsdFile(picture, file));
  ASSERT_TRUE(LoadSourcePictureFile(file));
  EXPECT_TRUE(SamePicture(SourcePicture, picture));
}

TEST_F(PictureLoading, JpegInCapitalsAndOtherFormatsLoadWithoutAlpha) {
  const TBitmap32 colours = TestPicture(16, 12, false);
  for (const char* name : {"PHOTO.JPEG", "photo.png", "photo.tga", "photo.gif"}) {
    const fs::path file = dir_ / name;
    ImageMagickWrite(colours, file, "-quality 100");
    SourceHasAlpha = true;
    ASSERT_TRUE(LoadSourcePictureFile(file)) << name;
    EXPECT_FALSE(SourceHasAlpha) << name;
    ASSERT_EQ(SourcePicture.Width(), 16) << name;
    ASSERT_EQ(SourcePicture.Height(), 12) << name;
    // JPEG and GIF are lossy; the corner colours still tell an upside-down picture.
    for (TPoint p : {TPoint{0, 0}, TPoint{15, 11}})
      EXPECT_NEAR(RedOf(SourcePicture.Pixel(p.X, p.Y)), RedOf(colours.Pixel(p.X, p.Y)), 12) << name;
    EXPECT_EQ(AlphaOf(SourcePicture.Pixel(3, 3)), 255) << name;
  }
}

TEST_F(PictureLoading, FailedLoadsKeepThePreviousPicture) {
  WriteTestFile(dir_ / "broken.psd", "8BPS but not really");
  WriteTestFile(dir_ / "broken.jpg", std::string("\xFF\xD8\xFF\xE0 truncated", 14));
  WriteTestFile(dir_ / "broken.png", "not a png");
  for (const char* name : {"broken.psd", "broken.jpg", "broken.png", "missing.bmp", "missing.psd"}) {
    EXPECT_FALSE(LoadSourcePictureFile(dir_ / name)) << name;
    ExpectPreviousKept();
  }
}

TEST(ScanResults, AScanBecomesTheOpaqueSourcePicture) {
  ResetSourcePicture();
  SourceHasAlpha = true;
  TScanResult grey{TScanStatus::Scanned, {3, 2, false, {0, 50, 100, 150, 200, 250}}, ""};
  const TScanOutcome outcome = TakeScanResult(grey);
  EXPECT_TRUE(outcome.Acquired);
  EXPECT_FALSE(outcome.Message);
  EXPECT_FALSE(SourceHasAlpha);
  ASSERT_EQ(SourcePicture.Width(), 3);
  EXPECT_EQ(SourcePicture.Pixel(2, 1), Color32(250, 250, 250));

  TScanResult colour{TScanStatus::Scanned, {1, 1, true, {10, 20, 30}}, ""};
  ASSERT_TRUE(TakeScanResult(colour).Acquired);
  EXPECT_EQ(SourcePicture.Pixel(0, 0), Color32(10, 20, 30));
  ResetSourcePicture();
}

TEST(ScanResults, CancelsAreSilentAndFailuresTellTheReasonWithoutTouchingTheSource) {
  const TBitmap32 before = TestPicture(4, 4, true);
  SourcePicture = before;
  SourceHasAlpha = true;

  const TScanOutcome cancelled = TakeScanResult({TScanStatus::Cancelled, {}, "Operation was cancelled"});
  EXPECT_FALSE(cancelled.Acquired);
  EXPECT_FALSE(cancelled.Message);

  const TScanOutcome failed = TakeScanResult({TScanStatus::Failed, {}, "Document feeder jammed"});
  EXPECT_FALSE(failed.Acquired);
  ASSERT_TRUE(failed.Message);
  EXPECT_NE(failed.Message->find("Document feeder jammed"), std::string::npos);

  // A scan whose samples do not cover its size is no picture.
  const TScanOutcome shortScan = TakeScanResult({TScanStatus::Scanned, {4, 4, true, {1, 2, 3}}, ""});
  EXPECT_FALSE(shortScan.Acquired);
  EXPECT_TRUE(shortScan.Message);

  EXPECT_TRUE(SamePicture(SourcePicture, before));
  EXPECT_TRUE(SourceHasAlpha);
  ResetSourcePicture();
}

}  // namespace
