// Showing and OK of the adjust window, with a recording desk and message box.
#include <gtest/gtest.h>

#include "editor/AdjustController.h"
#include "support/FakeAdjustHost.h"
#include "shell/Termins.h"
#include "support/TestPaths.h"
#include "support/TestTexts.h"

namespace {

constexpr int W = 445, H = 492;

// Answers every run with the eyes of a 1000 x 1000 picture at (400, 400) and (600, 400).
class TAnsweringRunner : public IProcessRunner {
 public:
  fs::path Answer;
  int Calls = 0;
  TProcessResult Run(const fs::path&, const std::vector<std::string>&, int) override {
    ++Calls;
    WriteTestFile(Answer, "[Info]\nDetected=1\nLeftX1=600\nLeftY1=400\nRightX1=400\nRightY1=400\n");
    return {true, false, 0};
  }
};

class AdjustControllerTest : public ::testing::Test {
 protected:
  void SetUp() override { runner_.Answer = detector_.AnswerFile(); }
  TTestTexts texts_;
  TempFolder folder_;
  TAnsweringRunner runner_;
  TEyeDetector detector_{runner_, "eyechecker", folder_.Path()};
  FakeAdjustHost host_;  // before the model, which places its markers
  TAdjustModel model_{W, H, host_.points.HandMarkers};
  TAdjustController controller_{model_, &detector_, host_};
  TBitmap32 source_{1000, 1000, Color32(10, 20, 30)};
};

TEST_F(AdjustControllerTest, ShowFitsThePictureAndTakesTheDetectedEyes) {
  controller_.Show(source_);
  EXPECT_EQ(runner_.Calls, 1);
  EXPECT_EQ(model_.LeftEyeX, 178);
  EXPECT_EQ(model_.RightEyeX, 267);
  ASSERT_EQ(controller_.FittedView().Width(), W);
  EXPECT_EQ(controller_.FittedView().Pixel(200, 23), Color32(255, 255, 255));
  EXPECT_EQ(controller_.FittedView().Pixel(200, 24), Color32(10, 20, 30));
}

TEST_F(AdjustControllerTest, ShowingAgainRebuildsTheViewFromTheNewPicture) {
  controller_.Show(source_);
  controller_.Show(TBitmap32(10, 40, Color32(200, 0, 0)));
  EXPECT_EQ(controller_.FittedView().Pixel(222, 246), Color32(200, 0, 0));
  EXPECT_EQ(controller_.FittedView().Pixel(5, 246), Color32(255, 255, 255));
}

TEST_F(AdjustControllerTest, EmptySourceShowsWhiteWithoutRunningTheDetectorAndOkDoesNothing) {
  controller_.Show(TBitmap32());
  EXPECT_EQ(runner_.Calls, 0);
  EXPECT_EQ(controller_.FittedView().Pixel(222, 246), Color32(255, 255, 255));
  EXPECT_FALSE(controller_.Ok(TBitmap32(), false, 1024, 1024));
  EXPECT_TRUE(host_.Asked.empty());
}

TEST_F(AdjustControllerTest, FaceOkOnAnEmptyDeskAsksOnlyTheKindsQuestion) {
  controller_.Show(source_);
  ASSERT_TRUE(controller_.Ok(source_, false, 1024, 1024));
  EXPECT_EQ(host_.Asked, std::vector<std::string>{"ConfirmAdjustFace"});
  EXPECT_EQ(host_.PortraitOffers, 1);
  ASSERT_EQ(host_.Added, std::vector<TAdjustKind>{kAdjustFace});
  EXPECT_EQ(host_.LastCaption, "Portrait");
  EXPECT_EQ(host_.LastOrigin, (TPoint{290, 266}));
  EXPECT_EQ(host_.LastPicture.Width(), W);
  EXPECT_EQ(host_.points.Face.X, 290 + model_.EyePoint.X);
  EXPECT_EQ(host_.points.Face.Y, 266 + model_.EyePoint.Y);
}

TEST_F(AdjustControllerTest, DecliningLeavesEverythingAsItWas) {
  host_.No = {"ConfirmAdjustFace"};
  host_.HasLayers = true;
  EXPECT_FALSE(controller_.Ok(source_, false, 1024, 1024));
  EXPECT_EQ(host_.Asked.size(), 1u);
  EXPECT_TRUE(host_.Added.empty());
  EXPECT_EQ(host_.points.Face, (TPoint{-1, -1}));
}

TEST_F(AdjustControllerTest, OldLayersGoOnlyOnYes) {
  host_.HasLayers = true;
  model_.SelectKind(kAdjustBody);
  ASSERT_TRUE(controller_.Ok(source_, false, 1024, 1024));
  EXPECT_EQ(host_.Asked, (std::vector<std::string>{"ConfirmAdjustBody", "ConfirmClearPrevWork"}));
  EXPECT_EQ(host_.Cleared, 1);
  EXPECT_EQ(host_.PortraitOffers, 0);
  EXPECT_EQ(host_.points.Body, (TPoint{290 + 222, 266 + 246}));
  EXPECT_EQ(host_.LastCaption, "Body");

  host_.No = {"ConfirmClearPrevWork"};
  ASSERT_TRUE(controller_.Ok(source_, false, 1024, 1024));
  EXPECT_EQ(host_.Cleared, 1);  // kept: the new layer joins them
  EXPECT_EQ(host_.Added.size(), 2u);
}

TEST_F(AdjustControllerTest, HandOkWritesTheSharedMarkersAndUsesTheTextTable) {
  texts_.Texts.Terms = {{"HandLayerName", "Main"}};
  model_.SelectKind(kAdjustHand);
  ASSERT_TRUE(controller_.Ok(source_, false, 1024, 1024));
  EXPECT_EQ(host_.LastCaption, "Main");
  EXPECT_EQ(host_.Asked, std::vector<std::string>{"ConfirmAdjustHand"});
  // Marker 1 at (162, 246) in the frame (20, 22) at 1.1, on a layer at (290, 266).
  EXPECT_EQ(host_.points.HandMarkers[0].X, 446);
  EXPECT_EQ(host_.points.HandMarkers[0].Y, 512);
  EXPECT_EQ(host_.points.HandMarkers[0].Width, 30);
  EXPECT_EQ(host_.points.Face, (TPoint{-1, -1}));
}

TEST_F(AdjustControllerTest, CloseDeletesTheExchangeFiles) {
  controller_.Show(source_);
  ASSERT_TRUE(fs::exists(detector_.BitmapFile()));
  controller_.Close();
  EXPECT_FALSE(fs::exists(detector_.BitmapFile()));
  EXPECT_FALSE(fs::exists(detector_.AnswerFile()));
  EXPECT_TRUE(controller_.FittedView().Empty());
}

TEST(AdjustedLayerCaption, EmptyTextFallsBackToTheWord) {
  TTestTexts texts({{"PortraitLayerName", ""}, {"BodyLayerName", "Figur"}});
  EXPECT_EQ(AdjustedLayerCaption(kAdjustFace), "Portrait");
  EXPECT_EQ(AdjustedLayerCaption(kAdjustBody), "Figur");
  EXPECT_EQ(AdjustedLayerCaption(kAdjustFigure), "Figur");
}

}  // namespace
