#include <gtest/gtest.h>

#include "editor/AdjustView.h"

namespace {

constexpr int W = 445, H = 492;
const TColor32 kGrey = Color32(100, 150, 200);
const TColor32 kInverted = Color32(155, 105, 55);

class AdjustViewTest : public ::testing::Test {
 protected:
  TBitmap32 Draw() {
    TBitmap32 view(W, H, kGrey);
    DrawAdjustView(view, model_);
    return view;
  }
  THandMarkers markers_;
  TAdjustModel model_{W, H, markers_};
};

TEST_F(AdjustViewTest, FaceLinesInvertAndCancelWhereTheyCross) {
  const TBitmap32 view = Draw();
  EXPECT_EQ(view.Pixel(148, 0), kInverted);
  EXPECT_EQ(view.Pixel(296, H - 1), kInverted);
  EXPECT_EQ(view.Pixel(0, 246), kInverted);
  EXPECT_EQ(view.Pixel(148, 246), kGrey);  // crossed twice
  EXPECT_EQ(view.Pixel(147, 100), kGrey);
  // Alpha is left alone.
  EXPECT_EQ(AlphaOf(view.Pixel(148, 0)), 255);
}

TEST_F(AdjustViewTest, CropFrameOnlyWhenShownAndClippedToTheView) {
  EXPECT_EQ(Draw().Pixel(100, 300), kGrey);  // frame not shown at the start
  model_.LeftEyeX = 200;
  model_.RightEyeX = 250;
  model_.EyeLineY = 20;
  model_.RecentreCrop();  // (100, -118, 250, 276): reaches above the view
  ASSERT_TRUE(model_.CropShown);
  const TBitmap32 view = Draw();
  EXPECT_EQ(view.Pixel(100, 0), kInverted);    // left edge, cut at the top
  EXPECT_EQ(view.Pixel(349, 157), kInverted);  // right edge ends at the last row
  EXPECT_EQ(view.Pixel(101, 157), kInverted);  // bottom row
  EXPECT_EQ(view.Pixel(300, 158), kGrey);
  EXPECT_EQ(view.Pixel(101, 100), kGrey);      // inside: hollow
}

TEST_F(AdjustViewTest, HandShowsItsFrameAndMarkersWithWhiteTransparent) {
  model_.SelectKind(kAdjustHand);
  const TBitmap32 view = Draw();
  EXPECT_EQ(view.Pixel(20, 100), kInverted);  // the hand frame's left edge
  EXPECT_EQ(view.Pixel(148, 100), kGrey);     // no eye lines in this kind
  // Marker 1 at (162, 246), a 27 x 57 nail from (149, 218): red inside, white around.
  EXPECT_EQ(view.Pixel(162, 240), kGrey & Color32(255, 0, 0));
  EXPECT_EQ(view.Pixel(149, 218), kGrey);
}

TEST_F(AdjustViewTest, BodyShowsOnlyItsFrame) {
  model_.SelectKind(kAdjustBody);
  model_.BodyFrame = Bounds(10, 10, 100, 100);
  const TBitmap32 view = Draw();
  EXPECT_EQ(view.Pixel(10, 10), kInverted);
  EXPECT_EQ(view.Pixel(109, 109), kInverted);
  EXPECT_EQ(view.Pixel(110, 109), kGrey);
  EXPECT_EQ(view.Pixel(162, 240), kGrey);
}

}  // namespace
