#pragma once
// A window's shape from its skin picture: every pixel but the key colour belongs
// to the window, as one rectangle per horizontal run of such pixels.
#include <cstdint>
#include <vector>

#include "picture/Bitmap32.h"

struct TRegionRun {
  int Y;
  int X0;  // first pixel of the run
  int X1;  // one past the last pixel
  bool operator==(const TRegionRun&) const = default;
};

// The pure green that skins use for cut-away parts (0xRRGGBB).
constexpr std::uint32_t kSkinKeyColor = 0x00FF00;

// The runs of pixels whose low 24 bits (RGB) differ from `keyRgb`, row by row, left
// to right. A picture without any such pixel gives its full rectangle as one run
// per row, so the window stays whole; an empty picture gives no runs.
std::vector<TRegionRun> BitmapToRegion(const TBitmap32& bitmap, std::uint32_t keyRgb = kSkinKeyColor);
