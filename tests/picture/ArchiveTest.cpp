// Element archives: entry types, header rules, volumes, hostile names, and the
// tree helpers.
#include <gtest/gtest.h>

#include <algorithm>

#include "picture/Archive.h"
#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "platform/FileIO.h"
#include "support/ArchiveWriter.h"
#include "support/PictureCompare.h"
#include "support/PeakMemory.h"
#include "support/PictureJudges.h"
#include "support/TestPaths.h"

namespace {
using TEntry = TArchiveEntry;

std::string Bytes(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::string Read(const fs::path& p) {
  auto bytes = ReadFileBytes(p);
  return bytes ? Bytes(*bytes) : std::string("<missing>");
}

std::vector<std::string> FilesBelow(const fs::path& dir) {
  std::vector<std::string> list;
  ListFilesInTree(dir, "", list);
  std::sort(list.begin(), list.end());
  return list;
}
}  // namespace

TEST(Archive, ExtractsTheThreeEntryTypesIntoNestedFolders) {
  TempFolder dir;
  const TBitmap32 picture(6, 4, Color32(30, 160, 220, 99));
  const auto packed = PackBitmap32(picture, 90);
  const std::string text = "stored text\r\nline 2";
  WriteTestFile(dir / "arch.arh",
                MakeArchive({{"", "top.txt", "2", text},
                             {"Hair\\Long", "notes.txt", "0", Bytes(CompressStream(AsBytes("inflated words")))},
                             {"Hair\\Long\\Red", "red.psd", "1", Bytes(packed)},
                             {"Hair", "empty.dat", "2", ""}}));
  ASSERT_TRUE(ExtractArchive(dir / "arch.arh", dir / "out"));
  EXPECT_EQ(Read(dir / "out/top.txt"), text);
  EXPECT_EQ(Read(dir / "out/Hair/Long/notes.txt"), "inflated words");
  EXPECT_EQ(Read(dir / "out/Hair/empty.dat"), "");
  // A packed picture becomes a 32-bit bitmap file under its own name.
  auto bmp = ReadFileBytes(dir / "out/Hair/Long/Red/red.psd");
  ASSERT_TRUE(bmp.Ok());
  const auto unpacked = UnpackBitmap32(packed);
  ASSERT_TRUE(unpacked.Ok());
  EXPECT_TRUE(SamePicture(DecodeBmp32(*bmp), *unpacked));
  EXPECT_EQ(Identify(dir / "out/Hair/Long/Red/red.psd", "%m %w %h"), "BMP3 6 4");
  EXPECT_EQ(FilesBelow(dir / "out"),
            (std::vector<std::string>{"Hair\\Long\\Red\\red.psd", "Hair\\Long\\notes.txt", "Hair\\empty.dat",
                                      "top.txt"}));
}

TEST(Archive, HeaderRulesDecideBeforeAnythingIsWritten) {
  TempFolder dir;
  const TEntry ok{"", "a.txt", "2", "abc"};
  WriteTestFile(dir / "noend.arh", MakeArchive({ok}, "", {}, false));
  WriteTestFile(dir / "nobegin.arh", "START;40\r\nEND\r\n");
  WriteTestFile(dir / "badoffset.arh", "BEGIN;forty\r\n;a.txt;2;1;\r\nEND\r\nx");
  WriteTestFile(dir / "pastend.arh", "BEGIN;9999\r\nEND\r\n");
  for (const char* name : {"noend.arh", "nobegin.arh", "badoffset.arh", "pastend.arh"}) {
    const TFileResult<> extracted = ExtractArchive(dir / name, dir / "out");
    ASSERT_FALSE(extracted) << name;
    EXPECT_EQ(extracted.Error().Cause, TFileFault::Damaged) << name;
    EXPECT_EQ(extracted.Error().Path, dir / name);
  }
  const TFileResult<> missing = ExtractArchive(dir / "missing.arh", dir / "out");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_FALSE(fs::exists(dir / "out/a.txt"));
}

TEST(Archive, LinesOf300CharactersAreSkippedAnd299AreEntries) {
  TempFolder dir;
  // Folders of 60 characters keep every component within file-name limits.
  const std::string part(60, 'f');
  std::string folder = part + "\\" + part + "\\" + part + "\\" + part;
  const std::string tail = ";x.txt;2;2;";
  folder += std::string(299 - folder.size() - tail.size(), 'g');
  ASSERT_EQ((folder + tail).size(), 299u);
  const std::string skipped = std::string(300 - 9, 'z') + ";bad;9;1;";
  ASSERT_EQ(skipped.size(), 300u);
  WriteTestFile(dir / "long.arh", MakeArchive({{folder, "x.txt", "2", "ok"}}, "", {skipped}));
  ASSERT_TRUE(ExtractArchive(dir / "long.arh", dir / "out"));
  EXPECT_EQ(FilesBelow(dir / "out").size(), 1u);
}

TEST(Archive, BadEntriesStopTheExtractionAndKeepWhatWasWritten) {
  TempFolder dir;
  const TEntry first{"", "first.txt", "2", "1"};
  const std::vector<std::pair<std::string, TEntry>> cases = {
      {"type", {"", "b.txt", "7", "zz"}},
      {"zlib", {"", "b.txt", "0", "not a zlib stream"}},
      {"packed", {"", "b.bmp", "1", "not a packed picture"}},
  };
  for (const auto& [what, bad] : cases) {
    SCOPED_TRACE(what);
    TempFolder out;
    WriteTestFile(dir / "bad.arh", MakeArchive({first, bad, {"", "c.txt", "2", "3"}}));
    const TFileResult<> extracted = ExtractArchive(dir / "bad.arh", out.Path());
    ASSERT_FALSE(extracted);
    EXPECT_EQ(extracted.Error().Cause, TFileFault::Damaged);
    EXPECT_NE(extracted.Error().Reason().find(bad.name), std::string::npos) << extracted.Error().Text();
    EXPECT_EQ(FilesBelow(out.Path()), std::vector<std::string>{"first.txt"});
  }
  // A size that is no number, or one that passes the end of the data.
  WriteTestFile(dir / "size.arh", "BEGIN;30\r\n;a.txt;2;two;\r\nEND\r\nab");
  std::string shortData = MakeArchive({{"", "a.txt", "2", "abcdef"}});
  shortData.pop_back();
  WriteTestFile(dir / "short.arh", shortData);
  for (const char* name : {"size.arh", "short.arh"}) {
    const TFileResult<> extracted = ExtractArchive(dir / name, dir / "o3");
    ASSERT_FALSE(extracted) << name;
    EXPECT_EQ(extracted.Error().Cause, TFileFault::Damaged) << name;
    EXPECT_NE(extracted.Error().Reason().find("a.txt"), std::string::npos) << extracted.Error().Text();
  }
  EXPECT_FALSE(fs::exists(dir / "o3/a.txt"));
  // A file that cannot be written, a folder standing in its place, is named.
  fs::create_directories(dir / "o4/second.txt");
  WriteTestFile(dir / "taken.arh", MakeArchive({first, {"", "second.txt", "2", "2"}}));
  const TFileResult<> taken = ExtractArchive(dir / "taken.arh", dir / "o4");
  ASSERT_FALSE(taken);
  EXPECT_EQ(taken.Error().Cause, TFileFault::CannotWrite);
  EXPECT_EQ(taken.Error().Path, dir / "o4/second.txt");
}

TEST(Archive, RefusesNamesThatLeaveTheTargetFolder) {
  TempFolder dir;
  fs::create_directories(dir / "out");
  fs::create_directories(dir / "elsewhere");
  fs::create_directory_symlink(dir / "elsewhere", dir / "out/link");
  const std::vector<TEntry> hostile = {
      {"..", "evil.txt", "2", "x"},          {"", "..\\evil.txt", "2", "x"},   {"a\\..\\..", "evil.txt", "2", "x"},
      {"\\tmp", "evil.txt", "2", "x"},       {"/tmp", "evil.txt", "2", "x"},   {"C:\\Windows", "evil.txt", "2", "x"},
      {"", "C:evil.txt", "2", "x"},          {"", "..", "2", "x"},             {"", "", "2", "x"},
      {"link", "evil.txt", "2", "x"},        {"", std::string("a\0b", 3), "2", "x"},
  };
  for (const auto& e : hostile) {
    SCOPED_TRACE(e.folder + " | " + e.name);
    // A harmless entry before the hostile one is not written either.
    WriteTestFile(dir / "h.arh", MakeArchive({{"ok", "readme.txt", "2", "fine"}, e}));
    const TFileResult<> extracted = ExtractArchive(dir / "h.arh", dir / "out");
    ASSERT_FALSE(extracted);
    EXPECT_EQ(extracted.Error().Cause, TFileFault::UnsafeName);
  }
  EXPECT_FALSE(fs::exists(dir / "evil.txt"));
  EXPECT_FALSE(fs::exists(dir / "elsewhere/evil.txt"));
  EXPECT_EQ(FilesBelow(dir / "out"), std::vector<std::string>{"link"});
  EXPECT_TRUE(ArchiveNameIsSafe({"ok", "a\\b", "2", "1"})) << "a nested relative name is fine";
}

TEST(Archive, MatchesExistingFoldersIgnoringCaseAndReplacesFiles) {
  TempFolder dir;
  WriteTestFile(dir / "out/Templates/Hair/old.txt", "old");
  WriteTestFile(dir / "a.arh", MakeArchive({{"TEMPLATES\\hair", "OLD.txt", "2", "new"},
                                            {"templates", "Hair\\New\\deep.txt", "2", "deep"}}));
  ASSERT_TRUE(ExtractArchive(dir / "a.arh", dir / "out"));
  EXPECT_EQ(Read(dir / "out/Templates/Hair/old.txt"), "new");
  EXPECT_EQ(Read(dir / "out/Templates/Hair/New/deep.txt"), "deep") << "folders in a file name are made too";
  EXPECT_EQ(FilesBelow(dir / "out").size(), 2u);
}

TEST(Archive, JoinsConsecutiveVolumesAndStopsAtAGap) {
  TempFolder dir;
  const std::string whole = MakeArchive({{"", "one.txt", "2", std::string(50, '1')},
                                         {"Sub", "two.txt", "2", std::string(50, '2')},
                                         {"Sub", "three.txt", "0", Bytes(CompressStream(AsBytes("three")))}},
                                        ";1;7");
  const std::size_t cut1 = whole.size() - 60, cut2 = whole.size() - 20;  // one.txt lies in volume 0
  WriteTestFile(dir / "set0.arh", whole.substr(0, cut1));
  WriteTestFile(dir / "set1.arh", whole.substr(cut1, cut2 - cut1));
  WriteTestFile(dir / "set2.arh", whole.substr(cut2));
  const auto tempsBefore = FilesBelow(PrivateTempDir());
  ASSERT_TRUE(ExtractMultiVolumeArchive((dir / "set").string(), dir / "out"));
  EXPECT_EQ(Read(dir / "out/Sub/two.txt"), std::string(50, '2'));
  EXPECT_EQ(Read(dir / "out/Sub/three.txt"), "three");
  EXPECT_EQ(FilesBelow(PrivateTempDir()), tempsBefore) << "the joined copy is removed";

  fs::remove(dir / "set1.arh");  // a gap: only volume 0 is joined
  const TFileResult<> gap = ExtractMultiVolumeArchive((dir / "set").string(), dir / "gap");
  ASSERT_FALSE(gap);
  EXPECT_EQ(gap.Error().Cause, TFileFault::Damaged);
  EXPECT_EQ(gap.Error().Path, dir / "set0.arh") << "the set is named by its first volume";
  EXPECT_EQ(Read(dir / "gap/one.txt"), std::string(50, '1'));
  EXPECT_FALSE(fs::exists(dir / "gap/Sub/two.txt"));
  EXPECT_EQ(FilesBelow(PrivateTempDir()), tempsBefore);

  const TFileResult<> none = ExtractMultiVolumeArchive((dir / "none").string(), dir / "out");
  ASSERT_FALSE(none);
  EXPECT_EQ(none.Error().Cause, TFileFault::NoSuchFile);
  WriteTestFile(dir / "single0.arh", MakeArchive({{"", "s.txt", "2", "s"}}, ";0;0"));
  WriteTestFile(dir / "single1.arh", "ignored");
  ASSERT_TRUE(ExtractMultiVolumeArchive((dir / "single").string(), dir / "single"));
  EXPECT_EQ(Read(dir / "single/s.txt"), "s");
  WriteTestFile(dir / "word0.arh", MakeArchive({{"", "s.txt", "2", "s"}}, ";0;seven"));
  EXPECT_FALSE(ExtractMultiVolumeArchive((dir / "word").string(), dir / "word"));
}

// A zlib stream of `bytes` zeros: a few kilobytes a hundred megabytes.
std::string Zeros(std::size_t bytes) { return Bytes(CompressStream(std::vector<std::uint8_t>(bytes, 0))); }

TEST(Archive, AnArchivePastItsCapWritesNothingAndSaysWhy) {
  TempFolder dir;
  WriteTestFile(dir / "out/keep.txt", "old");
  const std::size_t over = kArchiveFloorBytes + 1;
  const std::vector<TEntry> cases[] = {
      {{"", "keep.txt", "2", "new"}, {"", "bomb.bin", "0", Zeros(over)}},
      // Many entries, each small, together past the cap.
      {{"", "keep.txt", "2", "new"}, {"", "a.bin", "0", Zeros(over / 2)}, {"", "b.bin", "0", Zeros(over / 2 + 1)}},
  };
  for (const auto& entries : cases) {
    WriteTestFile(dir / "bomb.arh", MakeArchive(entries));
    const TFileResult<> extracted = ExtractArchive(dir / "bomb.arh", dir / "out");
    ASSERT_FALSE(extracted);
    EXPECT_EQ(extracted.Error().Cause, TFileFault::OverCap);
    EXPECT_EQ(extracted.Error().Reason(), "it would write more than 64 MB, the most an archive of its size may write");
    EXPECT_EQ(FilesBelow(dir / "out"), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(Read(dir / "out/keep.txt"), "old");
  }
  const auto volumes = MakeArchiveVolumes(cases[0], 2);
  for (std::size_t i = 0; i < volumes.size(); ++i) WriteTestFile(dir / ("set" + std::to_string(i) + ".arh"), volumes[i]);
  const TFileResult<> set = ExtractMultiVolumeArchive((dir / "set").string(), dir / "out");
  ASSERT_FALSE(set);
  EXPECT_EQ(set.Error().Cause, TFileFault::OverCap);
  EXPECT_EQ(FilesBelow(dir / "out"), std::vector<std::string>{"keep.txt"});

  // Exactly at the floor is allowed.
  WriteTestFile(dir / "full.arh", MakeArchive({{"", "full.bin", "0", Zeros(kArchiveFloorBytes)}}));
  EXPECT_TRUE(ExtractArchive(dir / "full.arh", dir / "full"));
  EXPECT_EQ(fs::file_size(dir / "full/full.bin"), kArchiveFloorBytes);
}

// Entries are inflated and written part by part: what an archive costs in memory
// does not grow with what it holds.
TEST(Archive, UnpackingCostsLittleMemoryWhateverTheEntriesHold) {
  if (!kPeakMemoryMeasurable) GTEST_SKIP() << "a sanitizer's allocator hides the peak memory of an extraction";
  TempFolder dir;
  const auto tool = (BuildDir() / "tools/picture-tool/picture-tool").string();
  constexpr std::size_t kContent = std::size_t(48) << 20;
  WriteTestFile(dir / "small.arh", MakeArchive({{"", "small.bin", "0", Zeros(1000)}}));
  WriteTestFile(dir / "large.arh", MakeArchive({{"", "large.bin", "0", Zeros(kContent)}}));
  const auto small = RunForPeakMemory({tool, "unpack-archive", (dir / "small.arh").string(), (dir / "s").string()});
  const auto large = RunForPeakMemory({tool, "unpack-archive", (dir / "large.arh").string(), (dir / "l").string()});
  ASSERT_TRUE(small && large);
  ASSERT_EQ(large->ExitCode, 0);
  EXPECT_EQ(fs::file_size(dir / "l/large.bin"), kContent);
  EXPECT_LT(double(large->PeakBytes) - double(small->PeakBytes), kContent / 8.0)
      << large->PeakBytes / 1000000 << " MB at the peak for " << kContent / 1000000 << " MB written";
}

TEST(ArchiveLine, SplitsFourTrimmedFields) {
  const TArec a = ParseArchiveLine(" Hair\\Long ; x.psd ;1; 20 ;");
  EXPECT_EQ(a.SubFolder, "Hair\\Long");
  EXPECT_EQ(a.FileName, "x.psd");
  EXPECT_EQ(a.EntryType, "1");
  EXPECT_EQ(a.Size, "20");
  const TArec b = ParseArchiveLine("only;two");
  EXPECT_EQ(b.FileName, "two");
  EXPECT_EQ(b.EntryType, "");
  EXPECT_EQ(b.Size, "");
}

TEST(FileTree, ListsAndDeletesFilesWithoutFollowingLinks) {
  TempFolder dir;
  WriteTestFile(dir / "tree/a.txt", "a");
  WriteTestFile(dir / "tree/Sub/b.txt", "b");
  WriteTestFile(dir / "tree/Sub/Deeper/c.txt", "c");
  WriteTestFile(dir / "outside/keep.txt", "keep");
  fs::create_directory_symlink(dir / "outside", dir / "tree/Sub/link");
  std::vector<std::string> list{"already"};
  ListFilesInTree(dir / "tree", "P\\", list);
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<std::string>{"P\\Sub\\Deeper\\c.txt", "P\\Sub\\b.txt", "P\\Sub\\link", "P\\a.txt",
                                            "already"}));
  ASSERT_TRUE(DeleteFilesInTree(dir / "tree"));
  EXPECT_TRUE(FilesBelow(dir / "tree").empty());
  EXPECT_TRUE(fs::is_directory(dir / "tree/Sub/Deeper")) << "folders stay";
  EXPECT_EQ(Read(dir / "outside/keep.txt"), "keep") << "a link's target is never touched";
  EXPECT_FALSE(DeleteFilesInTree(""));
  EXPECT_FALSE(DeleteFilesInTree("/"));
  EXPECT_FALSE(DeleteFilesInTree("/tmp/.."));
}
