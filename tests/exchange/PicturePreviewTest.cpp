// The open dialog's preview loader against files Pillow writes: a work's stored
// preview, pictures, and headers that claim sizes no preview may allocate.
#include "exchange/PicturePreview.h"
#include "platform/ProgramFolders.h"

#include <gtest/gtest.h>

#include "support/TestPaths.h"

namespace {

// Pillow writes: a compressed work whose stored preview is 120 x 90 (blue left
// half, yellow right half); a GIF; a JPEG and a PNG whose headers claim
// 60000 x 60000; and a work whose stored preview claims the same.
class PicturePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders({});
    const std::string script = R"PY(
import io, struct, sys, zlib
from PIL import Image
out = sys.argv[1]
def field(data):
    return struct.pack("<I", len(data)) + data
def work(name, preview):
    header = b"VERSION=Tressary 5.10;\r\nPORTRAIT=nil;-1;-1;\r\n"
    with open(out + "/" + name, "wb") as f:
        f.write(struct.pack("<I", 0) + field(zlib.compress(header, 9)) + field(zlib.compress(preview, 9)))
shown = Image.new("RGB", (120, 90), (20, 40, 220))
shown.paste((240, 220, 20), (60, 0, 120, 90))
jpeg = io.BytesIO(); shown.save(jpeg, "JPEG", quality=95)
work("shown.tsc", jpeg.getvalue())
Image.new("P", (33, 17), 3).save(out + "/small.gif")
# The size fields of the frame header rewritten: the pixels never exist.
small = io.BytesIO(); Image.new("RGB", (8, 8), (9, 9, 9)).save(small, "JPEG")
huge = bytearray(small.getvalue())
sof = huge.index(b"\xff\xc0")
huge[sof + 5:sof + 9] = struct.pack(">HH", 60000, 60000)
open(out + "/huge.jpg", "wb").write(huge)
work("huge.tsc", bytes(huge))
ihdr = struct.pack(">IIBBBBB", 60000, 60000, 8, 2, 0, 0, 0)
chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
open(out + "/huge.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(b"\0" * 64)) + chunk(b"IEND", b""))
)PY";
    WriteTestFile(dir_ / "fixtures.py", script);
    ASSERT_EQ(RunCommand("/usr/bin/python3 " + (dir_ / "fixtures.py").string() + " " + dir_.Path().string()), 0);
  }
  void TearDown() override { SetProgramFolders({}); }
  TempFolder dir_;
};

TEST_F(PicturePreviewTest, ACompressedWorkShowsItsStoredPreview) {
  const TPicturePreview preview = LoadPicturePreview(dir_ / "shown.tsc");
  ASSERT_TRUE(preview.Valid);
  ASSERT_EQ(preview.Picture.Width(), 120);
  ASSERT_EQ(preview.Picture.Height(), 90);
  auto near = [](TColor32 c, int r, int g, int b) {
    return std::abs(RedOf(c) - r) < 12 && std::abs(GreenOf(c) - g) < 12 && std::abs(BlueOf(c) - b) < 12;
  };
  EXPECT_TRUE(near(preview.Picture.Pixel(20, 45), 20, 40, 220));
  EXPECT_TRUE(near(preview.Picture.Pixel(100, 45), 240, 220, 20));
}

TEST_F(PicturePreviewTest, PicturesLoadByExtensionAndFoldersOrMissingNamesDoNot) {
  const TPicturePreview gif = LoadPicturePreview(dir_ / "small.gif");
  EXPECT_TRUE(gif.Valid);
  EXPECT_EQ(gif.Picture.Width(), 33);
  EXPECT_EQ(gif.Picture.Height(), 17);
  EXPECT_FALSE(LoadPicturePreview(dir_.Path()).Valid);
  EXPECT_FALSE(LoadPicturePreview(dir_ / "missing.png").Valid);
}

TEST_F(PicturePreviewTest, HeadersClaimingHugeSizesAreRefusedBeforeAllocating) {
  const TPicturePreview png = LoadPicturePreview(dir_ / "huge.png");
  EXPECT_FALSE(png.Valid);
  EXPECT_TRUE(png.Picture.Empty());
  // A photo is shown at an eighth of its claimed size, within the bomb limit.
  const TPicturePreview jpeg = LoadPicturePreview(dir_ / "huge.jpg");
  EXPECT_TRUE(jpeg.Valid);
  EXPECT_EQ(jpeg.Picture.Width(), 7500);
  EXPECT_EQ(jpeg.Picture.Height(), 7500);
  // A work stays selectable with nothing to show.
  const TPicturePreview work = LoadPicturePreview(dir_ / "huge.tsc");
  EXPECT_TRUE(work.Valid);
  EXPECT_TRUE(work.Picture.Empty());
}

}  // namespace
