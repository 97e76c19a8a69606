// Our readers of the common formats, judged by the imaging library's own reading
// of the same files (made by Pillow and ImageMagick): the same pixels, alpha
// included, and the variants they leave to it still read.
#include <gtest/gtest.h>

#include "picture/module/DirectReaders.h"
#include "picture/module/MagickReader.h"
#include "platform/FileIO.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {
struct TDecoded {
  TDirectRead result = TDirectRead::kNotMine;
  TBitmap32 picture;
  std::string error;
};

IImagingModule::TAccept AcceptAll() {
  return [](std::size_t, std::size_t, const std::string&) { return true; };
}
IImagingModule::TTarget Into(TBitmap32& picture) {
  return [&picture](std::size_t w, std::size_t h) -> std::uint8_t* {
    return picture.SetSize(int(w), int(h)) ? picture.Bits() : nullptr;
  };
}

TDecoded Direct(const std::vector<std::uint8_t>& bytes) {
  TDecoded d;
  d.result = ReadDirect(bytes, AcceptAll(), Into(d.picture), d.error);
  return d;
}

TBitmap32 Magick(const std::vector<std::uint8_t>& bytes) {
  TBitmap32 picture;
  std::string error;
  EXPECT_TRUE(ReadWithMagick(bytes, "", AcceptAll(), Into(picture), error)) << error;
  return picture;
}

std::vector<std::uint8_t> Bytes(const fs::path& file) {
  auto bytes = ReadFileBytes(file);
  EXPECT_TRUE(bytes) << file;
  return bytes ? *bytes : std::vector<std::uint8_t>();
}

// Pillow writes the test picture in each variant; ImageMagick the ones Pillow
// does not write (16-bit colour, interlaced PNG).
void WriteVariants(const fs::path& dir, int w, int h) {
  WriteTestFile(dir / "in.rgba", ToRgba(TestPicture(w, h, true)));
  const std::string out = RunPython(
      "import sys\nfrom PIL import Image\n"
      "d, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])\n"
      "im = Image.frombytes('RGBA', (w, h), open(d + '/in.rgba', 'rb').read())\n"
      "rgb = im.convert('RGB')\n"
      "pal = rgb.quantize(64)\n"
      "pal16 = rgb.quantize(16)\n"
      "im.save(d + '/rgba.png'); rgb.save(d + '/rgb.png'); im.convert('L').save(d + '/grey.png')\n"
      "im.convert('LA').save(d + '/greyalpha.png'); im.convert('1').save(d + '/bits1.png')\n"
      "pal.save(d + '/pal.png', transparency=3); pal16.save(d + '/pal4.png', bits=4)\n"
      "im.convert('I').point(lambda v: v * 200).convert('I;16').save(d + '/grey16.png')\n"
      "pal.save(d + '/pal.gif', transparency=5); pal.save(d + '/flat.gif', interlace=False)\n"
      "rgb.save(d + '/rgb.tif'); im.save(d + '/rgba.tif', compression='tiff_lzw')\n"
      "im.convert('L').save(d + '/grey.tif', compression='tiff_adobe_deflate')\n"
      "im.convert('1').save(d + '/g4.tif', compression='group4'); pal.save(d + '/pal.tif', compression='packbits')\n"
      "im.convert('CMYK').save(d + '/cmyk.tif')\n"
      "rgb.save(d + '/lossy.webp', quality=80); im.save(d + '/lossyalpha.webp', quality=80)\n"
      "im.save(d + '/lossless.webp', lossless=True)\n",
      Quoted(dir) + " " + std::to_string(w) + " " + std::to_string(h));
  ASSERT_EQ(out, "");
  ASSERT_EQ(RunCommand("convert " + Quoted(dir / "rgba.png") + " -interlace PNG " + Quoted(dir / "interlaced.png") +
                       " && convert " + Quoted(dir / "rgba.png") + " -depth 16 -evaluate multiply 0.7 " +
                       Quoted(dir / "rgba16.png") + " && convert " + Quoted(dir / "rgb.png") + " -depth 16 " +
                       Quoted(dir / "rgb16.tif")),
            0);
}
}  // namespace

TEST(DirectReaders, DecodeTheCommonFormatsAsTheImagingLibraryDoes) {
  TempFolder dir;
  WriteVariants(dir.Path(), 37, 23);
  for (const char* name : {"rgba.png", "rgb.png", "grey.png", "greyalpha.png", "bits1.png", "pal.png", "pal4.png",
                           "grey16.png", "interlaced.png", "rgba16.png", "pal.gif", "flat.gif", "rgb.tif",
                           "rgba.tif", "grey.tif", "g4.tif", "pal.tif", "lossy.webp", "lossyalpha.webp",
                           "lossless.webp"}) {
    SCOPED_TRACE(name);
    const auto bytes = Bytes(dir / name);
    const TDecoded ours = Direct(bytes);
    ASSERT_EQ(ours.result, TDirectRead::kRead) << ours.error;
    EXPECT_EQ(ours.picture.Width(), 37);
    EXPECT_TRUE(SamePicture(ours.picture, Magick(bytes)));
  }
}

TEST(DirectReaders, LeaveOtherVariantsAndFormatsToTheImagingLibrary) {
  TempFolder dir;
  WriteVariants(dir.Path(), 9, 7);
  ImageMagickWrite(TestPicture(9, 7, false), dir / "a.pcx", "");
  ASSERT_EQ(RunCommand("convert " + Quoted(dir / "rgba16.png") + " -interlace PNG " + Quoted(dir / "interlaced16.png")),
            0);
  for (const char* name : {"cmyk.tif", "rgb16.tif", "interlaced16.png", "a.pcx"}) {
    SCOPED_TRACE(name);
    const auto bytes = Bytes(dir / name);
    EXPECT_EQ(Direct(bytes).result, TDirectRead::kNotMine);
    TBitmap32 picture;
    std::string error;
    ASSERT_TRUE(tressary_module_imaging()->Read(bytes, "", AcceptAll(), Into(picture), error)) << error;
    EXPECT_EQ(picture.Width(), 9);
  }
}

// A cut file fails in ours as in the imaging library (which reads none of them),
// with the reason; a TIFF cut before its directory is left to the library.
TEST(DirectReaders, FailOnCutFilesAndStopWhereTheCallerSaysNo) {
  TempFolder dir;
  WriteVariants(dir.Path(), 37, 23);
  for (const char* name : {"rgba.png", "interlaced.png", "pal.gif", "g4.tif", "lossy.webp", "lossless.webp"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WriteCutCopy(dir / name, dir / "cut", 2, 3));
    const auto bytes = Bytes(dir / "cut");
    const TDecoded ours = Direct(bytes);
    EXPECT_NE(ours.result, TDirectRead::kRead);
    EXPECT_EQ(ours.result == TDirectRead::kFailed, !ours.error.empty());
    TBitmap32 picture;
    std::string error;
    EXPECT_FALSE(ReadWithMagick(bytes, "", AcceptAll(), Into(picture), error));

    const auto whole = Bytes(dir / name);
    int targets = 0;
    auto refuse = [](std::size_t w, std::size_t h, const std::string&) { return w == 0 || h == 0; };
    auto count = [&targets](std::size_t, std::size_t) -> std::uint8_t* { return ++targets, nullptr; };
    EXPECT_EQ(ReadDirect(whole, refuse, count, error), TDirectRead::kStopped);
    EXPECT_EQ(targets, 0) << "nothing is allocated for a picture refused by its size";
    EXPECT_EQ(ReadDirect(whole, AcceptAll(), count, error), TDirectRead::kStopped);
    EXPECT_EQ(targets, 1);
  }
}
