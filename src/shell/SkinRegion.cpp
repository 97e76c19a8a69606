#include "shell/SkinRegion.h"

std::vector<TRegionRun> BitmapToRegion(const TBitmap32& bitmap, std::uint32_t keyRgb) {
  std::vector<TRegionRun> runs;
  const std::uint32_t key = keyRgb & 0xFFFFFF;
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const TColor32* row = bitmap.PixelPtr(0, y);
    int x = 0;
    while (x < w) {
      while (x < w && (row[x] & 0xFFFFFF) == key) ++x;
      if (x >= w) break;
      int start = x;
      while (x < w && (row[x] & 0xFFFFFF) != key) ++x;
      runs.push_back({y, start, x});
    }
  }
  if (runs.empty())
    for (int y = 0; y < bitmap.Height() && w > 0; ++y) runs.push_back({y, 0, w});
  return runs;
}
