// Loading and saving by extension, through the library and through picture-tool.
#include <gtest/gtest.h>

#include "picture/BitmapRoutines.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/Lead.h"
#include "picture/PictureFiles.h"
#include "picture/PsdFile.h"
#include "picture/WorkFile.h"
#include "platform/FileIO.h"
#include "support/PeakMemory.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {
std::string Tool() { return Quoted(BuildDir() / "tools/picture-tool/picture-tool"); }
}  // namespace

TEST(PictureFiles, LoadsAndSavesByExtension) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(19, 9, true);
  ASSERT_TRUE(SavePictureFile(picture, dir / "a.PSD"));
  ASSERT_TRUE(SavePictureFile(picture, dir / "a.fll"));
  ASSERT_TRUE(SavePictureFile(picture, dir / "a.Jpg"));
  ASSERT_TRUE(SavePictureFile(picture, dir / "a.jpeg"));
  EXPECT_EQ(Identify(dir / "a.Jpg", "%m %Q"), "JPEG 90");
  EXPECT_EQ(Identify(dir / "a.jpeg", "%m"), "BMP3") << "only .jpg is the JPEG format when saving";
  ASSERT_TRUE(WriteFileAtomic(dir / "a.fcc", CompressStream(BitmapToPsdStream(picture))));

  auto load = [](const fs::path& file) {
    TFileResult<TBitmap32> loaded = LoadPictureFile(file);
    EXPECT_TRUE(loaded) << loaded.Error().Text();
    return loaded ? *std::move(loaded) : TBitmap32();
  };
  EXPECT_TRUE(SamePicture(load(dir / "a.PSD"), picture)) << "Photoshop files keep their alpha";
  EXPECT_TRUE(SamePicture(load(dir / "a.fcc"), picture));
  EXPECT_EQ(AlphaOf(load(dir / "a.fll").Pixel(3, 4)), AlphaOf(picture.Pixel(3, 4)));
  EXPECT_EQ(load(dir / "a.Jpg").Width(), 19);

  WriteTestFile(dir / "bad.jpg", "no jpeg here");
  const TFileResult<TBitmap32> bad = LoadPictureFile(dir / "bad.jpg");
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.Error().Text(), (dir / "bad.jpg").string() + ": Invalid JPEG picture");
  for (const char* name : {"missing.png", "missing.psd"}) {
    const TFileResult<TBitmap32> missing = LoadPictureFile(dir / name);
    ASSERT_FALSE(missing) << name;
    EXPECT_EQ(missing.Error().Cause, TFileFault::NoSuchFile) << name;
  }
}

TEST(PictureFiles, SavesOtherPictureClassesAsOpaquePhotoshopFiles) {
  TempFolder dir;
  TLead lead;
  lead.Assign(TBitmap32(5, 3, Color32(9, 99, 199, 0)));
  ASSERT_TRUE(SaveGraphicAsPsd(lead, dir / "lead.psd"));
  const TJpegImage jpeg = TJpegImage::FromBitmap(TBitmap32(6, 2, Color32(250, 250, 250, 0)), 90);
  ASSERT_TRUE(SaveGraphicAsPsd(jpeg, dir / "jpeg.psd"));
  TBitmap32 b;
  ASSERT_TRUE(LoadPsdPicture(dir / "lead.psd", b));
  EXPECT_TRUE(SamePicture(b, TBitmap32(5, 3, Color32(9, 99, 199, 255))));
  ASSERT_TRUE(LoadPsdPicture(dir / "jpeg.psd", b));
  EXPECT_EQ(b.Width(), 6);
  EXPECT_TRUE(AlphaIs(b, 255));
  EXPECT_FALSE(SaveGraphicAsPsd(TLead(), dir / "empty.psd"));
  EXPECT_FALSE(SaveGraphicAsPsd(TJpegImage(), dir / "empty.psd"));
  EXPECT_FALSE(fs::exists(dir / "empty.psd"));
}

TEST(PictureTool, ConvertsBetweenFormatsAsTheJudgesSeeThem) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(24, 16, true);
  ImageMagickWrite(picture, dir / "in.png", "");
  ASSERT_EQ(RunCommand(Tool() + " convert " + Quoted(dir / "in.png") + " " + Quoted(dir / "out.psd")), 0);
  WriteTestFile(dir / "expected.rgba", ToRgba(picture));
  // Other formats load at 24 bits: the colour arrives, the alpha is opaque.
  EXPECT_EQ(RunPython("import sys\nfrom PIL import Image\nd=sys.argv[1]\n"
                      "im=Image.open(d+'/out.psd')\n"
                      "src=Image.frombytes('RGBA',(24,16),open(d+'/expected.rgba','rb').read())\n"
                      "print(im.mode, im.convert('RGB').tobytes()==src.convert('RGB').tobytes(),"
                      " set(im.getchannel('A').getdata()))\n",
                      Quoted(dir.Path())),
            "RGBA True {255}\n");

  ASSERT_TRUE(SavePsdFile(picture, dir / "alpha.psd"));
  ASSERT_EQ(RunCommand(Tool() + " convert " + Quoted(dir / "alpha.psd") + " " + Quoted(dir / "alpha.fll")), 0);
  std::string fromPsd, fromFll;
  ASSERT_EQ(RunCommand(Tool() + " info " + Quoted(dir / "alpha.psd"), &fromPsd), 0);
  ASSERT_EQ(RunCommand(Tool() + " info " + Quoted(dir / "alpha.fll"), &fromFll), 0);
  EXPECT_EQ(fromFll, fromPsd) << "the packed picture keeps the alpha";
  EXPECT_NE(fromPsd.find("width 24\nheight 16\n"), std::string::npos) << fromPsd;

  ASSERT_EQ(RunCommand(Tool() + " convert " + Quoted(dir / "alpha.fll") + " " + Quoted(dir / "out.tif")), 0);
  EXPECT_EQ(Identify(dir / "out.tif", "%m %w %h"), "TIFF 24 16");
  EXPECT_NE(RunCommand(Tool() + " convert " + Quoted(dir / "missing.png") + " " + Quoted(dir / "x.png") + " 2>&1"), 0);
  EXPECT_EQ(RunCommand(Tool() + " frobnicate 2>/dev/null"), 2);
}

// A 500-byte baseline JPEG photo claiming 188 million pixels decodes at half its
// size, the largest DCT scale within the bomb limit; a progressive one claiming
// 900 million would need more than the JPEG library's working memory even scaled
// (it keeps all its coefficients) and is refused by its size, as is a PNG just
// above the limit, before decoding; nothing is written.
TEST(PictureTool, DecodesAJpegBombScaledAndRefusesOtherBombs) {
  TempFolder dir;
  WriteJpegBomb(dir / "bomb.jpg", kJpegBombWidth, kJpegBombHeight, TJpegScans::kBaseline);
  WriteJpegBomb(dir / "huge.jpg", 30000, 30000);
  WritePngBomb(dir / "bomb.png", 10000, 9000);
  std::string info;
  ASSERT_EQ(RunCommand(Tool() + " info " + Quoted(dir / "bomb.jpg"), &info), 0);
  EXPECT_EQ(info.substr(0, info.find("alpha0")), "width 7322\nheight 6428\n");
  EXPECT_EQ(RunCommand(Tool() + " info " + Quoted(dir / "huge.jpg") + " 2>&1", &info), 1);
  EXPECT_NE(info.find("the picture is 30000 x 30000 pixels"), std::string::npos) << info;
  std::string refusal;
  EXPECT_EQ(RunCommand(Tool() + " convert " + Quoted(dir / "bomb.png") + " " + Quoted(dir / "out.png") + " 2>&1",
                       &refusal),
            1);
  EXPECT_NE(refusal.find("the picture is 10000 x 9000 pixels, more than the 89478485 a picture may have"),
            std::string::npos)
      << refusal;
  EXPECT_FALSE(fs::exists(dir / "out.png"));
}

namespace {
// Converts `from` into `to` with picture-tool and checks that it succeeded at
// under 1.3x the 32-bit pixels of a `side`-square picture.
void ExpectConvertedNearItsPixels(const std::string& tool, const fs::path& from, const fs::path& to, int side) {
  const auto run = RunForPeakMemory({tool, "convert", from.string(), to.string()});
  ASSERT_TRUE(run);
  EXPECT_EQ(run->ExitCode, 0) << run->Errors;
  EXPECT_LT(run->PeakBytes, std::uint64_t(side) * side * 4 * 13 / 10);
}
}  // namespace

// Small files claiming a picture at the size limit (9459 x 9459, 358 MB at 32
// bits) cost about that picture when converted or described, not the 8 bytes a
// pixel of the imaging library and a copy; pictures whose decoder would need much more than
// the picture (a progressive JPEG's coefficients, a lossless WebP's own copy) are
// refused, naming their size.
TEST(PictureTool, ConvertingAPictureAtTheLimitCostsAboutItsPixels) {
  if (!kPeakMemoryMeasurable) GTEST_SKIP() << "a sanitizer's allocator hides the peaks this checks; the normal build checks them";
  TempFolder dir;
  constexpr int kSide = 9459;
  WritePngBomb(dir / "bomb.png", kSide, kSide);
  WriteJpegBomb(dir / "baseline.jpg", kSide, kSide, TJpegScans::kBaseline);
  WriteJpegBomb(dir / "progressive.jpg");  // decodes at half its size, 7322 x 6428
  ASSERT_EQ(RunPython("import struct, sys\nfrom PIL import Image\nd, side = sys.argv[1], int(sys.argv[2])\n"
                      "Image.new('1', (side, side)).save(d + '/bomb.tif', compression='group4')\n"
                      "Image.new('P', (side, side)).save(d + '/bomb.gif')\n"
                      "Image.new('RGB', (16, 16), (20, 120, 220)).save(d + '/small.webp', lossless=True)\n"
                      "b = bytearray(open(d + '/small.webp', 'rb').read())\n"
                      "assert b[12:16] == b'VP8L' and b[20] == 0x2f\n"
                      "v = struct.unpack('<I', b[21:25])[0] >> 28 << 28 | (side - 1) | (side - 1) << 14\n"
                      "b[21:25] = struct.pack('<I', v)\n"
                      "open(d + '/lossless.webp', 'wb').write(b)\n"
                      "for name, bits, code, run in (('rle8.bmp', 8, 1, 1), ('rle4.bmp', 4, 2, 0x10)):\n"
                      "    data = bytes((200, run, 0, 0)) * side\n"
                      "    data += bytes(side * (side + 1) // 254 + 1 - len(data))  # the least the library takes\n"
                      "    head = struct.pack('<IiiHHIIiiII', 40, side, side, 1, bits, code, len(data), 0, 0, 2, 0)\n"
                      "    open(d + '/' + name, 'wb').write(b'BM' + struct.pack('<IHHI', 62 + len(data), 0, 0, 62) + head\n"
                      "                                     + bytes((10, 20, 30, 0, 200, 100, 50, 0)) + data)\n",
                      Quoted(dir.Path()) + " " + std::to_string(kSide)),
            "");
  const std::string tool = (BuildDir() / "tools/picture-tool/picture-tool").string();
  for (const char* name : {"bomb.png", "baseline.jpg", "bomb.tif", "bomb.gif", "rle8.bmp", "rle4.bmp"}) {
    SCOPED_TRACE(name);
    ExpectConvertedNearItsPixels(tool, dir / name, dir / "out.jpg", kSide);
    EXPECT_EQ(Identify(dir / "out.jpg", "%m %w %h"), "JPEG 9459 9459");
    fs::remove(dir / "out.jpg");
  }
  const auto info = RunForPeakMemory({tool, "info", (dir / "rle8.bmp").string()});
  ASSERT_TRUE(info);
  EXPECT_EQ(info->ExitCode, 0) << info->Errors;
  EXPECT_LT(info->PeakBytes, std::uint64_t(kSide) * kSide * 4 * 12 / 10);
  for (const char* name : {"progressive.jpg", "lossless.webp"}) {
    SCOPED_TRACE(name);
    const auto run = RunForPeakMemory({tool, "convert", (dir / name).string(), (dir / "out.jpg").string()});
    ASSERT_TRUE(run);
    EXPECT_EQ(run->ExitCode, 1);
    const std::string size = name == std::string("lossless.webp") ? "9459 x 9459" : "14644 x 12856";
    EXPECT_NE(run->Errors.find(" is " + size + " pixels, more than"), std::string::npos) << run->Errors;
    EXPECT_LT(run->PeakBytes, std::uint64_t(7322) * 6428 * 4);
    EXPECT_FALSE(fs::exists(dir / "out.jpg"));
  }
}

// Saving a picture at the size limit in each 24-bit format costs about that
// picture too: the rows go out one by one into the file, not through the imaging
// library's 8 bytes a pixel and a whole file in memory.
TEST(PictureTool, SavingAPictureAtTheLimitCostsAboutItsPixels) {
  if (!kPeakMemoryMeasurable) GTEST_SKIP() << "a sanitizer's allocator hides the peaks this checks; the normal build checks them";
  TempFolder dir;
  constexpr int kSide = 9459;
  WritePngBomb(dir / "bomb.png", kSide, kSide);
  const std::string tool = (BuildDir() / "tools/picture-tool/picture-tool").string();
  const struct {
    const char* name;
    const char* format;  // as Pillow names it, which reads the head only
  } outputs[] = {{"out.bmp", "BMP"}, {"out.tga", "TGA"}, {"out.pcx", "PCX"}, {"out.png", "PNG"}, {"out.tif", "TIFF"}};
  for (const auto& out : outputs) {
    SCOPED_TRACE(out.name);
    ExpectConvertedNearItsPixels(tool, dir / "bomb.png", dir / out.name, kSide);
    EXPECT_EQ(RunPython("import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\nprint(im.format, im.mode, *im.size)\n",
                        Quoted(dir / out.name)),
              std::string(out.format) + " RGB 9459 9459\n");
    fs::remove(dir / out.name);
  }
}

TEST(PictureTool, UnpacksArchives) {
  TempFolder dir;
  const std::string header = "BEGIN;31\r\nSub;f.txt;2;5;\r\nEND\r\n";
  ASSERT_EQ(header.size(), 31u);
  WriteTestFile(dir / "a.arh", header + "hello");
  ASSERT_EQ(RunCommand(Tool() + " unpack-archive " + Quoted(dir / "a.arh") + " " + Quoted(dir / "out")), 0);
  auto bytes = ReadFileBytes(dir / "out/Sub/f.txt");
  ASSERT_TRUE(bytes.Ok());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "hello");
  const std::string volume = "BEGIN;35;0;0\r\nSub;g.txt;2;2;\r\nEND\r\n";
  ASSERT_EQ(volume.size(), 35u);
  WriteTestFile(dir / "v0.arh", volume + "hi");
  ASSERT_EQ(RunCommand(Tool() + " unpack-volumes " + Quoted(dir / "v") + " " + Quoted(dir / "out")), 0);
  EXPECT_TRUE(fs::exists(dir / "out/Sub/g.txt"));
  EXPECT_EQ(RunCommand(Tool() + " unpack-archive " + Quoted(dir / "none.arh") + " " + Quoted(dir / "out") + " 2>&1"),
            1);
}

// A work's stored preview, from either kind of work file, or why there is none.
TEST(PictureTool, WritesAWorksPreviewOrSaysWhyThereIsNone) {
  TempFolder dir;
  const std::vector<std::uint8_t> tsc = BuildCompressedWork({}, {}, TBitmap32(60, 30, Color32(0, 0, 255)));
  const TFileResult<std::vector<std::uint8_t>> tsu = ConvertWorkFile(tsc);
  ASSERT_TRUE(tsu);
  ASSERT_TRUE(WriteFileAtomic(dir / "w.tsc", tsc));
  ASSERT_TRUE(WriteFileAtomic(dir / "w.tsu", *tsu));
  ASSERT_TRUE(WriteFileAtomic(dir / "cut.tsc", std::span(tsc).first(6)));
  for (const char* work : {"w.tsc", "w.tsu"}) {
    SCOPED_TRACE(work);
    ASSERT_EQ(RunCommand(Tool() + " preview " + Quoted(dir / work) + " " + Quoted(dir / "p.jpg")), 0);
    const auto bytes = ReadFileBytes(dir / "p.jpg");
    ASSERT_TRUE(bytes);
    const TFileResult<TBitmap32> preview = DecodeJpeg(*bytes);
    ASSERT_TRUE(preview) << preview.Error().Text();
    EXPECT_EQ(preview->Width(), 150);
    EXPECT_LT(RedOf(preview->Pixel(75, 75)), 20) << "the work's blue, centred";
  }
  std::string said;
  EXPECT_EQ(RunCommand(Tool() + " preview " + Quoted(dir / "cut.tsc") + " " + Quoted(dir / "q.jpg") + " 2>&1", &said), 1);
  EXPECT_EQ(said, "picture-tool: no preview in " + (dir / "cut.tsc").string() + ": the file ends too early\n");
  EXPECT_FALSE(fs::exists(dir / "q.jpg"));
}
