#include "shell/SkinPixels.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"
#include "platform/Processor.h"

TRect FrameRect(const TFrameGrid& grid, int index, int controlWidth, int controlHeight) {
  if (index < 0) return {};
  const int cols = std::max(grid.Cols, 1);
  const int width = grid.Width != 0 ? grid.Width : controlWidth;
  const int height = grid.Height != 0 ? grid.Height : controlHeight;
  const std::int64_t x = std::int64_t(grid.Left) + std::int64_t(index % cols) * width;
  const std::int64_t y = std::int64_t(grid.Top) + std::int64_t(index / cols) * height;
  if (x < INT32_MIN / 2 || x > INT32_MAX / 2 || y < INT32_MIN / 2 || y > INT32_MAX / 2) return {};
  return Bounds(int(x), int(y), width, height);
}

bool SheetPointOf(const TRect& frame, int controlWidth, int controlHeight, int x, int y,
                  int* sheetX, int* sheetY) {
  if (frame.IsEmpty() || x < 0 || y < 0 || x >= controlWidth || y >= controlHeight) return false;
  // Nearest pixel, the same mapping for drawing and hit testing.
  const std::int64_t dx = std::int64_t(x) * frame.Width() / controlWidth;
  const std::int64_t dy = std::int64_t(y) * frame.Height() / controlHeight;
  *sheetX = int(frame.Left + dx);
  *sheetY = int(frame.Top + dy);
  return true;
}

namespace {

// The same for a sheet held whole or with its rows shared.
template <class Sheet>
TBitmap32 ExtractFrameOf(const Sheet& sheet, const TRect& frame, int width, int height) {
  TBitmap32 result(width, height, 0);
  if (result.Empty() || frame.IsEmpty()) return result;
  TBitmap32 cut = CropBitmap(sheet, frame.Left, frame.Top, frame.Width(), frame.Height());
  if (cut.Width() == width && cut.Height() == height) return cut;
  StretchDrawNearest(result, Bounds(0, 0, width, height), cut);
  return result;
}

template <class Sheet>
bool FrameHitTestOf(const Sheet& sheet, const TRect& frame, int controlWidth, int controlHeight, int x, int y,
                    int activeAlpha) {
  int sx = 0, sy = 0;
  if (sheet.Empty() || !SheetPointOf(frame, controlWidth, controlHeight, x, y, &sx, &sy)) return false;
  if (!sheet.Contains(sx, sy)) return false;
  return AlphaOf(sheet.Pixel(sx, sy)) >= activeAlpha;
}

}  // namespace

TBitmap32 ExtractFrame(const TBitmap32& sheet, const TRect& frame, int width, int height) {
  return ExtractFrameOf(sheet, frame, width, height);
}

TBitmap32 ExtractFrame(const TSharedRowBitmap& sheet, const TRect& frame, int width, int height) {
  return ExtractFrameOf(sheet, frame, width, height);
}

bool FrameHitTest(const TBitmap32& sheet, const TRect& frame, int controlWidth, int controlHeight,
                  int x, int y, int activeAlpha) {
  return FrameHitTestOf(sheet, frame, controlWidth, controlHeight, x, y, activeAlpha);
}

bool FrameHitTest(const TSharedRowBitmap& sheet, const TRect& frame, int controlWidth, int controlHeight,
                  int x, int y, int activeAlpha) {
  return FrameHitTestOf(sheet, frame, controlWidth, controlHeight, x, y, activeAlpha);
}

void RecolorFrame(TBitmap32& frame, std::uint32_t color) {
  if (color == clNone) return;
  const std::uint8_t threshold = std::uint8_t(color >> 24);
  const TColor32 rgb = Color32(std::uint8_t(color), std::uint8_t(color >> 8), std::uint8_t(color >> 16), 0);
  for (int y = 0; y < frame.Height(); ++y) {
    TColor32* p = frame.PixelPtr(0, y);
    for (int x = 0; x < frame.Width(); ++x)
      if (AlphaOf(p[x]) >= threshold) p[x] = (p[x] & 0xFF000000u) | rgb;
  }
}

std::uint8_t BlendChannel(std::uint8_t under, std::uint8_t over, double f) {
  const std::int64_t value = RoundHalfEven((1.0 - f) * under) + RoundHalfEven(f * over);
  return std::uint8_t(std::clamp<std::int64_t>(value, 0, 255));
}

namespace {

TColor32 BlendPixel(TColor32 under, TColor32 over, double f) {
  return (under & 0xFF000000u) | (TColor32(BlendChannel(RedOf(under), RedOf(over), f)) << 16) |
         (TColor32(BlendChannel(GreenOf(under), GreenOf(over), f)) << 8) |
         TColor32(BlendChannel(BlueOf(under), BlueOf(over), f));
}

}  // namespace

namespace {

// The blend's two factors for every frame alpha: f = a / 255 * strength and 1 - f,
// computed as the one-pixel blend computes them.
struct TBlendFactors {
  alignas(32) double Over[256];
  alignas(32) double Under[256];
};

#if defined(__x86_64__) || defined(__i386__)
// Four pixels a step in the same double arithmetic as BlendChannel (products
// rounded half to even, terms added, capped at 255), so the result is the same to
// the bit; pixels whose frame alpha is 0 are kept. Returns how many it did.
[[gnu::target("avx2")]] int BlendRowWide(TColor32* out, const TColor32* in, int width, const TBlendFactors& factors) {
  constexpr int kRound = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
  const __m128i low = _mm_set1_epi32(0xFF), zero = _mm_setzero_si128();
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i over = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    const __m128i alpha = _mm_srli_epi32(over, 24);
    if (_mm_testz_si128(alpha, alpha)) continue;
    const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x));
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const __m256d f = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), factors.Over, alpha, all, 8);
    const __m256d g = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), factors.Under, alpha, all, 8);
    __m128i result = _mm_andnot_si128(_mm_set1_epi32(0x00FFFFFF), under);
    for (int shift : {0, 8, 16}) {
      const __m256d u = _mm256_cvtepi32_pd(_mm_and_si128(_mm_srl_epi32(under, _mm_cvtsi32_si128(shift)), low));
      const __m256d o = _mm256_cvtepi32_pd(_mm_and_si128(_mm_srl_epi32(over, _mm_cvtsi32_si128(shift)), low));
      const __m256d sum = _mm256_add_pd(_mm256_round_pd(_mm256_mul_pd(g, u), kRound),
                                        _mm256_round_pd(_mm256_mul_pd(f, o), kRound));
      const __m128i channel = _mm_min_epi32(_mm256_cvtpd_epi32(sum), low);
      result = _mm_or_si128(result, _mm_sll_epi32(channel, _mm_cvtsi32_si128(shift)));
    }
    result = _mm_blendv_epi8(result, under, _mm_cmpeq_epi32(alpha, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
  }
  return x;
}
const bool kBlendWide = ProcessorFeatures().Avx2;
#else
int BlendRowWide(TColor32*, const TColor32*, int, const TBlendFactors&) { return 0; }
constexpr bool kBlendWide = false;
#endif

}  // namespace

void BlendFrame(TBitmap32& buffer, const TBitmap32& frame, int transparency) {
  if (transparency >= 100) return;
  // A fade may pass below 0; the frame is never drawn stronger than its own alpha.
  const double strength = 1.0 - std::max(transparency, 0) / 100.0;
  TBlendFactors factors;
  for (int a = 0; a < 256; ++a) {
    factors.Over[a] = a / 255.0 * strength;
    factors.Under[a] = 1.0 - factors.Over[a];
  }
  const int width = std::min(buffer.Width(), frame.Width());
  const int height = std::min(buffer.Height(), frame.Height());
  for (int y = 0; y < height; ++y) {
    TColor32* out = buffer.PixelPtr(0, y);
    const TColor32* in = frame.PixelPtr(0, y);
    for (int x = kBlendWide ? BlendRowWide(out, in, width, factors) : 0; x < width; ++x) {
      const std::uint8_t a = AlphaOf(in[x]);
      if (a != 0) out[x] = BlendPixel(out[x], in[x], factors.Over[a]);
    }
  }
}

void BlendFrameAt(TBitmap32& buffer, const TBitmap32& frame, int left, int top) {
  for (int y = 0; y < frame.Height(); ++y) {
    const int by = top + y;
    if (by < 0 || by >= buffer.Height()) continue;
    const TColor32* in = frame.PixelPtr(0, y);
    for (int x = 0; x < frame.Width(); ++x) {
      const int bx = left + x;
      const std::uint8_t a = AlphaOf(in[x]);
      if (a == 0 || bx < 0 || bx >= buffer.Width()) continue;
      TColor32* out = buffer.PixelPtr(bx, by);
      *out = BlendPixel(*out, in[x], a / 255.0);
    }
  }
}

void CopyFrameOpaque(TBitmap32& buffer, const TBitmap32& frame) {
  const int width = std::min(buffer.Width(), frame.Width());
  const int height = std::min(buffer.Height(), frame.Height());
  for (int y = 0; y < height; ++y) CopyPixelsOpaque(frame.PixelPtr(0, y), buffer.PixelPtr(0, y), width);
}

TBitmap32 CropBitmap(const TBitmap32& source, int left, int top, int width, int height) {
  TBitmap32 result(width, height, 0);
  DrawBitmap(result, -left, -top, source);
  return result;
}

TBitmap32 ComposeButtonBuffer(const TBitmap32& background, const TBitmap32& frame, bool blending,
                              bool frameBlendable, int transparency) {
  TBitmap32 buffer(frame.Width(), frame.Height(), 0);
  if (blending) {
    DrawBitmap(buffer, 0, 0, background);
    if (frameBlendable && transparency <= 100) BlendFrame(buffer, frame, transparency);
  } else {
    CopyFrameOpaque(buffer, frame);
  }
  return buffer;
}
