// Saving at 24 bits through our writers (the plain formats in the picture library,
// PNG and TIFF in the imaging module), judged by the imaging library's own
// writing of the same picture, which the program used before: its reading of both
// files gives the picture's colour, and the files are the same bytes (TIFF: the
// same tags).
#include <gtest/gtest.h>

#include "picture/Lead.h"
#include "picture/module/MagickReader.h"
#include "platform/FileIO.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"
#include "support/SaveGuarantee.h"

namespace {
struct TFormat {
  int code;
  const char* coder;
  const char* extension;
};
constexpr TFormat kFormats[] = {{kLeadBmp, "BMP", "bmp"},
                                {kLeadTga, "TGA", "tga"},
                                {kLeadPcx, "PCX", "pcx"},
                                {kLeadPng, "PNG", "png"},
                                {kLeadTiff, "TIFF", "tif"}};

TBitmap32 ReadBack(const fs::path& file, const char* coder) {
  const auto bytes = ReadFileBytes(file);
  TBitmap32 picture;
  EXPECT_TRUE(bytes) << file;
  if (!bytes) return picture;
  const TFileResult<TPictureRead> read = ReadWithMagick(
      *bytes, coder, [](std::size_t, std::size_t, const std::string&) { return true; },
      [&](std::size_t w, std::size_t h) -> std::uint8_t* {
        return picture.SetSize(int(w), int(h)) ? picture.Bits() : nullptr;
      });
  EXPECT_TRUE(read && *read == TPictureRead::kRead) << file << ": " << (read ? "stopped" : read.Error().Detail);
  return picture;
}

// Where two TIFF files' tags differ, one line a pair: all tags but those placing
// strips (the imaging library's strip height follows a rule of its own, about
// 1 MiB as ours) and the two naming it (its name, an empty document name).
std::string TiffTagDifferences(const fs::path& dir) {
  return RunPython(
      "import sys, glob\nfrom PIL import Image\n"
      "def tags(f):\n"
      "  im = Image.open(f)\n"
      "  return open(f, 'rb').read(4), sorted((k, v) for k, v in im.tag_v2.items() if k not in (269, 273, 278, 279, 305))\n"
      "for ours in sorted(glob.glob(sys.argv[1] + '/ours*.tif')):\n"
      "  theirs = ours.replace('/ours', '/magick')\n"
      "  if tags(ours) != tags(theirs): print(ours, tags(ours), tags(theirs))\n",
      Quoted(dir));
}
}  // namespace

TEST(PictureWriters, WriteWhatTheImagingLibraryWrote) {
  TempFolder dir;
  // One pixel; an odd width (row padding, a PCX plane of odd length); a TIFF of
  // several strips and runs longer than PCX's 63.
  const struct {
    int width, height;
  } sizes[] = {{1, 1}, {37, 23}, {1200, 900}};
  for (const auto size : sizes)
    for (const bool alpha : {true, false}) {
      TBitmap32 picture = TestPicture(size.width, size.height, alpha);
      if (size.width > 100)
        for (int y = 0; y < 300; ++y) std::fill_n(picture.PixelPtr(0, y), 700, Color32(250, 200, 5, 9));
      for (const TFormat& f : kFormats) {
        const std::string name = std::to_string(size.width) + (alpha ? "a." : ".") + f.extension;
        SCOPED_TRACE(name);
        ASSERT_TRUE(SaveImageFile(picture, dir / ("ours" + name), f.code));
        TMemoryFileWriter magick;
        ASSERT_TRUE(WriteWithMagick(picture.Bits(), picture.Width(), picture.Height(), f.code, 90, magick));
        ASSERT_TRUE(WriteFileAtomic(dir / ("magick" + name), magick.Bytes));
        // The same bytes where the imaging library's choices are all known.
        if (f.code != kLeadTiff) {
          const auto bytes = ReadFileBytes(dir / ("ours" + name));
          EXPECT_TRUE(bytes && *bytes == magick.Bytes);
        }
        const TBitmap32 ours = ReadBack(dir / ("ours" + name), f.coder);
        // The files carry no alpha, and the imaging library's reading of a bitmap
        // leaves it unset: the colour is compared.
        EXPECT_TRUE(SamePicture(ours, ReadBack(dir / ("magick" + name), f.coder), {.AlphaTolerance = 255}));
        EXPECT_TRUE(SamePicture(ours, picture, {.AlphaTolerance = 255}));
      }
    }
  EXPECT_EQ(TiffTagDifferences(dir.Path()), "");
}

// A save cut off partway (a full disk) is reported, and the old file kept whole.
TEST(PictureWriters, ASaveCutOffKeepsTheOldFile) {
  TempFolder dir;
  const TBitmap32 small = TestPicture(40, 30, false), large = TestPicture(600, 400, false);
  for (const TFormat& f : kFormats) {
    SCOPED_TRACE(f.extension);
    const fs::path file = dir / (std::string("old.") + f.extension);
    ASSERT_TRUE(SaveImageFile(small, file, f.code));
    ExpectSaveKeepsOldFile(file, [&] { return SaveImageFile(large, file, f.code).Ok(); });
  }
}
