// The adjust window's geometry and mouse state machine, headless. The view is the
// default desk window, 445 x 492, unless a test says otherwise.
#include <gtest/gtest.h>

#include "editor/AdjustModel.h"

namespace {

constexpr int W = 445, H = 492;
constexpr int kCanvas = 1024;

TBitmap32 Picture(int width, int height, TColor32 fill = Color32(40, 90, 160)) {
  TBitmap32 picture;
  picture.SetSize(width, height, fill);
  return picture;
}

class AdjustModelTest : public ::testing::Test {
 protected:
  THandMarkers markers_;
  TAdjustModel model_{W, H, markers_};

  void Click(TPoint p, TMouseButton button = TMouseButton::Left) {
    model_.MouseDown(p, button, false, false);
    model_.MouseUp(p, button);
  }
  void Drag(TPoint from, TPoint to, bool ctrl = false, bool shift = false,
            TMouseButton button = TMouseButton::Left) {
    model_.MouseDown(from, button, ctrl, shift);
    model_.MouseMove(to, button == TMouseButton::Left, button == TMouseButton::Right);
    model_.MouseUp(to, button);
  }
  void SetEyes(int left, int right, int line) {
    model_.LeftEyeX = left;
    model_.RightEyeX = right;
    model_.EyeLineY = line;
    model_.RecentreCrop();
  }
};

// --- Fitting ---------------------------------------------------------------------

TEST(FitIntoView, FillsTheAxisThatLimitsAndCentresOnTheOther) {
  const auto wide = FitIntoView(890, 445, W, H);
  ASSERT_TRUE(wide);
  EXPECT_FALSE(wide->FillsHeight);
  EXPECT_DOUBLE_EQ(wide->Scale, 0.5);
  EXPECT_EQ(wide->Picture, Bounds(0, 135, 445, 222));  // 222.5 rounds to even

  const auto tall = FitIntoView(100, 400, W, H);
  ASSERT_TRUE(tall);
  EXPECT_TRUE(tall->FillsHeight);
  EXPECT_EQ(tall->Picture, Bounds(161, 0, 123, 492));

  // The view's own proportions fill the width exactly.
  const auto same = FitIntoView(890, 984, W, H);
  ASSERT_TRUE(same);
  EXPECT_FALSE(same->FillsHeight);
  EXPECT_EQ(same->Picture, Bounds(0, 0, W, H));
}

TEST(FitIntoView, OffsetTiesRoundToEven) {
  EXPECT_EQ(FitIntoView(3, 10, 10, 10)->Picture.Left, 4);  // 3.5
  EXPECT_EQ(FitIntoView(5, 10, 10, 10)->Picture.Left, 2);  // 2.5
  EXPECT_EQ(FitIntoView(10, 3, 10, 10)->Picture.Top, 4);
}

TEST(FitIntoView, EmptySourceHasNoFit) {
  EXPECT_FALSE(FitIntoView(0, 10, W, H));
  EXPECT_FALSE(FitIntoView(10, 0, W, H));
}

TEST(MakeFittedView, PictureOnWhite) {
  const TBitmap32 view = MakeFittedView(Picture(890, 445), FitIntoView(890, 445, W, H), W, H);
  ASSERT_EQ(view.Width(), W);
  EXPECT_EQ(view.Pixel(200, 134), Color32(255, 255, 255));
  EXPECT_EQ(view.Pixel(200, 135), Color32(40, 90, 160));
  EXPECT_EQ(view.Pixel(200, 356), Color32(40, 90, 160));
  EXPECT_EQ(view.Pixel(200, 357), Color32(255, 255, 255));
  // No picture: all white.
  EXPECT_EQ(MakeFittedView(TBitmap32(), std::nullopt, W, H).Pixel(200, 200), Color32(255, 255, 255));
}

// --- Creation and showing -----------------------------------------------------------

TEST_F(AdjustModelTest, StartsWithLinesAtThirdsAndFramesAtScaleOnePointOne) {
  EXPECT_EQ(model_.AdjustKind, kAdjustFace);
  EXPECT_EQ(model_.EyeLineY, 246);
  EXPECT_EQ(model_.LeftEyeX, 148);
  EXPECT_EQ(model_.RightEyeX, 296);
  // d = 148: (445 * 148 / 89, 492 * 148 / 89) = (740, 818.2), centred on the lines.
  EXPECT_EQ(model_.CropFrame, Bounds(-148, -163, 740, 818));
  EXPECT_FALSE(model_.CropShown);
  EXPECT_EQ(model_.HandFrame, Bounds(20, 22, 405, 447));
  EXPECT_EQ(model_.BodyFrame, model_.HandFrame);
  const TPoint start[] = {{162, 246}, {192, 226}, {222, 206}, {252, 226}, {282, 246}};
  for (int i = 0; i < kHandMarkerCount; ++i) {
    EXPECT_EQ(markers_[i].ViewX, start[i].X) << i;
    EXPECT_EQ(markers_[i].ViewY, start[i].Y) << i;
    EXPECT_EQ(markers_[i].X, -1);
    EXPECT_EQ(markers_[i].Bitmap.Width(), 27);
    EXPECT_EQ(markers_[i].Bitmap.Height(), 57);
  }
}

TEST_F(AdjustModelTest, DetectedEyesMapIntoTheViewWithThePicturesLeftEyeOnTheLeft) {
  // 1000 x 1000 fills the width: f = 1000 / 445, picture top 23.5 -> 24.
  ASSERT_TRUE(model_.Show(1000, 1000, TEyeAnswer{600, 400, 400, 410}));
  EXPECT_EQ(model_.LeftEyeX, 178);   // from RightX1
  EXPECT_EQ(model_.RightEyeX, 267);  // from LeftX1
  EXPECT_EQ(model_.EyeLineY, 202);   // from LeftY1: 178, + 24
  // Exactly 89 apart: the crop frame has the view's size and is not drawn.
  EXPECT_EQ(model_.CropFrame, Bounds(0, -44, W, H));
  EXPECT_FALSE(model_.CropShown);
}

TEST_F(AdjustModelTest, EyesThatWouldCrossOrLeaveTheViewKeepTheLines) {
  // 400 and 401 both land on view column 178.
  EXPECT_FALSE(model_.Show(1000, 1000, TEyeAnswer{401, 500, 400, 500}));
  EXPECT_FALSE(model_.Show(1000, 1000, TEyeAnswer{400, 500, 600, 500}));
  EXPECT_EQ(model_.LeftEyeX, 148);
  EXPECT_EQ(model_.RightEyeX, 296);
  EXPECT_EQ(model_.EyeLineY, 246);
}

TEST_F(AdjustModelTest, APictureWithoutAFaceFoundKeepsTheLinesOfTheLastFitting) {
  ASSERT_TRUE(model_.Show(1000, 1000, TEyeAnswer{600, 400, 400, 410}));
  EXPECT_FALSE(model_.Show(800, 600, std::nullopt));
  EXPECT_EQ(model_.LeftEyeX, 178);
  EXPECT_EQ(model_.RightEyeX, 267);
  EXPECT_EQ(model_.EyeLineY, 202);
  // The crop frame follows the lines: 89 apart, it has the view's size and is not drawn.
  EXPECT_EQ(model_.CropFrame, Bounds(0, -44, W, H));
  EXPECT_FALSE(model_.CropShown);
}

TEST_F(AdjustModelTest, EmptySourceSkipsFittingAndEyes) {
  EXPECT_FALSE(model_.Show(0, 0, TEyeAnswer{600, 500, 400, 500}));
  EXPECT_FALSE(model_.Fit());
  EXPECT_EQ(model_.LeftEyeX, 148);
  EXPECT_FALSE(model_.Finish(TBitmap32(), false, kCanvas, kCanvas));
}

TEST_F(AdjustModelTest, ShowingAgainRefitsAndEndsADrag) {
  model_.Show(890, 445, std::nullopt);
  EXPECT_EQ(model_.Fit()->Picture, Bounds(0, 135, 445, 222));
  model_.SelectKind(kAdjustHand);
  model_.MouseDown({100, 100}, TMouseButton::Left, false, false);
  ASSERT_EQ(model_.DragState, kDragHandFrame);
  model_.Show(100, 400, std::nullopt);
  EXPECT_EQ(model_.Fit()->Picture, Bounds(161, 0, 123, 492));
  EXPECT_EQ(model_.DragState, kDragIdle);
  EXPECT_EQ(model_.HoverMarker, 0);
}

TEST_F(AdjustModelTest, KindButtonsChangeOnlyToAnotherKind) {
  EXPECT_FALSE(model_.SelectKind(kAdjustFace));
  EXPECT_TRUE(model_.SelectKind(kAdjustBody));
  EXPECT_EQ(model_.AdjustKind, kAdjustBody);
}

// --- Face: clicks and drags ---------------------------------------------------------

TEST_F(AdjustModelTest, ClicksMoveTheLinesAndRecentreTheCropFrame) {
  Click({200, 250});  // left of the right vertical: the left one jumps
  EXPECT_EQ(model_.LeftEyeX, 200);
  EXPECT_EQ(model_.EyeLineY, 250);
  // d = 96: size (480, 530.7 -> 531), left = 200 - (240 - 48), top = 250 - 265.
  EXPECT_EQ(model_.CropFrame, Bounds(8, -15, 480, 531));
  EXPECT_FALSE(model_.CropShown);

  Click({250, 100}, TMouseButton::Right);
  EXPECT_EQ(model_.RightEyeX, 250);
  EXPECT_EQ(model_.EyeLineY, 100);
  EXPECT_EQ(model_.CropFrame, Bounds(100, -38, 250, 276));  // d = 50
  EXPECT_TRUE(model_.CropShown);
}

TEST_F(AdjustModelTest, ClickOnTheWrongSideChangesNothing) {
  const TAdjustModel before = model_;
  Click({350, 300});                             // left button right of the right vertical
  Click({100, 300}, TMouseButton::Right);        // right button left of the left vertical
  Click({-5, 300});                              // outside the view
  EXPECT_EQ(model_.LeftEyeX, before.LeftEyeX);
  EXPECT_EQ(model_.RightEyeX, before.RightEyeX);
  EXPECT_EQ(model_.EyeLineY, before.EyeLineY);
  EXPECT_EQ(model_.CropFrame, before.CropFrame);
}

TEST_F(AdjustModelTest, DraggingAVerticalResizesTheFrameAndStopsAtTheOtherLine) {
  model_.MouseDown({152, 400}, TMouseButton::Left, false, false);  // 4 right of the left vertical
  EXPECT_TRUE(model_.DragLeftEye);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::HSplit);
  ASSERT_TRUE(model_.MouseMove({251, 400}, true, false));
  EXPECT_EQ(model_.LeftEyeX, 251);
  // d = 45: size (225, 248.8 -> 249), left = 251 - (112 - 22); the top stays.
  EXPECT_EQ(model_.CropFrame, Bounds(161, -163, 225, 249));
  EXPECT_TRUE(model_.CropShown);
  EXPECT_FALSE(model_.MouseMove({296, 400}, true, false));  // onto the right vertical
  EXPECT_FALSE(model_.MouseMove({0, 400}, true, false));    // left of column 1
  EXPECT_EQ(model_.LeftEyeX, 251);
  model_.MouseUp({0, 400}, TMouseButton::Left);
  EXPECT_FALSE(model_.DraggingLines);
  // The eye in the portrait as this frame cuts it: (90, 409) * 89 / 45.
  EXPECT_EQ(model_.EyePoint, (TPoint{178, 809}));

  Drag({298, 10}, {444, 10});  // the right vertical may go to the last column
  EXPECT_EQ(model_.RightEyeX, 444);
}

TEST_F(AdjustModelTest, VerticalsWinOverTheEyeLineOnMouseDownButNotOnHover) {
  model_.MouseMove({150, 248}, false, false);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::EyeLines);
  model_.MouseDown({150, 248}, TMouseButton::Left, false, false);
  EXPECT_TRUE(model_.DragLeftEye);
  EXPECT_FALSE(model_.DragEyeLine);
  model_.MouseUp({150, 248}, TMouseButton::Left);

  model_.MouseDown({20, 250}, TMouseButton::Left, false, false);
  EXPECT_TRUE(model_.DragEyeLine);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::VSplit);
  model_.MouseMove({20, 300}, true, false);
  EXPECT_EQ(model_.EyeLineY, 300);
  model_.MouseMove({20, H}, true, false);  // below the view
  EXPECT_EQ(model_.EyeLineY, 300);
  model_.MouseUp({20, H}, TMouseButton::Left);
}

TEST_F(AdjustModelTest, ShownCropFrameDragsVerticallyOnly) {
  SetEyes(200, 250, 246);  // frame (100, 108, 250, 276)
  ASSERT_TRUE(model_.CropShown);
  model_.MouseDown({120, 150}, TMouseButton::Left, false, false);
  EXPECT_EQ(model_.DragState, kDragCropFrame);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::HandGrab);
  model_.MouseMove({300, 170}, true, false);
  EXPECT_EQ(model_.CropFrame, Bounds(100, 128, 250, 276));
  model_.MouseMove({300, H}, true, false);  // below the view: ignored
  EXPECT_EQ(model_.CropFrame.Top, 128);
  model_.MouseUp({300, H}, TMouseButton::Left);
  EXPECT_EQ(model_.DragState, kDragIdle);
  EXPECT_EQ(model_.EyePoint, (TPoint{178, 210}));  // (100, 118) * 1.78
}

TEST_F(AdjustModelTest, FaceHoverCursors) {
  SetEyes(200, 250, 246);
  const std::pair<TPoint, TAdjustCursor> cases[] = {
      {{30, 243}, TAdjustCursor::EyeLines}, {{255, 50}, TAdjustCursor::HSplit},
      {{120, 150}, TAdjustCursor::HandFlat}, {{30, 30}, TAdjustCursor::Eye},
      {{W, 30}, TAdjustCursor::Default},     {{-1, 246}, TAdjustCursor::Default},
  };
  for (const auto& [point, cursor] : cases) {
    model_.MouseMove(point, false, false);
    EXPECT_EQ(model_.Cursor(), cursor) << point.X << "," << point.Y;
  }
}

// --- Hand: markers and frame ----------------------------------------------------------

class HandModelTest : public AdjustModelTest {
 protected:
  void SetUp() override { model_.SelectKind(kAdjustHand); }
};

TEST_F(HandModelTest, MarkerHitBoxIsHalfTheNailWidthAndTheFirstMarkerWins) {
  markers_[1].ViewX = markers_[0].ViewX + 10;
  markers_[1].ViewY = markers_[0].ViewY;
  model_.MouseDown({162 + 13, 246 - 13}, TMouseButton::Left, false, false);  // 13 = 27 div 2
  EXPECT_EQ(model_.DragState, kDragMarker);
  model_.MouseMove({100, 100}, true, false);
  EXPECT_EQ(markers_[0].ViewX, 100 - 13);
  EXPECT_EQ(markers_[1].ViewX, 172);
  model_.MouseUp({100, 100}, TMouseButton::Left);

  model_.MouseDown({87 - 14, 113}, TMouseButton::Left, false, false);  // 14 off: the frame, not the marker
  EXPECT_EQ(model_.DragState, kDragHandFrame);
}

TEST_F(HandModelTest, MarkerStaysOnTheView) {
  Drag({222, 206}, {-50, 900});
  EXPECT_EQ(markers_[2].ViewX, 0);
  EXPECT_EQ(markers_[2].ViewY, H - 1);
  Drag({0, H - 1}, {1000, -3});
  EXPECT_EQ(markers_[2].ViewX, W - 1);
  EXPECT_EQ(markers_[2].ViewY, 0);
}

TEST_F(HandModelTest, CtrlDragSizesTheNailWithinHalfAndDouble) {
  // Right button: width, by dx / 100.
  Drag({162, 246}, {212, 246}, true, false, TMouseButton::Right);
  EXPECT_DOUBLE_EQ(markers_[0].WidthFactor, 1.5);
  EXPECT_EQ(markers_[0].Bitmap.Width(), 40);  // 40.5 rounds to even
  Drag({162, 246}, {400, 246}, true, false, TMouseButton::Right);
  EXPECT_DOUBLE_EQ(markers_[0].WidthFactor, 2.0);
  // Left button: length; up makes it longer.
  Drag({162, 246}, {162, 146}, true, false, TMouseButton::Left);
  EXPECT_DOUBLE_EQ(markers_[0].LengthFactor, 2.0);
  Drag({162, 246}, {162, 446}, true, false, TMouseButton::Left);
  EXPECT_DOUBLE_EQ(markers_[0].LengthFactor, 0.5);
  EXPECT_EQ(markers_[0].Bitmap.Height(), 28);  // 28.5 to even
  EXPECT_DOUBLE_EQ(markers_[0].WidthFactor, 2.0);
}

TEST_F(HandModelTest, ShiftDragTurnsByHalfTheMoveAndKeepsTheSign) {
  Drag({282, 246}, {102, 246}, false, true);  // dx = -180
  EXPECT_EQ(markers_[4].ViewAngle, -90);
  model_.MouseDown({282, 246}, TMouseButton::Left, false, true);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::Rotate);
  EXPECT_FALSE(model_.MouseMove({283, 246}, true, false));  // half of 1 is 0: no change
  EXPECT_TRUE(model_.MouseMove({283 + 600, 246}, true, false));
  model_.MouseUp({883, 246}, TMouseButton::Left);
  EXPECT_EQ(markers_[4].ViewAngle, 210);
  Drag({282, 246}, {282 - 600, 246}, false, true);  // 210 - 300
  EXPECT_EQ(markers_[4].ViewAngle, -90);
  // A nail turned a quarter lies across: wider than high.
  EXPECT_GT(markers_[4].Bitmap.Width(), markers_[4].Bitmap.Height());
  EXPECT_GT(markers_[3].Bitmap.Height(), markers_[3].Bitmap.Width());
}

TEST_F(HandModelTest, HoverHighlightsTheMarkerUnderTheMouse) {
  EXPECT_TRUE(model_.MouseMove({222, 206}, false, false));
  EXPECT_EQ(model_.HoverMarker, 3);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::HandFlat);
  // The centre of a nail is brush colour: magenta when hovered, red otherwise.
  EXPECT_EQ(markers_[2].Bitmap.Pixel(13, 28), Color32(255, 0, 255));
  EXPECT_EQ(markers_[1].Bitmap.Pixel(13, 28), Color32(255, 0, 0));
  EXPECT_FALSE(model_.MouseMove({223, 206}, false, false));  // same marker: nothing to redraw
  EXPECT_TRUE(model_.MouseMove({5, 5}, false, false));
  EXPECT_EQ(model_.HoverMarker, 0);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::Default);
  EXPECT_EQ(markers_[2].Bitmap.Pixel(13, 28), Color32(255, 0, 0));
}

TEST_F(HandModelTest, FrameMovesInsideTheView) {
  Drag({30, 30}, {-100, -100});
  EXPECT_EQ(model_.HandFrame, Bounds(0, 0, 405, 447));
  Drag({30, 30}, {500, 500});
  EXPECT_EQ(model_.HandFrame, Bounds(40, 45, 405, 447));
}

TEST_F(HandModelTest, CtrlDragScalesTheFrameAboutItsCentreBetweenOneAndTen) {
  model_.MouseDown({100, 100}, TMouseButton::Left, true, false);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::SizeAll);
  model_.MouseMove({90, 100}, true, false);  // left: scale 1.1 + 0.1 = 1.2
  EXPECT_DOUBLE_EQ(model_.HandFrameScale, 1.2);
  // (371, 410) keeps the centre: left 20 + (405 - 371) div 2, top 22 + (447 - 410) div 2.
  EXPECT_EQ(model_.HandFrame, Bounds(37, 40, 371, 410));
  model_.MouseMove({-2000, 100}, true, false);
  EXPECT_DOUBLE_EQ(model_.HandFrameScale, 10.0);
  EXPECT_EQ(model_.HandFrame.Width(), 44);
  model_.MouseMove({3000, 100}, true, false);
  EXPECT_DOUBLE_EQ(model_.HandFrameScale, 1.0);
  EXPECT_EQ(model_.HandFrame, Bounds(0, 0, W, H));  // fills the view
  EXPECT_FALSE(model_.MouseMove({3100, 100}, true, false));
  model_.MouseUp({3100, 100}, TMouseButton::Left);
}

TEST_F(AdjustModelTest, BodyFrameMovesAndScalesLikeTheHandFrame) {
  model_.SelectKind(kAdjustBody);
  model_.MouseMove({30, 30}, false, false);
  EXPECT_EQ(model_.Cursor(), TAdjustCursor::HandFlat);
  Drag({30, 30}, {20, 20});
  EXPECT_EQ(model_.BodyFrame, Bounds(10, 12, 405, 447));
  Drag({30, 30}, {20, 30}, true);
  EXPECT_DOUBLE_EQ(model_.BodyFrameScale, 1.2);
  EXPECT_EQ(model_.HandFrame, Bounds(20, 22, 405, 447));  // the hand's is its own
}

// --- OK ------------------------------------------------------------------------------

// A source whose pixels tell where they came from: red x, green y (mod 256).
TBitmap32 Gradient(int width, int height) {
  TBitmap32 picture;
  picture.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.SetPixel(x, y, Color32(x % 256, y % 256, 77));
  return picture;
}

TEST_F(AdjustModelTest, FaceFrameInsideThePictureIsCutAndStretchedOverThePortrait) {
  SetEyes(200, 250, 246);  // frame (100, 108, 250, 276), inside 890 x 984 shown at 0.5
  const TCropPlan plan = model_.PlanFace(890, 984);
  EXPECT_EQ(plan.Source, (TRect{200, 216, 700, 768}));
  EXPECT_EQ(plan.Dest, Bounds(0, 0, W, H));
  EXPECT_EQ(plan.EyePoint, (TPoint{178, 246}));

  const auto out = model_.Finish(Gradient(890, 984), false, kCanvas, kCanvas);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->LayerOrigin, (TPoint{290, 266}));  // 289.5 to even
  EXPECT_EQ(out->FacePoint, (TPoint{468, 512}));
  EXPECT_EQ(out->Bitmap.Pixel(0, 0), Color32(200, 216, 77));
  EXPECT_FALSE(model_.CropShown);
}

TEST_F(AdjustModelTest, EyesExactly89ApartCopyTheFrameUnchangedInScale) {
  const TBitmap32 source = Gradient(W, H);
  model_.Show(W, H, std::nullopt);
  SetEyes(178, 267, 246);
  EXPECT_EQ(model_.CropFrame, Bounds(0, 0, W, H));
  const auto out = model_.Finish(source, false, kCanvas, kCanvas);
  ASSERT_TRUE(out);
  for (TPoint p : {TPoint{0, 0}, TPoint{W - 1, H - 1}, TPoint{123, 321}})
    EXPECT_EQ(out->Bitmap.Pixel(p.X, p.Y), source.Pixel(p.X, p.Y)) << p.X << "," << p.Y;
  EXPECT_EQ(out->EyePoint, (TPoint{178, 246}));
}

TEST_F(AdjustModelTest, FaceFrameReachingPastThePictureTakesOnlyTheCoveredPart) {
  SetEyes(200, 250, 246);  // frame (100, 108, 250, 276); 890 x 445 shows at (0, 135)-(445, 357)
  const TCropPlan plan = model_.PlanFace(890, 445);
  EXPECT_EQ(plan.Source, (TRect{200, 0, 700, 444}));
  // 250 x 222 view pixels at k = 1.78: (445, 395.2 -> 395), centred: top 48.5 -> 48.
  EXPECT_EQ(plan.Dest, Bounds(0, 48, 445, 395));
  EXPECT_EQ(plan.EyePoint, (TPoint{178, 246}));  // (178, 197.6 -> 198 + 48)

  const auto out = model_.Finish(Gradient(890, 445), false, kCanvas, kCanvas);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Bitmap.Pixel(200, 20), Color32(255, 255, 255, 0));  // above the part: white
  EXPECT_EQ(RedOf(out->Bitmap.Pixel(0, 48)), 200);
}

TEST_F(AdjustModelTest, EyesFartherThan89ApartShrinkTheWholePicture) {
  // Start lines: d = 148, k = 89 / 148; 890 x 984 fills the view at 0.5.
  const TCropPlan plan = model_.PlanFace(890, 984);
  EXPECT_EQ(plan.Source, Bounds(0, 0, 890, 984));
  EXPECT_EQ(plan.Dest, Bounds(88, 98, 268, 296));  // (267.6, 295.9), left 88.5 -> 88
  EXPECT_EQ(plan.EyePoint, (TPoint{177, 246}));
}

TEST_F(AdjustModelTest, OpaqueSourceWithAlphaMakesTheMarginsOpaque) {
  SetEyes(200, 250, 246);
  const auto opaque = model_.Finish(Picture(890, 445), true, kCanvas, kCanvas);
  EXPECT_EQ(AlphaOf(opaque->Bitmap.Pixel(200, 20)), 255);
  TBitmap32 holes = Picture(890, 445);
  holes.SetPixel(5, 5, Color32(1, 2, 3, 0));
  const auto transparent = model_.Finish(holes, true, kCanvas, kCanvas);
  EXPECT_EQ(AlphaOf(transparent->Bitmap.Pixel(200, 20)), 0);
}

TEST_F(HandModelTest, HandFrameIsCutAndMarkersMovedOntoTheCanvas) {
  const TCropPlan plan = model_.PlanFrame(model_.HandFrame, model_.HandFrameScale, W, H);
  EXPECT_EQ(plan.Source, Bounds(20, 22, 405, 447));
  EXPECT_EQ(plan.Dest, Bounds(0, 0, 447, 493));  // (406, 448) * 1.1

  markers_[3].ViewAngle = -30;
  ASSERT_TRUE(model_.Finish(Gradient(W, H), false, kCanvas, kCanvas));
  // (162 - 20, 246 - 22) * 1.1 = (156.2, 246.4), + the layer's (290, 266).
  EXPECT_EQ(markers_[0].X, 446);
  EXPECT_EQ(markers_[0].Y, 512);
  EXPECT_EQ(markers_[0].Width, 30);   // 29.7
  EXPECT_EQ(markers_[0].Length, 63);  // 62.7
  EXPECT_EQ(markers_[3].Angle, -30);
}

TEST_F(HandModelTest, FrameOutsideThePictureGivesAWhiteLayerAndMarkersClampedToTheCanvas) {
  // 890 x 100 shows at (0, 221)-(445, 271); the frame at scale 10 sits above it.
  model_.HandFrameScale = 10.0;
  model_.HandFrame = Bounds(0, 0, 44, 49);
  EXPECT_TRUE(model_.PlanFrame(model_.HandFrame, 10.0, 890, 100).Source.IsEmpty());
  const auto out = model_.Finish(Gradient(890, 100), false, kCanvas, kCanvas);
  ASSERT_TRUE(out);
  for (TPoint p : {TPoint{0, 0}, TPoint{W - 1, H - 1}, TPoint{222, 246}})
    EXPECT_EQ(out->Bitmap.Pixel(p.X, p.Y) & 0xFFFFFF, 0xFFFFFFu);
  // 162 * 10 + 290 is past the canvas: the last pixel, not one beyond.
  EXPECT_EQ(markers_[0].X, kCanvas - 1);
  EXPECT_EQ(markers_[0].Y, kCanvas - 1);
  EXPECT_EQ(markers_[0].Width, 270);
}

TEST_F(AdjustModelTest, BodyPointIsTheLayersCentre) {
  model_.SelectKind(kAdjustBody);
  const auto out = model_.Finish(Gradient(W, H), false, 800, 600);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->LayerOrigin, (TPoint{178, 54}));  // 177.5 to even
  EXPECT_EQ(out->BodyPoint, (TPoint{178 + 222, 54 + 246}));
  EXPECT_EQ(out->FacePoint, (TPoint{-1, -1}));
}

// --- Marker pictures ---------------------------------------------------------------

TEST(MakeMarkerBitmap, NailIsAnEllipseWithoutItsLowerQuarter) {
  THandMarker marker;
  const TBitmap32 nail = MakeMarkerBitmap(marker, false);
  ASSERT_EQ(nail.Width(), 27);
  ASSERT_EQ(nail.Height(), 57);
  EXPECT_EQ(nail.Pixel(13, 20), Color32(255, 0, 0));  // brush
  EXPECT_EQ(nail.Pixel(13, 0), Color32(0, 0, 0));     // pen at the top
  EXPECT_EQ(nail.Pixel(0, 0), Color32(255, 255, 255));
  EXPECT_EQ(nail.Pixel(13, 42), Color32(0, 0, 0));  // the chord, at 56 div 4 * 3
  EXPECT_EQ(nail.Pixel(13, 43), Color32(255, 255, 255));
  EXPECT_EQ(nail.Pixel(13, 56), Color32(255, 255, 255));
}

}  // namespace
