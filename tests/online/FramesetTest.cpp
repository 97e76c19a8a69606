// Framesets as publishers write them: sizes in pixels, percent and shares,
// framesets inside framesets, and the frame a link is aimed at.
#include <gtest/gtest.h>

#include "online/Frameset.h"

namespace {

std::vector<int> Extents(std::string_view list, int total) { return FrameExtents(ParseFrameSizes(list), total); }

}  // namespace

TEST(Frameset, SizesFillTheWindowExactly) {
  EXPECT_EQ(Extents("100,*", 400), (std::vector<int>{100, 300}));
  EXPECT_EQ(Extents("25%, *, 2*", 400), (std::vector<int>{100, 100, 200}));
  // Asking for more than there is: scaled down together, nothing for shares.
  EXPECT_EQ(Extents("300,50%,*", 400), (std::vector<int>{240, 160, 0}));
  // Without shares the fixed sizes grow to fill; odd sums still add up.
  EXPECT_EQ(Extents("100,100", 400), (std::vector<int>{200, 200}));
  EXPECT_EQ(Extents("*,*,*", 100), (std::vector<int>{33, 34, 33}));
  EXPECT_EQ(Extents("", 90), (std::vector<int>{90}));
  EXPECT_EQ(Extents("0,0", 50), (std::vector<int>{0, 50}));
  EXPECT_EQ(Extents("abc,-5,*", 60), (std::vector<int>{30, 0, 30})) << "junk is a share, negatives nothing";
}

TEST(Frameset, NestedFramesetsAreLaidOutRowByRow) {
  const auto set = ParseFrameset(
      "<HTML><FRAMESET ROWS='60,*'><frame name=top src=\"head.htm\">"
      "<!-- <frame name=commented src=x.htm> -->"
      "<frameset cols=\"25%,*\"><frame name=\"menu\" src=\"menu.htm\"/><FRAME NAME=main SRC=\"a&amp;b.htm\"></frameset>"
      "<noframes><frame name=ghost src=ghost.htm></noframes></frameset>"
      "<frameset><frame name=second></frameset></HTML>");
  ASSERT_TRUE(set);
  const std::vector<TFrameRect> frames = LayOutFrames(*set, 400, 300);
  ASSERT_EQ(frames.size(), 3u);
  auto is = [](const TFrameRect& r, const char* name, const char* src, int x, int y, int w, int h) {
    return r.Name == name && r.Src == src && r.X == x && r.Y == y && r.Width == w && r.Height == h;
  };
  EXPECT_TRUE(is(frames[0], "top", "head.htm", 0, 0, 400, 60));
  EXPECT_TRUE(is(frames[1], "menu", "menu.htm", 0, 60, 100, 240));
  EXPECT_TRUE(is(frames[2], "main", "a&b.htm", 100, 60, 300, 240)) << frames[2].Src;

  // More frames than cells: the extra ones have no place.
  const auto grid = ParseFrameset("<frameset cols='*,*'><frame src=1.htm><frame src=2.htm><frame src=3.htm>");
  ASSERT_TRUE(grid);
  EXPECT_EQ(LayOutFrames(*grid, 100, 10).size(), 2u);
  EXPECT_FALSE(ParseFrameset("<html><body><a href=x.htm>frameset</a></body></html>"));
}

TEST(Frameset, ALinkGoesToItsTargetOrThePageBaseTarget) {
  const std::string page =
      "<head><base target=\"main\"></head><a href=\"one.htm\" target=_top>1</a>"
      "<a href='two.htm'>2</a><a href=\"two.htm\" target=\"menu\">again</a><a href=\"q?a=1&amp;b=2\" target=x>3</a>";
  EXPECT_EQ(LinkTarget(page, "one.htm"), "_top");
  EXPECT_EQ(LinkTarget(page, "two.htm"), "main") << "the first such link, with the base target";
  EXPECT_EQ(LinkTarget(page, "q?a=1&b=2"), "x");
  EXPECT_EQ(LinkTarget(page, "missing.htm"), "main");
  EXPECT_EQ(LinkTarget("<a href=a.htm>", "a.htm"), "");
}

TEST(Frameset, FramesetsNestedTooDeeplyAreLeftOut) {
  auto nested = [](std::size_t depth) {
    std::string page;
    for (std::size_t i = 0; i < depth; ++i) page += "<frameset rows='1,*'><frame src=side.htm>";
    return page + "<frame name=inner src=inner.htm>";
  };
  const auto kept = ParseFrameset(nested(kMaxFrameNesting));
  ASSERT_TRUE(kept);
  const std::vector<TFrameRect> frames = LayOutFrames(*kept, 100, 100);
  ASSERT_EQ(frames.size(), kMaxFrameNesting + 1);
  EXPECT_EQ(frames.back().Src, "inner.htm");
  // A page of a million levels lays out its kept levels only.
  const auto deep = ParseFrameset(nested(1'000'000));
  ASSERT_TRUE(deep);
  EXPECT_EQ(LayOutFrames(*deep, 100, 100).size(), kMaxFrameNesting);
}
