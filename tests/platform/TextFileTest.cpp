#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "support/SaveGuarantee.h"
#include "support/TestPaths.h"

namespace {
std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}
}  // namespace

TEST(DecodeText, Utf8StaysAndWindows1252IsConverted) {
  EXPECT_EQ(DecodeText(Bytes("\xEF\xBB\xBFna\xC3\xAFve")), "na\xC3\xAFve");
  EXPECT_EQ(DecodeText(Bytes("na\xEFve \x80 \x93q\x94")), "na\xC3\xAFve \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
  // A truncated sequence at the very end is not UTF-8.
  EXPECT_EQ(DecodeText(Bytes("ab\xC3")), "ab\xC3\x83");
  // Overlong and surrogate forms are not UTF-8 either.
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(SplitLines, AllThreeLineEnds) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextRecords, SkipsEmptyAndCommentLinesKeepingLineNumbers) {
  auto records = TextRecords("# header\n\n  first;1 \r\n\t#also comment\n $PART_TYPE 3\n  \n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].line, 3);
  EXPECT_EQ(records[0].text, "first;1");
  EXPECT_EQ(records[1].line, 5);
  EXPECT_EQ(records[1].text, "$PART_TYPE 3");
}

TEST(OpenTextFile, MessagesNameTheFile) {
  TempFolder dir;
  try {
    OpenTextFile(dir / "none.txt", "PartBase.txt");
    FAIL();
  } catch (const ETextFileError& e) {
    EXPECT_STREQ(e.what(), "File PartBase.txt is missing");
  }
  if (geteuid() != 0) {
    WriteTestFile(dir / "locked.txt", "x");
    fs::permissions(dir / "locked.txt", fs::perms::none);
    try {
      OpenTextFile(dir / "locked.txt", "locked.txt");
      FAIL();
    } catch (const ETextFileError& e) {
      EXPECT_STREQ(e.what(), "Denied access to file locked.txt");
    }
  }
}

TEST(OpenTextFile, AppendThenReadBack) {
  TempFolder dir;
  AppendTextLine(dir / "PartBase.txt", "PartBase.txt", "1;2;3");
  AppendTextLine(dir / "PartBase.txt", "PartBase.txt", "4;5;6");
  EXPECT_EQ(OpenTextFile(dir / "PartBase.txt", "PartBase.txt"), (std::vector<std::string>{"1;2;3", "4;5;6"}));
  EXPECT_THROW(AppendTextLine(dir / "no" / "x.txt", "x.txt", "a"), ETextFileError);
  // A file whose last line has no line end: the new line still stands alone.
  for (const char* end : {"", "\r", "\n"}) {
    WriteTestFile(dir / "Open.txt", std::string("1;2;3") + end);
    AppendTextLine(dir / "Open.txt", "Open.txt", "4;5;6");
    EXPECT_EQ(OpenTextFile(dir / "Open.txt", "Open.txt"), (std::vector<std::string>{"1;2;3", "4;5;6"})) << end;
  }
}

TEST(OpenTextFile, AppendedLineReplacesTheFileWholeOrNotAtAll) {
  TempFolder dir;
  WriteTestFile(dir / "PartBase.txt", "1;2;3\r\n");
  ExpectSaveKeepsOldFile(dir / "PartBase.txt", [&] {
    try {
      AppendTextLine(dir / "PartBase.txt", "PartBase.txt", "4;5;6");
      return true;
    } catch (const ETextFileError&) {
      return false;
    }
  });
  EXPECT_EQ(OpenTextFile(dir / "PartBase.txt", "PartBase.txt"), (std::vector<std::string>{"1;2;3", "4;5;6"}));
}

TEST(ContentError, Format) {
  EXPECT_EQ(ContentErrorText("PARTBASE.TXT", 7, "Template type number is missing"),
            "Error in contents of file PARTBASE.TXT (line #7)\rTemplate type number is missing");
}

TEST(Paths, ResolveMatchesEachComponentIgnoringCase) {
  TempFolder dir;
  WriteTestFile(dir / "Intfaces" / "DEFAULT" / "1024-768" / "Main.psd", "x");
  EXPECT_EQ(ResolvePath(dir.Path(), "intfaces\\default\\1024-768\\MAIN.PSD"),
            dir / "Intfaces/DEFAULT/1024-768/Main.psd");
  // Missing components are kept as written, so new files can be named.
  EXPECT_EQ(ResolvePath(dir.Path(), "INTFACES\\New\\file.txt"), dir / "Intfaces/New/file.txt");
  EXPECT_EQ(ResolvePath(dir.Path(), "a\\\\b\\.\\c"), dir / "a/b/c");
  EXPECT_EQ(ResolvePath(dir.Path(), "/etc"), fs::path("/etc"));
}

TEST(Paths, NamePartsUseTheLastComponent) {
  EXPECT_EQ(ExtractFileExt("C:\\My.Works\\face"), "");
  EXPECT_EQ(ExtractFileExt("dir.x/face.PSD"), ".PSD");
  EXPECT_EQ(ExtractFileName("a\\b/c.txt"), "c.txt");
  EXPECT_EQ(ExtractFilePath("a\\b/c.txt"), "a\\b/");
  EXPECT_EQ(ExtractFilePath("c.txt"), "");
  EXPECT_EQ(ChangeFileExt("My.Works\\face.psd", ".msk"), "My.Works\\face.msk");
  EXPECT_EQ(ChangeFileExt("My.Works\\face", ".msk"), "My.Works\\face.msk");
  EXPECT_EQ(WithTrailingBackslash("Works"), "Works\\");
  EXPECT_EQ(WithTrailingBackslash("Works\\"), "Works\\");
  EXPECT_EQ(WithTrailingBackslash(""), "");
}
