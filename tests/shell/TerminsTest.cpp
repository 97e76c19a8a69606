#include <gtest/gtest.h>

#include "platform/TextFile.h"
#include "shell/Termins.h"
#include "support/TestPaths.h"

namespace {

TTerminList Load(const std::string& text, bool keepSound) {
  TempFolder folder;
  WriteTestFile(folder / "termins.txt", text);
  TTerminList list;
  EXPECT_TRUE(LoadTerms(folder / "termins.txt", list, keepSound));
  return list;
}

}  // namespace

TEST(LoadTerms, ValueUpToTheCommentWithTheFirstBackslashALineBreak) {
  const TTerminList list = Load("Greeting=Hello\\World;shown in two lines\r\n"
                                "Path=a\\b\\c\n"
                                "Spaced = padded ; kept as written\n",
                                false);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Name, "Greeting");
  EXPECT_EQ(list[0].Value, "Hello\rWorld");
  EXPECT_EQ(list[1].Value, "a\rb\\c");
  EXPECT_EQ(list[2].Name, "Spaced ");
  EXPECT_EQ(list[2].Value, " padded ");
}

TEST(LoadTerms, SoundNameKeptOnlyWhenAsked) {
  const std::string text = "ButtonYesHint=Yes, do it@yes.wav\n";
  EXPECT_EQ(Load(text, true)[0].Value, "Yes, do it@yes.wav");
  EXPECT_EQ(Load(text, false)[0].Value, "Yes, do it");
}

TEST(LoadTerms, CommentsOnlyInColumnOneAndBlankLinesSkipped) {
  const TTerminList list = Load("#Hidden=1\n"
                                "   \n"
                                "\n"
                                " #Shown=2\n"
                                "no equals sign here\n"
                                "Empty=\n",
                                false);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Name, " #Shown");
  EXPECT_EQ(list[0].Value, "2");
  EXPECT_EQ(list[1].Name, "");
  EXPECT_EQ(list[1].Value, "no equals sign here");
  EXPECT_EQ(list[2].Name, "Empty");
  EXPECT_EQ(list[2].Value, "");
}

TEST(LoadTerms, AppendsToWhatTheListHolds) {
  TTerminList list{{"First", "1"}};
  TempFolder folder;
  WriteTestFile(folder / "termins.txt", "Second=2\n");
  ASSERT_TRUE(LoadTerms(folder / "termins.txt", list, false));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Name, "Second");
}

TEST(LoadTerms, MissingFileIsToldToTheCallerAndAddsNothing) {
  TempFolder folder;
  TTerminList list{{"First", "1"}};
  const TFileResult<> loaded = LoadTerms(folder / "termins.txt", list, true);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(loaded.Error().Path, folder / "termins.txt");
  EXPECT_EQ(list.size(), 1u);
}

TEST(GetTerm, CaseSensitiveFirstMatchOrTheCallersDefault) {
  const TTerminList list{{"ButtonYesHint", "Yes"}, {"Twice", "first"}, {"Twice", "second"}};
  EXPECT_EQ(GetTerm("ButtonYesHint", list, "dflt"), "Yes");
  EXPECT_EQ(GetTerm("buttonyeshint", list, "dflt"), "dflt");
  EXPECT_EQ(GetTerm("Twice", list, ""), "first");
  EXPECT_EQ(GetTerm("", list, "none"), "none");
}
