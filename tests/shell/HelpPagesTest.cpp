#include "shell/HelpPages.h"

#include <gtest/gtest.h>

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "support/RecordingPageView.h"
#include "support/TestPaths.h"

namespace {

class TopicPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTestFile(folder_ / "Main Window.HTM", "<p>main</p>");
    WriteTestFile(folder_ / "welcome.htm", "<p>welcome</p>");
    WriteTestFile(folder_ / "contents.htm", "<p>contents</p>");
    WriteTestFile(folder_ / "bad.broken", "x");
  }
  TTopicPages Tips() const { return {ini_, kTipsTopics, folder_.Path(), "Welcome"}; }
  TTopicPages Help() const { return {ini_, kHelpTopics, folder_.Path(), "Contents"}; }

  TempFolder folder_;
  TIniFile ini_ = TIniFile::FromText(
      "[TIPS TOPICS]\nFormMain= main window.htm ; the main window\nWelcome=welcome.htm\nFormGone=gone.htm\n"
      "FormBad=bad.broken\nFormEscape=..\\..\\etc\\passwd\n"
      "[HELP TOPICS]\nContents=contents.htm\nFormMain=main window.htm\n");
  TRecordingView view_;
};

TEST_F(TopicPagesTest, ATopicShowsItsPageFoundIgnoringLetterCaseAndIsNotReloaded) {
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "formmain", false));
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "FormMain", false));
  EXPECT_EQ(view_.loads, (std::vector<std::string>{"Main Window.HTM"}));
}

TEST_F(TopicPagesTest, TipsFallBackToNotFoundThenWelcomeUnlessOnlyIfFound) {
  // No entry: the page "NotFound", which does not exist, so the welcome page.
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "FormNobody", false));
  EXPECT_EQ(view_.current.filename(), "welcome.htm");
  // A page that is missing or does not load falls back the same way; the welcome
  // page shown already is not loaded again.
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "FormGone", false));
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "FormBad", false));
  EXPECT_EQ(view_.loads, (std::vector<std::string>{"welcome.htm", "bad.broken"}));
  // A page that would lie outside the folder is no page.
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "FormEscape", false));
  EXPECT_EQ(view_.loads.size(), 2u);

  // With onlyIfFound, the window is not to be shown and nothing loads.
  view_ = {};
  EXPECT_FALSE(ShowTopicPage(view_, Tips(), "FormGone", true));
  EXPECT_TRUE(view_.loads.empty());

  // Once a "NotFound" page exists, a topic without an entry shows it.
  WriteTestFile(folder_ / "NotFound", "<p>no tip</p>");
  EXPECT_TRUE(ShowTopicPage(view_, Tips(), "FormNobody", false));
  EXPECT_EQ(view_.current.filename(), "NotFound");
}

TEST_F(TopicPagesTest, HelpFallsBackToContentsAndKeepsThePageWhenNothingLoads) {
  EXPECT_TRUE(ShowTopicPage(view_, Help(), "FormWithoutHelp", false));
  EXPECT_EQ(view_.current.filename(), "contents.htm");
  ShowTopicPage(view_, Help(), "FormMain", false);
  fs::remove(folder_ / "contents.htm");
  EXPECT_TRUE(ShowTopicPage(view_, Help(), "FormWithoutHelp", false));
  EXPECT_EQ(view_.current.filename(), "Main Window.HTM");
}

TEST_F(TopicPagesTest, HelpLinksNameFilesWithBlanksAndNeverLeaveTheFolder) {
  const fs::path& folder = folder_.Path();
  EXPECT_EQ(HelpLinkFile(folder, "help://Main%20Window.htm"), folder / "Main Window.HTM");
  EXPECT_EQ(HelpLinkFile(folder, "HELP://main%20window.htm#buttons"), folder / "Main Window.HTM");
  EXPECT_EQ(HelpLinkFile(folder, "help:// sub\\page.htm "), folder / "sub" / "page.htm");
  for (const char* escape : {"help://../Tressary.ini", "help://sub/../../x.htm", "help:///etc/passwd",
                             "help://c:\\x.htm", "help://", "help://%20"})
    EXPECT_EQ(HelpLinkFile(folder, escape), std::nullopt) << escape;
}

TEST(PageLinks, AreRoutedByTheirSchemePrefixOnly) {
  struct TCase {
    const char* Link;
    TLinkRoute Route;
    const char* Target;
  };
  const TCase cases[] = {
      {"http://example.com/a", TLinkRoute::Shell, "http://example.com/a"},
      {" HTTPS://example.com ", TLinkRoute::Shell, "HTTPS://example.com"},
      {"MailTo:someone@example.com", TLinkRoute::Shell, "MailTo:someone@example.com"},
      {"Help://Page%20Two.htm", TLinkRoute::HelpPage, "Page%20Two.htm"},
      // Words of other schemes inside a link decide nothing.
      {"page.htm?from=http://example.com", TLinkRoute::Viewer, ""},
      {"notes.htm#mailto:x", TLinkRoute::Viewer, ""},
      {"page.htm?help://x.htm", TLinkRoute::Viewer, ""},
      {"film.avi.htm", TLinkRoute::Viewer, ""},
      {"clips/Cut%20One.MPG#start", TLinkRoute::Video, "Cut One.MPG"},
      {"intro.avi", TLinkRoute::Video, "intro.avi"},
      {"http://example.com/clip.avi", TLinkRoute::Shell, "http://example.com/clip.avi"},
      {"file:///etc/passwd", TLinkRoute::Refused, ""},
      {"javascript:alert(1)", TLinkRoute::Refused, ""},
      {"help:page.htm", TLinkRoute::Refused, ""},
  };
  for (const TCase& c : cases) {
    const TPageLink link = RoutePageLink(c.Link);
    EXPECT_EQ(link.Route, c.Route) << c.Link;
    if (c.Route != TLinkRoute::Viewer && c.Route != TLinkRoute::Refused) {
      EXPECT_EQ(link.Target, c.Target) << c.Link;
    }
  }
}

TEST(PageLinks, RelativeLinksStayInsideTheFolder) {
  TempFolder folder;
  WriteTestFile(folder / "Sub/Page.htm", "");
  WriteTestFile(folder / "Top.htm", "");
  const fs::path sub = folder.Path() / "Sub";
  auto target = LocalLinkTarget(folder.Path(), sub, "../top.htm#Part%20two");
  ASSERT_TRUE(target);
  EXPECT_EQ(target->File, folder.Path() / "Top.htm");
  EXPECT_EQ(target->Anchor, "Part%20two");
  target = LocalLinkTarget(folder.Path(), folder.Path(), "sub\\page.htm");
  ASSERT_TRUE(target);
  EXPECT_EQ(target->File, sub / "Page.htm");
  target = LocalLinkTarget(folder.Path(), sub, "#top");
  ASSERT_TRUE(target);
  EXPECT_TRUE(target->File.empty());
  EXPECT_EQ(target->Anchor, "top");
  for (const char* escape : {"../../x.htm", "../Sub/../../x.htm", "/etc/passwd", "\\x.htm", ""})
    EXPECT_EQ(LocalLinkTarget(folder.Path(), sub, escape), std::nullopt) << escape;
  // A page outside the folder has no links inside it.
  EXPECT_EQ(LocalLinkTarget(sub, folder.Path(), "Top.htm"), std::nullopt);
}

}  // namespace

// The shipped pages: every topic of the settings names a page that exists, and
// every link in a page leads to a page that exists (or out to the web).
TEST(ShippedPages, EveryTopicAndEveryLinkFindsItsPage) {
  const fs::path data = SourceDir() / "data";
  const TIniFile ini(data / "Tressary.ini", false);
  int topics = 0, links = 0;
  for (auto [section, folder] : {std::pair{kTipsTopics, "Tips"}, std::pair{kHelpTopics, "Help"}}) {
    for (const std::string& topic : ini.ReadSection(section)) {
      const auto page = PageInFolder(data / folder, TopicPage(ini, section, topic));
      EXPECT_TRUE(page && fs::is_regular_file(*page)) << section << " " << topic;
      ++topics;
    }
    for (const auto& entry : fs::directory_iterator(data / folder)) {
      if (entry.path().extension() != ".htm") continue;
      const auto bytes = ReadFileBytes(entry.path());
      ASSERT_TRUE(bytes) << entry.path();
      const std::string html(bytes->begin(), bytes->end());
      for (std::size_t at = html.find("href=\""); at != std::string::npos; at = html.find("href=\"", at + 1)) {
        const std::size_t start = at + 6;
        const std::string link = html.substr(start, html.find('"', start) - start);
        const TPageLink route = RoutePageLink(link);
        std::optional<fs::path> target;
        if (route.Route == TLinkRoute::HelpPage) target = HelpLinkFile(data / "Help", link);
        if (route.Route == TLinkRoute::Viewer) {
          const auto local = LocalLinkTarget(data / folder, data / folder, link);
          if (local) target = local->File.empty() ? entry.path() : local->File;
        }
        if (route.Route != TLinkRoute::Shell) {
          EXPECT_TRUE(target && fs::is_regular_file(*target)) << entry.path().filename() << ": " << link;
        }
        ++links;
      }
    }
  }
  EXPECT_GT(topics, 30);
  EXPECT_GT(links, 30);
}
