// The bald-head editor's picture work, headless; the fill is judged by a numpy
// reading of the rule (bottom row first, each row from the middle outwards, in
// place) and by the colours around the blank.
#include <gtest/gtest.h>

#include "editor/BaldHead.h"
#include "support/PictureCompare.h"
#include "support/TestPaths.h"

namespace {

// An opaque portrait whose colours vary smoothly, so a fill has a range to stay in.
TBitmap32 Portrait(int w, int h) {
  TBitmap32 p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.SetPixel(x, y, Color32(std::uint8_t(60 + x % 150), std::uint8_t(90 + y % 120), std::uint8_t((x * 7 + y * 3) % 256)));
  return p;
}

std::string Raw(const TBitmap32& b) { return std::string(reinterpret_cast<const char*>(b.Bits()), b.ByteSize()); }

// Face point (150, 200) on a layer at the canvas origin: the outline spans
// x 103..293, y 50..270, cut at y 160.
constexpr TPoint kFace{150, 200};

TEST(BaldHeadShape, RegionIsTheEllipseAboveTheCutLine) {
  TBaldHeadEditor editor(Portrait(400, 400), kFace, {0, 0});
  editor.EnterBaldHeadMode();
  const THeadShape& s = editor.Shape();
  EXPECT_EQ(s.Ellipse, (TRect{103, 50, 293, 270}));
  EXPECT_TRUE(s.Contains(198, 60));    // near the crown
  EXPECT_TRUE(s.Contains(198, 158));   // just above the cut
  EXPECT_FALSE(s.Contains(198, 161));  // below the cut
  EXPECT_FALSE(s.Contains(105, 52));   // the rectangle's corner, outside the ellipse
  EXPECT_EQ(editor.HandleAt({198, 100}), TShapeHandle::Whole);
  EXPECT_EQ(editor.HandleAt({103, 160}), TShapeHandle::CutLeft);
  EXPECT_EQ(editor.HandleAt({104, 120}), TShapeHandle::LeftEdge);
  EXPECT_EQ(editor.HandleAt({198, 268}), TShapeHandle::BottomEdge);

  // A slanted cut: the right cut point dragged up takes the right side's crown off.
  editor.ShapeMouseDown({293, 160});
  editor.ShapeMouseMove({293, 80});
  editor.ShapeMouseUp();
  EXPECT_TRUE(editor.Shape().Contains(120, 150));
  EXPECT_FALSE(editor.Shape().Contains(270, 120));
}

TEST(BaldHeadShape, HandlesCannotInvertOrEmptyTheOutline) {
  TBaldHeadEditor editor(Portrait(400, 400), kFace, {0, 0});
  editor.EnterBaldHeadMode();
  editor.ShapeMouseDown({104, 120});  // left edge far past the right one
  editor.ShapeMouseMove({390, 120});
  editor.ShapeMouseUp();
  editor.ShapeMouseDown({283, 52});  // top edge below the bottom
  editor.ShapeMouseMove({283, 399});
  editor.ShapeMouseUp();
  const TRect& e = editor.Shape().Ellipse;
  EXPECT_EQ(e.Width(), TBaldHeadEditor::kMinShapeSide);
  EXPECT_EQ(e.Height(), TBaldHeadEditor::kMinShapeSide);
  EXPECT_EQ(editor.Shape().CutLeft.X, e.Left);
  EXPECT_FALSE(editor.Shape().RegionBounds().IsEmpty());
}

TEST(BaldHeadEraser, ErasesTheDiscAndTheRightButtonBringsItBack) {
  const TBitmap32 portrait = Portrait(120, 100);
  TBaldHeadEditor editor(portrait, kFace, {0, 0});
  // Right button over pixels never erased changes nothing.
  editor.Erase(60, 50, 20, true);
  EXPECT_TRUE(SamePicture(editor.View(), portrait));

  const TRect touched = editor.Erase(2, 3, 10, false);
  EXPECT_EQ(touched, (TRect{0, 0, 12, 13}));  // the disc's square, clipped to the picture
  const TBitmap32 view = editor.View();
  EXPECT_EQ(view.Pixel(2, 3), Color32(255, 255, 255));
  EXPECT_EQ(view.Pixel(11, 3), Color32(255, 255, 255));  // 9 from the centre: inside
  EXPECT_EQ(AlphaOf(editor.Erased().Pixel(11, 3)), 0);
  EXPECT_EQ(view.Pixel(12, 3), portrait.Pixel(12, 3));      // 10 from the centre: outside
  EXPECT_EQ(view.Pixel(11, 12), portrait.Pixel(11, 12));     // the square's corner

  editor.Erase(2, 3, 10, true);
  EXPECT_TRUE(SamePicture(editor.View(), portrait));
  EXPECT_EQ(editor.Erase(5, 5, 0, false), TRect{});
}

TEST(BaldHeadFill, FillsEveryBlankInsideFromItsNeighboursAndNothingOutside) {
  const int w = 320, h = 300;
  const TBitmap32 portrait = Portrait(w, h);
  TBaldHeadEditor editor(portrait, kFace, {0, 0});
  for (int y = 40; y <= 140; y += 8)  // the hair, erased well past the outline's sides
    for (int x = 90; x <= 310; x += 8) editor.Erase(x, y, 9, false);
  editor.EnterBaldHeadMode();
  const TBitmap32 erased = editor.Erased();
  editor.FillBlank();
  ASSERT_TRUE(editor.Filled());
  const TBitmap32 result = editor.Result();

  TempFolder dir;
  std::string region;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) region += editor.Shape().Contains(x, y) ? '\1' : '\0';
  WriteTestFile(dir / "original", Raw(portrait));
  WriteTestFile(dir / "erased", Raw(erased));
  WriteTestFile(dir / "result", Raw(result));
  WriteTestFile(dir / "region", region);
  WriteTestFile(dir / "judge.py", R"PY(
import sys, numpy as np
d, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
load = lambda n: np.fromfile(d + '/' + n, dtype=np.uint8).reshape(h, w, -1)
orig, erased, result = load('original').astype(int), load('erased').astype(int), load('result').astype(int)
region = load('region')[:, :, 0] == 1
blank = erased[:, :, 3] == 0
# The rule read from its description, straight colours where the picture is opaque.
work = orig.copy(); work[blank, 3] = 0
ys, xs = np.nonzero(region)
top, bottom, left, right = ys.min(), ys.max() + 1, xs.min(), xs.max() + 1
centre = (left + right) // 2
for y in range(min(bottom - 1, h - 2), max(top, 1) - 1, -1):
    for x in list(range(centre, left - 1, -1)) + list(range(centre + 1, right)):
        if not region[y, x] or work[y, x, 3] != 0: continue
        n = [work[v, u] for v in range(y - 1, y + 2) for u in range(x - 1, x + 2)
             if (u, v) != (x, y) and 0 <= u < w and 0 <= v < h and work[v, u, 3] != 0]
        work[y, x] = [sum(p[c] for p in n) // len(n) for c in range(3)] + [255] if n else [255, 255, 255, 0]
expected = np.where(work[:, :, 3:4] == 255, work, orig)
assert (expected == result).all(), 'fill differs at %s' % (np.argwhere(expected != result)[0],)
filled = blank & region & (np.arange(h)[:, None] >= 1) & (np.arange(h)[:, None] <= h - 2)
assert filled.sum() > 5000, filled.sum()
assert (result[filled, 3] == 255).all(), 'a blank inside the outline stayed blank'
assert (result[~filled] == orig[~filled]).all(), 'a pixel outside the filled blank changed'
pad = np.pad(blank, 1)
near = np.zeros_like(blank)
for dy in range(3):
    for dx in range(3): near |= pad[dy:dy + h, dx:dx + w]
ring = near & ~blank
for c in range(3):
    lo, hi = orig[ring, c].min(), orig[ring, c].max()
    assert lo <= result[filled, c].min() and result[filled, c].max() <= hi, (c, lo, hi)
print('ok')
)PY");
  std::string out;
  EXPECT_EQ(RunCommand("/usr/bin/python3 " + (dir / "judge.py").string() + " " + dir.Path().string() + " " +
                           std::to_string(w) + " " + std::to_string(h) + " 2>&1",
                       &out),
            0)
      << out;
}

TEST(BaldHeadFill, AnOutlineOffThePictureAndABlankWithoutNeighbours) {
  // The whole picture blank: nothing to grow from, and OK gives the picture back.
  const TBitmap32 portrait = Portrait(60, 40);
  TBaldHeadEditor editor(portrait, {-100, -200}, {0, 0});
  editor.Erase(30, 20, 100, false);
  editor.EnterBaldHeadMode();
  editor.ShapeMouseDown({0, 0});  // nothing held outside the outline
  EXPECT_FALSE(editor.ShapeMouseMove({5, 5}));
  editor.FillBlank();
  EXPECT_TRUE(SamePicture(editor.Result(), portrait));

  // The outline dragged partly off the picture fills only what lies inside.
  TBaldHeadEditor moved(portrait, {30, 150}, {0, 0});
  moved.Erase(30, 20, 100, false);
  moved.Erase(30, 38, 3, true);  // one opaque seed near the bottom
  moved.EnterBaldHeadMode();
  const TPoint grip{moved.Shape().Ellipse.Left + 95, moved.Shape().Ellipse.Top + 60};
  ASSERT_EQ(moved.HandleAt(grip), TShapeHandle::Whole);
  moved.ShapeMouseDown(grip);
  moved.ShapeMouseMove({grip.X - 90, grip.Y - 40});
  moved.ShapeMouseUp();
  moved.FillBlank();
  const TBitmap32 result = moved.Result();
  EXPECT_FALSE(result == portrait) << "the moved blank was not filled";
  EXPECT_EQ(result.Width(), 60);
}

}  // namespace
