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

TEST(ReadTextLines, FailuresNameTheFileAndTheUsersWordsNameItsName) {
  TempFolder dir;
  const TFileResult<std::vector<std::string>> none = ReadTextLines(dir / "none.txt");
  ASSERT_FALSE(none);
  EXPECT_EQ(none.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(none.Error().Path, dir / "none.txt");
  EXPECT_EQ(TextFileMessage(none.Error(), "PartBase.txt"), "File PartBase.txt is missing");
  // A folder where the file should be is not a text file either.
  fs::create_directories(dir / "folder.txt");
  EXPECT_EQ(ReadTextLines(dir / "folder.txt").Error().Cause, TFileFault::NoSuchFile);
  if (geteuid() != 0) {
    WriteTestFile(dir / "locked.txt", "x");
    fs::permissions(dir / "locked.txt", fs::perms::none);
    const TFileResult<std::vector<std::string>> locked = ReadTextLines(dir / "locked.txt");
    ASSERT_FALSE(locked);
    EXPECT_EQ(locked.Error().Cause, TFileFault::CannotRead);
    EXPECT_EQ(TextFileMessage(locked.Error(), "locked.txt"), "Denied access to file locked.txt");
  }
  // Running as root no file is unreadable: the words of a write refused stand for it.
  EXPECT_EQ(TextFileMessage(FileError(TFileFault::CannotWrite, dir / "x.txt", EACCES), "x.txt"),
            "Denied access to file x.txt");
}

TEST(ReadTextLines, AppendThenReadBack) {
  TempFolder dir;
  ASSERT_TRUE(AppendTextLine(dir / "PartBase.txt", "1;2;3"));
  ASSERT_TRUE(AppendTextLine(dir / "PartBase.txt", "4;5;6"));
  EXPECT_EQ(*ReadTextLines(dir / "PartBase.txt"), (std::vector<std::string>{"1;2;3", "4;5;6"}));
  const TFileResult<> noFolder = AppendTextLine(dir / "no" / "x.txt", "a");
  ASSERT_FALSE(noFolder);
  EXPECT_EQ(noFolder.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_FALSE(fs::exists(dir / "no"));
  // A file whose last line has no line end: the new line still stands alone.
  for (const char* end : {"", "\r", "\n"}) {
    WriteTestFile(dir / "Open.txt", std::string("1;2;3") + end);
    ASSERT_TRUE(AppendTextLine(dir / "Open.txt", "4;5;6"));
    EXPECT_EQ(*ReadTextLines(dir / "Open.txt"), (std::vector<std::string>{"1;2;3", "4;5;6"})) << end;
  }
}

TEST(ReadTextLines, AppendedLineReplacesTheFileWholeOrNotAtAll) {
  TempFolder dir;
  WriteTestFile(dir / "PartBase.txt", "1;2;3\r\n");
  ExpectSaveKeepsOldFile(dir / "PartBase.txt", [&] { return AppendTextLine(dir / "PartBase.txt", "4;5;6").Ok(); });
  EXPECT_EQ(*ReadTextLines(dir / "PartBase.txt"), (std::vector<std::string>{"1;2;3", "4;5;6"}));
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
