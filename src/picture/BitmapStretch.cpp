// The stretch family, blending into a rectangle, and rotation.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "picture/BitmapRoutines.h"
#include "picture/RowBands.h"
#include "platform/Numeric.h"
#include "platform/Processor.h"

namespace {
enum class StretchMode { HardAlpha, AllAlpha, Premultiplied, Opaque };

// Sample positions of one axis: the near index, the far neighbour and the weight.
struct Axis {
  std::vector<int> near, far;
  std::vector<float> weight;
};

Axis MakeAxis(int sourceLength, int targetLength, bool isColumns) {
  Axis axis;
  axis.near.resize(targetLength);
  axis.far.resize(targetLength);
  axis.weight.resize(targetLength);
  for (int t = 0; t < targetLength; ++t) {
    const double s = double(sourceLength) * t / targetLength;
    const int i = static_cast<int>(s);
    const bool last = i >= sourceLength - 1;
    axis.near[t] = i;
    axis.far[t] = (last || (isColumns && t == 0)) ? i : i + 1;
    axis.weight[t] = (last && !isColumns) ? 0.0f : static_cast<float>(s - i);
  }
  return axis;
}

// The part of `rect` that lies on the canvas, in target coordinates (0-based in rect).
struct Visible {
  int x0, x1, y0, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

Visible VisiblePart(const TBitmap32& canvas, const TRect& rect) {
  return {std::max(0, -rect.Left), std::min(rect.Width(), canvas.Width() - rect.Left), std::max(0, -rect.Top),
          std::min(rect.Height(), canvas.Height() - rect.Top)};
}

bool CanDraw(const TBitmap32& canvas, const TRect& rect, const TBitmap32& source) {
  return !source.Empty() && !rect.IsEmpty() && PictureSizeAllowed(rect.Width(), rect.Height()) &&
         !VisiblePart(canvas, rect).Empty();
}

inline std::uint8_t Byte(float v) { return static_cast<std::uint8_t>(static_cast<int>(v)); }

// Four channels (B, G, R, A) of floats. Every operation is the plain IEEE single
// one, lane by lane, so the vector and scalar builds give the same bytes.
#if defined(__SSE2__)
struct F4 {
  __m128 v;
};
inline F4 Load(const std::uint8_t* p) {
  std::int32_t word;
  std::memcpy(&word, p, 4);
  const __m128i zero = _mm_setzero_si128();
  const __m128i wide = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
  return {_mm_cvtepi32_ps(wide)};
}
inline F4 Lerp(F4 a, F4 b, float f) { return {_mm_add_ps(a.v, _mm_mul_ps(_mm_set1_ps(f), _mm_sub_ps(b.v, a.v)))}; }
inline float Lane3(F4 a) { return _mm_cvtss_f32(_mm_shuffle_ps(a.v, a.v, _MM_SHUFFLE(3, 3, 3, 3))); }
inline F4 Premultiply(F4 a, float alpha) { return {_mm_div_ps(_mm_mul_ps(a.v, _mm_set1_ps(alpha)), _mm_set1_ps(255.0f))}; }
// Truncated bytes B, G, R with `alpha` as the fourth.
inline TColor32 Pack(F4 a, std::uint8_t alpha) {
  const __m128i ints = _mm_cvttps_epi32(a.v);
  const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_setzero_si128());
  return (TColor32(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu) | (TColor32(alpha) << 24);
}
inline void Store(F4 a, float out[4]) { _mm_storeu_ps(out, a.v); }
#else
struct F4 {
  float v[4];
};
inline F4 Load(const std::uint8_t* p) { return {{float(p[0]), float(p[1]), float(p[2]), float(p[3])}}; }
inline F4 Lerp(F4 a, F4 b, float f) {
  F4 r;
  for (int c = 0; c < 4; ++c) r.v[c] = a.v[c] + f * (b.v[c] - a.v[c]);
  return r;
}
inline float Lane3(F4 a) { return a.v[3]; }
inline F4 Premultiply(F4 a, float alpha) {
  for (float& c : a.v) c = c * alpha / 255.0f;
  return a;
}
inline TColor32 Pack(F4 a, std::uint8_t alpha) { return Color32(Byte(a.v[2]), Byte(a.v[1]), Byte(a.v[0]), alpha); }
inline void Store(F4 a, float out[4]) { std::memcpy(out, a.v, sizeof a.v); }
#endif

#if defined(__SSE2__)
// The premultiplied stretch two pixels a vector (AVX2): every lane the same IEEE
// single operation as the narrow path, so the bytes are the same.
[[gnu::target("avx2")]] void BlendRowsWide(const std::uint8_t* upper, const std::uint8_t* lower, float fy, F4* out,
                                           int count) {
  const __m256 f = _mm256_set1_ps(fy);
  int i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m256 a = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(upper + 4 * i))));
    const __m256 b = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(lower + 4 * i))));
    _mm256_storeu_ps(reinterpret_cast<float*>(out + i), _mm256_add_ps(a, _mm256_mul_ps(f, _mm256_sub_ps(b, a))));
  }
  for (; i < count; ++i) out[i] = Lerp(Load(upper + 4 * i), Load(lower + 4 * i), fy);
}

// Target columns x0..x1 of a row from its blended source columns, the first
// of which is source column `first`.
[[gnu::target("avx2")]] void PremultipliedRowWide(const F4* blended, int first, const int* near, const int* far,
                                                  const float* weight, TColor32* out, int x0, int x1) {
  const float* b = reinterpret_cast<const float*>(blended);
  const __m256 scale = _mm256_set1_ps(255.0f);
  const __m256i pick = _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0);
  int x = x0;
  for (; x + 2 <= x1; x += 2) {
    const __m256 n = _mm256_loadu2_m128(b + 4 * (near[x + 1] - first), b + 4 * (near[x] - first));
    const __m256 f = _mm256_loadu2_m128(b + 4 * (far[x + 1] - first), b + 4 * (far[x] - first));
    const __m256 w = _mm256_set_m128(_mm_set1_ps(weight[x + 1]), _mm_set1_ps(weight[x]));
    const __m256 value = _mm256_add_ps(n, _mm256_mul_ps(w, _mm256_sub_ps(f, n)));
    const __m256i alpha = _mm256_cvttps_epi32(_mm256_shuffle_ps(value, value, _MM_SHUFFLE(3, 3, 3, 3)));
    const __m256 colour = _mm256_div_ps(_mm256_mul_ps(value, _mm256_cvtepi32_ps(alpha)), scale);
    const __m256i ints = _mm256_blend_epi32(_mm256_cvttps_epi32(colour), alpha, 0x88);
    const __m256i words = _mm256_packs_epi32(ints, ints);
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), pick);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(bytes));
  }
  for (; x < x1; ++x) {
    const F4 value = Lerp(blended[near[x] - first], blended[far[x] - first], weight[x]);
    const std::uint8_t a = Byte(Lane3(value));
    out[x] = Pack(Premultiply(value, a), a);
  }
}
#endif

struct StretchJob {
  const TBitmap32& source;
  TBitmap32& canvas;
  const TRect& rect;
  const Axis& cols;
  const Axis& rows;
  Visible visible;
};

// Stretches target rows y0..y1 (rectangle coordinates) of one mode.
template <StretchMode mode>
void StretchRows(const StretchJob& job, int y0, int y1) {
  constexpr bool chained = mode == StretchMode::HardAlpha || mode == StretchMode::AllAlpha;
  const Visible& v = job.visible;
  const int lastColumn = job.source.Width() - 1;
  // The alpha-blending modes look at the colour computed one column to the left,
  // so they walk each row from target column 0 even when it is clipped.
  const int xStart = chained ? 0 : v.x0;
  // Source columns the visible target columns read.
  const int firstColumn = job.cols.near[xStart];
  const int endColumn = job.cols.far[v.x1 - 1] + 1;
  std::vector<F4> blended(std::size_t(endColumn - firstColumn));
  [[maybe_unused]] const bool wide = ProcessorFeatures().Avx2;
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* upper = job.source.Row(job.rows.near[y]);
    const std::uint8_t* lower = job.source.Row(job.rows.far[y]);
    const float fy = job.rows.weight[y];
    // Blend the two source rows once; each target pixel then blends two columns.
    // Equal corners still give exactly their value, so a flat area never loses
    // one to truncation.
    TColor32* out = job.canvas.PixelPtr(job.rect.Left, job.rect.Top + y);
#if defined(__SSE2__)
    if (mode == StretchMode::Premultiplied && wide) {
      BlendRowsWide(upper + 4 * firstColumn, lower + 4 * firstColumn, fy, blended.data(), endColumn - firstColumn);
      PremultipliedRowWide(blended.data(), firstColumn, job.cols.near.data(), job.cols.far.data(),
                           job.cols.weight.data(), out, v.x0, v.x1);
      continue;
    }
#endif
    for (int i = firstColumn; i < endColumn; ++i)
      blended[i - firstColumn] = Lerp(Load(upper + 4 * i), Load(lower + 4 * i), fy);
    float previous[3] = {0, 0, 0};
    for (int x = xStart; x < v.x1; ++x) {
      const int near = job.cols.near[x];
      const F4 value = Lerp(blended[near - firstColumn], blended[job.cols.far[x] - firstColumn], job.cols.weight[x]);
      if constexpr (mode == StretchMode::Opaque) {
        out[x] = Pack(value, 255);
      } else if constexpr (mode == StretchMode::Premultiplied) {
        const std::uint8_t a = Byte(Lane3(value));
        out[x] = Pack(Premultiply(value, a), a);
      } else {
        const std::uint8_t nearest = upper[4 * near + 3];
        const bool hard = mode == StretchMode::HardAlpha && (nearest == 0 || nearest == 255);
        const std::uint8_t a = hard ? nearest : Byte(Lane3(value));
        const bool noLeft = x == 0 || job.cols.near[x] == lastColumn;
        float channel[4];
        Store(value, channel);
        std::uint8_t px[3];
        for (int c = 0; c < 3; ++c) {
          if (a == 0 || a == 255) {
            px[c] = Byte(channel[c]);
          } else {
            const float behind = noLeft ? 0.0f : previous[c];
            px[c] = Byte((channel[c] * a + (255 - a) * behind) / 255.0f);
          }
          previous[c] = px[c];
        }
        if (x >= v.x0) out[x] = Color32(px[2], px[1], px[0], a);
      }
    }
  }
}

template <StretchMode mode>
void StretchAll(const StretchJob& job) {
  const Visible& v = job.visible;
  const std::int64_t pixels = std::int64_t(v.y1 - v.y0) * (v.x1 - v.x0);
  ForRowBands(v.y0, v.y1, pixels, [&job](int y0, int y1) { StretchRows<mode>(job, y0, y1); });
}

void Stretch(TBitmap32& canvas, const TRect& rect, const TBitmap32& source, StretchMode mode) {
  if (!CanDraw(canvas, rect, source)) return;
  canvas.Bits();  // unshared here, not by a band
  const Axis cols = MakeAxis(source.Width(), rect.Width(), true);
  const Axis rows = MakeAxis(source.Height(), rect.Height(), false);
  const StretchJob job{source, canvas, rect, cols, rows, VisiblePart(canvas, rect)};
  switch (mode) {
    case StretchMode::HardAlpha: return StretchAll<StretchMode::HardAlpha>(job);
    case StretchMode::AllAlpha: return StretchAll<StretchMode::AllAlpha>(job);
    case StretchMode::Premultiplied: return StretchAll<StretchMode::Premultiplied>(job);
    case StretchMode::Opaque: return StretchAll<StretchMode::Opaque>(job);
  }
}

// Source coordinate of target position t for a nearest-pixel stretch.
inline int NearestIndex(int t, int sourceLength, int targetLength) {
  return static_cast<int>(std::int64_t(t) * sourceLength / targetLength);
}
}  // namespace

void StretchDrawAlpha(TBitmap32& canvas, const TRect& rect, const TBitmap32& source, bool interpolateAllAlpha) {
  Stretch(canvas, rect, source, interpolateAllAlpha ? StretchMode::AllAlpha : StretchMode::HardAlpha);
}

void StretchDrawAlpha32(TBitmap32& canvas, const TRect& rect, const TBitmap32& source) {
  Stretch(canvas, rect, source, StretchMode::Premultiplied);
}

void StretchDrawBilinear32(TBitmap32& canvas, const TRect& rect, const TBitmap32& source) {
  Stretch(canvas, rect, source, StretchMode::Premultiplied);
}

void StretchDrawBilinear(TBitmap32& canvas, const TRect& rect, const TBitmap32& source) {
  Stretch(canvas, rect, source, StretchMode::Opaque);
}

void StretchDrawNearest(TBitmap32& canvas, const TRect& rect, const TBitmap32& source) {
  if (!CanDraw(canvas, rect, source)) return;
  const Visible v = VisiblePart(canvas, rect);
  for (int y = v.y0; y < v.y1; ++y) {
    const TColor32* row = source.PixelPtr(0, NearestIndex(y, source.Height(), rect.Height()));
    TColor32* out = canvas.PixelPtr(rect.Left, rect.Top + y);
    for (int x = v.x0; x < v.x1; ++x) out[x] = row[NearestIndex(x, source.Width(), rect.Width())];
  }
}

void StretchBlendInRect(TBitmap32& canvas, const TRect& rect, const TBitmap32& source) {
  if (!CanDraw(canvas, rect, source)) return;
  const Visible v = VisiblePart(canvas, rect);
  for (int y = v.y0; y < v.y1; ++y) {
    const std::uint8_t* row = source.Row(NearestIndex(y, source.Height(), rect.Height()));
    std::uint8_t* out = canvas.Row(rect.Top + y);
    for (int x = v.x0; x < v.x1; ++x) {
      const std::uint8_t* s = row + 4 * std::size_t(NearestIndex(x, source.Width(), rect.Width()));
      std::uint8_t* d = out + 4 * std::size_t(rect.Left + x);
      const int a = s[3];
      // C++ division truncates toward zero, as the blend requires for s < d.
      for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(d[c] + (s[c] - d[c]) * a / 255);
    }
  }
}

void DrawBitmap(TBitmap32& canvas, int left, int top, const TBitmap32& source) {
  if (source.Empty()) return;
  const Visible v = VisiblePart(canvas, Bounds(left, top, source.Width(), source.Height()));
  // A source wholly beside the canvas leaves an empty span, copied backwards otherwise.
  if (v.Empty()) return;
  for (int y = v.y0; y < v.y1; ++y)
    std::copy(source.PixelPtr(v.x0, y), source.PixelPtr(0, y) + v.x1, canvas.PixelPtr(left + v.x0, top + y));
}

namespace {
// Forward mapping of every pixel; see RotateBitmap's contract.
TBitmap32 RotateForward(const TBitmap32& picture, double a, int cx, int cy) {
  const double c = std::cos(a * std::numbers::pi / 180), s = std::sin(a * std::numbers::pi / 180);
  const double wl = picture.Width() - 1, hl = picture.Height() - 1;
  double oy, ox;
  if (a >= -90) {
    oy = cy * c - cx * s;
    ox = (wl - cx) * c - cy * s;
  } else if (a >= -180) {
    oy = (cy - hl) * c - cx * s;
    ox = -cx * c - cy * s;
  } else if (a >= -270) {
    oy = (cy - hl) * c + (wl - cx) * s;
    ox = -cx * c - (cy - hl) * s;
  } else {
    oy = cy * c + (wl - cx) * s;
    ox = (wl - cx) * c - (cy - hl) * s;
  }
  const std::int64_t OY = RoundHalfEven(oy), OX = RoundHalfEven(ox);
  const std::int64_t width = 2 * OX + 5, height = 2 * OY + 5;
  TBitmap32 dest;
  if (width <= 0 || height <= 0 || !dest.SetSize(int(width), int(height), Color32(255, 255, 255, 0))) return {};
  const int lastColumn = picture.Width() - 1;
  for (int y = 0; y < picture.Height(); ++y) {
    const double dy = cy - y;
    for (int x = 0; x <= lastColumn; ++x) {
      const double dx = x - cx;
      const std::int64_t X = RoundHalfEven(std::max(0.0, OX + dx * c - dy * s));
      const std::int64_t Y = RoundHalfEven(std::max(0.0, OY - (dy * c + dx * s)));
      if (Y >= height) continue;
      const TColor32 pixel = *picture.PixelPtr(x, y);
      if (X < width) *dest.PixelPtr(int(X), int(Y)) = pixel;
      // The neighbour to the left as well, so the forward mapping leaves no holes.
      if (x != 0 && x != lastColumn && X >= 1 && X <= width) *dest.PixelPtr(int(X - 1), int(Y)) = pixel;
    }
  }
  return dest;
}
}  // namespace

TBitmap32 RotateBitmap(const TBitmap32& source, double angle, int cx, int cy) {
  if (source.Empty()) return {};
  double a = std::fmod(angle, 360.0);
  if (a >= 1) a -= 360;
  // Small pictures are turned at twice their size: the forward mapping is coarse.
  const bool small = source.Width() <= 100 || source.Height() <= 100;
  TBitmap32 doubled;
  if (small && doubled.SetSize(source.Width() * 2, source.Height() * 2)) {
    StretchDrawAlpha(doubled, {0, 0, doubled.Width(), doubled.Height()}, source, true);
    TBitmap32 turned = RotateForward(doubled, a, cx * 2, cy * 2);
    TBitmap32 result;
    if (turned.Empty() || !result.SetSize(turned.Width() / 2, turned.Height() / 2) || result.Empty()) return {};
    StretchDrawAlpha(result, {0, 0, result.Width(), result.Height()}, turned, true);
    return result;
  }
  return RotateForward(source, a, cx, cy);
}
