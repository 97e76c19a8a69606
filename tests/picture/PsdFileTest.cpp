// The Photoshop reader and writer, judged by ImageMagick, Pillow and psd-tools,
// and LoadPsdPicture's file kinds and fallbacks.
#include <gtest/gtest.h>

#include <fstream>

#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "picture/PsdFile.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"
#include "support/PeakMemory.h"

namespace {
// A Photoshop header with the given fields and empty sections, up to (not
// including) the compression word.
ByteWriter PsdHead(int channels, int width, int height, std::uint32_t resourceBytes = 0, int depth = 8,
                   int mode = 3, int version = 1) {
  ByteWriter w;
  w.Text("8BPS");
  w.U16BE(std::uint16_t(version));
  w.Fill(6, 0);
  w.U16BE(std::uint16_t(channels));
  w.U32BE(std::uint32_t(height));
  w.U32BE(std::uint32_t(width));
  w.U16BE(std::uint16_t(depth));
  w.U16BE(std::uint16_t(mode));
  w.U32BE(0);
  w.U32BE(resourceBytes);
  w.Fill(resourceBytes, 0x38);
  w.U32BE(0);
  return w;
}

TBitmap32 Read(const std::vector<std::uint8_t>& bytes) {
  TBitmap32 b;
  const TFileResult<> read = ReadPsdImage(bytes, b);
  EXPECT_TRUE(read) << read.Error().Text();
  return b;
}

}  // namespace

TEST(PsdReader, LoadsImageMagickFilesPixelExact) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(67, 41, true);
  struct Case {
    const char* name;
    const char* options;
    bool alpha;
  } cases[] = {{"raw4.psd", "-depth 8 -compress None", true},
               {"rle4.psd", "-depth 8 -compress RLE", true},
               {"raw3.psd", "-alpha off -depth 8 -compress None", false},
               {"rle3.psd", "-alpha off -depth 8 -compress RLE", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageMagickWrite(picture, dir / c.name, c.options);
    TBitmap32 ours;
    ASSERT_TRUE(LoadPsdPicture(dir / c.name, ours));
    // ImageMagick would take white out of partly transparent merged pixels.
    const TBitmap32 judge = ImageMagickRead(dir / c.name, "-define psd:alpha-unblend=off");
    EXPECT_TRUE(SamePicture(ours, judge, {.AlphaTolerance = c.alpha ? 0 : 255}));
    if (!c.alpha) {
      EXPECT_EQ(AlphaOf(ours.Pixel(5, 5)), 0) << "three channels leave alpha 0";
    }
  }
}

// Large enough to be read in several bands, with flat parts for repeat runs; the
// byte-count table is then made to lie about two rows, as a reader that trusts
// it would misplace every row between them.
TEST(PsdReader, ReadsLargePackBitsFilesWhetherOrNotTheirRowTableHolds) {
  TempFolder dir;
  TBitmap32 picture = TestPicture(1024, 640, true);
  for (int y = 100; y < 300; ++y)
    for (int x = 0; x < 600; ++x) picture.SetPixel(x, y, Color32(200, 30, 90, 140));
  ImageMagickWrite(picture, dir / "big.psd", "-depth 8 -compress RLE");
  const TBitmap32 judge = ImageMagickRead(dir / "big.psd", "-define psd:alpha-unblend=off");
  auto bytes = ReadFileBytes(dir / "big.psd");
  ASSERT_TRUE(bytes);
  EXPECT_TRUE(SamePicture(Read(*bytes), judge));

  std::size_t at = 26;
  for (int section = 0; section < 3; ++section) {
    ByteReader length(std::span<const std::uint8_t>(*bytes).subspan(at));
    at += 4 + length.U32BE();
  }
  ASSERT_EQ((*bytes)[at + 1], 1) << "PackBits";
  const std::size_t flatRow = at + 2 + 2 * (1280 + 150), busyRow = at + 2 + 2 * (1280 + 500);  // blue plane
  ASSERT_FALSE(std::equal(&(*bytes)[flatRow], &(*bytes)[flatRow + 2], &(*bytes)[busyRow]));
  std::swap_ranges(&(*bytes)[flatRow], &(*bytes)[flatRow + 2], &(*bytes)[busyRow]);
  EXPECT_TRUE(SamePicture(Read(*bytes), judge));
  // Read from the file in pieces, the table's rows are found the same way.
  ASSERT_TRUE(WriteFileAtomic(dir / "lying.psd", *bytes));
  TBitmap32 fromFile;
  ASSERT_TRUE(LoadPsdPicture(dir / "lying.psd", fromFile));
  EXPECT_TRUE(SamePicture(fromFile, judge));
  ASSERT_TRUE(LoadPsdPicture(dir / "big.psd", fromFile));
  EXPECT_TRUE(SamePicture(fromFile, judge));
}

// The merged image behind a layer block larger than any buffer we would make
// for a whole file (the file is sparse: the block takes no disk); cut inside the
// planes, the file is refused and the picture kept.
TEST(LoadPsdPicture, ReadsTheMergedImageBehindAHugeLayerBlock) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(9, 7, true);
  const std::vector<std::uint8_t> stream = BitmapToPsdStream(picture);
  constexpr std::size_t kLayerLength = 34, kBlock = std::size_t(600) << 20;
  ByteWriter head;
  head.Bytes({stream.data(), kLayerLength});
  head.U32BE(std::uint32_t(kBlock));
  const fs::path file = dir / "layered.psd";
  ASSERT_TRUE(WriteFileAtomic(file, head.Data()));
  fs::resize_file(file, kLayerLength + 4 + kBlock);
  {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(stream.data()) + kLayerLength + 4,
              std::streamsize(stream.size() - kLayerLength - 4));
  }
  TBitmap32 b;
  ASSERT_TRUE(LoadPsdPicture(file, b));
  EXPECT_TRUE(SamePicture(b, picture));
  fs::resize_file(file, fs::file_size(file) - 1);
  EXPECT_EQ(LoadPsdPicture(file, b).Error().Cause, TFileFault::Damaged);
  EXPECT_TRUE(SamePicture(b, picture));
}

// A row table that does not hold sends the reader through the rows in order: it
// reads them a piece at a time, not the whole file from its start, so a picture
// behind a 1 GB layer block costs about its pixels.
TEST(LoadPsdPicture, FindsTheRowsOfAWrongTableWithoutReadingTheWholeFile) {
  if (!kPeakMemoryMeasurable) GTEST_SKIP() << "a sanitizer's allocator hides the peak memory of a load";
  TempFolder dir;
  constexpr int kSide = 4096;
  const auto tool = (BuildDir() / "tools/picture-tool/picture-tool").string();
  auto write = [&](const fs::path& file, int side, std::uint32_t block) {
    ByteWriter w = PsdHead(4, side, side);
    w.Data().resize(w.Data().size() - 4);
    w.U32BE(block);
    ASSERT_TRUE(WriteFileAtomic(file, w.Data()));
    fs::resize_file(file, fs::file_size(file) + block);
    ByteWriter planes;
    planes.U16BE(1);
    planes.Fill(std::size_t(side) * 4 * 2, 0);  // a table of empty rows
    for (int row = 0; row < 4 * side; ++row)
      for (int x = 0; x < side; x += 128) {
        const int run = std::min(128, side - x);
        planes.U8(std::uint8_t(1 - run));
        planes.U8(std::uint8_t(row / side * 60 + 40));
      }
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(planes.Data().data()), std::streamsize(planes.Data().size()));
  };
  write(dir / "small.psd", 1, 0);
  write(dir / "behind.psd", kSide, std::uint32_t(1) << 30);
  TBitmap32 b;
  ASSERT_TRUE(LoadPsdPicture(dir / "behind.psd", b));
  ASSERT_EQ(b.Width(), kSide);
  EXPECT_EQ(b.Pixel(kSide - 1, kSide - 1), Color32(40, 100, 160, 220));

  const auto small = RunForPeakMemory({tool, "info", (dir / "small.psd").string()});
  const auto behind = RunForPeakMemory({tool, "info", (dir / "behind.psd").string()});
  ASSERT_TRUE(small && behind);
  ASSERT_EQ(behind->ExitCode, 0);
  const double pixelBytes = 4.0 * kSide * kSide;
  EXPECT_LT(double(behind->PeakBytes) - double(small->PeakBytes), 1.5 * pixelBytes)
      << behind->PeakBytes / 1000000 << " MB at the peak for " << pixelBytes / 1e6 << " MB of pixels";
}

// ImageMagick ends every PackBits row with a no-op byte (0x80) its row table
// counts. No-ops that fill a row's counted length keep the table: here more of
// them than any row could take, which a reader that found the rows by decoding
// them in order would refuse.
TEST(PsdReader, RowsEndingInNoOpBytesKeepTheirTable) {
  ByteWriter w = PsdHead(1, 3, 2);
  w.U16BE(1);
  w.U16BE(4 + 300);
  w.U16BE(3);
  w.Bytes(std::vector<std::uint8_t>{2, 1, 2, 3});
  w.Fill(300, 0x80);
  w.Bytes(std::vector<std::uint8_t>{0xFE, 9, 0x80});
  const TBitmap32 b = Read(w.Data());
  EXPECT_EQ(RedOf(b.Pixel(0, 0)), 1);
  EXPECT_EQ(RedOf(b.Pixel(2, 0)), 3);
  EXPECT_EQ(RedOf(b.Pixel(0, 1)), 9);
  EXPECT_EQ(RedOf(b.Pixel(2, 1)), 9);
}

TEST(PsdWriter, ReadsBackExactlyInPillowAndPsdTools) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(53, 29, true);
  ASSERT_TRUE(SavePsdFile(picture, dir / "ours.psd"));
  WriteTestFile(dir / "expected.rgba", ToRgba(picture));
  const std::string script =
      "import sys\n"
      "from PIL import Image\n"
      "from psd_tools import PSDImage\n"
      "d=sys.argv[1]\n"
      "expected=open(d+'/expected.rgba','rb').read()\n"
      "im=Image.open(d+'/ours.psd')\n"
      "assert im.mode=='RGBA' and im.size==(53,29), (im.mode, im.size)\n"
      "assert im.tobytes()==expected, 'pillow pixels'\n"
      "psd=PSDImage.open(d+'/ours.psd')\n"
      "assert (psd.width,psd.height,psd.channels,psd.depth)==(53,29,4,8)\n"
      "print('ok')\n";
  EXPECT_EQ(RunPython(script, Quoted(dir.Path())), "ok\n");
  TBitmap32 back;
  ASSERT_TRUE(LoadPsdPicture(dir / "ours.psd", back));
  EXPECT_TRUE(SamePicture(back, picture));
}

TEST(PsdReader, SkipsAResourceSectionLongerThan65535Bytes) {
  ByteWriter w = PsdHead(4, 2, 1, 70000);
  w.U16BE(0);
  for (std::uint8_t plane : {10, 20, 30, 40}) {
    w.U8(plane);
    w.U8(plane + 1);
  }
  const TBitmap32 b = Read(w.Data());
  EXPECT_EQ(b.Pixel(0, 0), Color32(10, 20, 30, 40));
  EXPECT_EQ(b.Pixel(1, 0), Color32(11, 21, 31, 41));
}

TEST(PsdReader, PackBitsRunsAreCutAtTheRowEnd) {
  ByteWriter w = PsdHead(1, 3, 2);
  w.U16BE(1);
  w.Fill(2 * 2, 0);  // row byte counts, not needed
  w.U8(0xFC);        // -4: five copies of 7 into a row of three
  w.U8(7);
  w.U8(4);           // five literals into the next row of three
  w.Bytes(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
  const TBitmap32 b = Read(w.Data());
  for (int x = 0; x < 3; ++x) EXPECT_EQ(RedOf(b.Pixel(x, 0)), 7);
  EXPECT_EQ(RedOf(b.Pixel(0, 1)), 1);
  EXPECT_EQ(RedOf(b.Pixel(2, 1)), 3);
  EXPECT_EQ(AlphaOf(b.Pixel(2, 1)), 0);
}

TEST(PsdReader, NoOpControlBytesAndExtraChannelsAreSkipped) {
  ByteWriter w = PsdHead(5, 1, 1);
  w.U16BE(1);
  w.Fill(5 * 2, 0);
  for (std::uint8_t v : {9, 8, 7, 6, 5}) {
    w.U8(0x80);  // -128 does nothing
    w.U8(0);
    w.U8(v);
  }
  EXPECT_EQ(Read(w.Data()).Pixel(0, 0), Color32(9, 8, 7, 6));
}

TEST(PsdReader, RefusesWrongHeadersCompressionTruncationAndHugeSizes) {
  auto invalid = [](const std::vector<std::uint8_t>& bytes) {
    TBitmap32 b(1, 1, 0x12345678);
    const TFileResult<> read = ReadPsdImage(bytes, b);
    return !read && b == TBitmap32(1, 1, 0x12345678);  // untouched
  };
  auto raw = [](ByteWriter w, std::size_t pixels) {
    w.U16BE(0);
    w.Fill(pixels, 1);
    return w.Take();
  };
  EXPECT_FALSE(invalid(raw(PsdHead(3, 2, 2), 12)));
  EXPECT_TRUE(invalid(raw(PsdHead(3, 2, 2, 0, 16), 24)));         // depth
  EXPECT_TRUE(invalid(raw(PsdHead(3, 2, 2, 0, 8, 4), 12)));       // CMYK
  EXPECT_TRUE(invalid(raw(PsdHead(3, 2, 2, 0, 8, 3, 2), 12)));    // version
  EXPECT_TRUE(invalid(raw(PsdHead(3, 2, 2), 11)));                // truncated plane
  EXPECT_TRUE(invalid(raw(PsdHead(3, 20000, 1), 60000)));         // too wide
  EXPECT_TRUE(invalid(raw(PsdHead(3, 16384, 16384), 100)));       // far more than the data
  EXPECT_TRUE(invalid(raw(PsdHead(0, 16384, 16384), 0)));         // no planes at all
  EXPECT_TRUE(invalid(raw(PsdHead(3, 0, 5), 0)));                 // no columns
  EXPECT_TRUE(invalid(raw(PsdHead(3, 5, 0), 0)));                 // no rows
  EXPECT_TRUE(invalid(raw(PsdHead(3, 2, 2, 1000), 12)) == false); // resources are skipped
  auto badSignature = raw(PsdHead(3, 2, 2), 12);
  badSignature[0] = '9';
  EXPECT_TRUE(invalid(badSignature));
  ByteWriter two = PsdHead(3, 2, 2);
  two.U16BE(2);  // ZIP compression is not ours to read
  two.Fill(100, 0);
  EXPECT_TRUE(invalid(two.Take()));
  ByteWriter cut = PsdHead(1, 4, 1);
  cut.U16BE(1);
  cut.Fill(2, 0);
  cut.U8(3);  // four literals promised, two present
  cut.U8(1);
  cut.U8(2);
  EXPECT_TRUE(invalid(cut.Take()));
  std::vector<std::uint8_t> header(20, 0);
  EXPECT_TRUE(invalid(header));
  TBitmap32 b;
  const TFileResult<> deep = ReadPsdImage(raw(PsdHead(3, 2, 2, 0, 16), 24), b, "deep.psd");
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.Error().Cause, TFileFault::Damaged);
  EXPECT_EQ(deep.Error().Text(), "deep.psd: Invalid PSD format");
  const TFileResult<> cutShort = ReadPsdImage(raw(PsdHead(3, 2, 2), 11), b);
  ASSERT_FALSE(cutShort);
  EXPECT_EQ(cutShort.Error().Cause, TFileFault::Damaged) << "bytes in memory that run short are no read failure";
}

// Run-length planes let a few megabytes claim any size: a picture above the bomb
// limit is refused before anything is allocated, and the reason names its size.
TEST(PsdReader, RefusesADecompressionBombNamingItsSize) {
  ByteWriter w = PsdHead(3, 10000, 9000);
  w.U16BE(1);
  TBitmap32 b;
  const TFileResult<> read = ReadPsdImage(w.Data(), b);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.Error().Cause, TFileFault::TooLarge);
  EXPECT_EQ(read.Error().Reason(), "the picture is 10000 x 9000 pixels, more than the 89478485 a picture may have");
  EXPECT_TRUE(b.Empty());
}

TEST(LoadPsdPicture, ReadsEachKindAndFallsBackInOrder) {
  TempFolder dir;
  const TBitmap32 psdPicture = TestPicture(8, 6, true);
  const TBitmap32 fccPicture = TestPicture(5, 4, true);
  const TBitmap32 fllPicture(7, 3, Color32(40, 90, 200, 33));
  ASSERT_TRUE(SavePsdFile(psdPicture, dir / "a.psd"));
  ASSERT_TRUE(WriteFileAtomic(dir / "b.fcc", CompressStream(BitmapToPsdStream(fccPicture))));
  ASSERT_TRUE(WriteFileAtomic(dir / "b.fll", PackBitmap32(fllPicture, 90)));
  ASSERT_TRUE(WriteFileAtomic(dir / "c.FLL", PackBitmap32(fllPicture, 90)));
  ASSERT_TRUE(WriteFileAtomic(dir / "c.fll", PackBitmap32(fllPicture, 90)));

  TBitmap32 b;
  ASSERT_TRUE(LoadPsdPicture(dir / "a.psd", b));
  EXPECT_TRUE(SamePicture(b, psdPicture));
  ASSERT_TRUE(LoadPsdPicture(dir / "a.tga", b));  // missing: a.psd
  EXPECT_TRUE(SamePicture(b, psdPicture));
  ASSERT_TRUE(LoadPsdPicture(dir / "b.psd", b));  // missing: b.fcc before b.fll
  EXPECT_TRUE(SamePicture(b, fccPicture));
  ASSERT_TRUE(LoadPsdPicture(dir / "b.fll", b));
  EXPECT_EQ(b.Width(), 7);
  EXPECT_EQ(AlphaOf(b.Pixel(6, 2)), 33);
  ASSERT_TRUE(LoadPsdPicture(dir / "c.psd", b));  // only the packed picture exists
  EXPECT_EQ(b.Height(), 3);
  TBitmap32 before = b;
  const TFileResult<> none = LoadPsdPicture(dir / "none.psd", b);
  ASSERT_FALSE(none);
  EXPECT_EQ(none.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(none.Error().Path, dir / "none.psd");
  EXPECT_TRUE(SamePicture(b, before));
}

TEST(LoadPsdPicture, ReportsCompressedAndPackedFilesThatDoNotDecode) {
  TempFolder dir;
  WriteTestFile(dir / "bad.fcc", "not zlib at all");
  ASSERT_TRUE(WriteFileAtomic(dir / "notpsd.fcc", CompressStream(AsBytes("zlib, but no picture inside"))));
  WriteTestFile(dir / "bad.fll", "not zlib either");
  ASSERT_TRUE(WriteFileAtomic(dir / "short.fll", CompressStream(AsBytes("\x10\0\0\0"))));
  TBitmap32 b(2, 2, 77);
  for (const char* name : {"bad.fcc", "notpsd.fcc", "bad.fll", "short.fll"}) {
    const TFileResult<> loaded = LoadPsdPicture(dir / name, b);
    ASSERT_FALSE(loaded) << name;
    EXPECT_EQ(loaded.Error().Cause, TFileFault::Damaged) << name;
  }
  EXPECT_TRUE(SamePicture(b, TBitmap32(2, 2, 77)));
}
