#include "support/PictureJudges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/FileIO.h"

std::string Quoted(const fs::path& path) {
  std::string out = "'";
  for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

TBitmap32 TestPicture(int width, int height, bool withAlpha) {
  TBitmap32 b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y,
                 Color32(std::uint8_t(x * 255 / std::max(1, width - 1)), std::uint8_t(y * 255 / std::max(1, height - 1)),
                         std::uint8_t((x * 7 + y * 13) % 256),
                         withAlpha ? std::uint8_t((x * 29 + y * 3 + (x == y ? 0 : 1) * 100) % 256) : 255));
  return b;
}

std::string ToRgba(const TBitmap32& bitmap) {
  std::string out;
  out.reserve(bitmap.ByteSize());
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor32 c = bitmap.Pixel(x, y);
      out += char(RedOf(c));
      out += char(GreenOf(c));
      out += char(BlueOf(c));
      out += char(AlphaOf(c));
    }
  return out;
}

TBitmap32 FromRgba(const std::string& rgba, int width, int height) {
  TBitmap32 b(width, height);
  if (rgba.size() != b.ByteSize()) return {};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const std::uint8_t*>(rgba.data()) + 4 * (std::size_t(y) * width + x);
      b.SetPixel(x, y, Color32(p[0], p[1], p[2], p[3]));
    }
  return b;
}

std::string Identify(const fs::path& file, const std::string& format) {
  std::string out;
  EXPECT_EQ(RunCommand("identify -format " + Quoted(format) + " " + Quoted(file.string() + "[0]") + " 2>/dev/null", &out), 0)
      << file;
  return out;
}

TBitmap32 ImageMagickRead(const fs::path& file, const std::string& options) {
  const std::string size = Identify(file, "%w %h");
  int w = 0, h = 0;
  if (std::sscanf(size.c_str(), "%d %d", &w, &h) != 2) {
    ADD_FAILURE() << "identify cannot read " << file;
    return {};
  }
  const fs::path raw = file.string() + ".judge.rgba";
  const int status = RunCommand("convert " + options + " " + Quoted(file.string() + "[0]") + " -depth 8 RGBA:" +
                                Quoted(raw) + " 2>/dev/null");
  EXPECT_EQ(status, 0) << "convert cannot read " << file;
  auto bytes = ReadFileBytes(raw);
  if (!bytes) return {};
  return FromRgba(std::string(bytes->begin(), bytes->end()), w, h);
}

void ImageMagickWrite(const TBitmap32& bitmap, const fs::path& file, const std::string& options) {
  const fs::path raw = file.string() + ".source.rgba";
  WriteTestFile(raw, ToRgba(bitmap));
  const std::string size = std::to_string(bitmap.Width()) + "x" + std::to_string(bitmap.Height());
  ASSERT_EQ(RunCommand("convert -size " + size + " -depth 8 RGBA:" + Quoted(raw) + " " + options + " " + Quoted(file)),
            0)
      << file;
}

TJudged PillowRead(const fs::path& file) {
  const fs::path raw = file.string() + ".pillow.rgba";
  const std::string out = RunPython(
      "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\nfmt, mode = im.format, im.mode\n"
      "im = im.convert('RGBA')\nopen(sys.argv[2], 'wb').write(im.tobytes())\n"
      "print(fmt, mode, im.size[0], im.size[1])\n",
      Quoted(file) + " " + Quoted(raw));
  char format[32] = {}, mode[32] = {};
  int w = 0, h = 0;
  if (std::sscanf(out.c_str(), "%31s %31s %d %d", format, mode, &w, &h) != 4) {
    ADD_FAILURE() << "Pillow cannot read " << file << ": " << out;
    return {};
  }
  auto bytes = ReadFileBytes(raw);
  std::error_code ec;
  fs::remove(raw, ec);
  if (!bytes) return {};
  return {format, mode, FromRgba(std::string(bytes->begin(), bytes->end()), w, h)};
}

std::string RunPython(const std::string& script, const std::string& arguments) {
  TempFolder dir;
  WriteTestFile(dir / "judge.py", script);
  std::string out;
  const int status = RunCommand("/usr/bin/python3 " + Quoted(dir / "judge.py") + " " + arguments + " 2>&1", &out);
  return status == 0 ? out : "exit " + std::to_string(status) + ": " + out;
}

void WriteJpegBomb(const fs::path& file, int width, int height, TJpegScans scans) {
  const bool progressive = scans == TJpegScans::kProgressive;
  ImageMagickWrite(TestPicture(16, 16, false), file,
                   std::string("-quality 75 -sampling-factor 2x2 -strip -interlace ") + (progressive ? "JPEG" : "none"));
  auto bytes = ReadFileBytes(file);
  ASSERT_TRUE(bytes);
  const std::uint8_t sof[] = {0xFF, std::uint8_t(progressive ? 0xC2 : 0xC0)};
  auto at = std::search(bytes->begin(), bytes->end(), std::begin(sof), std::end(sof));
  ASSERT_LT(at + 9, bytes->end()) << "no frame header in " << file;
  // Marker, length, precision, then height and width, big-endian.
  at[5] = std::uint8_t(height >> 8);
  at[6] = std::uint8_t(height);
  at[7] = std::uint8_t(width >> 8);
  at[8] = std::uint8_t(width);
  WriteTestFile(file, std::string(bytes->begin(), bytes->end()));
}

void WritePngBomb(const fs::path& file, int width, int height) {
  const std::string out = RunPython(
      "import struct, sys, zlib\n"
      "w, h = int(sys.argv[2]), int(sys.argv[3])\n"
      "def chunk(kind, data):\n"
      "    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))\n"
      "rows = (b'\\0' + b'\\xAA' * ((w + 7) // 8)) * h\n"
      "png = b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 1, 0, 0, 0, 0))\n"
      "png += chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b'')\n"
      "open(sys.argv[1], 'wb').write(png)\n",
      Quoted(file) + " " + std::to_string(width) + " " + std::to_string(height));
  ASSERT_EQ(out, "") << file;
}
