#include <gtest/gtest.h>

#include <algorithm>

#include "platform/CompoundFile.h"
#include "platform/CompoundReader.h"
#include "platform/FileIO.h"
#include "platform/Module.h"
#include "support/TestPaths.h"

namespace {
std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
  return data;
}
}  // namespace

TEST(CompoundFile, StreamNamesAreCheckedNotTruncated) {
  EXPECT_TRUE(IsValidStreamName("ListFile.txt"));
  EXPECT_TRUE(IsValidStreamName(std::string(31, 'a')));
  EXPECT_FALSE(IsValidStreamName(std::string(32, 'a')));
  EXPECT_FALSE(IsValidStreamName(""));
  for (const char* bad : {"a/b", "a\\b", "c:x", "x!", "tab\there"}) EXPECT_FALSE(IsValidStreamName(bad)) << bad;
  TCompoundFileWriter w;
  EXPECT_TRUE(w.AddStream("preview.jpg", "x"));
  EXPECT_FALSE(w.AddStream("PREVIEW.JPG", "y"));  // same name ignoring case
  EXPECT_FALSE(w.AddStream(std::string(40, 'b'), "z"));
}

TEST(CompoundFile, RoundTripSmallLargeAndEmptyStreams) {
  TempFolder dir;
  // Sizes on both sides of the 4096-byte small-stream cut-off and the 512-byte sector.
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> streams = {
      {"ListFile.txt", Pattern(37)},        {"preview.jpg", Pattern(4095)}, {"00000001.bmp", Pattern(4096)},
      {"00000001.msk", Pattern(200000)},    {"empty", {}},                  {"odd.bin", Pattern(513)}};
  TCompoundFileWriter w;
  for (auto& [name, data] : streams) ASSERT_TRUE(w.AddStream(name, data));
  ASSERT_TRUE(w.Save(dir / "work.tsu"));

  auto r = *TCompoundFileReader::Open(dir / "work.tsu");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->StreamNames().size(), streams.size());
  for (auto& [name, data] : streams) {
    auto read = r->ReadStream(name);
    ASSERT_TRUE(read) << name;
    EXPECT_EQ(*read, data) << name;
  }
  EXPECT_EQ(r->ReadStream("LISTFILE.TXT"), streams[0].second);
  EXPECT_FALSE(r->ReadStream("missing"));
  EXPECT_FALSE(r->ReadStream("00000001.msk", 1000));  // over the caller's cap
}

TEST(CompoundFile, IndependentToolsReadWhatWeWrite) {
  TempFolder dir;
  TCompoundFileWriter w;
  ASSERT_TRUE(w.AddStream("ListFile.txt", "VERSION=Tressary 5.10;\r"));
  ASSERT_TRUE(w.AddStream("a.bmp", Pattern(10000)));
  ASSERT_TRUE(w.Save(dir / "w.tsu"));
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import olefile,sys; o=olefile.OleFileIO(sys.argv[1]); "
                       "print(sorted('/'.join(e) for e in o.listdir())); print(o.openstream('ListFile.txt').read())\" " +
                           (dir / "w.tsu").string(),
                       &out),
            0);
  EXPECT_EQ(out, "['ListFile.txt', 'a.bmp']\nb'VERSION=Tressary 5.10;\\r'\n");
  ASSERT_EQ(RunCommand("gsf list " + (dir / "w.tsu").string(), &out), 0);
  EXPECT_NE(out.find("ListFile.txt"), std::string::npos);
  EXPECT_NE(out.find("a.bmp"), std::string::npos);
}

TEST(CompoundFile, ReadsWhatAnIndependentToolWrote) {
  TempFolder dir;
  WriteTestFile(dir / "in" / "ListFile.txt", "LAYER=x;\r");
  WriteTestFile(dir / "in" / "x.msk", std::string(5000, 'm'));
  ASSERT_EQ(RunCommand("cd " + (dir / "in").string() + " && gsf createole ../made.tsu ListFile.txt x.msk"), 0);
  auto r = *TCompoundFileReader::Open(dir / "made.tsu");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->ReadStream("listfile.txt"), std::vector<std::uint8_t>({'L', 'A', 'Y', 'E', 'R', '=', 'x', ';', '\r'}));
  EXPECT_EQ(r->ReadStream("X.MSK")->size(), 5000u);
}

TEST(CompoundFile, GarbageAndTruncationFailCleanly) {
  TempFolder dir;
  const auto none = TCompoundFileReader::Open(dir / "none.tsu");
  ASSERT_FALSE(none);
  EXPECT_EQ(none.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(none.Error().Path, dir / "none.tsu");
  const auto garbage = TCompoundFileReader::FromMemory({1, 2, 3}, "g.tsu");
  ASSERT_FALSE(garbage);
  EXPECT_EQ(garbage.Error().Cause, TFileFault::Damaged);
  EXPECT_EQ(garbage.Error().Path, "g.tsu");
  EXPECT_FALSE(garbage.Error().Detail.empty()) << "the library's words";
  TCompoundFileWriter w;
  ASSERT_TRUE(w.AddStream("big", Pattern(100000)));
  auto bytes = *w.Build();
  for (std::size_t cut : {bytes.size() / 2, std::size_t(600), std::size_t(512)}) {
    // From memory and from a file (which the library, when it is left to, reads whole).
    const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
    WriteTestFile(dir / "cut.tsu", std::string(part.begin(), part.end()));
    TCompoundFileReader::TOpened readers[] = {TCompoundFileReader::FromMemory(part),
                                              TCompoundFileReader::Open(dir / "cut.tsu")};
    for (const auto& opened : readers) {
      if (!opened) continue;
      const auto& r = *opened;
      // Whatever libgsf makes of the rest, it must not claim the cut-off bytes.
      auto read = r->ReadStream("big");
      EXPECT_TRUE(!read || *read != Pattern(100000)) << "cut at " << cut;
    }
  }
}

// A container read from its file is read where it lies: a file cut short after
// it was opened gives no bytes past its new end, not a crash or stale ones.
TEST(CompoundFile, AFileCutShortWhileOpenGivesNothingPastItsEnd) {
  TempFolder dir;
  TCompoundFileWriter w;
  ASSERT_TRUE(w.AddStream("big.bmp", Pattern(300000)));
  ASSERT_TRUE(w.Save(dir / "w.tsu"));
  auto r = *TCompoundFileReader::Open(dir / "w.tsu");
  ASSERT_TRUE(r);
  const auto range = r->StreamRange("BIG.BMP", 1 << 20);
  ASSERT_TRUE(range);
  ASSERT_EQ(range->Size, 300000u);
  ByteBuffer held;
  const std::uint8_t* whole = range->Get(0, 300000, held);
  ASSERT_TRUE(whole);
  EXPECT_TRUE(std::equal(whole, whole + 300000, Pattern(300000).begin()));
  EXPECT_FALSE(range->Get(1, 300000, held));  // past the stream
  fs::resize_file(dir / "w.tsu", range->Offset + 1000);
  EXPECT_TRUE(range->Get(0, 1000, held));
  EXPECT_FALSE(range->Get(0, 1001, held));
  EXPECT_FALSE(r->ReadStream("big.bmp"));
}

TEST(CompoundFile, FailedSaveKeepsTheOldFile) {
  TempFolder dir;
  WriteTestFile(dir / "w.tsu", "old");
  TCompoundFileWriter w;
  ASSERT_TRUE(w.AddStream("s", "new"));
  EXPECT_FALSE(w.Save(dir / "missing-folder" / "w.tsu"));
  EXPECT_EQ(*ReadFileBytes(dir / "w.tsu"), std::vector<std::uint8_t>({'o', 'l', 'd'}));
}

// The direct reader lists and reads each root entry as the library does, for
// files we write (the directory, the allocation table and the small streams'
// table over several sectors each) and for one an independent tool wrote.
TEST(CompoundFile, TheDirectReaderReadsWhatTheLibraryReads) {
  TempFolder dir;
  ICompoundFileModule* library = LoadModule("compound", tressary_module_compound);
  ASSERT_TRUE(library);
  std::vector<std::vector<std::uint8_t>> files;
  TCompoundFileWriter many;
  for (int i = 0; i < 300; ++i)
    ASSERT_TRUE(many.AddStream("L" + std::to_string(i * 7919 % 1000) + (i % 2 ? ".bmp" : ".msk"),
                               Pattern(std::size_t(i) * i % 9000)));
  ASSERT_TRUE(many.AddStream("big", Pattern(300000)));
  files.push_back(*many.Build());
  WriteTestFile(dir / "in" / "ListFile.txt", "LAYER=x;\r");
  WriteTestFile(dir / "in" / "x.msk", std::string(5000, 'm'));
  WriteTestFile(dir / "in" / "sub" / "inner.bin", "in a storage");
  ASSERT_EQ(RunCommand("cd " + (dir / "in").string() + " && gsf createole ../made.tsu ListFile.txt x.msk sub"), 0);
  files.push_back(*ReadFileBytes(dir / "made.tsu"));
  // A name's length may run past its NUL, or count no NUL.
  std::vector<std::uint8_t> utf16;
  for (char c : std::string("ListFile.txt")) utf16.insert(utf16.end(), {std::uint8_t(c), 0});
  for (int more : {6, -2}) {
    std::vector<std::uint8_t> damaged = files[1];
    const auto name = std::search(damaged.begin(), damaged.end(), utf16.begin(), utf16.end());
    ASSERT_NE(name, damaged.end());
    name[0x40] = std::uint8_t(name[0x40] + more);
    files.push_back(damaged);
  }
  for (const std::vector<std::uint8_t>& bytes : files) {
    // Read from memory and from the file a sector at a time.
    WriteTestFile(dir / "file.tsu", std::string(bytes.begin(), bytes.end()));
    const std::unique_ptr<TByteSource> file = TByteSource::OpenFile(dir / "file.tsu");
    ASSERT_TRUE(file);
    std::unique_ptr<ICompoundStorage> theirs = *library->Open(bytes);
    ASSERT_TRUE(theirs);
    std::unique_ptr<ICompoundStorage> directs[] = {OpenCompoundRoot(bytes), OpenCompoundRoot(*file)};
    for (const auto& direct : directs) {
      ASSERT_TRUE(direct);
      ASSERT_EQ(direct->Count(), theirs->Count());
      for (int i = 0; i < direct->Count(); ++i) {
        EXPECT_EQ(direct->Name(i), theirs->Name(i));
        EXPECT_EQ(direct->IsStream(i), theirs->IsStream(i)) << theirs->Name(i);
        if (!theirs->IsStream(i)) continue;
        const auto expected = theirs->Read(i, 1 << 20);
        EXPECT_EQ(direct->Read(i, 1 << 20), expected) << theirs->Name(i);
        // A stream in one piece is found where it lies.
        if (const auto range = direct->Where(i, 1 << 20)) {
          ByteBuffer held;
          const std::uint8_t* at = range->Get(0, std::size_t(range->Size), held);
          ASSERT_TRUE(at && expected);
          EXPECT_TRUE(std::equal(at, at + range->Size, expected->begin(), expected->end())) << theirs->Name(i);
        }
      }
    }
  }
  EXPECT_FALSE(OpenCompoundRoot(std::vector<std::uint8_t>(files[0].begin(), files[0].begin() + 1024)));
}
