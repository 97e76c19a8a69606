#include "platform/FileFilter.h"

#include <gtest/gtest.h>

#include "platform/ShellOpen.h"

using Strings = std::vector<std::string>;

TEST(FileFilter, WindowsStringBecomesOneQtFilterPerEntry) {
  EXPECT_EQ(QtNameFilters("Bitmaps (*.bmp)|*.bmp|JPEG image files (*.jpg, *.jpeg)|*.jpg;*.jpeg"),
            (Strings{"Bitmaps (*.bmp *.BMP)", "JPEG image files (*.jpg *.JPG *.jpeg *.JPEG)"}));
  // A caption without patterns of its own keeps its words.
  EXPECT_EQ(QtNameFilters("All supported|*.png; *.PSD"), (Strings{"All supported (*.png *.PNG *.PSD)"}));
}

TEST(FileFilter, AllFilesAndOddEntries) {
  EXPECT_EQ(QtNameFilters("All files (*.*)|*.*"), (Strings{"All files (*)"}));
  // A caption left without its pattern field, an entry without usable patterns and
  // patterns Qt cannot carry are dropped; an empty caption still names its patterns.
  EXPECT_EQ(QtNameFilters("Odd|a b;(x)|Pictures|*.png|Tail"), (Strings{"Pictures (*.png *.PNG)"}));
  EXPECT_EQ(QtNameFilters("|*.tsc"), (Strings{"(*.tsc *.TSC)"}));
  EXPECT_TRUE(QtNameFilters("").empty());
  // Brackets that are words, not patterns, stay in the caption.
  EXPECT_EQ(QtNameFilters("Works (saved)|*.tsu"), (Strings{"Works (saved) (*.tsu *.TSU)"}));
}

TEST(FileFilter, ParsesEntriesInOrder) {
  const auto entries = ParseWindowsFilter(" A |*.a;;*.b | B|*.c");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (TFileFilter{"A", {"*.a", "*.b"}}));
  EXPECT_EQ(entries[1], (TFileFilter{"B", {"*.c"}}));
}

namespace {
struct TRecordingOpener : IShellOpener {
  Strings Opened;
  bool OpenUrl(const std::string& url) override {
    Opened.push_back(url);
    return true;
  }
};
}  // namespace

TEST(ShellOpen, OnlyWebAndMailAddressesReachTheDesktop) {
  TRecordingOpener opener;
  SetShellOpener(&opener);
  for (const char* url : {"http://example.org/", "HTTPS://example.org/a?b=c", "mailto:friend@example.org"})
    EXPECT_TRUE(ShellOpen(url)) << url;
  for (const char* url : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "https://", "http:///x",
                          "mailto:", "https://a.org/ b", "https://a.org/\nb", "ftp://a.org/", ""})
    EXPECT_FALSE(ShellOpen(url)) << url;
  SetShellOpener(nullptr);
  EXPECT_FALSE(ShellOpen("https://example.org/"));
  EXPECT_EQ(opener.Opened, (Strings{"http://example.org/", "HTTPS://example.org/a?b=c", "mailto:friend@example.org"}));
}
