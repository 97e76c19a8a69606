#include "picture/AlphaSpans.h"

#include <cstring>

#include "picture/RowBands.h"

namespace {

constexpr std::uint64_t kAlphas = 0xFF000000FF000000ull;

// Four pixel pairs at a time: a picture's margins and inside run long.
bool AllClear(const TColor32* p) {
  std::uint64_t w[4];
  std::memcpy(w, p, sizeof w);
  return ((w[0] | w[1] | w[2] | w[3]) & kAlphas) == 0;
}

bool AllSolid(const TColor32* p) {
  std::uint64_t w[4];
  std::memcpy(w, p, sizeof w);
  return (w[0] & w[1] & w[2] & w[3] & kAlphas) == kAlphas;
}

bool Solid(TColor32 c) { return AlphaOf(c) == 255; }

}  // namespace

TAlphaSpan MeasureAlphaSpan(const TColor32* row, int width) {
  TAlphaSpan span;
  int left = 0;
  while (left + 8 <= width && AllClear(row + left)) left += 8;
  while (left < width && AlphaOf(row[left]) == 0) ++left;
  if (left == width) return span;
  int right = width;
  while (right - 8 >= left && AllClear(row + right - 8)) right -= 8;
  while (AlphaOf(row[right - 1]) == 0) --right;
  span.Left = left;
  span.Right = right;
  for (int x = left; x < right;) {
    if (!Solid(row[x])) {
      ++x;
      continue;
    }
    int end = x + 1;
    while (end + 8 <= right && AllSolid(row + end)) end += 8;
    while (end < right && Solid(row[end])) ++end;
    if (end - x > span.SolidRight - span.SolidLeft) {
      span.SolidLeft = x;
      span.SolidRight = end;
    }
    x = end;
  }
  return span;
}

std::vector<TAlphaSpan> MeasureAlphaSpans(const TBitmap32& picture) {
  std::vector<TAlphaSpan> spans(std::size_t(picture.Height()));
  const int width = picture.Width();
  if (width == 0) return spans;
  ForRowBands(0, picture.Height(), std::int64_t(width) * picture.Height(), [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) spans[std::size_t(y)] = MeasureAlphaSpan(picture.PixelPtr(0, y), width);
  });
  return spans;
}
