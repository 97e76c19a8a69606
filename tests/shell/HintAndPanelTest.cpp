#include <gtest/gtest.h>

#include "shell/HintBubble.h"
#include "shell/PanelCaption.h"

TEST(HintBubble, SplitAtTheFirstDelimiter) {
  THintParts p = SplitHint("Save the work", "@");
  EXPECT_EQ(p.Text, "Save the work");
  EXPECT_FALSE(p.HasWave);
  p = SplitHint("Save@save.wav@x", "@");
  EXPECT_EQ(p.Text, "Save");
  EXPECT_EQ(p.Wave, "save.wav@x");
  EXPECT_TRUE(p.HasWave);
  EXPECT_FALSE(SplitHint("a@b", "").HasWave);
}

TEST(HintBubble, CoefficientBelowOneCountsAsOne) {
  EXPECT_EQ(ScaleHintRect(100, 20, 0.5), (THintRect{0, 0, 100, 20}));
  EXPECT_EQ(ScaleHintRect(101, 15, 2.5), (THintRect{0, 0, 252, 38}));  // 252.5 and 37.5: ties to even
}

TEST(HintBubble, PlacementStaysOnScreenAndOffTheCursor) {
  // Centred on the hint position.
  EXPECT_EQ(PlaceHint({500, 300, 200, 50}, 1024, 768, 280), (THintRect{400, 300, 200, 50}));
  // Near the lower right corner: moved left and up, then above the cursor.
  THintRect r = PlaceHint({1000, 760, 200, 50}, 1024, 768, 740);
  EXPECT_EQ(r, (THintRect{824, 690, 200, 50}));
  EXPECT_LE(r.Left + r.Width, 1024);
  EXPECT_LE(r.Top + r.Height, 768);
  EXPECT_FALSE(740 >= r.Top && 740 < r.Top + r.Height);
  // Cursor outside the moved bubble: it just ends at the bottom.
  EXPECT_EQ(PlaceHint({1000, 760, 200, 50}, 1024, 768, 700), (THintRect{824, 718, 200, 50}));
  // Negative coordinates become 0.
  EXPECT_EQ(PlaceHint({10, 5, 200, 50}, 1024, 768, 30), (THintRect{0, 5, 200, 50}));
  EXPECT_EQ(PlaceHint({10, 60, 200, 100}, 1024, 100, 30), (THintRect{0, 0, 200, 100}));
}

TEST(HintBubble, EllipseIsSolidAtTheCentreAndKeepsTheCorners) {
  TBitmap32 screen(5, 3, Color32(0, 0, 0));
  BlendHintBubble(screen, 0x4B9B9B);
  EXPECT_EQ(screen.Pixel(2, 1), Color32(75, 155, 155));  // d = 0
  EXPECT_EQ(screen.Pixel(0, 0), Color32(0, 0, 0));       // d = 2
  EXPECT_EQ(screen.Pixel(0, 1), Color32(0, 0, 0));       // d = 1: outside
  // (1,1): dx = -0.5, d = 0.25: 0.75 * bg, rounded half to even.
  EXPECT_EQ(screen.Pixel(1, 1), Color32(56, 116, 116));
  TBitmap32 line(5, 1, Color32(9, 9, 9));
  BlendHintBubble(line, 0xFFFFFF);  // no height to divide by: unchanged
  EXPECT_EQ(line.Pixel(2, 0), Color32(9, 9, 9));
}

TEST(PanelCaption, LimitsComeFromTheChildrenOnEachSide) {
  std::vector<TChildSpan> children = {{2, 20}, {30, 10}, {48, 4}, {60, 10}, {80, 5}};
  TCaptionLimits l = CaptionLimits(100, children);
  EXPECT_EQ(l.Left, 40);   // 30 + 10 < 50; 48 + 4 is not
  EXPECT_EQ(l.Right, 60);  // 60 > 50; 48 is not
  EXPECT_EQ(CaptionX(l, 10, TCaptionAlign::Left), 42);
  EXPECT_EQ(CaptionX(l, 10, TCaptionAlign::Right), 48);
  EXPECT_EQ(CaptionX(l, 11, TCaptionAlign::Center), 45);
  TCaptionLimits none = CaptionLimits(100, {});
  EXPECT_EQ(none.Left, 0);
  EXPECT_EQ(none.Right, 100);
  EXPECT_EQ(TileCount(100, 30), 4);
  EXPECT_EQ(TileCount(90, 30), 4);
  EXPECT_EQ(TileCount(90, 0), 0);
}
