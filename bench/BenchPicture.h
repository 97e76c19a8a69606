#pragma once
// A template-like test picture for the picture benchmarks: smooth colour with
// grain, and an alpha that is opaque in a central blob, transparent outside and
// soft at the edge, as a hairstyle layer is.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "picture/Bitmap32.h"

inline TBitmap32 TemplateLikePicture(int side) {
  TBitmap32 p(side, side);
  std::uint32_t grain = 99991;
  const double half = side / 2.0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      grain = grain * 22695477u + 1u;
      const int g = int((grain >> 27) & 7) - 4;
      const double r = std::hypot((x - half) / half, (y - half) / (half * 0.8));
      const int alpha = std::clamp(int((1.1 - r) * 1275), 0, 255);  // soft edge 0.2 wide
      *p.PixelPtr(x, y) = Color32(std::uint8_t(std::clamp(90 + x * 120 / side + g, 0, 255)),
                                  std::uint8_t(std::clamp(50 + y * 90 / side + g, 0, 255)),
                                  std::uint8_t(std::clamp(35 + (x ^ y) % 40 + g, 0, 255)), std::uint8_t(alpha));
    }
  return p;
}
