// The frames of a downloaded message site: pages framing pages stay within the
// window's bounds, however the site frames itself.
#include <gtest/gtest.h>

#include "online/PublisherMessages.h"
#include "support/TestPaths.h"

TEST(PublisherMessageFrames, APageFramingItselfManyTimesOverShowsBoundedFrames) {
  TempFolder site;
  // Ten frames of the page itself: four levels of it would be ten thousand frames.
  std::string page = "<frameset rows='*,*,*,*,*' cols='*,*'>";
  for (int i = 0; i < 10; ++i) page += "<frame src=index.htm>";
  WriteTestFile(site / "index.htm", page);
  const auto set = MessageFrameset(page, site.Path(), site.Path());
  ASSERT_TRUE(set);
  const std::vector<TFrameRect> frames = LayOutFrames(*set, 800, 600);
  EXPECT_LE(frames.size(), kMaxMessageFrames);
  EXPECT_GE(frames.size(), 10u * 5) << "a second level still fits";
  for (const TFrameRect& frame : frames) EXPECT_EQ(fs::path(frame.Src), site / "index.htm");
  // A frame whose page is outside the site names no page.
  const auto outside = MessageFrameset("<frameset><frame src='../x.htm'><frame src=gone.htm></frameset>",
                                       site.Path(), site.Path());
  ASSERT_TRUE(outside);
  EXPECT_EQ(outside->Children.at(0).Src, "");
}
