#include "editor/DeskCompositor.h"

#include <algorithm>
#include <array>

#include "picture/Mask.h"
#include "picture/RowBands.h"
#include "platform/Numeric.h"
#include "platform/Processor.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TRESSARY_DESK_AVX2 1
#endif

namespace {

constexpr TColor32 kOpaqueWhite = 0xFFFFFFFF;
constexpr TColor32 kClearWhite = 0x00FFFFFF;

using TAlphaTable = std::array<std::uint8_t, 256>;

// One layer made ready for the row loop.
struct TPreparedLayer {
  const TBitmap32* Rendering = nullptr;
  TPoint Pos;
  TRect Clip;                       // target pixels the layer covers within the rect
  std::uint32_t LayerFactor = 255;  // (Opacity * 255) div 100; 255 = no layer opacity
  // With faded regions: a pixel's coverage is Fade[SubsetOf[cell]][alpha], the
  // table of the set of faded regions the cell belongs to.
  const TMaskA* Map = nullptr;
  std::array<std::uint8_t, 256> SubsetOf{};
  std::vector<TAlphaTable> Fade;
  std::vector<std::vector<std::uint32_t>> FadeSteps;  // the same as factors applied in turn
  std::vector<int> MapColumns;  // mask column of each clip column
  bool ColumnsInStep = false;   // MapColumns[i] == MapColumns[0] + i throughout
  std::uint8_t FadedBits = 0;   // the bits of all faded regions
  int SourceTop = 0;
  double Scale = 1.0;
};

// The coverage tables of every set of faded regions: the regions of the set
// compound in the mask's order, and only a pixel in none of them takes the
// layer's opacity.
void BuildFadeTables(TPreparedLayer& p, const std::vector<std::pair<std::uint8_t, std::uint32_t>>& regions) {
  const std::size_t sets = std::size_t(1) << regions.size();
  p.Fade.resize(sets);
  p.FadeSteps.resize(sets);
  for (std::size_t set = 0; set < sets; ++set) {
    for (std::size_t r = 0; r < regions.size(); ++r)
      if (set & (std::size_t(1) << r)) p.FadeSteps[set].push_back(regions[r].second);
    if (set == 0 && p.LayerFactor != 255) p.FadeSteps[set].push_back(p.LayerFactor);
  }
  for (std::size_t set = 0; set < sets; ++set)
    for (std::uint32_t a = 0; a < 256; ++a) {
      std::uint32_t out = a;
      for (std::size_t r = 0; r < regions.size(); ++r)
        if (set & (std::size_t(1) << r)) out = (regions[r].second * out) >> 8;
      if (set == 0 && p.LayerFactor != 255) out = (p.LayerFactor * a) >> 8;
      p.Fade[set][a] = std::uint8_t(out);
    }
  for (int cell = 0; cell < 256; ++cell) {
    std::uint8_t set = 0;
    for (std::size_t r = 0; r < regions.size(); ++r)
      if (cell & regions[r].first) set |= std::uint8_t(1u << r);
    p.SubsetOf[std::size_t(cell)] = set;
  }
  for (const auto& region : regions) p.FadedBits |= region.first;
}

TPreparedLayer Prepare(const TCompositeLayer& layer, const TRect& rect, double scale) {
  TPreparedLayer p;
  p.Rendering = layer.Rendering;
  p.Pos = layer.Pos;
  p.SourceTop = layer.SourceRect.Top;
  p.Scale = scale;
  p.Clip = IntersectRects(rect, Bounds(layer.Pos.X, layer.Pos.Y, layer.Rendering->Width(), layer.Rendering->Height()));
  if (layer.Opacity < 100) p.LayerFactor = std::uint32_t(layer.Opacity) * 255 / 100;
  if (!layer.Mask || p.Clip.IsEmpty()) return p;
  const TMaskA& map = layer.Mask->GetMap();
  if (map.Empty()) return p;
  std::vector<std::pair<std::uint8_t, std::uint32_t>> regions;  // bit, factor
  for (int region : layer.Mask->UsedRegions()) {
    if (region < 1 || region > TMask::kRegionCount) continue;
    const std::uint8_t opacity = layer.Mask->GetRegionOpacity(region);
    if (opacity < 100) regions.emplace_back(std::uint8_t(1u << (region - 1)), std::uint32_t(opacity) * 255 / 100);
  }
  if (regions.empty()) return p;
  p.Map = &map;
  BuildFadeTables(p, regions);
  p.MapColumns.resize(std::size_t(p.Clip.Width()));
  for (int x = p.Clip.Left; x < p.Clip.Right; ++x) {
    const int column = RoundInt((x - layer.Pos.X) * scale) + layer.SourceRect.Left;
    p.MapColumns[std::size_t(x - p.Clip.Left)] = std::clamp(column, 0, map.Width() - 1);
  }
  p.ColumnsInStep = true;
  for (std::size_t i = 0; i < p.MapColumns.size(); ++i)
    if (p.MapColumns[i] != p.MapColumns[0] + int(i)) p.ColumnsInStep = false;
  return p;
}

// Lays s over d with coverage a: nothing at 0, s itself at 255, otherwise each
// colour channel (s * a + d * (255 - a)) shr 8 (two channels per multiply) and the
// alpha as the target kind wants it.
template <TCompositeAlpha kAlpha>
inline void Lay(TColor32 s, TColor32& d, std::uint32_t a) {
  if (a == 0) return;
  if (a == 255) {
    d = s;
    return;
  }
  const std::uint32_t na = 255 - a;
  const std::uint32_t rb = (((s & 0xFF00FF) * a + (d & 0xFF00FF) * na) >> 8) & 0xFF00FF;
  const std::uint32_t g = (((s & 0xFF00) * a + (d & 0xFF00) * na) >> 8) & 0xFF00;
  const std::uint32_t alpha = kAlpha == TCompositeAlpha::Coverage ? a : ((a * 255 + (d >> 24) * na) >> 8);
  d = rb | g | (alpha << 24);
}

#if TRESSARY_DESK_AVX2
// Eight pixels at once in the same integer steps as Lay. Blue/red and green/alpha
// travel as pairs of 16-bit lanes holding s * a + d * (255 - a) (at most 65025).
template <TCompositeAlpha kAlpha>
[[gnu::target("avx2")]] inline __m256i Lay8(__m256i s, __m256i d, __m256i a) {
  const __m256i low = _mm256_set1_epi32(0x00FF00FF);
  const __m256i alphaLane = _mm256_set1_epi32(0x00FF0000);
  const __m256i a2 = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
  const __m256i na2 = _mm256_sub_epi16(_mm256_set1_epi16(255), a2);
  __m256i sga = _mm256_and_si256(_mm256_srli_epi32(s, 8), low);
  // Over the export ground the alpha channel blends like a colour whose value is 255.
  if (kAlpha == TCompositeAlpha::Accumulate) sga = _mm256_or_si256(sga, alphaLane);
  const __m256i rb = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, low), a2),
                                                        _mm256_mullo_epi16(_mm256_and_si256(d, low), na2)),
                                       8);
  __m256i ga = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(sga, a2),
                       _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(d, 8), low), na2)),
      8);
  if (kAlpha == TCompositeAlpha::Coverage) ga = _mm256_or_si256(_mm256_andnot_si256(alphaLane, ga), _mm256_slli_epi32(a, 16));
  const __m256i blended = _mm256_or_si256(rb, _mm256_slli_epi32(ga, 8));
  const __m256i whole = _mm256_cmpeq_epi32(a, _mm256_set1_epi32(255));
  const __m256i none = _mm256_cmpeq_epi32(a, _mm256_setzero_si256());
  return _mm256_blendv_epi8(_mm256_blendv_epi8(blended, s, whole), d, none);
}

// Pixels whose coverage is their alpha scaled by `factor`; returns how many it
// did (a multiple of 8).
template <TCompositeAlpha kAlpha>
[[gnu::target("avx2")]] int LayPlainWide(const TColor32* src, TColor32* dst, int count, std::uint32_t factor) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(255);
  const __m256i scale = _mm256_set1_epi32(int(factor));
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    __m256i a = _mm256_srli_epi32(s, 24);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;
    if (factor != 255) {
      // Both below 256: the 16-bit product is exact.
      a = _mm256_srli_epi32(_mm256_mullo_epi16(a, scale), 8);
    } else if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, opaque)) == -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
      continue;
    }
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Lay8<kAlpha>(s, d, a));
  }
  return i;
}

// A faded layer's pixels whose map cells lie side by side: runs of eight cells in
// the same regions scale as vectors, mixed runs go through the coverage tables.
template <TCompositeAlpha kAlpha>
[[gnu::target("avx2")]] int LayFadedWide(const TPreparedLayer& p, const TColor32* src, TColor32* dst, int count,
                                        const std::uint8_t* cells) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(255);
  const __m128i faded = _mm_set1_epi8(char(p.FadedBits));
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    __m256i a = _mm256_srli_epi32(s, 24);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;
    // Eight cells of one kind (the common case) take their factors as vectors.
    const __m128i bytes = _mm_and_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cells + i)), faded);
    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_shuffle_epi8(bytes, _mm_setzero_si128()))) & 0xFF) == 0xFF) {
      const std::vector<std::uint32_t>& steps = p.FadeSteps[p.SubsetOf[cells[i] & p.FadedBits]];
      if (steps.empty() && _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, opaque)) == -1) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
        continue;
      }
      for (std::uint32_t factor : steps) a = _mm256_srli_epi32(_mm256_mullo_epi16(a, _mm256_set1_epi32(int(factor))), 8);
    } else {
      alignas(32) std::uint32_t coverage[8];
      for (int k = 0; k < 8; ++k) coverage[k] = p.Fade[p.SubsetOf[cells[i + k]]][src[i + k] >> 24];
      a = _mm256_load_si256(reinterpret_cast<const __m256i*>(coverage));
    }
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Lay8<kAlpha>(s, d, a));
  }
  return i;
}

[[gnu::target("avx2")]] int FillWide(TColor32* row, int count, TColor32 ground) {
  const __m256i value = _mm256_set1_epi32(int(ground));
  int i = 0;
  for (; i + 8 <= count; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), value);
  return i;
}

const bool kWide = ProcessorFeatures().Avx2;
#else
int FillWide(TColor32*, int, TColor32) { return 0; }
template <TCompositeAlpha>
int LayPlainWide(const TColor32*, TColor32*, int, std::uint32_t) {
  return 0;
}
template <TCompositeAlpha>
int LayFadedWide(const TPreparedLayer&, const TColor32*, TColor32*, int, const std::uint8_t*) {
  return 0;
}
constexpr bool kWide = false;
#endif

template <TCompositeAlpha kAlpha>
void LayPlain(const TColor32* src, TColor32* dst, int count, std::uint32_t factor) {
  for (int i = kWide ? LayPlainWide<kAlpha>(src, dst, count, factor) : 0; i < count; ++i) {
    const std::uint32_t a = src[i] >> 24;
    Lay<kAlpha>(src[i], dst[i], factor == 255 ? a : (factor * a) >> 8);
  }
}

// `gathered` has room for the clip's width: where the map's columns do not step
// one by one (a zoomed desk), the cells the row meets are gathered there first, so
// that runs of eight take the vector path at every scale.
template <TCompositeAlpha kAlpha>
void LayFaded(const TPreparedLayer& p, const TColor32* src, TColor32* dst, const std::uint8_t* cells,
              std::uint8_t* gathered) {
  const int count = p.Clip.Width();
  const int* columns = p.MapColumns.data();
  const std::uint8_t* run = cells + columns[0];
  if (!p.ColumnsInStep) {
    for (int i = 0; i < count; ++i) gathered[i] = cells[columns[i]];
    run = gathered;
  }
  int i = kWide ? LayFadedWide<kAlpha>(p, src, dst, count, run) : 0;
  for (; i < count; ++i) Lay<kAlpha>(src[i], dst[i], p.Fade[p.SubsetOf[run[i]]][src[i] >> 24]);
}

template <TCompositeAlpha kAlpha>
void LayRow(const TPreparedLayer& p, int y, TColor32* targetRow, std::uint8_t* gathered) {
  const TColor32* src = p.Rendering->PixelPtr(p.Clip.Left - p.Pos.X, y - p.Pos.Y);
  TColor32* dst = targetRow + p.Clip.Left;
  if (!p.Map) return LayPlain<kAlpha>(src, dst, p.Clip.Width(), p.LayerFactor);
  const int row = std::clamp(RoundInt((y - p.Pos.Y) * p.Scale) + p.SourceTop, 0, p.Map->Height() - 1);
  LayFaded<kAlpha>(p, src, dst, p.Map->Row(row), gathered);
}

// Rows go in bands small enough to stay in the cache while every layer passes
// over them, so each layer's pixels are read as one sequential run per band; the
// bands are shared out over the task pool.
template <TCompositeAlpha kAlpha>
void CompositeRows(TBitmap32& target, const TRect& rect, const std::vector<TPreparedLayer>& prepared) {
  constexpr int kBandBytes = 1024 * 1024;
  const TColor32 ground = kAlpha == TCompositeAlpha::Coverage ? kOpaqueWhite : kClearWhite;
  const int bandRows = std::max(1, kBandBytes / (4 * rect.Width()));
  const std::int64_t work = std::int64_t(rect.Width()) * rect.Height() * std::int64_t(prepared.size() + 1);
  target.Bits();  // unshared here, not by a band
  ForRowBands(rect.Top, rect.Bottom, work, [&](int y0, int y1) {
    std::vector<std::uint8_t> gathered(std::size_t(rect.Width()));
    for (int top = y0; top < y1; top += bandRows) {
      const int bottom = std::min(y1, top + bandRows);
      for (int y = top; y < bottom; ++y) {
        TColor32* row = target.PixelPtr(rect.Left, y);
        std::fill(row + (kWide ? FillWide(row, rect.Width(), ground) : 0), row + rect.Width(), ground);
      }
      for (auto p = prepared.rbegin(); p != prepared.rend(); ++p)
        for (int y = std::max(top, p->Clip.Top); y < std::min(bottom, p->Clip.Bottom); ++y)
          LayRow<kAlpha>(*p, y, target.PixelPtr(0, y), gathered.data());
    }
  });
}

}  // namespace

void CompositeLayers(TBitmap32& target, TRect rect, std::span<const TCompositeLayer> layers, double scale,
                     TCompositeAlpha alpha) {
  rect = IntersectRects(rect, {0, 0, target.Width(), target.Height()});
  if (rect.IsEmpty()) return;
  std::vector<TPreparedLayer> prepared;
  prepared.reserve(layers.size());
  for (const TCompositeLayer& layer : layers) {
    if (!layer.Rendering || layer.Rendering->Empty()) continue;
    TPreparedLayer p = Prepare(layer, rect, scale);
    if (!p.Clip.IsEmpty()) prepared.push_back(std::move(p));
  }
  if (alpha == TCompositeAlpha::Coverage)
    CompositeRows<TCompositeAlpha::Coverage>(target, rect, prepared);
  else
    CompositeRows<TCompositeAlpha::Accumulate>(target, rect, prepared);
}
