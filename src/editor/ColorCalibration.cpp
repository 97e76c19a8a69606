#include "editor/ColorCalibration.h"

#include <algorithm>

#include "platform/Numeric.h"

TColor32 SpotAverage(const TBitmap32& picture, int x, int y) {
  unsigned r = 0, g = 0, b = 0, n = 0;
  for (int py = y - 1; py <= y + 1; ++py)
    for (int px = x - 1; px <= x + 1; ++px) {
      if (!picture.Contains(px, py)) continue;
      const TColor32 c = *picture.PixelPtr(px, py);
      r += RedOf(c), g += GreenOf(c), b += BlueOf(c), ++n;
    }
  if (n == 0) return Color32(0, 0, 0);
  return Color32(std::uint8_t(r / n), std::uint8_t(g / n), std::uint8_t(b / n));
}

bool CalibrateColors(TBitmap32& picture, int x, int y, TColor32 target) {
  if (!picture.Contains(x, y)) return false;
  const TColor32 spot = SpotAverage(picture, x, y);
  auto factor = [](std::uint8_t want, std::uint8_t have) { return have == 0 ? 1.0 : double(want) / have; };
  const double fr = factor(RedOf(target), RedOf(spot));
  const double fg = factor(GreenOf(target), GreenOf(spot));
  const double fb = factor(BlueOf(target), BlueOf(spot));
  for (int py = 0; py < picture.Height(); ++py) {
    TColor32* row = picture.PixelPtr(0, py);
    for (int px = 0; px < picture.Width(); ++px) {
      const std::uint8_t alpha = AlphaOf(row[px]);
      if (alpha == 0) continue;
      const double a = alpha / 255.0;
      auto scale = [a](std::uint8_t c, double f) {
        return std::uint8_t(std::clamp<std::int64_t>(RoundHalfEven(c * f * a + (1 - a) * 255), 0, 255));
      };
      row[px] = Color32(scale(RedOf(row[px]), fr), scale(GreenOf(row[px]), fg), scale(BlueOf(row[px]), fb), alpha);
    }
  }
  return true;
}
