#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/ProgramFolders.h"
#include "shell/InterfaceInfo.h"
#include "shell/SkinFiles.h"
#include "shell/SkinRegion.h"
#include "support/TestPaths.h"

namespace {

class SkinSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders(dir_.Path());
    interface_.Dir = "Intfaces\\";
    interface_.Name = "BLUE\\";
    interface_.ResolutionIndex = 2;
    interface_.Info.LoadLines({"SECTION FormMessage TFormMessage", "Skin = 'Msg.psd';", "END"});
  }
  void TearDown() override { SetProgramFolders({}); }
  // A loader that records every file it was asked for and loads the ones present.
  TSkinLoaders Recording() {
    auto load = [this](const fs::path& file, TBitmap32& bitmap) {
      tried_.push_back(fs::relative(file, dir_.Path()).string());
      if (!fs::exists(file)) throw std::runtime_error("missing");
      return bitmap.SetSize(2, 1, 0xFF102030);
    };
    return {load, load};
  }

  TempFolder dir_;
  TInterface interface_;
  std::vector<std::string> tried_;
};

}  // namespace

TEST_F(SkinSearch, TriesTheInterfaceThenTheDefaultFromTheScreenResolutionDown) {
  TBitmap32 bitmap(5, 5);
  EXPECT_FALSE(FindSkinBitmap(bitmap, interface_, "FormMessage.Skin", "FormMess.psd", true, Recording()));
  std::vector<std::string> expected = {"Intfaces/BLUE/1024-768/Msg.psd", "Intfaces/BLUE/800-600/Msg.psd",
                                       "Intfaces/DEFAULT/1024-768/FormMess.psd",
                                       "Intfaces/DEFAULT/800-600/FormMess.psd"};
  EXPECT_EQ(tried_, expected);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(SkinLoadErrorText("FormMess.psd"), "Cannot load bitmap from file FormMess.psd");
}

TEST_F(SkinSearch, FirstFileThatLoadsWinsAndFolderCaseIsIgnored) {
  WriteTestFile(dir_ / "intfaces/default/800-600/formmess.psd", "x");
  TBitmap32 bitmap;
  EXPECT_TRUE(FindSkinBitmap(bitmap, interface_, "FormMessage.Skin", "FormMess.psd", true, Recording()));
  EXPECT_EQ(tried_.size(), 4u);
  EXPECT_EQ(bitmap.Width(), 2);
  tried_.clear();
  WriteTestFile(dir_ / "Intfaces/Blue/800-600/Msg.psd", "x");
  EXPECT_TRUE(FindSkinBitmap(bitmap, interface_, "FormMessage.Skin", "FormMess.psd", true, Recording()));
  EXPECT_EQ(tried_.size(), 2u);
}

TEST_F(SkinSearch, WithoutDefaultOnlyTheInterfaceValueIsTried) {
  TBitmap32 bitmap;
  EXPECT_FALSE(FindSkinBitmap(bitmap, interface_, "FormMain.Skin", "FormMain.psd", false, Recording()));
  EXPECT_TRUE(tried_.empty());
  interface_.ResolutionIndex = 1;
  EXPECT_FALSE(FindSkinBitmap(bitmap, interface_, "FormMessage.Skin", "FormMess.psd", true, Recording()));
  EXPECT_EQ(tried_.size(), 2u);
}

TEST_F(SkinSearch, ADownloadedInterfaceNamesOnlyItsOwnPictures) {
  // A picture outside the interface is there to be found, were it looked for.
  WriteTestFile(dir_ / "secret.png", "x");
  interface_.Info.LoadLines({"SECTION FormMessage TFormMessage", "Skin = '..\\..\\..\\secret.png';", "END",
                            "SECTION FormChat TFormChat", "Skin = 'Sub/Chat.png';", "END"});
  TBitmap32 bitmap;
  EXPECT_FALSE(FindSkinBitmap(bitmap, interface_, "FormMessage.Skin", "", false, Recording()));
  EXPECT_TRUE(tried_.empty());
  EXPECT_FALSE(FindSkinBitmap(bitmap, interface_, "FormChat.Skin", "", false, Recording()));
  EXPECT_EQ(tried_, (std::vector<std::string>{"Intfaces/BLUE/1024-768/Sub/Chat.png", "Intfaces/BLUE/800-600/Sub/Chat.png"}));
}

TEST_F(SkinSearch, ExtensionChoosesTheLoader) {
  interface_.Info.LoadLines({"A = x.FLL;", "B = x.png;"});
  std::vector<std::string> used;
  TSkinLoaders loaders{[&](const fs::path&, TBitmap32&) { used.push_back("picture"); return false; },
                       [&](const fs::path&, TBitmap32&) { used.push_back("other"); return false; }};
  TBitmap32 bitmap;
  FindSkinBitmap(bitmap, interface_, "A", "", false, loaders);
  FindSkinBitmap(bitmap, interface_, "B", "", false, loaders);
  std::vector<std::string> expected = {"picture", "picture", "other", "other"};
  EXPECT_EQ(used, expected);
}

TEST(SkinRegion, RunsPerRowWithTheKeyCutAway) {
  const TColor32 G = 0xFF00FF00, K = 0xFF000000;
  TBitmap32 b(4, 3, G);
  b.SetPixel(1, 0, K);
  b.SetPixel(2, 0, K);
  b.SetPixel(0, 1, K);
  b.SetPixel(2, 1, K);
  b.SetPixel(3, 1, K);  // closes its run at the right edge
  b.SetPixel(3, 2, 0x0000FF00 | 0x01000000 * 7);  // green with another alpha is still the key
  std::vector<TRegionRun> expected = {{0, 1, 3}, {1, 0, 1}, {1, 2, 4}};
  EXPECT_EQ(BitmapToRegion(b), expected);
}

TEST(SkinRegion, AllKeyGivesTheFullRectangleAndEmptyGivesNothing) {
  TBitmap32 b(3, 2, 0xFF00FF00);
  std::vector<TRegionRun> expected = {{0, 0, 3}, {1, 0, 3}};
  EXPECT_EQ(BitmapToRegion(b), expected);
  EXPECT_TRUE(BitmapToRegion(TBitmap32()).empty());
  TBitmap32 white(2, 1, 0xFFFFFFFF);
  EXPECT_EQ(BitmapToRegion(white, 0xFFFFFF), std::vector<TRegionRun>({{0, 0, 2}}));
  EXPECT_EQ(BitmapToRegion(white, 0x00FF00), std::vector<TRegionRun>({{0, 0, 2}}));
}
