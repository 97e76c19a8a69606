#include <gtest/gtest.h>

#include <array>

#include "editor/DeskMouseTools.h"
#include "picture/BitmapRoutines.h"
#include "support/FakeDeskOwner.h"
#include "support/PictureCompare.h"

namespace {

// A picture whose every pixel differs from its neighbours.
TBitmap32 Pattern(int w, int h, std::uint8_t alpha = 255) {
  TBitmap32 out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.SetPixel(x, y, Color32(x * 7 % 256, y * 5 % 256, (x * y) % 256, alpha));
  return out;
}

class DeskMouse : public ::testing::Test, public DeskFixture {
 protected:
  FakeToolOwner tool;
  TDeskMouseTools mouse{desk, tool};

  void SetUp() override { SetSmallDesk(200, 200, 200, 200); }

  TLayer& AddSelected(const TBitmap32& picture, int left, int top) {
    auto layer = std::make_unique<TLayer>(desk, picture);
    layer->Left = left;
    layer->Top = top;
    layer->Render(desk.DeskFrame());
    TLayer& ref = *layer;
    desk.SelectLayer(desk.InsertLayer(std::move(layer)));
    return ref;
  }
  static TDeskMouse At(int x, int y, TDeskButton button = TDeskButton::Left, bool shift = false, bool ctrl = false) {
    TDeskMouse m;
    m.Button = button;
    m.ButtonHeld = true;
    m.Shift = shift;
    m.Ctrl = ctrl;
    m.Window = {x, y};
    return m;
  }
  // Press at the first point, move through the others, release at the last.
  void Drag(std::vector<TPoint> points, TDeskButton button = TDeskButton::Left, bool shift = false) {
    mouse.MouseDown(At(points[0].X, points[0].Y, button, shift));
    for (std::size_t i = 1; i < points.size(); ++i) mouse.MouseMove(At(points[i].X, points[i].Y, button, shift));
    TDeskMouse up = At(points.back().X, points.back().Y, button, shift);
    up.ButtonHeld = false;
    mouse.MouseUp(up);
  }
  void Click(int x, int y, TDeskButton button = TDeskButton::Left, bool shift = false, bool ctrl = false) {
    mouse.MouseDown(At(x, y, button, shift, ctrl));
    TDeskMouse up = At(x, y, button, shift, ctrl);
    up.ButtonHeld = false;
    mouse.MouseUp(up);
  }
  TRect RectOf(const TLayer& l) { return Bounds(l.Left, l.Top, l.Width(), l.Height()); }
};

// --- resize ---

TEST_F(DeskMouse, ResizeBelowTenPixelsIsRefusedAndShrinkingThenGrowingLosesNothing) {
  const TBitmap32 original = Pattern(40, 20);
  TLayer& layer = AddSelected(original, 10, 10);
  layer.Mask.SetRegionIndex(3);
  layer.Mask.SetWorkRect({30, 4, 38, 16});  // a region on the right, 8 x 12
  layer.Mask.Apply(kMaskSetRect);
  const auto regionPixels = [&] {
    int n = 0;
    for (int y = 0; y < layer.Height(); ++y)
      for (int x = 0; x < layer.Width(); ++x) n += layer.Mask.PixelInRegion(y, x, 3);
    return n;
  };
  ASSERT_EQ(regionPixels(), 96);
  // Right edge from x 49 to 15 would leave 6 pixels: refused, the layer keeps its size.
  Drag({{49, 20}, {15, 20}});
  EXPECT_EQ(RectOf(layer), Bounds(10, 10, 40, 20));
  EXPECT_TRUE(layer.History().empty());
  Drag({{49, 20}, {21, 20}, {49, 20}});  // down to 12 wide, then back to 40
  EXPECT_EQ(RectOf(layer), Bounds(10, 10, 40, 20));
  EXPECT_TRUE(SamePicture(layer.Picture, original));  // rebuilt from the base, not from the 12-pixel picture
  EXPECT_EQ(regionPixels(), 96);
  EXPECT_EQ(layer.History().size(), 1u);
  // Left edge: the position moves with the size; larger than the canvas is refused.
  Drag({{10, 20}, {4, 20}});
  EXPECT_EQ(RectOf(layer), Bounds(4, 10, 46, 20));
  Drag({{49, 20}, {199, 20}});
  EXPECT_EQ(layer.Width(), 46 + 150);
  Drag({{195, 20}, {205, 20}});  // 206 wide on a canvas of 200: refused
  EXPECT_EQ(layer.Width(), 196);
}

TEST_F(DeskMouse, CornersKeepTheAspectAndUndoRestoresTheSize) {
  const TBitmap32 original = Pattern(60, 30);
  TLayer& layer = AddSelected(original, 50, 50);
  Drag({{109, 79}, {129, 84}});  // bottom-right: x dominates, +20 wide
  EXPECT_EQ(RectOf(layer), Bounds(50, 50, 80, 40));
  Drag({{50, 50}, {40, 48}});  // top-left: out by 10, the top follows the aspect
  EXPECT_EQ(RectOf(layer), Bounds(40, 45, 90, 45));
  Drag({{129, 45}, {130, 35}});  // top-right: y dominates, up by 10
  EXPECT_EQ(RectOf(layer), Bounds(40, 40, 100, 50));
  Drag({{40, 89}, {42, 109}});  // bottom-left: down by 20
  EXPECT_EQ(RectOf(layer), Bounds(20, 40, 120, 60));
  ASSERT_EQ(layer.History().size(), 4u);
  for (int i = 0; i < 4; ++i) layer.Undo();
  EXPECT_EQ(RectOf(layer), Bounds(50, 50, 60, 30));
  EXPECT_TRUE(SamePicture(layer.Picture, original));
}

// --- move, rotate ---

TEST_F(DeskMouse, MoveFollowsStepsOfTwoPixelsAsOneHistoryItem) {
  TLayer& layer = AddSelected(Pattern(30, 30), 20, 20);
  Drag({{35, 35}, {36, 35}, {40, 38}, {41, 38}, {50, 50}});
  EXPECT_EQ(RectOf(layer).TopLeft(), (TPoint{35, 35}));
  ASSERT_EQ(layer.History().size(), 1u);
  EXPECT_FALSE(desk.UndoPending());
  layer.Undo();
  EXPECT_EQ(RectOf(layer).TopLeft(), (TPoint{20, 20}));
}

TEST_F(DeskMouse, RotationTurnsFullyOnLongStepsAndHalfOnShortOnes) {
  const TBitmap32 original = Pattern(40, 40);
  TLayer& layer = AddSelected(original, 60, 60);
  Drag({{80, 80}, {120, 80}}, TDeskButton::Left, true);
  EXPECT_EQ(layer.Angle(), 40);
  layer.Undo();
  EXPECT_EQ(layer.Angle(), 0);
  EXPECT_TRUE(SamePicture(layer.Picture, original));
  std::vector<TPoint> steps;
  for (int i = 0; i <= 10; ++i) steps.push_back({80 + 4 * i, 80});
  Drag(steps, TDeskButton::Left, true);
  EXPECT_EQ(layer.Angle(), 20);
  Drag({{80, 80}, {100, 80}}, TDeskButton::Left, true);
  EXPECT_EQ(layer.Angle(), 40);
  // Each gesture one item, restoring the angle it began with.
  ASSERT_EQ(layer.History().size(), 2u);
  layer.Undo();
  EXPECT_EQ(layer.Angle(), 20);
  layer.Undo();
  EXPECT_EQ(layer.Angle(), 0);
  EXPECT_EQ(RectOf(layer), Bounds(60, 60, 40, 40));
}

// --- brush and eraser ---

TEST_F(DeskMouse, BrushAtFullPowerPaintsItsColourAtTheCentreAndUndoReturnsThePicture) {
  tool.mode = dmPaint;
  tool.settings.BrushSize = 6;
  tool.settings.BrushPower = 100;
  tool.settings.BrushColorRed = 200;
  tool.settings.BrushColorGreen = 100;
  tool.settings.BrushColorBlue = 50;
  const TBitmap32 original = Pattern(50, 50, 180);
  TLayer& layer = AddSelected(original, 0, 0);
  owner.looksChanged.clear();
  Drag({{25, 25}, {26, 25}});
  EXPECT_EQ(owner.looksChanged, std::vector<const TLayer*>{&layer});  // the thumbnail follows
  EXPECT_EQ(layer.Picture.Pixel(26, 25), Color32(200, 100, 50, 180));  // alpha untouched
  EXPECT_EQ(layer.Picture.Pixel(32, 25), original.Pixel(32, 25));      // the rim (d = 1) unchanged
  EXPECT_NE(layer.Picture.Pixel(29, 25), original.Pixel(29, 25));
  ASSERT_EQ(layer.History().size(), 1u);
  EXPECT_EQ(layer.History()[0]->Rect, (TRect{20, 19, 33, 32}));  // cut to the touched square
  layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, original));
}

TEST_F(DeskMouse, BrushRightButtonRestoresAndPowerZeroChangesNothing) {
  tool.mode = dmPaint;
  tool.settings.BrushSize = 5;
  tool.settings.BrushPower = 100;
  tool.settings.BrushColorRed = 255;
  const TBitmap32 original = Pattern(40, 40);
  TLayer& layer = AddSelected(original, 0, 0);
  Drag({{20, 20}, {21, 20}});
  EXPECT_EQ(layer.Picture.Pixel(21, 20), Color32(255, 0, 0));
  Drag({{20, 20}, {21, 20}}, TDeskButton::Right);
  EXPECT_EQ(layer.Picture.Pixel(21, 20), original.Pixel(21, 20));
  const TBitmap32 restored = layer.Picture;
  tool.settings.BrushPower = 0;
  Drag({{10, 10}, {11, 10}});
  EXPECT_TRUE(SamePicture(layer.Picture, restored));
}

TEST_F(DeskMouse, StrokeThatTouchesNoPixelLeavesNoHistoryItem) {
  for (TDeskMode mode : {dmPaint, dmErase, dmModify}) {
    tool.mode = mode;
    if (mode == dmModify) desk.SetWarpFieldAllocated(true);
    TLayer& layer = AddSelected(Pattern(20, 20), 0, 0);
    Drag({{100, 100}, {110, 100}, {120, 104}});
    EXPECT_TRUE(layer.History().empty()) << int(mode);
    EXPECT_FALSE(desk.UndoPending());
  }
}

TEST_F(DeskMouse, EraserRightButtonRestoresAlphaCappedAt255) {
  tool.mode = dmErase;
  tool.settings.EraserSize = 2;
  tool.settings.EraserPower = 100;
  const TBitmap32 original = Pattern(30, 30);
  TLayer& layer = AddSelected(original, 0, 0);
  Drag({{10, 10}, {11, 10}});
  EXPECT_EQ(AlphaOf(layer.Picture.Pixel(11, 10)), 0);
  EXPECT_EQ(RedOf(layer.Picture.Pixel(11, 10)), RedOf(original.Pixel(11, 10)));  // colour kept
  Drag({{10, 10}, {11, 10}}, TDeskButton::Right);
  EXPECT_EQ(AlphaOf(layer.Picture.Pixel(11, 10)), 255);
  // An untouched opaque pixel at half the radius: 128 + 128 without the cap.
  Drag({{20, 20}, {21, 20}}, TDeskButton::Right);
  EXPECT_EQ(AlphaOf(layer.Picture.Pixel(22, 20)), 255);
  EXPECT_EQ(layer.History().size(), 3u);
  for (int i = 0; i < 3; ++i) layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, original));
}

// --- warp ---

TEST_F(DeskMouse, WarpAtPowerZeroStillMovesPixelsAndUndoReturnsThem) {
  tool.mode = dmModify;
  tool.settings.ModifierSize = 10;
  tool.settings.ModifierPower = 0;
  desk.SetWarpFieldAllocated(true);
  const TBitmap32 original = Pattern(60, 60);
  TLayer& layer = AddSelected(original, 0, 0);
  std::vector<TPoint> stroke;
  for (int x = 20; x <= 40; ++x) stroke.push_back({x, 30});
  Drag(stroke);
  EXPECT_FALSE(layer.Picture == original) << "the stroke left the picture as it was";
  EXPECT_EQ(layer.Picture.Pixel(5, 5), original.Pixel(5, 5));
  // The next stroke warps the result: the base took the warped pixels.
  EXPECT_TRUE(SamePicture(layer.BasePicture, layer.Picture));
  const TBitmap32 warped = layer.Picture;
  Drag({{30, 20}, {30, 35}});
  layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, warped));
  layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, original));
  EXPECT_TRUE(SamePicture(layer.BasePicture, original));
}

TEST_F(DeskMouse, WarpAtTheEdgeOfAFullCanvasStaysInsideTheField) {
  SetSmallDesk(1024, 1024, 1024, 1024);
  tool.mode = dmModify;
  tool.settings.ModifierSize = 12;
  tool.settings.ModifierPower = 100;
  desk.SetWarpFieldAllocated(true);
  TLayer& layer = AddSelected(Pattern(1024, 1024), 0, 0);
  Drag({{1016, 1016}, {1023, 1023}});
  const auto cell = [&](int x, int y) { return desk.WarpField()[std::size_t(y) * 1024 + x]; };
  EXPECT_NE(cell(1023, 1020).DX, 0);
  // A write one past the right edge would land at the start of the next row.
  for (int y = 1000; y < 1024; ++y) EXPECT_EQ(cell(0, y).DX, 0) << y;
  EXPECT_EQ(layer.History().size(), 1u);
}

TEST_F(DeskMouse, WarpOfALayerOnePixelWideTakesItsOneSample) {
  tool.mode = dmModify;
  tool.settings.ModifierSize = 8;
  tool.settings.ModifierPower = 100;
  desk.SetWarpFieldAllocated(true);
  TBitmap32 column(1, 30);
  for (int y = 0; y < 30; ++y) column.SetPixel(0, y, Color32(y * 8, 0, 0));
  TLayer& layer = AddSelected(column, 10, 0);
  Drag({{10, 10}, {10, 16}, {12, 20}});
  for (int y = 0; y < 30; ++y) {
    const TColor32 p = layer.Picture.Pixel(0, y);
    EXPECT_EQ(GreenOf(p), 0);
    EXPECT_EQ(AlphaOf(p), 255);
    EXPECT_LE(RedOf(p), 29 * 8);
  }
  EXPECT_FALSE(layer.Picture == column) << "the drag left the column as it was";
}

// --- clicks ---

TEST_F(DeskMouse, CtrlClicksWalkDownThroughOverlappingLayersAndWrap) {
  for (int i = 0; i < 3; ++i) Add(20, 20, 0xFF000000 | i, 10 + i, 10, 3 - i, "L" + std::to_string(i));
  std::vector<std::string> picked;
  for (int i = 0; i < 5; ++i) {
    Click(15, 15, TDeskButton::Left, false, true);
    picked.push_back(desk.SelectedLayer()->Caption);
  }
  EXPECT_EQ(picked, (std::vector<std::string>{"L0", "L1", "L2", "L0", "L1"}));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(desk.Layer(i).History().empty());
  EXPECT_FALSE(desk.UndoPending());  // cleared by clicks that never moved
}

TEST_F(DeskMouse, OtherButtonsOpenThePopupAndTheMiddleButtonPans) {
  SetSmallDesk(100, 100, 300, 300);
  Add(20, 20, 0xFF0000FF, 10, 10);
  Click(15, 15, TDeskButton::Right);
  Click(5, 50, TDeskButton::Middle);
  ASSERT_EQ(view.popups.size(), 2u);
  EXPECT_EQ(desk.PopupLayerIndex, -1);
  Drag({{50, 50}, {40, 45}}, TDeskButton::Middle);
  EXPECT_EQ(tool.scrolls, (std::vector<TPoint>{{10, 5}}));
  EXPECT_EQ(view.popups.size(), 2u);
  Drag({{50, 50}, {80, 50}}, TDeskButton::Middle);  // would leave the canvas: stays
  EXPECT_EQ(tool.scrolls.size(), 1u);
}

TEST_F(DeskMouse, ColourPickAveragesOnlyPixelsOnTheDesk) {
  tool.mode = dmPaint;
  SetSmallDesk(40, 30, 40, 30);
  AddSelected(TBitmap32(40, 30, Color32(90, 60, 30)), 0, 0);
  desk.RefreshAll();
  Click(0, 0, TDeskButton::Left, true);
  ASSERT_FALSE(tool.colors.empty());
  EXPECT_EQ(tool.colors.back(), (std::array<int, 3>{90, 60, 30}));
}

TEST_F(DeskMouse, HoverShowsTheHandleCursors) {
  AddSelected(Pattern(40, 40), 10, 10);
  const auto hover = [&](int x, int y) {
    TDeskMouse m = At(x, y);
    m.ButtonHeld = false;
    mouse.MouseMove(m);
    return view.cursor;
  };
  EXPECT_EQ(hover(11, 11), crSizeNWSE);
  EXPECT_EQ(hover(48, 11), crSizeNESW);
  EXPECT_EQ(hover(11, 30), crSizeWE);
  EXPECT_EQ(hover(30, 48), crSizeNS);
  EXPECT_EQ(hover(30, 30), crHandFlat);
  EXPECT_EQ(hover(80, 80), crDefault);
}

}  // namespace

namespace {

// After every gesture the desk shows what a fresh composite of the whole work
// shows: no pixel of an old place or angle stays behind.
class DeskAfterGestures : public DeskMouse {
 protected:
  void ExpectFreshComposite(const std::string& gesture) {
    const TBitmap32 shown = desk.ScreenBitmap();
    desk.RefreshAll();
    const TBitmap32& fresh = desk.ScreenBitmap();
    ASSERT_EQ(shown.Width(), fresh.Width());
    int stale = 0;
    TPoint first{-1, -1};
    for (int y = 0; y < fresh.Height(); ++y)
      for (int x = 0; x < fresh.Width(); ++x)
        if (shown.Pixel(x, y) != fresh.Pixel(x, y) && stale++ == 0) first = {x, y};
    EXPECT_EQ(stale, 0) << gesture << ": " << stale << " stale pixels, the first at " << first.X << "," << first.Y;
  }
};

}  // namespace

TEST_F(DeskAfterGestures, TurningMovingResizingAndPaintingLeaveNoStalePixels) {
  Add(200, 200, Color32(30, 60, 90), 0, 0);  // a ground that shows every stale pixel
  TLayer& layer = AddSelected(Pattern(41, 27), 63, 71);
  desk.RefreshAll();
  // Turns of every size, both ways, in steps short and long.
  for (int to : {97, 131, 58, 150, 83, 20, 149}) {
    Drag({{83, 84}, {to, 84}}, TDeskButton::Left, true);
    ExpectFreshComposite("turn to " + std::to_string(layer.Angle()));
  }
  std::vector<TPoint> steps;
  for (int i = 0; i <= 13; ++i) steps.push_back({90 - 3 * i, 84});
  Drag(steps, TDeskButton::Left, true);
  ExpectFreshComposite("turn in short steps");
  Drag({{83, 84}, {100, 97}, {51, 60}});
  ExpectFreshComposite("move");
  const TRect r = RectOf(layer);
  Drag({{r.Right - 1, r.Bottom - 1}, {r.Right + 17, r.Bottom + 9}});
  ExpectFreshComposite("resize by the corner");
  layer.Undo();
  ExpectFreshComposite("undo");
  for (TDeskMode mode : {dmPaint, dmErase, dmModify}) {
    tool.mode = mode;
    if (mode == dmModify) desk.SetWarpFieldAllocated(true);
    const TRect now = RectOf(layer);
    Drag({{now.Left + 5, now.Top + 5}, {now.Left + 20, now.Top + 12}, {now.Right - 3, now.Bottom - 2}});
    ExpectFreshComposite("stroke in mode " + std::to_string(int(mode)));
  }
}
