#pragma once
// Independent judges of picture files for the tests: ImageMagick and Python
// (Pillow, psd-tools, zlib), and deterministic test pictures.
#include <string>

#include "picture/Bitmap32.h"
#include "support/TestPaths.h"

// A picture whose every pixel differs in colour and alpha from its neighbours
// (alpha 255 everywhere unless `withAlpha`).
TBitmap32 TestPicture(int width, int height, bool withAlpha);

// The picture as raw R, G, B, A bytes (ImageMagick's and Pillow's "RGBA").
std::string ToRgba(const TBitmap32& bitmap);
TBitmap32 FromRgba(const std::string& rgba, int width, int height);

// Runs ImageMagick's convert: `options` before the input, which is read as
// "file[0]"; the result is the picture as 8-bit RGBA. Fails the test when convert
// fails.
TBitmap32 ImageMagickRead(const fs::path& file, const std::string& options = "");
// ImageMagick writes `bitmap` to `file` (format from the extension) with `options`.
void ImageMagickWrite(const TBitmap32& bitmap, const fs::path& file, const std::string& options);
// `identify -format FORMAT file[0]`.
std::string Identify(const fs::path& file, const std::string& format);

// Pillow's reading of a picture file: its format and mode names as Pillow gives
// them, and its pixels converted to RGBA. Fails the test when Pillow cannot read it.
struct TJudged {
  std::string Format;
  std::string Mode;
  TBitmap32 Picture;
};
TJudged PillowRead(const fs::path& file);

// Small files claiming huge pictures, made by independent tools: a progressive
// (or baseline) JPEG of 16 x 16 pixels (ImageMagick, 4:2:0) whose frame header
// is made to say width x height (the scans it lacks decode grey), and a valid
// one-bit greyscale PNG of width x height (Python's zlib). A progressive JPEG
// keeps all its coefficients while it decodes; a baseline one a row of blocks.
constexpr int kJpegBombWidth = 14644;
constexpr int kJpegBombHeight = 12856;
enum class TJpegScans { kProgressive, kBaseline };
void WriteJpegBomb(const fs::path& file, int width = kJpegBombWidth, int height = kJpegBombHeight,
                   TJpegScans scans = TJpegScans::kProgressive);
void WritePngBomb(const fs::path& file, int width, int height);

// Runs a Python script with /usr/bin/python3 and the given arguments; returns its
// standard output, or "exit N" when it fails.
std::string RunPython(const std::string& script, const std::string& arguments);

// A path quoted for /bin/sh.
std::string Quoted(const fs::path& path);
