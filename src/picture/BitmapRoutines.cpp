// Mirroring, rectangle and alpha helpers, and the contour routines.
#include "picture/BitmapRoutines.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void FlipBitmap(TBitmap32& bitmap, int direction) {
  const int w = bitmap.Width(), h = bitmap.Height();
  if (direction == kFlipTopBottom && h >= 2) {
    for (int y = 0; y < h - 1 - y; ++y)
      std::swap_ranges(bitmap.PixelPtr(0, y), bitmap.PixelPtr(0, y) + w, bitmap.PixelPtr(0, h - 1 - y));
  } else if (direction == kFlipLeftRight && w >= 2) {
    for (int y = 0; y < h; ++y) std::reverse(bitmap.PixelPtr(0, y), bitmap.PixelPtr(0, y) + w);
  }
}

TRect IntersectRectOrNone(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left || r.Bottom < r.Top) return {-1, -1, -1, -1};
  return r;
}

void SetAlpha(TBitmap32& bitmap, std::uint8_t alpha) {
  auto bytes = bitmap.Bytes();
  for (std::size_t i = 3; i < bytes.size(); i += 4) bytes[i] = alpha;
}

bool AlphaIs(const TBitmap32& bitmap, int alpha) {
  auto bytes = bitmap.Bytes();
  for (std::size_t i = 3; i < bytes.size(); i += 4)
    if (bytes[i] != alpha) return false;
  return true;
}

void ClearPicture(TBitmap32& bitmap) { bitmap.Reset(); }

TPoint ChainNeighbour(int code, TPoint p, const TBitmap32& canvas) {
  static constexpr int kStepX[8] = {1, 1, 0, -1, -1, -1, 0, 1};
  static constexpr int kStepY[8] = {0, -1, -1, -1, 0, 1, 1, 1};
  if (code < -1 || code > 7) throw std::invalid_argument("chain code out of range: " + std::to_string(code));
  const int i = code < 0 ? 7 : code;
  const int x = p.X + kStepX[i], y = p.Y + kStepY[i];
  if (x >= 0 && x < canvas.Width()) p.X = x;
  if (y >= 0 && y < canvas.Height()) p.Y = y;
  return p;
}

namespace {
constexpr TColor32 kRgbMask = 0x00FFFFFF;

struct TColourRange {
  TColor32 low, high;
  bool Holds(TColor32 c) const {
    return RedOf(c) >= RedOf(low) && RedOf(c) <= RedOf(high) && GreenOf(c) >= GreenOf(low) &&
           GreenOf(c) <= GreenOf(high) && BlueOf(c) >= BlueOf(low) && BlueOf(c) <= BlueOf(high);
  }
};
}  // namespace

std::vector<TPoint> TraceContour(TPoint start, const TBitmap32& canvas, TColor32 low, TColor32 high) {
  if (!canvas.Contains(start.X, start.Y)) return {};
  const TColourRange range{low, high};
  auto inside = [&](TPoint p) { return range.Holds(canvas.Pixel(p.X, p.Y)); };
  TPoint first = start;
  while (first.X > 0 && inside({first.X - 1, first.Y})) --first.X;

  std::vector<TPoint> points{first};
  TPoint current = first;
  int d = 6;  // south
  do {
    bool moved = false;
    // Look left of the heading first, then ahead, then right; turn back by two
    // steps and look again when none is inside.
    for (int attempt = 0; attempt < 4 && !moved; ++attempt) {
      if (TPoint n = ChainNeighbour(d - 1, current, canvas); inside(n)) {
        current = n;
        d = (d + 6) % 8;
        moved = true;
      } else if (n = ChainNeighbour(d, current, canvas); inside(n)) {
        current = n;
        moved = true;
      } else if (n = ChainNeighbour(d + 1, current, canvas); inside(n)) {
        current = n;
        moved = true;
      } else {
        d = (d + 2) % 8;
      }
    }
    if (!moved) return {};
    points.push_back(current);
    if (points.size() >= kMaxContourPoints) return {};
  } while (current != first);
  return points;
}

TColor32 AverageNeighbourColor(int x, int y, TColor32 ignore, const TBitmap32& canvas) {
  int count = 0, r = 0, g = 0, b = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      if ((dx == 0 && dy == 0) || !canvas.Contains(x + dx, y + dy)) continue;
      const TColor32 c = canvas.Pixel(x + dx, y + dy);
      if ((c & kRgbMask) == (ignore & kRgbMask)) continue;
      ++count;
      r += RedOf(c);
      g += GreenOf(c);
      b += BlueOf(c);
    }
  if (count == 0) return ignore;
  return Color32(std::uint8_t(r / count), std::uint8_t(g / count), std::uint8_t(b / count), 255);
}

void CopyPixelsOpaque(const TColor32* in, TColor32* out, int count) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
  for (; i + 4 <= count; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), opaque));
#endif
  for (; i < count; ++i) out[i] = in[i] | 0xFF000000u;
}
