// Our readers of the common formats, judged by the imaging library's own reading
// of the same files (made by Pillow and ImageMagick): the same pixels, alpha
// included, and the variants they leave to it still read.
#include <gtest/gtest.h>

#include "picture/BitmapRoutines.h"
#include "picture/module/DirectReaders.h"
#include "picture/module/MagickReader.h"
#include "platform/FileIO.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {
struct TDecoded {
  TDirectResult result = TDirectRead::kNotMine;
  TBitmap32 picture;
  bool Is(TDirectRead end) const { return result && *result == end; }
  // The finding of a failed read, "" for any other end.
  std::string Why() const { return result ? std::string() : result.Error().Detail; }
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
  d.result = ReadDirect(bytes, AcceptAll(), Into(d.picture));
  return d;
}

// Whether a read through the module's interface, or the library alone, wrote
// every row; `why` the finding when it failed.
bool ReadAll(const TFileResult<TPictureRead>& read, std::string* why = nullptr) {
  if (why) *why = read ? std::string() : read.Error().Detail;
  return read && *read == TPictureRead::kRead;
}

TBitmap32 Magick(const std::vector<std::uint8_t>& bytes) {
  TBitmap32 picture;
  std::string why;
  EXPECT_TRUE(ReadAll(ReadWithMagick(bytes, "", AcceptAll(), Into(picture)), &why)) << why;
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

// Bitmaps in the variants the imaging library reads, written byte by byte (Pillow
// writes few of them): palettes of 1, 4 and 8 bits (one short, one of OS/2),
// RLE8 and RLE4 with literals, a move and a row ended early, 16 bits plain and
// in bit fields (one with an alpha bit), 24 bits bottom-up, top-down and behind
// a V4 header and an OS/2 array header, 32 bits plain and in 8 and 10-bit fields;
// and one that ours leave to the library, with a split bit mask.
void WriteBitmaps(const fs::path& dir, int w, int h) {
  WriteTestFile(dir / "in.rgba", ToRgba(TestPicture(w, h, true)));
  const std::string out = RunPython(R"(import struct, sys
d, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
px = open(d + '/in.rgba', 'rb').read()
def pix(x, y): return px[(y * w + x) * 4:(y * w + x) * 4 + 4]
def pad(b): return b + bytes(-len(b) % 4)
def pal(n, size=4): return b''.join(bytes((i * 53 % 256, i * 91 % 256, i * 37 % 256, 0)[:size]) for i in range(n))
def index(x, y, n): return (x // 3 + y + pix(x, y)[0] // 64) % n
def write(name, bits, data, comp=0, colors=b'', ncolors=0, hsize=40, masks=None, height=None, prefix=b''):
    if hsize == 12: head = struct.pack('<IHHHH', 12, w, h, 1, bits)
    else:
        head = struct.pack('<IiiHHIIiiII', hsize, w, h if height is None else height, 1, bits, comp, len(data), 2835, 2835, ncolors, 0)
        if hsize >= 108: head += struct.pack('<4I', *masks) + b'BGRs' + bytes(48) + bytes(16 if hsize == 124 else 0)
        elif masks: head += struct.pack('<3I', *masks[:3])
    off = len(prefix) + 14 + len(head) + len(colors)
    open(d + '/' + name, 'wb').write(prefix + b'BM' + struct.pack('<IHHI', off + len(data), 0, 0, off) + head + colors + data)
def packed(bits, n):
    rows = []
    for y in reversed(range(h)):
        b = ''.join(format(index(x, y, n), '0%db' % bits) for x in range(w))
        b += '0' * (-len(b) % 8)
        rows.append(pad(bytes(int(b[i:i + 8], 2) for i in range(0, len(b), 8))))
    return b''.join(rows)
def rle(n, four):
    out = b''
    for y in reversed(range(h)):
        row, x = [index(x, y, n) for x in range(w)], 0
        if y == 3: row = row[:w // 2]
        if y == 5: out, x = out + bytes((0, 2, 4, 0)), 4
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255: run += 1
            if run >= 2 or len(row) - x < 3:
                out, x = out + bytes((run, row[x] * 17 if four else row[x])), x + run
                continue
            lit = 3
            while x + lit < len(row) and lit < 255 and row[x + lit] != row[x + lit - 1]: lit += 1
            v = row[x:x + lit] + [0]
            b = bytes(v[i] << 4 | v[i + 1] for i in range(0, lit, 2)) if four else bytes(v[:lit])
            out, x = out + bytes((0, lit)) + b + bytes(len(b) % 2), x + lit
        out += b'\0\0'
    return out + b'\0\1'
def direct(f, order=None): return b''.join(pad(b''.join(f(*pix(x, y)) for x in range(w))) for y in (order or reversed(range(h))))
bgr = lambda r, g, b, a: bytes((b, g, r))
write('pal1.bmp', 1, packed(1, 2), colors=pal(2))
write('pal4.bmp', 4, packed(4, 16), colors=pal(16))
write('pal8.bmp', 8, packed(8, 200), colors=pal(200), ncolors=200)
write('os2.bmp', 8, packed(8, 256), colors=pal(256, 3), hsize=12)
write('rle8.bmp', 8, rle(256, False), comp=1, colors=pal(256))
write('rle4.bmp', 4, rle(16, True), comp=2, colors=pal(16))
write('rgb16.bmp', 16, direct(lambda r, g, b, a: struct.pack('<H', r >> 3 << 10 | g >> 3 << 5 | b >> 3)))
write('bf565.bmp', 16, direct(lambda r, g, b, a: struct.pack('<H', r >> 3 << 11 | g >> 2 << 5 | b >> 3)), comp=3, masks=(0xF800, 0x7E0, 0x1F))
write('bf1555.bmp', 16, direct(lambda r, g, b, a: struct.pack('<H', a >> 7 << 15 | r >> 3 << 10 | g >> 3 << 5 | b >> 3)), comp=3, hsize=108, masks=(0x7C00, 0x3E0, 0x1F, 0x8000))
write('rgb24.bmp', 24, direct(bgr))
write('top24.bmp', 24, direct(bgr, range(h)), height=-h)
write('v4rgb24.bmp', 24, direct(bgr), hsize=108, masks=(0, 0, 0, 0))
write('array24.bmp', 24, direct(bgr), prefix=b'BA' + bytes(12))
write('rgb32.bmp', 32, direct(lambda r, g, b, a: bytes((b, g, r, a))))
write('bf32.bmp', 32, direct(lambda r, g, b, a: struct.pack('<I', a << 24 | b << 16 | g << 8 | r)), comp=3, hsize=124, masks=(0xFF, 0xFF00, 0xFF0000, 0xFF000000))
write('split.bmp', 32, direct(lambda r, g, b, a: struct.pack('<I', r << 16 | g << 8 | b)), comp=3, masks=(0xF0F000, 0xFF00, 0xFF))
write('bf10.bmp', 32, direct(lambda r, g, b, a: struct.pack('<I', (r * 4 + 1) << 20 | (g * 4 + 3) << 10 | b * 4)), comp=3, masks=(0x3FF00000, 0xFFC00, 0x3FF))
)",
                                    Quoted(dir) + " " + std::to_string(w) + " " + std::to_string(h));
  ASSERT_EQ(out, "");
}

// Small run-length bitmaps (4 x 2, three colours) that stop, overrun or jump in
// each of the ways the imaging library tells apart.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> DamagedRuns() {
  const std::vector<std::vector<std::uint8_t>> codes = {
      {4, 1, 0, 0, 4, 2, 0, 0},        {4, 1, 0, 0, 4, 2},          {4, 1, 0, 0, 4, 2, 0},
      {8, 1},                          {8, 1, 0, 0},                {9, 1, 0, 1},
      {3, 1, 0, 0, 4, 2, 0, 0, 0, 1},  {4, 1, 0, 0, 3, 2, 0, 1},    {4, 1, 0, 0, 3, 2, 0, 0},
      {4, 1, 0, 2, 0, 1},              {4, 1, 0, 2, 0, 5, 0, 1},    {3, 1, 0, 5, 1, 2, 1, 2, 1, 0, 0, 1},
      {4, 1, 0, 0, 4, 2, 7, 7},        {4, 1, 0, 5, 1, 2, 7},       {4, 7, 0, 0, 4, 2, 0, 1},
      {6, 7, 0, 0, 0, 4, 1, 1, 1, 1, 0, 1}, {4, 1, 2, 7, 0, 0, 4, 2, 0, 1},
  };
  std::vector<std::uint8_t> head = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
  // Offset, header size, width, height, planes and bits, RLE8, three colours.
  for (std::uint32_t v : {66u, 40u, 4u, 2u, 1u | 8u << 16, 1u, 0u, 0u, 0u, 3u, 0u})
    for (int i = 0; i < 4; ++i) head.push_back(std::uint8_t(v >> 8 * i));
  head.insert(head.end(), {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0});
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
  for (const auto& c : codes) {
    std::vector<std::uint8_t> file = head;
    file.insert(file.end(), c.begin(), c.end());
    std::string name;
    for (auto b : c) name += std::to_string(b) + " ";
    files.emplace_back(name, file);
  }
  return files;
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
    ASSERT_TRUE(ours.Is(TDirectRead::kRead)) << ours.Why();
    EXPECT_EQ(ours.picture.Width(), 37);
    EXPECT_TRUE(SamePicture(ours.picture, Magick(bytes)));
  }
}

TEST(DirectReaders, DecodeBitmapsAsTheImagingLibraryDoes) {
  TempFolder dir;
  WriteBitmaps(dir.Path(), 37, 23);
  for (const char* name : {"pal1.bmp", "pal4.bmp", "pal8.bmp", "os2.bmp", "rle8.bmp", "rle4.bmp", "rgb16.bmp",
                           "bf565.bmp", "bf1555.bmp", "rgb24.bmp", "top24.bmp", "v4rgb24.bmp", "array24.bmp",
                           "rgb32.bmp", "bf32.bmp", "bf10.bmp"}) {
    SCOPED_TRACE(name);
    const auto bytes = Bytes(dir / name);
    const TDecoded ours = Direct(bytes);
    ASSERT_TRUE(ours.Is(TDirectRead::kRead)) << ours.Why();
    EXPECT_EQ(ours.picture.Width(), 37);
    // Where a file has no alpha the library leaves it as its pixel cache held it
    // before (palette colours excepted): ours is opaque.
    TBitmap32 theirs = Magick(bytes);
    const std::string n = name;
    if (n != "rgb32.bmp" && n != "bf32.bmp" && n != "bf1555.bmp") SetAlpha(theirs, 255);
    EXPECT_TRUE(SamePicture(ours.picture, theirs));
  }
}

// A run-length picture decodes where the imaging library's does, to the same
// pixels, and fails with a reason where it fails.
TEST(DirectReaders, FollowTheImagingLibraryThroughDamagedRuns) {
  int read = 0;
  for (const auto& [codes, bytes] : DamagedRuns()) {
    SCOPED_TRACE(codes);
    const TDecoded ours = Direct(bytes);
    TBitmap32 theirs;
    std::string error;
    const bool theyRead = ReadAll(ReadWithMagick(bytes, "", AcceptAll(), Into(theirs)), &error);
    ASSERT_FALSE(ours.Is(TDirectRead::kNotMine));
    EXPECT_EQ(ours.Is(TDirectRead::kRead), theyRead) << error;
    EXPECT_EQ(!ours.result, !ours.Why().empty());
    if (theyRead && ours.Is(TDirectRead::kRead)) {
      EXPECT_TRUE(SamePicture(ours.picture, theirs));
      ++read;
    }
  }
  EXPECT_GE(read, 5);
}

TEST(DirectReaders, LeaveOtherVariantsAndFormatsToTheImagingLibrary) {
  TempFolder dir;
  WriteVariants(dir.Path(), 9, 7);
  WriteBitmaps(dir.Path(), 9, 7);
  ImageMagickWrite(TestPicture(9, 7, false), dir / "a.pcx", "");
  ASSERT_EQ(RunCommand("convert " + Quoted(dir / "rgba16.png") + " -interlace PNG " + Quoted(dir / "interlaced16.png")),
            0);
  for (const char* name : {"cmyk.tif", "rgb16.tif", "interlaced16.png", "a.pcx", "split.bmp"}) {
    SCOPED_TRACE(name);
    const auto bytes = Bytes(dir / name);
    EXPECT_TRUE(Direct(bytes).Is(TDirectRead::kNotMine));
    TBitmap32 picture;
    std::string error;
    ASSERT_TRUE(ReadAll(tressary_module_imaging()->Read(bytes, "", AcceptAll(), Into(picture)), &error)) << error;
    EXPECT_EQ(picture.Width(), 9);
  }
}

// A cut file fails in ours as in the imaging library (which reads none of them),
// with the reason; a TIFF cut before its directory and an uncompressed bitmap
// missing rows are left to the library.
TEST(DirectReaders, FailOnCutFilesAndStopWhereTheCallerSaysNo) {
  TempFolder dir;
  WriteVariants(dir.Path(), 37, 23);
  WriteBitmaps(dir.Path(), 37, 23);
  for (const char* name : {"rgba.png", "interlaced.png", "pal.gif", "g4.tif", "lossy.webp", "lossless.webp", "rle8.bmp",
                           "rle4.bmp", "rgb32.bmp"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WriteCutCopy(dir / name, dir / "cut", 2, 3));
    const auto bytes = Bytes(dir / "cut");
    const TDecoded ours = Direct(bytes);
    EXPECT_FALSE(ours.Is(TDirectRead::kRead));
    EXPECT_EQ(!ours.result, !ours.Why().empty());
    TBitmap32 picture;
    EXPECT_FALSE(ReadAll(ReadWithMagick(bytes, "", AcceptAll(), Into(picture))));

    const auto whole = Bytes(dir / name);
    int targets = 0;
    auto refuse = [](std::size_t w, std::size_t h, const std::string&) { return w == 0 || h == 0; };
    auto count = [&targets](std::size_t, std::size_t) -> std::uint8_t* { return ++targets, nullptr; };
    EXPECT_EQ(*ReadDirect(whole, refuse, count), TDirectRead::kStopped);
    EXPECT_EQ(targets, 0) << "nothing is allocated for a picture refused by its size";
    EXPECT_EQ(*ReadDirect(whole, AcceptAll(), count), TDirectRead::kStopped);
    EXPECT_EQ(targets, 1);
  }
}
