#include "exchange/PictureOutput.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "picture/Lead.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {

class FakeWork : public IWorkPicture {
 public:
  bool WorkIsEmpty() const override { return empty; }
  TBitmap32 TakeExportPicture() override {
    ++renders;
    return picture;
  }
  bool empty = false;
  int renders = 0;
  TBitmap32 picture;
};


constexpr std::uint64_t kPlenty = std::uint64_t(1) << 40;
auto Plenty = [](const fs::path&) -> std::optional<std::uint64_t> { return kPlenty; };

TFileFault Cause(const TFileResult<>& saved) {
  EXPECT_FALSE(saved);
  return saved ? TFileFault::Empty : saved.Error().Cause;
}

TEST(ImageSaveTargets, ExtensionsChooseTheFormatAndUnknownOnesBecomeBitmaps) {
  EXPECT_EQ(ImageSaveTarget("a/b.png"), (TImageSaveTarget{"a/b.png", kLeadPng}));
  EXPECT_EQ(ImageSaveTarget("a/b.PNG"), (TImageSaveTarget{"a/b.PNG", kLeadPng}));
  EXPECT_EQ(ImageSaveTarget("b.jpeg"), (TImageSaveTarget{"b.jpeg", kLeadJpeg}));
  EXPECT_EQ(ImageSaveTarget("b.Tiff"), (TImageSaveTarget{"b.Tiff", kLeadTiff}));
  EXPECT_EQ(ImageSaveTarget("b.psd"), (TImageSaveTarget{"b.psd", kLeadPsd}));
  EXPECT_EQ(ImageSaveTarget("b.gif"), (TImageSaveTarget{"b.gif.bmp", kLeadBmp}));
  EXPECT_EQ(ImageSaveTarget("dir.png/b"), (TImageSaveTarget{"dir.png/b.bmp", kLeadBmp}));
}

TEST(WorkPictureSaving, EveryFormatReadsBackInPillow) {
  TempFolder dir;
  FakeWork work;
  work.picture = TestPicture(23, 17, true);
  struct TCase {
    const char* Name;
    const char* PillowFormat;
    int Tolerance;
  };
  for (const TCase& c : {TCase{"w.bmp", "BMP", 0}, TCase{"w.JPG", "JPEG", 40}, TCase{"w.jpeg", "JPEG", 40},
                         TCase{"w.psd", "PSD", 0}, TCase{"w.tif", "TIFF", 0}, TCase{"w.tiff", "TIFF", 0},
                         TCase{"w.pcx", "PCX", 0}, TCase{"w.tga", "TGA", 0}, TCase{"w.png", "PNG", 0}}) {
    ASSERT_TRUE(SaveWorkPicture(work, dir / c.Name, Plenty)) << c.Name;
    const TJudged judged = PillowRead(dir / c.Name);
    EXPECT_EQ(judged.Format, c.PillowFormat) << c.Name;
    // Photoshop files keep the alpha; the others are 24 bits and opaque.
    const bool psd = judged.Format == "PSD";
    EXPECT_TRUE(SamePicture(judged.Picture, work.picture, {c.Tolerance, psd ? c.Tolerance : 255})) << c.Name;
    if (!psd) {
      EXPECT_EQ(AlphaOf(judged.Picture.Pixel(5, 3)), 255) << c.Name;
    }
  }
}

TEST(WorkPictureSaving, AnUnlistedExtensionSavesABitmapUnderTheNameWithBmpAppended) {
  TempFolder dir;
  FakeWork work;
  work.picture = TestPicture(8, 8, false);
  ASSERT_TRUE(SaveWorkPicture(work, dir / "w.gif", Plenty));
  EXPECT_FALSE(fs::exists(dir / "w.gif"));
  EXPECT_EQ(PillowRead(dir / "w.gif.bmp").Format, "BMP");
}

TEST(WorkPictureSaving, AnEmptyWorkWritesNothing) {
  TempFolder dir;
  FakeWork work;
  work.empty = true;
  EXPECT_EQ(Cause(SaveWorkPicture(work, dir / "w.png", Plenty)), TFileFault::Empty);
  EXPECT_EQ(work.renders, 0);
  EXPECT_TRUE(fs::is_empty(dir.Path()));
  EXPECT_EQ(ImageOutputMessage(TFileFault::Empty), "MessageWorkIsEmpty");
}

TEST(WorkPictureSaving, TooLittleOrUnknownFreeSpaceRefusesToWrite) {
  TempFolder dir;
  FakeWork work;
  work.picture = TestPicture(10, 10, false);
  fs::path asked;
  auto exactly = [&](const fs::path& folder) -> std::optional<std::uint64_t> {
    asked = folder;
    return 10 * 10 * 4;
  };
  const TFileResult<> noRoom = SaveWorkPicture(work, dir / "w.png", exactly);
  ASSERT_FALSE(noRoom);
  EXPECT_EQ(noRoom.Error().System, ENOSPC);
  EXPECT_EQ(noRoom.Error().Path, dir / "w.png");
  EXPECT_EQ(asked, dir.Path());
  auto unknown = [](const fs::path&) -> std::optional<std::uint64_t> { return std::nullopt; };
  EXPECT_EQ(Cause(SaveWorkPicture(work, dir / "w.png", unknown)), TFileFault::CannotWrite);
  EXPECT_TRUE(fs::is_empty(dir.Path()));
  EXPECT_EQ(ImageOutputMessage(TFileFault::CannotWrite), "MessageUnableSaveImage");
}

TEST(WorkPictureSaving, TheRealFreeSpaceTestUsesTheTargetFolder) {
  TempFolder dir;
  EXPECT_GT(FreeSpaceOf(dir.Path()).value_or(0), 0u);
  EXPECT_FALSE(FreeSpaceOf(dir / "missing"));
  FakeWork work;
  work.picture = TestPicture(4, 4, false);
  EXPECT_EQ(Cause(SaveWorkPicture(work, dir / "missing" / "w.png")), TFileFault::CannotWrite);
  EXPECT_TRUE(SaveWorkPicture(work, dir / "w.png"));
}

TEST(WorkPictureSaving, AFailedWriteIsReportedAndKeepsWhatWasThere) {
  TempFolder dir;
  FakeWork work;
  work.picture = TestPicture(4, 4, false);
  fs::create_directory(dir / "taken.png");  // a folder where the file should go
  EXPECT_EQ(Cause(SaveWorkPicture(work, dir / "taken.png", Plenty)), TFileFault::CannotWrite);
  EXPECT_TRUE(fs::is_directory(dir / "taken.png"));
  EXPECT_EQ(Cause(SaveWorkPicture(work, dir / "taken.psd" / "w.psd", Plenty)), TFileFault::CannotWrite);
}

}  // namespace
