#include "picture/AlphaSpans.h"

#include <cstring>

#include "picture/RowBands.h"
#include "platform/Processor.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TRESSARY_SPANS_AVX2 1
#endif

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

// True when no pixel of the eight is opaque: each alpha byte of the inverted
// words, moved to a lane's low byte, carries into the byte above unless it is zero.
bool NoneSolid(const TColor32* p) {
  constexpr std::uint64_t kCarries = 0x0000010000000100ull;
  std::uint64_t w[4];
  std::memcpy(w, p, sizeof w);
  std::uint64_t carried = kCarries;
  for (const std::uint64_t word : w) carried &= ((~word & kAlphas) >> 24) + 0x000000FF000000FFull;
  return carried == kCarries;
}

bool Solid(TColor32 c) { return AlphaOf(c) == 255; }

// What the pixels of a step hold: none shows, all are opaque, or none is opaque.
enum class TStep { Clear, Solid, NoneSolid };

#if TRESSARY_SPANS_AVX2
[[gnu::target("avx2")]] __m256i Opaque(__m256i pixels, __m256i alphas) {
  return _mm256_cmpeq_epi32(_mm256_and_si256(pixels, alphas), alphas);
}

// Thirty-two pixels a step from x on (or, kBack, from x back) while they all are
// what kStep says; returns where it stopped.
template <TStep kStep, bool kBack>
[[gnu::target("avx2")]] int SkipWide(const TColor32* row, int x, int limit) {
  const __m256i alphas = _mm256_set1_epi32(int(0xFF000000u));
  for (; kBack ? x - 32 >= limit : x + 32 <= limit; x += kBack ? -32 : 32) {
    const auto* p = reinterpret_cast<const __m256i*>(row + (kBack ? x - 32 : x));
    const __m256i a = _mm256_loadu_si256(p), b = _mm256_loadu_si256(p + 1);
    const __m256i c = _mm256_loadu_si256(p + 2), d = _mm256_loadu_si256(p + 3);
    if constexpr (kStep == TStep::Clear) {
      if (!_mm256_testz_si256(_mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d)), alphas)) break;
    } else if constexpr (kStep == TStep::Solid) {
      if (!_mm256_testc_si256(_mm256_and_si256(_mm256_and_si256(a, b), _mm256_and_si256(c, d)), alphas)) break;
    } else {
      const __m256i any = _mm256_or_si256(_mm256_or_si256(Opaque(a, alphas), Opaque(b, alphas)),
                                          _mm256_or_si256(Opaque(c, alphas), Opaque(d, alphas)));
      if (!_mm256_testz_si256(any, any)) break;
    }
  }
  return x;
}

const bool kWide = ProcessorFeatures().Avx2;
#else
template <TStep, bool>
int SkipWide(const TColor32*, int x, int) {
  return x;
}
constexpr bool kWide = false;
#endif

}  // namespace

TAlphaSpan MeasureAlphaSpan(const TColor32* row, int width) {
  TAlphaSpan span;
  int left = kWide ? SkipWide<TStep::Clear, false>(row, 0, width) : 0;
  while (left + 8 <= width && AllClear(row + left)) left += 8;
  while (left < width && AlphaOf(row[left]) == 0) ++left;
  if (left == width) return span;
  int right = kWide ? SkipWide<TStep::Clear, true>(row, width, left) : width;
  while (right - 8 >= left && AllClear(row + right - 8)) right -= 8;
  while (AlphaOf(row[right - 1]) == 0) --right;
  span.Left = left;
  span.Right = right;
  // Every rendering is measured, and a soft edge is a long run of partly clear
  // pixels: such runs are stepped over in blocks, as the clear margins are.
  for (int x = left; x < right;) {
    if (!Solid(row[x])) {
      if (kWide) x = SkipWide<TStep::NoneSolid, false>(row, x, right);
      while (x + 8 <= right && NoneSolid(row + x)) x += 8;
      while (x < right && !Solid(row[x])) ++x;
      continue;
    }
    int end = kWide ? SkipWide<TStep::Solid, false>(row, x + 1, right) : x + 1;
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
