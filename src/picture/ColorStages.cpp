#include "picture/ColorStages.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TRESSARY_WIDE_STAGES 1
#endif

#include "picture/Mask.h"
#include "picture/RowBands.h"
#include "platform/Processor.h"

namespace {

// Conversion tables, built once: saturation by (max, max - min) and the hue step
// round(60 * num / d) by (d, num + 255).
struct HsbTables {
  std::vector<std::uint8_t> saturation = std::vector<std::uint8_t>(256 * 256);
  std::vector<std::int8_t> hueStep = std::vector<std::int8_t>(256 * 511);
  std::array<std::uint8_t, 256> brightness{};
  std::array<std::uint8_t, 101> gray{};
  std::array<std::uint8_t, 101> full{};           // v * 255 div 100
  std::vector<std::uint8_t> low = std::vector<std::uint8_t>(101 * 101);  // (100 - s) * v * 255 div 10000
  std::array<std::uint16_t, 360> sector{};        // sector << 8 | degrees into it

  HsbTables() {
    for (int mx = 0; mx < 256; ++mx) {
      brightness[std::size_t(mx)] = std::uint8_t(RoundDiv(mx * 100, 255));
      for (int d = 0; d <= mx; ++d)
        saturation[std::size_t(mx * 256 + d)] = mx == 0 ? 0 : std::uint8_t(RoundDiv(d * 100, mx));
    }
    for (int d = 1; d < 256; ++d)
      for (int num = -d; num <= d; ++num) hueStep[std::size_t(d * 511 + num + 255)] = std::int8_t(RoundDiv(60 * num, d));
    for (int v = 0; v <= 100; ++v) {
      gray[std::size_t(v)] = std::uint8_t(RoundDiv(v * 255, 100));
      full[std::size_t(v)] = std::uint8_t(v * 255 / 100);
      for (int sat = 0; sat <= 100; ++sat) low[std::size_t(sat * 101 + v)] = std::uint8_t((100 - sat) * v * 255 / 10000);
    }
    for (int h = 0; h < 360; ++h) sector[std::size_t(h)] = std::uint16_t((h / 60) << 8 | (h % 60));
  }
};

const HsbTables& Tables() {
  static const HsbTables tables;
  return tables;
}

std::uint8_t Clamp255(std::int64_t v) { return std::uint8_t(std::clamp<std::int64_t>(v, 0, 255)); }

}  // namespace

std::int64_t RoundDiv(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t q = numerator / denominator, r = numerator % denominator;
  if (r < 0) {  // floor division
    q -= 1;
    r += denominator;
  }
  if (2 * r > denominator || (2 * r == denominator && (q & 1))) ++q;
  return q;
}

namespace {

inline THsb ToHsb(int red, int green, int blue, const HsbTables& t) {
  const int mx = std::max({red, green, blue}), mn = std::min({red, green, blue}), d = mx - mn;
  THsb hsb;
  hsb.Brightness = t.brightness[std::size_t(mx)];
  hsb.Saturation = t.saturation[std::size_t(mx * 256 + d)];
  if (hsb.Saturation == 0) return hsb;
  int num, offset;
  if (mx == red) {
    num = green - blue;
    offset = num < 0 ? 360 : 0;
  } else if (mx == green) {
    num = blue - red;
    offset = 120;
  } else {
    num = red - green;
    offset = 240;
  }
  hsb.Hue = offset + t.hueStep[std::size_t(d * 511 + num + 255)];
  return hsb;
}

// Channels of a colour given in hue, saturation and brightness: exact integer forms
// of V = v * 255, p = (1 - s) V, q = (1 - s f) V, t = (1 - (1 - f) s) V, truncated.
inline void FromHsb(int hue, int saturation, int brightness, const HsbTables& t, int& red, int& green, int& blue) {
  const int s = std::clamp(saturation, 0, 100), v = std::clamp(brightness, 0, 100);
  if (s == 0) {
    red = green = blue = t.gray[std::size_t(v)];
    return;
  }
  int h = hue;
  if (h < 0 || h >= 360) h = ((h % 360) + 360) % 360;
  const int sector = t.sector[std::size_t(h)] >> 8, rest = t.sector[std::size_t(h)] & 0xFF;
  const std::uint32_t V = t.full[std::size_t(v)];
  const std::uint32_t p = t.low[std::size_t(s * 101 + v)];
  const std::uint32_t q = std::uint32_t((6000 - s * rest) * v * 255) / 600000u;
  const std::uint32_t u = std::uint32_t((6000 - s * (60 - rest)) * v * 255) / 600000u;
  // The six sectors pick (R, G, B) among V, p, q, t without branching: the four
  // values share one word and each sector holds the shifts that pick them.
  static constexpr std::uint32_t kPick[6] = {0 | 24 << 8 | 8 << 16, 16 | 0 << 8 | 8 << 16, 8 | 0 << 8 | 24 << 16,
                                             8 | 16 << 8 | 0 << 16, 24 | 8 << 8 | 0 << 16, 0 | 8 << 8 | 16 << 16};
  const std::uint32_t packed = V | p << 8 | q << 16 | u << 24;
  const std::uint32_t pick = kPick[sector];
  red = int((packed >> (pick & 0xFF)) & 0xFF);
  green = int((packed >> ((pick >> 8) & 0xFF)) & 0xFF);
  blue = int((packed >> (pick >> 16)) & 0xFF);
}

}  // namespace

THsb RgbToHsb(int red, int green, int blue) { return ToHsb(red, green, blue, Tables()); }

TColor32 HsbToRgb(int hue, int saturation, int brightness, std::uint8_t alpha) {
  int r, g, b;
  FromHsb(hue, saturation, brightness, Tables(), r, g, b);
  return Color32(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), alpha);
}

namespace {
// Sum and count of the luminance of opaque pixels; (L * 5243) >> 19 equals
// L div 100 for every L up to 25500.
inline void AddLuminance(const TColor32* p, int n, std::uint32_t& sum, std::uint32_t& count) {
  for (int x = 0; x < n; ++x) {
    const TColor32 c = p[x];
    const std::uint32_t luminance = 30u * ((c >> 16) & 0xFF) + 59u * ((c >> 8) & 0xFF) + 11u * (c & 0xFF);
    const std::uint32_t opaque = (c >> 24) != 0;
    sum += opaque * ((luminance * 5243u) >> 19);
    count += opaque;
  }
}

#if defined(__SSE2__)
// Eight pixels a step in 16-bit lanes: L fits (at most 25500), and the high half
// of L * 5243 shifted by 3 is the same L div 100.
int AddLuminance8(const TColor32* p, int n, std::uint32_t& sum, std::uint32_t& count) {
  const __m128i low = _mm_set1_epi32(0xFF), ones = _mm_set1_epi16(1);
  const __m128i k30 = _mm_set1_epi16(30), k59 = _mm_set1_epi16(59), k11 = _mm_set1_epi16(11);
  const __m128i kTenth = _mm_set1_epi16(5243), zero = _mm_setzero_si128();
  __m128i sums = zero, counts = zero;
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x + 4));
    auto channel = [&](int shift) {
      return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, shift), low), _mm_and_si128(_mm_srli_epi32(b, shift), low));
    };
    const __m128i luminance = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(channel(16), k30), _mm_mullo_epi16(channel(8), k59)),
        _mm_mullo_epi16(channel(0), k11));
    const __m128i tenth = _mm_srli_epi16(_mm_mulhi_epu16(luminance, kTenth), 3);
    const __m128i transparent = _mm_cmpeq_epi16(channel(24), zero);
    sums = _mm_add_epi32(sums, _mm_madd_epi16(_mm_andnot_si128(transparent, tenth), ones));
    counts = _mm_add_epi32(counts, _mm_madd_epi16(_mm_andnot_si128(transparent, ones), ones));
  }
  alignas(16) std::uint32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
  sum += lanes[0] + lanes[1] + lanes[2] + lanes[3];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), counts);
  count += lanes[0] + lanes[1] + lanes[2] + lanes[3];
  return x;
}
#endif

}  // namespace

// What one combination of regions does to a pixel: the tint and channel scales as
// one table per channel, the hue/saturation/brightness shifts in order, and the
// contrast as one table.
struct TColorStages::Plan {
  bool identity = true;
  std::array<std::array<std::uint8_t, 256>, 3> pre{};  // B, G, R
  std::vector<THsb> shifts;
  bool post = false;
  std::array<std::uint8_t, 256> contrast{};
  std::array<std::array<std::uint8_t, 256>, 3> fused{};  // contrast after pre, when there are no shifts
  bool preUsed = false;  // some pre table is not the identity
};

TColorStages::TColorStages(const TBitmap32& picture, const TColorValues& layer, const TMask* mask)
    : picture_(picture), layer_(layer) {
  if (mask)
    for (int i = 0; i < 8; ++i) regions_[std::size_t(i)] = mask->RegionValues(i + 1);
  auto colourNeutral = [](TColorValues v) {
    v.Opacity = 100;  // opacity is the compositor's, never the render's
    return v.IsNeutral();
  };
  neutral_ = colourNeutral(layer_);
  for (const TColorValues& r : regions_) neutral_ = neutral_ && colourNeutral(r);
}

TColorStages::~TColorStages() = default;

int TColorStages::Mean() {
  std::call_once(meanOnce_, [this] {
    mean_ = MeanLuminance(picture_);
    meanComputed_ = true;
  });
  return mean_;
}

void TColorStages::PrepareMean() {
  bool contrast = layer_.Contrast != 100;
  for (const TColorValues& r : regions_) contrast = contrast || r.Contrast != 100;
  if (contrast) Mean();
}

std::unique_ptr<TColorStages::Plan> TColorStages::BuildPlan(std::uint8_t cells) {
  auto plan = std::make_unique<Plan>();
  for (auto& table : plan->pre)
    for (int i = 0; i < 256; ++i) table[std::size_t(i)] = std::uint8_t(i);
  for (int i = 0; i < 256; ++i) plan->contrast[std::size_t(i)] = std::uint8_t(i);
  // One stage: every region of the pixel that sets it, one after another, else the layer.
  auto stage = [&](auto active, auto apply) {
    bool applied = false;
    for (int r = 0; r < 8; ++r) {
      if (!(cells & (1u << r)) || !active(regions_[std::size_t(r)])) continue;
      apply(regions_[std::size_t(r)]);
      applied = true;
    }
    if (!applied && active(layer_)) apply(layer_);
    plan->identity = plan->identity && !(applied || active(layer_));
  };
  stage([](const TColorValues& v) { return v.Color != -1; },
        [&](const TColorValues& v) {
          const int tint[3] = {(v.Color >> 16) & 0xFF, (v.Color >> 8) & 0xFF, v.Color & 0xFF};
          for (int c = 0; c < 3; ++c)
            for (auto& e : plan->pre[std::size_t(c)]) e = std::uint8_t((e * 140 + tint[c] * 115) >> 8);
        });
  auto scale = [&](int channel, int TColorValues::*field) {
    stage([field](const TColorValues& v) { return v.*field != 50; },
          [&, channel, field](const TColorValues& v) {
            const std::int64_t f = std::int64_t(v.*field) * 255 / 100;
            for (auto& e : plan->pre[std::size_t(channel)]) e = Clamp255((e * f) >> 7);
          });
  };
  scale(2, &TColorValues::Red);
  scale(1, &TColorValues::Green);
  scale(0, &TColorValues::Blue);
  stage([](const TColorValues& v) { return !v.HsbNeutral(); },
        [&](const TColorValues& v) {
          // Values from files may be anything: a hue shift is an angle, and beyond
          // 200 points a saturation or brightness shift clamps every pixel anyway.
          plan->shifts.push_back({int((std::int64_t(v.Hue) - 100) % 360),
                                  int(std::clamp<std::int64_t>(std::int64_t(v.Saturation) - 100, -200, 200)),
                                  int(std::clamp<std::int64_t>(std::int64_t(v.Brightness) - 100, -200, 200))});
        });
  stage([](const TColorValues& v) { return v.Contrast != 100; },
        [&](const TColorValues& v) {
          const std::int64_t m = Mean();
          for (auto& e : plan->contrast) e = Clamp255(RoundDiv((e - m) * v.Contrast + 100 * m, 100));
          plan->post = true;
        });
  for (int c = 0; c < 3; ++c)
    for (std::size_t i = 0; i < 256; ++i)
      plan->fused[std::size_t(c)][i] = plan->contrast[plan->pre[std::size_t(c)][i]];
  for (const auto& table : plan->pre)
    for (std::size_t i = 0; i < 256; ++i) plan->preUsed = plan->preUsed || table[i] != i;
  return plan;
}

const TColorStages::Plan& TColorStages::PlanFor(std::uint8_t cells) {
  std::call_once(planOnce_[cells], [this, cells] { plans_[cells] = BuildPlan(cells); });
  return *plans_[cells];
}

namespace {

[[gnu::always_inline]] inline TColor32 ApplyPlan(TColor32 pixel, const TColorStages::Plan& plan, const HsbTables& t) {
  const std::uint8_t alpha = AlphaOf(pixel);
  if (plan.shifts.empty())
    return Color32(plan.fused[2][RedOf(pixel)], plan.fused[1][GreenOf(pixel)], plan.fused[0][BlueOf(pixel)], alpha);
  int b = plan.pre[0][BlueOf(pixel)], g = plan.pre[1][GreenOf(pixel)], r = plan.pre[2][RedOf(pixel)];
  for (const THsb& shift : plan.shifts) {
    const THsb hsb = ToHsb(r, g, b, t);
    FromHsb(hsb.Hue + shift.Hue, hsb.Saturation + shift.Saturation, hsb.Brightness + shift.Brightness, t, r, g, b);
  }
  return Color32(plan.contrast[std::size_t(r)], plan.contrast[std::size_t(g)], plan.contrast[std::size_t(b)], alpha);
}

#if defined(TRESSARY_WIDE_STAGES)
#define TRESSARY_BYTE_PERMUTE "avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi"
using W = __m256i;

[[gnu::target("avx2"), gnu::always_inline]] inline W Select(W mask, W yes, W no) {
  return _mm256_blendv_epi8(no, yes, mask);
}

// Vectors pass by value only between functions inlined into one of the same
// instruction set, so no call ever crosses the differing conventions.
#pragma GCC diagnostic ignored "-Wpsabi"
namespace lanes8 {
constexpr int kLanes = 8;
#define TRESSARY_LANE_TARGET "avx2"
#define TRESSARY_LANE_MAX(a, b) S(_mm256_max_epi16(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_MIN(a, b) S(_mm256_min_epi16(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_MIN_UNSIGNED(a, b) S(_mm256_min_epu16(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_ABS(a) S(_mm256_abs_epi16(__m256i(a)))
#define TRESSARY_LANE_SCALE(a, k) S(_mm256_mulhrs_epi16(__m256i(a), _mm256_set1_epi16(k)))
#define TRESSARY_LANE_NARROW(a, b) S(_mm256_packs_epi32(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_NARROW_UNSIGNED(a, b) S(_mm256_packus_epi32(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_LOW(a, b) I(_mm256_unpacklo_epi16(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_HIGH(a, b) I(_mm256_unpackhi_epi16(__m256i(a), __m256i(b)))
#define TRESSARY_LANE_MAX_FLOAT(a, b) F(_mm256_max_ps(a, b))
#define TRESSARY_LANE_ROUND(f) _mm256_cvtps_epi32(f)
#define TRESSARY_LANE_ALL_ZERO(v) _mm256_testz_si256(__m256i(v), __m256i(v))
#include "picture/StageLanes.inc"
}  // namespace lanes8

namespace lanes16 {
constexpr int kLanes = 16;
// The masked forms with every lane set: GCC's plain ones start from an undefined
// vector that its uninitialised-use warning trips on.
constexpr __mmask16 kAll = 0xFFFF;
constexpr __mmask32 kAllWords = 0xFFFFFFFFu;
#define TRESSARY_LANE_TARGET TRESSARY_BYTE_PERMUTE
#define TRESSARY_LANE_MAX(a, b) S(_mm512_mask_max_epi16(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_MIN(a, b) S(_mm512_mask_min_epi16(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_MIN_UNSIGNED(a, b) S(_mm512_mask_min_epu16(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_ABS(a) S(_mm512_mask_abs_epi16(__m512i(a), kAllWords, __m512i(a)))
#define TRESSARY_LANE_SCALE(a, k) \
  S(_mm512_mask_mulhrs_epi16(__m512i(a), kAllWords, __m512i(a), _mm512_set1_epi16(k)))
#define TRESSARY_LANE_NARROW(a, b) S(_mm512_mask_packs_epi32(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_NARROW_UNSIGNED(a, b) \
  S(_mm512_mask_packus_epi32(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_LOW(a, b) I(_mm512_mask_unpacklo_epi16(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_HIGH(a, b) I(_mm512_mask_unpackhi_epi16(__m512i(a), kAllWords, __m512i(a), __m512i(b)))
#define TRESSARY_LANE_MAX_FLOAT(a, b) F(_mm512_mask_max_ps(a, kAll, a, b))
#define TRESSARY_LANE_ROUND(f) _mm512_mask_cvtps_epi32(__m512i(I{}), kAll, f)
#define TRESSARY_LANE_ALL_ZERO(v) (_mm512_test_epi32_mask(__m512i(v), __m512i(v)) == 0)
#include "picture/StageLanes.inc"
}  // namespace lanes16

using ByteTable256 = std::array<std::uint8_t, 256>;

// Loops unrolled where it pays; an unoptimised build cannot unroll some of them
// and would warn that it ignores the request.
#define TRESSARY_PRAGMA(text) _Pragma(#text)
#if defined(__OPTIMIZE__)
#define TRESSARY_UNROLL(n) TRESSARY_PRAGMA(GCC unroll n)
#else
#define TRESSARY_UNROLL(n)
#endif

// One 256-byte table looked up for 32 index bytes at once without gathers, which
// are slow on some processors: the index's low half picks a byte in each of the
// sixteen rows of 16 bytes, and each bit of its high half then halves the rows.
[[gnu::target("avx2"), gnu::always_inline]] inline W LookUp32(const ByteTable256& table, W index) {
  const W low = _mm256_and_si256(index, _mm256_set1_epi8(0x0F));
  W rows[16];
TRESSARY_UNROLL(16)
  for (int k = 0; k < 16; ++k)
    rows[k] = _mm256_shuffle_epi8(
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data() + 16 * k))), low);
TRESSARY_UNROLL(4)
  for (int bit = 4; bit < 8; ++bit) {
    // The blend picks by each byte's top bit; a 16-bit shift brings the byte's own
    // bit there, whatever it carries in from its neighbour.
    const W select = _mm256_slli_epi16(index, 7 - bit);
TRESSARY_UNROLL(8)
    for (int k = 0; k < 1 << (7 - bit); ++k) rows[k] = _mm256_blendv_epi8(rows[2 * k], rows[2 * k + 1], select);
  }
  return rows[0];
}

// 32 pixels as planes of 32 bytes (blue, green, red, alpha) in an order of their
// own, and back: each channel's bytes of four pixels grouped within the 128-bit
// lanes, then a 4 x 4 transpose of those groups. Both steps undo themselves.
struct Planes32 {
  W blue, green, red, alpha;
};

[[gnu::target("avx2"), gnu::always_inline]] inline void Transpose(W& w0, W& w1, W& w2, W& w3) {
  const W a = _mm256_unpacklo_epi32(w0, w1), b = _mm256_unpackhi_epi32(w0, w1);
  const W c = _mm256_unpacklo_epi32(w2, w3), d = _mm256_unpackhi_epi32(w2, w3);
  w0 = _mm256_unpacklo_epi64(a, c);
  w1 = _mm256_unpackhi_epi64(a, c);
  w2 = _mm256_unpacklo_epi64(b, d);
  w3 = _mm256_unpackhi_epi64(b, d);
}

[[gnu::target("avx2"), gnu::always_inline]] inline W GroupChannels(W w) {
  return _mm256_shuffle_epi8(w, _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,  //
                                                 0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
}

[[gnu::target("avx2"), gnu::always_inline]] inline Planes32 Split(const TColor32* pixels) {
  W w[4];
TRESSARY_UNROLL(4)
  for (int i = 0; i < 4; ++i) w[i] = GroupChannels(_mm256_loadu_si256(reinterpret_cast<const W*>(pixels + 8 * i)));
  Transpose(w[0], w[1], w[2], w[3]);
  return {w[0], w[1], w[2], w[3]};
}

[[gnu::target("avx2"), gnu::always_inline]] inline void Join(Planes32 p, TColor32* pixels) {
  Transpose(p.blue, p.green, p.red, p.alpha);
  const W w[4] = {p.blue, p.green, p.red, p.alpha};
TRESSARY_UNROLL(4)
  for (int i = 0; i < 4; ++i) _mm256_storeu_si256(reinterpret_cast<W*>(pixels + 8 * i), GroupChannels(w[i]));
}

[[gnu::target("avx2"), gnu::always_inline]] inline void LookUpPlanes(TColor32* pixels, const ByteTable256& blue,
                                                                     const ByteTable256& green,
                                                                     const ByteTable256& red) {
  Planes32 p = Split(pixels);
  const W keep = _mm256_cmpeq_epi8(p.alpha, _mm256_setzero_si256());
  if (_mm256_movemask_epi8(keep) == -1) return;  // cut-outs leave long stretches with nothing to do
  p.blue = Select(keep, p.blue, LookUp32(blue, p.blue));
  p.green = Select(keep, p.green, LookUp32(green, p.green));
  p.red = Select(keep, p.red, LookUp32(red, p.red));
  Join(p, pixels);
}

// Blue, green and red of pixels[0..count) through their own table 32 pixels a
// step, a last shorter step through a padded copy; alpha kept and pixels with
// alpha 0 left alone.
[[gnu::target("avx2")]] void ShuffleChannels(TColor32* pixels, int count, const ByteTable256& blue,
                                             const ByteTable256& green, const ByteTable256& red) {
  int x = 0;
  for (; x + 32 <= count; x += 32) LookUpPlanes(pixels + x, blue, green, red);
  if (x == count) return;
  TColor32 rest[32] = {};  // alpha 0: left alone
  std::copy(pixels + x, pixels + count, rest);
  LookUpPlanes(rest, blue, green, red);
  std::copy_n(rest, count - x, pixels + x);
}

// One 256-byte table in four registers, looked up 64 bytes at a time by two
// two-register byte permutes chosen by the index's top bit.
struct ByteTable {
  __m512i quarter[4];
};

[[gnu::target(TRESSARY_BYTE_PERMUTE)]] inline ByteTable LoadByteTable(const std::array<std::uint8_t, 256>& table) {
  ByteTable t;
  for (int i = 0; i < 4; ++i) t.quarter[i] = _mm512_loadu_si512(table.data() + 64 * i);
  return t;
}

[[gnu::target(TRESSARY_BYTE_PERMUTE)]] inline __m512i LookUp(const ByteTable& t, __m512i index) {
  const __m512i low = _mm512_permutex2var_epi8(t.quarter[0], index, t.quarter[1]);
  const __m512i high = _mm512_permutex2var_epi8(t.quarter[2], index, t.quarter[3]);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

// Blue, green and red of pixels[0..count) through their own table sixteen pixels
// a step, alpha kept and pixels with alpha 0 left alone; returns how many it did.
[[gnu::target(TRESSARY_BYTE_PERMUTE)]] int LookUpChannels(TColor32* pixels, int count,
                                                           const std::array<std::uint8_t, 256>& blue,
                                                           const std::array<std::uint8_t, 256>& green,
                                                           const std::array<std::uint8_t, 256>& red) {
  const ByteTable tb = LoadByteTable(blue), tg = LoadByteTable(green), tr = LoadByteTable(red);
  const __m512i alphaBits = _mm512_set1_epi32(int(0xFF000000u));
  constexpr __mmask64 kBlue = 0x1111111111111111ull, kGreen = kBlue << 1, kRed = kBlue << 2;
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m512i in = _mm512_loadu_si512(pixels + x);
    __m512i out = _mm512_mask_blend_epi8(kBlue, in, LookUp(tb, in));
    out = _mm512_mask_blend_epi8(kGreen, out, LookUp(tg, in));
    out = _mm512_mask_blend_epi8(kRed, out, LookUp(tr, in));
    _mm512_mask_storeu_epi32(pixels + x, _mm512_test_epi32_mask(in, alphaBits), out);
  }
  return x;
}

[[gnu::target("avx2")]] int ShiftHsbWide(TColor32* pixels, int count, const std::vector<THsb>& shifts) {
  return lanes8::ShiftHsbRun(pixels, count, shifts);
}

[[gnu::target(TRESSARY_BYTE_PERMUTE)]] int ShiftHsbWidest(TColor32* pixels, int count,
                                                           const std::vector<THsb>& shifts) {
  return lanes16::ShiftHsbRun(pixels, count, shifts);
}

// The table passes and the shift pass of one instruction set.
template <int Lanes, auto LookUp, auto ShiftAll>
struct TablePasses {
  static constexpr int kLanes = Lanes;
  static void Fused(TColor32* p, int n, const TColorStages::Plan& plan) {
    LookUp(p, n, plan.fused[0], plan.fused[1], plan.fused[2]);
  }
  static void Pre(TColor32* p, int n, const TColorStages::Plan& plan) {
    LookUp(p, n, plan.pre[0], plan.pre[1], plan.pre[2]);
  }
  static void Post(TColor32* p, int n, const TColorStages::Plan& plan) {
    LookUp(p, n, plan.contrast, plan.contrast, plan.contrast);
  }
  static void Shift(TColor32* p, int n, const TColorStages::Plan& plan) { ShiftAll(p, n, plan.shifts); }
};
using ShuffledPasses = TablePasses<8, ShuffleChannels, ShiftHsbWide>;
using PermutedPasses = TablePasses<16, LookUpChannels, ShiftHsbWidest>;

const bool kWideStages = ProcessorFeatures().Avx2;
const bool kBytePermute = ProcessorFeatures().Avx512Vbmi;
#else
struct ShuffledPasses {
  static constexpr int kLanes = 1 << 30;  // never used
  static void Fused(TColor32*, int, const TColorStages::Plan&) {}
  static void Pre(TColor32*, int, const TColorStages::Plan&) {}
  static void Post(TColor32*, int, const TColorStages::Plan&) {}
  static void Shift(TColor32*, int, const TColorStages::Plan&) {}
};
using PermutedPasses = ShuffledPasses;
constexpr bool kWideStages = false;
constexpr bool kBytePermute = false;
#endif

// The plan as up to three passes over blocks small enough to stay in the first
// cache: the tables before, the shifts, the contrast table after. Every pass
// leaves pixels with alpha 0 alone, so the passes compose as the one-pixel routine
// does. Returns how many pixels it did, a multiple of the lanes.
template <class Passes>
int ApplyPlanInPasses(TColor32* pixels, int count, const TColorStages::Plan& plan) {
  constexpr int kBlock = 512;
  int x = 0;
  while (count - x >= Passes::kLanes) {
    const int n = std::min(kBlock, (count - x) / Passes::kLanes * Passes::kLanes);
    TColor32* block = pixels + x;
    if (plan.shifts.empty()) {
      Passes::Fused(block, n, plan);
    } else {
      if (plan.preUsed) Passes::Pre(block, n, plan);
      Passes::Shift(block, n, plan);
      if (plan.post) Passes::Post(block, n, plan);
    }
    x += n;
  }
  return x;
}

#if defined(TRESSARY_WIDE_STAGES)
// Sixteen pixels a step: each pixel's weighted sum from byte products, then L div
// 100 in 16-bit lanes as the narrow form takes it (pairs of vectors pack with
// their halves interleaved, which a sum does not mind).
[[gnu::target("avx2")]] int AddLuminanceWide(const TColor32* p, int n, std::uint32_t& sum, std::uint32_t& count) {
  const W weights = _mm256_set1_epi32(30 << 16 | 59 << 8 | 11);  // per byte B, G, R, A
  const W ones = _mm256_set1_epi16(1), tenthOf = _mm256_set1_epi16(5243), zero = _mm256_setzero_si256();
  W sums = zero, counts = zero;
  int x = 0;
  for (; x + 16 <= n; x += 16) {
    const W a = _mm256_loadu_si256(reinterpret_cast<const W*>(p + x));
    const W b = _mm256_loadu_si256(reinterpret_cast<const W*>(p + x + 8));
    // B 11 + G 59 and R 30 in 16-bit halves (at most 17850), then added.
    const W luminance = _mm256_packus_epi32(_mm256_madd_epi16(_mm256_maddubs_epi16(a, weights), ones),
                                            _mm256_madd_epi16(_mm256_maddubs_epi16(b, weights), ones));
    const W tenth = _mm256_srli_epi16(_mm256_mulhi_epu16(luminance, tenthOf), 3);
    const W alpha = _mm256_packus_epi32(_mm256_srli_epi32(a, 24), _mm256_srli_epi32(b, 24));
    const W opaque = _mm256_cmpgt_epi16(alpha, zero);
    sums = _mm256_add_epi32(sums, _mm256_madd_epi16(_mm256_and_si256(opaque, tenth), ones));
    counts = _mm256_add_epi32(counts, _mm256_madd_epi16(_mm256_and_si256(opaque, ones), ones));
  }
  alignas(32) std::uint32_t lanes[2][8];
  _mm256_store_si256(reinterpret_cast<W*>(lanes[0]), sums);
  _mm256_store_si256(reinterpret_cast<W*>(lanes[1]), counts);
  for (int i = 0; i < 8; ++i) {
    sum += lanes[0][i];
    count += lanes[1][i];
  }
  return x;
}
[[gnu::target(TRESSARY_BYTE_PERMUTE)]] int AddLuminanceWidest(const TColor32* p, int n, std::uint32_t& sum,
                                                               std::uint32_t& count) {
  return lanes16::AddLuminance(p, n, sum, count);
}
#else
int AddLuminanceWide(const TColor32*, int, std::uint32_t&, std::uint32_t&) { return 0; }
int AddLuminanceWidest(const TColor32*, int, std::uint32_t&, std::uint32_t&) { return 0; }
#endif

// Process-wide on purpose: tests and benchmarks narrow it to check each width
// through whole layer renders, which no parameter reaches; the program never sets it.
std::atomic<TStagesWidth> stagesLimit{TStagesWidth::Widest};

TStagesWidth CurrentStagesWidth() {
  return std::min(SupportedStagesWidth(), stagesLimit.load(std::memory_order_relaxed));
}

}  // namespace

TStagesWidth SupportedStagesWidth() {
  return kBytePermute ? TStagesWidth::Widest : kWideStages ? TStagesWidth::Wide : TStagesWidth::Plain;
}

void LimitStagesWidth(TStagesWidth width) { stagesLimit.store(width, std::memory_order_relaxed); }

int MeanLuminance(const TBitmap32& picture) {
  std::atomic<std::int64_t> sum = 0, count = 0;
  const int width = picture.Width();
  const TStagesWidth lanes = CurrentStagesWidth();
  // Integer sums come out the same in any order, so bands of rows may add theirs.
  ForRowBands(
      0, picture.Height(), std::int64_t(width) * picture.Height(),
      [&](int y0, int y1) {
        std::int64_t bandSum = 0, bandCount = 0;
        for (int y = y0; y < y1; ++y) {
          const TColor32* p = picture.PixelPtr(0, y);
          std::uint32_t rowSum = 0, rowCount = 0;  // at most 16384 * 255: no overflow
          int x = 0;
          if (lanes == TStagesWidth::Widest)
            x = AddLuminanceWidest(p, width, rowSum, rowCount);
          else if (lanes == TStagesWidth::Wide)
            x = AddLuminanceWide(p, width, rowSum, rowCount);
#if defined(__SSE2__)
          else
            x = AddLuminance8(p, width, rowSum, rowCount);
#endif
          AddLuminance(p + x, width - x, rowSum, rowCount);
          bandSum += rowSum;
          bandCount += rowCount;
        }
        sum += bandSum;
        count += bandCount;
      },
      1 << 16);
  return count == 0 ? 0 : int(RoundDiv(sum, count));
}

TColor32 TColorStages::Apply(TColor32 pixel, std::uint8_t cells) {
  if (AlphaOf(pixel) == 0) return pixel;
  const Plan& plan = PlanFor(cells);
  return plan.identity ? pixel : ApplyPlan(pixel, plan, Tables());
}

void TColorStages::ApplyRow(TColor32* pixels, const std::uint8_t* cells, int count) {
  const HsbTables& t = Tables();
  const TStagesWidth width = CurrentStagesWidth();
  int x = 0;
  while (x < count) {
    // A run of pixels in the same regions shares one plan.
    const std::uint8_t c = cells ? cells[x] : 0;
    int end = x + 1;
    if (!cells) {
      end = count;
    } else {
      const std::uint64_t same = 0x0101010101010101ull * c;
      for (std::uint64_t eight; end + 8 <= count; end += 8) {
        std::memcpy(&eight, cells + end, 8);
        if (eight != same) break;
      }
      while (end < count && cells[end] == c) ++end;
    }
    const Plan& plan = PlanFor(c);
    if (plan.identity) {
      x = end;
      continue;
    }
    if (width == TStagesWidth::Widest)
      x += ApplyPlanInPasses<PermutedPasses>(pixels + x, end - x, plan);
    else if (width == TStagesWidth::Wide)
      x += ApplyPlanInPasses<ShuffledPasses>(pixels + x, end - x, plan);
    if (plan.shifts.empty()) {
      const auto &fb = plan.fused[0], &fg = plan.fused[1], &fr = plan.fused[2];
      for (; x < end; ++x) {
        const TColor32 p = pixels[x];
        if (AlphaOf(p) != 0) pixels[x] = (p & 0xFF000000u) | (TColor32(fr[RedOf(p)]) << 16) |
                                         (TColor32(fg[GreenOf(p)]) << 8) | fb[BlueOf(p)];
      }
    } else {
      for (; x < end; ++x)
        if (AlphaOf(pixels[x]) != 0) pixels[x] = ApplyPlan(pixels[x], plan, t);
    }
  }
}

namespace {

// Rows of 4 KB and more go to the C library's string move, which on some
// processors runs several times slower between two pictures than plain vector
// moves do.
void CopyPixels(const TColor32* from, int count, TColor32* to) {
  int x = 0;
#if defined(__SSE2__)
  for (; x + 4 <= count; x += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x)));
#endif
  for (; x < count; ++x) to[x] = from[x];
}

}  // namespace

// The stages cost several times a copy per pixel, so smaller bands than a copy's
// pay for their thread.
constexpr std::int64_t kStagePixelsPerBand = 1 << 15;

void RenderLayerPixels(const TBitmap32& picture, const TRect& source, const TMaskA& map, TColorStages& stages,
                       TBitmap32& target, TAlphaSpan* spans) {
  const int width = target.Width(), height = target.Height();
  if (target.Empty() || source.IsEmpty()) return;
  std::vector<int> columns(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x)
    columns[std::size_t(x)] = source.Left + int(std::int64_t(x) * source.Width() / width);
  // Unscaled rows copy as a block and, on a map of the picture's size, read their
  // region bytes in place.
  const bool direct = source.Width() == width;
  const bool directCells = direct && map.Width() == picture.Width();
  if (!stages.Neutral()) stages.PrepareMean();
  target.Bits();  // unshared here, not by a band
  // Every pixel's result depends on that pixel alone, so bands of rows may run in
  // any order and on any thread.
  ForRowBands(0, height, std::int64_t(width) * height, [&](int y0, int y1) {
    std::vector<std::uint8_t> rowCells(map.Empty() ? 0 : static_cast<std::size_t>(width));
    for (int y = y0; y < y1; ++y) {
      const int sy = source.Top + int(std::int64_t(y) * source.Height() / height);
      const TColor32* in = picture.PixelPtr(0, sy);
      TColor32* out = target.PixelPtr(0, y);
      if (direct)
        CopyPixels(in + source.Left, width, out);
      else
        for (int x = 0; x < width; ++x) out[x] = in[columns[std::size_t(x)]];
      if (!stages.Neutral()) {
        const std::uint8_t* cells = nullptr;
        if (!map.Empty()) {
          const std::uint8_t* mapRow = map.Row(std::min(sy, map.Height() - 1));
          if (directCells) {
            cells = mapRow + source.Left;
          } else {
            const int lastCell = map.Width() - 1;
            for (int x = 0; x < width; ++x)
              rowCells[std::size_t(x)] = mapRow[std::min(columns[std::size_t(x)], lastCell)];
            cells = rowCells.data();
          }
        }
        stages.ApplyRow(out, cells, width);
      }
      if (spans) spans[y] = MeasureAlphaSpan(out, width);
    }
  }, kStagePixelsPerBand);
}
