#include <gtest/gtest.h>

#include <QImage>

#include "picture/forms/BitmapImage.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/Skins.h"
#include "support/TestPaths.h"

namespace {

class SkinsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders(dir_.Path());
    interface_.Dir = "Intfaces\\";
    interface_.Name = "DEFAULT\\";
    interface_.ResolutionIndex = 2;
    interface_.Info.LoadLines({"SECTION FormTips TFormTips", "Skin = Tips.png;", "END"});
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { messages_.push_back(text); });
  }
  void TearDown() override {
    SetMessagePresenter(nullptr);
    SetProgramFolders({});
  }
  // A 6 x 4 skin: a green column on the left, green corner at the bottom right.
  void WriteSkin(const std::string& relative) {
    TBitmap32 b(6, 4, Color32(30, 60, 90));
    for (int y = 0; y < 4; ++y) b.SetPixel(0, y, Color32(0, 255, 0));
    b.SetPixel(5, 3, Color32(0, 255, 0));
    fs::path file = dir_ / relative;
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(ImageView(b).save(QString::fromStdString(file.string()), "PNG"));
  }

  TempFolder dir_;
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  std::vector<std::string> messages_;
};

}  // namespace

TEST_F(SkinsTest, FormSkinSizesShapesAndReachesTheCaptionBar) {
  WriteSkin("Intfaces/DEFAULT/800-600/Tips.png");
  TSkinnedForm form("FormTips");
  auto* bar = new TCaptionBar(&form);
  form.resize(300, 200);
  LoadFormSkin(form, "FormTips.Skin", "FormTips.psd");
  EXPECT_TRUE(messages_.empty());
  ASSERT_TRUE(form.SkinBitmap);
  EXPECT_EQ(form.size(), QSize(6, 4));
  EXPECT_EQ(bar->Picture().Width(), 6);
  QRegion expected = QRegion(1, 0, 5, 3) + QRegion(1, 3, 4, 1);
  EXPECT_TRUE((form.mask() ^ expected).isEmpty());
  EXPECT_TRUE(form.OnPaint != nullptr);
  FreeFormSkin(form);
  EXPECT_FALSE(form.SkinBitmap);
  EXPECT_TRUE(bar->Picture().Empty());
}

TEST_F(SkinsTest, MissingSkinShowsOneMessageAndLeavesTheWindowAsDesigned) {
  TSkinnedForm form("FormHelp");
  form.resize(300, 200);
  LoadFormSkin(form, "FormHelp.Skin", "FormHelp.psd");
  EXPECT_EQ(messages_, std::vector<std::string>{"Cannot load bitmap from file FormHelp.psd"});
  EXPECT_EQ(form.size(), QSize(300, 200));
  EXPECT_TRUE(form.mask().isEmpty());
  EXPECT_FALSE(form.OnPaint);
}

TEST_F(SkinsTest, ButtonSheetGoesToTheImageButtonsChild) {
  WriteSkin("Intfaces/DEFAULT/1024-768/Buttons.png");
  TSkinnedForm form("FormTips");
  auto* other = new TMyImage(&form);
  other->setObjectName("ImageLogo");
  auto* sheet = new TMyImage(&form);
  sheet->setObjectName("imageButtons");
  LoadButtonsSkin(form, "FormTipsButtons", "Buttons.png", true);
  EXPECT_EQ(sheet->Picture().Width(), 6);
  EXPECT_TRUE(other->Picture().Empty());
  FreeButtonsSkin(form);
  EXPECT_TRUE(sheet->Picture().Empty());
  // Without UseDefault a missing sheet is silent; without the image nothing happens.
  LoadButtonsSkin(form, "FormTipsButtons", "None.png", false);
  TSkinnedForm bare("FormTips");
  LoadButtonsSkin(bare, "FormTipsButtons", "None.png", true);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SkinsTest, NamedSkinsLastFromEachShowToItsClose) {
  WriteSkin("Intfaces/DEFAULT/800-600/Tips.png");
  WriteSkin("Intfaces/DEFAULT/1024-768/Buttons.png");
  TSkinnedForm form("FormTips");
  auto* sheet = new TMyImage(&form);
  sheet->setObjectName("ImageButtons");
  form.Skins = {"FormTips.Skin", "FormTips.psd", "FormTipsButtons", "Buttons.png"};
  std::vector<std::string> seen;
  auto look = [&](const char* when) {
    seen.push_back(std::string(when) + (form.SkinBitmap ? " skin" : " bare") +
                   (sheet->Picture().Empty() ? " no-sheet" : " sheet"));
  };
  form.OnShow = [&] { look("show"); };
  form.OnClose = [&] { look("close"); };
  for (int round = 0; round < 2; ++round) {
    form.show();
    form.close();
    look("after");
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"show skin sheet", "close skin sheet", "after bare no-sheet",
                                            "show skin sheet", "close skin sheet", "after bare no-sheet"}));
  EXPECT_TRUE(messages_.empty());
  // A window naming no skin is left as it is made.
  TSkinnedForm bare("FormHelp");
  bare.show();
  bare.close();
  EXPECT_TRUE(messages_.empty());
}

TEST(SkinShape, RegionFromRunsMatchesAUnionOfRectangles) {
  std::vector<TRegionRun> runs = {{0, 1, 3}, {0, 5, 6}, {1, 0, 6}, {3, 2, 4}};
  QRegion expected = QRegion(1, 0, 2, 1) + QRegion(5, 0, 1, 1) + QRegion(0, 1, 6, 1) + QRegion(2, 3, 2, 1);
  EXPECT_TRUE((RegionFromRuns(runs) ^ expected).isEmpty());
  EXPECT_EQ(RegionFromRuns(runs).rectCount(), 4);
  EXPECT_TRUE(RegionFromRuns({}).isEmpty());
}

// The installation's own message-box skin through the Photoshop reader: the window
// takes its size and loses its rounded corners.
TEST(InstalledSkins, MessageBoxSkinShapesTheWindow) {
  const fs::path install = BuildDir() / "Tressary";
  ASSERT_TRUE(fs::exists(install / "Intfaces/DEFAULT/800-600/FormMess.psd"));
  SetProgramFolders(install);
  TInterface look;
  look.Dir = "Intfaces\\";
  look.Name = "DEFAULT\\";
  look.ResolutionIndex = 1;
  TUseInterface useLook(look);
  std::vector<std::string> messages;
  SetMessagePresenter([&](TMessageBoxKind, const std::string& text) { messages.push_back(text); });
  TSkinnedForm form("FormMessage");
  LoadFormSkin(form, "FormMessage.Skin", "FormMess.psd");
  SetMessagePresenter(nullptr);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form.size(), QSize(380, 190));
  EXPECT_FALSE(form.mask().contains(QPoint(0, 0)));
  EXPECT_FALSE(form.mask().contains(QPoint(379, 189)));
  EXPECT_TRUE(form.mask().contains(QPoint(190, 95)));
  EXPECT_TRUE(form.mask().contains(QPoint(190, 0)));
  SetProgramFolders({});
}
