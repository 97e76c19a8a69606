// The region editor's logic: seed clicks judged by Pillow from the colour rule,
// the grid's nodes and cells, the lasso, and Cancel restoring the region exactly.
#include <gtest/gtest.h>

#include <random>

#include "editor/RegionEditor.h"
#include "platform/FileIO.h"
#include "support/PictureJudges.h"

namespace {

// A picture of a few colours, each pixel nudged a little, so that a tolerance
// splits it into several irregular, unconnected sets.
TBitmap32 Patches(int width, int height) {
  std::mt19937 random(7);
  const TColor32 base[] = {Color32(200, 40, 40), Color32(60, 180, 70), Color32(205, 50, 35), Color32(30, 30, 220)};
  TBitmap32 b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TColor32 c = base[(x / 7 + (y / 5) * 3 + int(random() % 2)) % 4];
      auto nudge = [&](int v) { return std::uint8_t(std::clamp(v + int(random() % 21) - 10, 0, 255)); };
      b.SetPixel(x, y, Color32(nudge(RedOf(c)), nudge(GreenOf(c)), nudge(BlueOf(c)), std::uint8_t(random() % 256)));
    }
  return b;
}

// The judge: a pixel matches when each of its R, G and B lies within `tolerance`
// of the seed pixel's (a box per channel, clamped to 0..255; every pixel of the
// rectangle, connected or not). Pillow's floodfill differs on both counts (it
// sums the channel differences and fills only connected pixels), so the rule is
// written with Pillow's band operations instead. The rectangle is inclusive.
std::string PillowMatches(const TBitmap32& picture, TPoint seed, int tolerance, TRect inclusive) {
  TempFolder dir;
  WriteTestFile(dir / "p.rgba", ToRgba(picture));
  const std::string script =
      "import sys\n"
      "from PIL import Image, ImageChops\n"
      "d,w,h,x,y,t,l,tp,r,b=sys.argv[1],*map(int,sys.argv[2:])\n"
      "im=Image.frombytes('RGBA',(w,h),open(d+'/p.rgba','rb').read()).convert('RGB')\n"
      "ref=im.getpixel((x,y))\n"
      "bands=[band.point(lambda v,lo=max(0,c-t),hi=min(255,c+t): 255 if lo<=v<=hi else 0)\n"
      "       for band,c in zip(im.split(),ref)]\n"
      "m=ImageChops.multiply(ImageChops.multiply(bands[0],bands[1]),bands[2])\n"
      "inside=Image.new('L',(w,h),0)\n"
      "inside.paste(255,(l,tp,r+1,b+1))\n"
      "m=ImageChops.multiply(m,inside)\n"
      "print(''.join('1' if v else '0' for v in m.getdata()))\n";
  std::string args = Quoted(dir.Path());
  for (int v : {picture.Width(), picture.Height(), seed.X, seed.Y, tolerance, inclusive.Left, inclusive.Top,
                inclusive.Right, inclusive.Bottom})
    args += " " + std::to_string(v);
  std::string out = RunPython(script, args);
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string Members(const TMask& mask, int region) {
  std::string out;
  for (int y = 0; y <= mask.MaxY(); ++y)
    for (int x = 0; x <= mask.MaxX(); ++x) out += mask.PixelInRegion(y, x, region) ? '1' : '0';
  return out;
}

// A mask with every region's bits scattered over it, region `current` chosen.
struct Bound {
  TBitmap32 picture;
  TMask mask;
  Bound(TBitmap32 p, int current) : picture(std::move(p)) {
    mask.SetBitmap(&picture);
    std::mt19937 random(11);
    for (std::uint8_t& cell : mask.Map().Bytes()) cell = std::uint8_t(random());
    mask.SetRegionIndex(current);
  }
};

}  // namespace

TEST(RegionEditor, SeedClicksMarkThePixelsPillowJudgesMatching) {
  Bound b(Patches(60, 45), 3);
  TRegionEditor editor;
  editor.Start(b.mask);
  editor.SetTolerance(12);
  const TRect whole{0, 0, 59, 44};
  // A plain click replaces the region by the matching pixels of the whole picture.
  editor.SeedClick({10, 8}, false, skNone);
  const std::string first = PillowMatches(b.picture, {10, 8}, 12, whole);
  ASSERT_EQ(first.size(), 60u * 45u);
  EXPECT_EQ(Members(b.mask, 3), first);
  EXPECT_NE(first.find('0'), std::string::npos);
  EXPECT_NE(first.find('1'), std::string::npos);

  // Shift adds a second colour, Alt then removes a third (nearby) one.
  editor.SeedClick({30, 20}, false, skShift);
  const std::string second = PillowMatches(b.picture, {30, 20}, 12, whole);
  editor.SeedClick({45, 40}, false, skAlt);
  const std::string third = PillowMatches(b.picture, {45, 40}, 12, whole);
  std::string expected = first;
  for (std::size_t i = 0; i < expected.size(); ++i)
    expected[i] = third[i] == '1' ? '0' : (first[i] == '1' || second[i] == '1') ? '1' : '0';
  EXPECT_EQ(Members(b.mask, 3), expected);

  // With Shift held after a seed click, the tolerance slider grows and shrinks
  // the seed colour's set; without Shift it only sets the next click's tolerance.
  editor.SeedClick({10, 8}, false, skNone);
  editor.KeyDown(true);
  editor.SetTolerance(40);
  EXPECT_EQ(Members(b.mask, 3), PillowMatches(b.picture, {10, 8}, 40, whole));
  editor.SetTolerance(5);
  EXPECT_EQ(Members(b.mask, 3), PillowMatches(b.picture, {10, 8}, 5, whole));
  editor.KeyUp();
  editor.SetTolerance(30);
  EXPECT_EQ(Members(b.mask, 3), PillowMatches(b.picture, {10, 8}, 5, whole));
  editor.SetTolerance(999);
  EXPECT_EQ(editor.Tolerance(), TRegionEditor::kMaxTolerance);
  editor.Finish(true);
}

TEST(RegionEditor, GridNodesCellsAndACellLimitedClick) {
  Bound b(Patches(101, 101), 1);
  TRegionEditor editor;
  editor.Start(b.mask);
  editor.SetGridCounts(5, 5);
  const TRegionGrid grid = editor.Grid();
  EXPECT_EQ(grid.X, (std::vector<int>{0, 20, 40, 60, 80, 100}));
  EXPECT_EQ(grid.Y, grid.X);
  // A point on a line belongs to the cell above or left of it; the last cells
  // reach the picture's last column and row.
  EXPECT_EQ(GridCellAt(grid, {20, 20}), (TRect{0, 0, 20, 20}));
  EXPECT_EQ(GridCellAt(grid, {21, 59}), (TRect{20, 40, 40, 60}));
  EXPECT_EQ(GridCellAt(grid, {100, 100}), (TRect{80, 80, 101, 101}));
  EXPECT_TRUE(GridCellAt(grid, {101, 5}).IsEmpty());
  editor.SetGridCounts(1, 99);
  EXPECT_EQ(editor.GridColumns(), TRegionEditor::kMinGrid);
  EXPECT_EQ(editor.GridRows(), TRegionEditor::kMaxGrid);
  editor.SetGridCounts(5, 5);

  // The selection limit is ignored while the grid is on: a Shift click adds the
  // matching pixels of its cell (lines included) and nothing outside it.
  editor.Clear();
  editor.SetSelectionLimit(true);  // the region is empty: the limit admits nothing
  editor.SetTolerance(15);
  editor.SetGridOn(false);
  editor.SeedClick({50, 30}, false, skShift);
  EXPECT_EQ(Members(b.mask, 1), std::string(101 * 101, '0'));
  editor.SetGridOn(true);
  editor.SeedClick({50, 30}, false, skShift);
  EXPECT_EQ(Members(b.mask, 1), PillowMatches(b.picture, {50, 30}, 15, {40, 20, 60, 40}));
  // Ctrl+Shift fills the cell, the right button with Ctrl inverts it.
  editor.SeedClick({90, 90}, false, skCtrl | skShift);
  editor.SeedClick({90, 90}, true, skCtrl);
  EXPECT_EQ(Members(b.mask, 1), PillowMatches(b.picture, {50, 30}, 15, {40, 20, 60, 40}));
  editor.SeedClick({95, 95}, false, skCtrl | skShift);
  EXPECT_TRUE(b.mask.PixelInRegion(100, 100, 1));
  EXPECT_FALSE(b.mask.PixelInRegion(79, 100, 1));

  TBitmap32 shown = editor.Display();
  EXPECT_EQ(shown.Pixel(20, 7), TRegionEditor::kGridColor);
  EXPECT_EQ(shown.Pixel(7, 80), TRegionEditor::kGridColor);
  EXPECT_NE(shown.Pixel(0, 7), TRegionEditor::kGridColor);  // the outer nodes draw no line
  editor.Finish(true);
}

TEST(RegionEditor, LassoAndCancelRestoreTheRegionExactly) {
  Bound b(Patches(40, 30), 2);
  const TMaskA before = b.mask.Map();
  TRegionEditor editor;
  editor.Start(b.mask);
  // The left button adds the enclosed square, the right one removes a smaller one.
  editor.Clear();
  editor.LassoPress({5, 5}, false);
  EXPECT_EQ(editor.LassoMove({25, 5}), (TPoint{5, 5}));
  editor.LassoMove({25, 25});
  editor.LassoMove({5, 25});
  editor.LassoRelease();
  EXPECT_FALSE(editor.LassoActive());
  editor.LassoPress({10, 10}, true);
  editor.LassoMove({20, 10});
  editor.LassoMove({20, 20});
  editor.LassoMove({10, 20});
  editor.LassoRelease();
  int inside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool member = b.mask.PixelInRegion(y, x, 2);
      const bool outside = x < 5 || x > 25 || y < 5 || y > 25;
      const bool removed = x >= 11 && x <= 19 && y >= 11 && y <= 19;
      const bool ring = (x == 7 || x == 23) && y >= 7 && y <= 23;
      if (outside || removed) {
        EXPECT_FALSE(member) << x << "," << y;
      }
      if (ring) {
        EXPECT_TRUE(member) << x << "," << y;
      }
      inside += member;
    }
  EXPECT_GT(inside, 200);
  editor.SeedClick({3, 3}, false, skShift);
  editor.SetGridCounts(4, 4);
  editor.SeedClick({39, 0}, true, skCtrl);
  // No other region's bit moved at any step, and Cancel brings region 2 back.
  for (std::size_t i = 0; i < before.Bytes().size(); ++i)
    ASSERT_EQ(b.mask.Map().Bytes()[i] & ~2u, before.Bytes()[i] & ~2u) << i;
  editor.Finish(false);
  EXPECT_EQ(b.mask.Map(), before);
  EXPECT_EQ(b.mask.IgnoreSelection, 0);
  EXPECT_FALSE(b.mask.SelectionActive());

  // OK keeps; a click outside the picture picks no colour at all.
  editor.Start(b.mask);
  editor.SeedClick({-1, 4}, false, skNone);
  editor.SeedClick({40, 4}, false, skNone);
  EXPECT_EQ(b.mask.Map(), before);
  editor.Clear();
  editor.Finish(true);
  EXPECT_EQ(Members(b.mask, 2), std::string(40 * 30, '0'));
}

TEST(RegionEditor, DisplayAndTypedCounts) {
  TBitmap32 picture(3, 1);
  picture.SetPixel(0, 0, Color32(0, 100, 200, 255));
  picture.SetPixel(1, 0, Color32(0, 100, 200, 101));
  picture.SetPixel(2, 0, Color32(0, 100, 200, 0));
  TMaskA map(3, 1, 0);
  map.At(0, 0) = 4;
  const TBitmap32 shown = RegionDisplay(picture, map, 4);
  EXPECT_EQ(shown.Pixel(0, 0), Color32(0, 100, 200));  // in the region: at its alpha
  // Outside: at half its alpha (50) over white: 255 + (c - 255) * 50 / 255.
  EXPECT_EQ(shown.Pixel(1, 0), Color32(205, 225, 245));
  EXPECT_EQ(shown.Pixel(2, 0), Color32(255, 255, 255));

  EXPECT_EQ(ParseBoundedCount(" 200 ", 0, 200), 200);
  EXPECT_EQ(ParseBoundedCount("0", 0, 200), 0);
  for (const char* bad : {"201", "-1", "", "7a", "1e2", "2 0"}) EXPECT_EQ(ParseBoundedCount(bad, 0, 200), std::nullopt) << bad;
}
