#include "editor/DeskCompositor.h"

#include <algorithm>
#include <array>

#include "picture/BitmapRoutines.h"
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
  // Where the columns do not step, each run of 64 clip columns whose cells lie
  // within 128 of its first: that first column, and the others' offsets from it
  // (a 64-byte block each), for gathering a run with one byte permute.
  std::vector<int> RunBase;
  std::vector<std::uint8_t> RunOffsets;
  std::uint8_t FadedBits = 0;   // the bits of all faded regions
  const TAlphaSpan* Spans = nullptr;  // one a rendering row, or none
  bool Occludes = false;              // its opaque pixels hide everything below them
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
  if (layer.Spans.size() == std::size_t(layer.Rendering->Height())) p.Spans = layer.Spans.data();
  p.Occludes = p.Spans && p.LayerFactor == 255;
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
  p.Occludes = false;
  BuildFadeTables(p, regions);
  p.MapColumns.resize(std::size_t(p.Clip.Width()));
  for (int x = p.Clip.Left; x < p.Clip.Right; ++x) {
    const int column = RoundInt((x - layer.Pos.X) * scale) + layer.SourceRect.Left;
    p.MapColumns[std::size_t(x - p.Clip.Left)] = std::clamp(column, 0, map.Width() - 1);
  }
  p.ColumnsInStep = true;
  for (std::size_t i = 0; i < p.MapColumns.size(); ++i)
    if (p.MapColumns[i] != p.MapColumns[0] + int(i)) p.ColumnsInStep = false;
  if (!p.ColumnsInStep) {
    // The columns only grow from left to right: a run's last is its farthest.
    for (std::size_t i = 0; i + 64 <= p.MapColumns.size(); i += 64) {
      const int base = p.MapColumns[i];
      if (p.MapColumns[i + 63] - base >= 128) break;
      p.RunBase.push_back(base);
      for (std::size_t k = 0; k < 64; ++k) p.RunOffsets.push_back(std::uint8_t(p.MapColumns[i + k] - base));
    }
  }
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
// A vector of 8 or 16 pixels (P) in the same integer steps as Lay, written once
// for both widths: inlined into a function built for the processor's vectors,
// the operators become those vectors' instructions. Blue/red and green/alpha
// travel as pairs of 16-bit lanes (H) holding s * a + d * (255 - a) (at most 65025).
// The vectors go by reference, in and out: this template carries no processor target of its
// own, and clang refuses wide vectors passed by value to such a function.
template <TCompositeAlpha kAlpha, typename P, typename H>
[[gnu::always_inline]] inline void LayLanes(const P& s, const P& d, const P& a, P& out) {
  const P low = P{} + 0x00FF00FF, alphaLane = P{} + 0x00FF0000;
  const P a2 = a | (a << 16), na2 = low - a2;
  P sga = (s >> 8) & low;
  // Over the export ground the alpha channel blends like a colour whose value is 255.
  if (kAlpha == TCompositeAlpha::Accumulate) sga |= alphaLane;
  const P rb = P((H(s & low) * H(a2) + H(d & low) * H(na2)) >> 8);
  P ga = P((H(sga) * H(a2) + H((d >> 8) & low) * H(na2)) >> 8);
  if (kAlpha == TCompositeAlpha::Coverage) ga = (ga & ~alphaLane) | (a << 16);
  const P blended = rb | (ga << 8);
  out = a == 0 ? d : a == 255 ? s : blended;
}

// The attribute form both GCC and clang take for vector types.
typedef std::uint32_t Pixels8 __attribute__((vector_size(32)));
typedef std::uint16_t Halves16 __attribute__((vector_size(32)));
typedef std::uint32_t Pixels16 __attribute__((vector_size(64)));
typedef std::uint16_t Halves32 __attribute__((vector_size(64)));

template <TCompositeAlpha kAlpha>
[[gnu::target("avx2")]] inline __m256i Lay8(__m256i s, __m256i d, __m256i a) {
  Pixels8 out;
  LayLanes<kAlpha, Pixels8, Halves16>(Pixels8(s), Pixels8(d), Pixels8(a), out);
  return __m256i(out);
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

#define TRESSARY_DESK_WIDEST "avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi"
// GCC 12's 512-bit shifts pass an undefined vector as their unused merge
// operand, which its own warning then takes for an uninitialised read.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
template <TCompositeAlpha kAlpha>
[[gnu::target(TRESSARY_DESK_WIDEST)]] inline __m512i Lay16(__m512i s, __m512i d, __m512i a) {
  Pixels16 out;
  LayLanes<kAlpha, Pixels16, Halves32>(Pixels16(s), Pixels16(d), Pixels16(a), out);
  return __m512i(out);
}

// LayPlainWide sixteen pixels a step.
template <TCompositeAlpha kAlpha>
[[gnu::target(TRESSARY_DESK_WIDEST)]] int LayPlainWidest(const TColor32* src, TColor32* dst, int count,
                                                        std::uint32_t factor) {
  const __m512i scale = _mm512_set1_epi32(int(factor));
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m512i s = _mm512_loadu_si512(src + i);
    __m512i a = _mm512_srli_epi32(s, 24);
    const __mmask16 clear = _mm512_cmpeq_epi32_mask(a, _mm512_setzero_si512());
    if (clear == 0xFFFF) continue;
    if (factor != 255) {
      a = _mm512_srli_epi32(_mm512_mullo_epi16(a, scale), 8);
    } else if (_mm512_cmpeq_epi32_mask(a, _mm512_set1_epi32(255)) == 0xFFFF) {
      _mm512_storeu_si512(dst + i, s);
      continue;
    }
    const __m512i d = _mm512_loadu_si512(dst + i);
    _mm512_storeu_si512(dst + i, Lay16<kAlpha>(s, d, a));
  }
  return i;
}

// The runs of 64 cells the layer has prepared that meet clip columns [from, to),
// gathered from the map row `cells` (`width` cells; nothing is read past them);
// returns the first column after them (`from` when there are none).
[[gnu::target(TRESSARY_DESK_WIDEST)]] int GatherWidest(const TPreparedLayer& p, const std::uint8_t* cells, int width,
                                                       int from, int to, std::uint8_t* out) {
  const std::size_t first = std::size_t(from / 64), last = std::min(p.RunBase.size(), std::size_t(to + 63) / 64);
  if (first >= last) return from;
  for (std::size_t run = first; run < last; ++run) {
    const int base = p.RunBase[run];
    const int left = width - base;  // at least 1: every column lies in the map
    const auto lead = [](int n) { return n >= 64 ? ~__mmask64(0) : n <= 0 ? 0 : (__mmask64(1) << n) - 1; };
    const __mmask64 low = lead(left), high = lead(left - 64);
    const __m512i a = _mm512_maskz_loadu_epi8(low, cells + base);
    const __m512i b = _mm512_maskz_loadu_epi8(high, cells + base + 64);
    const __m512i offsets = _mm512_loadu_si512(p.RunOffsets.data() + 64 * run);
    _mm512_storeu_si512(out + 64 * run, _mm512_permutex2var_epi8(a, offsets, b));
  }
  return int(64 * last);
}
#pragma GCC diagnostic pop

[[gnu::target("avx2")]] int FillWide(TColor32* row, int count, TColor32 ground) {
  const __m256i value = _mm256_set1_epi32(int(ground));
  int i = 0;
  for (; i + 8 <= count; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), value);
  return i;
}

const bool kHasWide = ProcessorFeatures().Avx2;
const bool kHasWidest = ProcessorFeatures().Avx512Vbmi;
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
template <TCompositeAlpha>
int LayPlainWidest(const TColor32*, TColor32*, int, std::uint32_t) {
  return 0;
}
int GatherWidest(const TPreparedLayer&, const std::uint8_t*, int, int from, int, std::uint8_t*) { return from; }
constexpr bool kHasWide = false;
constexpr bool kHasWidest = false;
#endif

bool Wide(int vectors) { return kHasWide && vectors >= 1; }
bool Widest(int vectors) { return kHasWidest && vectors >= 2; }

template <TCompositeAlpha kAlpha>
void LayPlain(const TColor32* src, TColor32* dst, int count, std::uint32_t factor, int vectors) {
  int i = Widest(vectors) ? LayPlainWidest<kAlpha>(src, dst, count, factor) : 0;
  if (Wide(vectors)) i += LayPlainWide<kAlpha>(src + i, dst + i, count - i, factor);
  for (; i < count; ++i) {
    const std::uint32_t a = src[i] >> 24;
    Lay<kAlpha>(src[i], dst[i], factor == 255 ? a : (factor * a) >> 8);
  }
}

// Where a layer's map columns do not step one by one (a zoomed desk), the cells
// a row meets are gathered first, so that runs of eight take the vector path at
// every scale; rows that read the same map row (a desk below scale 1) reuse them.
struct TGathered {
  std::vector<std::uint8_t> Cells;  // by clip column
  int MapRow = -1;
  int From = 0, To = 0;  // the clip columns gathered
};

// The cells of clip columns [from, to) of map row `mapRow`, by clip column.
const std::uint8_t* CellsOf(const TPreparedLayer& p, int mapRow, int from, int to, TGathered& gathered,
                            int vectors) {
  const std::uint8_t* cells = p.Map->Row(mapRow);
  if (p.ColumnsInStep) return cells + p.MapColumns[0];
  if (gathered.MapRow != mapRow || from < gathered.From || to > gathered.To) {
    gathered.Cells.resize(p.MapColumns.size());
    std::uint8_t* out = gathered.Cells.data();
    int i = Widest(vectors) ? std::max(from, GatherWidest(p, cells, p.Map->Width(), from, to, out)) : from;
    for (; i < to; ++i) out[i] = cells[p.MapColumns[std::size_t(i)]];
    gathered.MapRow = mapRow;
    gathered.From = from;
    gathered.To = to;
  }
  return gathered.Cells.data();
}

template <TCompositeAlpha kAlpha>
void LayFaded(const TPreparedLayer& p, const TColor32* src, TColor32* dst, int count, const std::uint8_t* cells,
              int vectors) {
  int i = Wide(vectors) ? LayFadedWide<kAlpha>(p, src, dst, count, cells) : 0;
  for (; i < count; ++i) Lay<kAlpha>(src[i], dst[i], p.Fade[p.SubsetOf[cells[i]]][src[i] >> 24]);
}

// A run of target columns [Left, Right).
struct TPiece {
  int Left, Right;
};

// Adds `piece` to the sorted, disjoint runs of `cover`, merging the runs it meets.
void AddCover(std::vector<TPiece>& cover, TPiece piece) {
  auto first = std::find_if(cover.begin(), cover.end(), [&](const TPiece& c) { return c.Right >= piece.Left; });
  auto last = first;
  for (; last != cover.end() && last->Left <= piece.Right; ++last) {
    piece.Left = std::min(piece.Left, last->Left);
    piece.Right = std::max(piece.Right, last->Right);
  }
  cover.insert(cover.erase(first, last), piece);
}

// Appends the parts of [left, right) outside `cover`.
void AddUncovered(const std::vector<TPiece>& cover, int left, int right, std::vector<TPiece>& out) {
  for (const TPiece& c : cover) {
    if (c.Right <= left) continue;
    if (c.Left >= right) break;
    if (c.Left > left) out.push_back({left, c.Left});
    left = std::max(left, c.Right);
    if (left >= right) return;
  }
  out.push_back({left, right});
}

// One band's working room.
struct TBandPlan {
  std::vector<TPiece> Cover;        // columns of a row that an opaque pixel hides below it
  std::vector<TPiece> Pieces;       // by row, each row's layers top first, then its ground
  std::vector<std::size_t> First;   // (layer count + 1) a row: where its layers' pieces start
  std::vector<TGathered> Gathered;  // by layer
};

// Plans row y: each layer lays only the columns its spans say are not clear and
// that no opaque pixel above hides; the ground goes only where nothing opaque lies.
void PlanRow(const std::vector<TPreparedLayer>& prepared, const TRect& rect, int y, TBandPlan& plan) {
  plan.Cover.clear();
  for (const TPreparedLayer& p : prepared) {
    plan.First.push_back(plan.Pieces.size());
    if (y < p.Clip.Top || y >= p.Clip.Bottom) continue;
    int left = p.Clip.Left, right = p.Clip.Right;
    if (p.Spans) {
      const TAlphaSpan& span = p.Spans[y - p.Pos.Y];
      left = std::max(left, span.Left + p.Pos.X);
      right = std::min(right, span.Right + p.Pos.X);
      if (left >= right) continue;
    }
    AddUncovered(plan.Cover, left, right, plan.Pieces);
    if (p.Occludes) {
      const TAlphaSpan& span = p.Spans[y - p.Pos.Y];
      const int solidLeft = std::max(left, span.SolidLeft + p.Pos.X);
      const int solidRight = std::min(right, span.SolidRight + p.Pos.X);
      if (solidLeft < solidRight) AddCover(plan.Cover, {solidLeft, solidRight});
    }
  }
  plan.First.push_back(plan.Pieces.size());
  AddUncovered(plan.Cover, rect.Left, rect.Right, plan.Pieces);
}

// The pieces rows apart start on pages of their own, where the processor's own
// prefetching starts afresh: each row's pieces are fetched into the second-level
// cache a few rows ahead.
constexpr int kAhead = 6;

template <int kWrite = 0>
void PrefetchBytes(const void* from, const void* to) {
  for (auto at = static_cast<const char*>(from); at < to; at += 64) __builtin_prefetch(at, kWrite, 2);
}

int MapRowOf(const TPreparedLayer& p, int y) {
  return std::clamp(RoundInt((y - p.Pos.Y) * p.Scale) + p.SourceTop, 0, p.Map->Height() - 1);
}

// The pixels and the map cells of the pieces of layer p on row y.
void Prefetch(const TPreparedLayer& p, int y, const TBandPlan& plan, std::size_t at) {
  const std::size_t first = plan.First[at], last = plan.First[at + 1];
  if (first == last) return;
  const int left = plan.Pieces[first].Left, right = plan.Pieces[last - 1].Right;
  const TColor32* row = p.Rendering->PixelPtr(0, y - p.Pos.Y);
  PrefetchBytes(row + (left - p.Pos.X), row + (right - p.Pos.X));
  if (!p.Map) return;
  const std::uint8_t* cells = p.Map->Row(MapRowOf(p, y));
  PrefetchBytes(cells + p.MapColumns[std::size_t(left - p.Clip.Left)],
                cells + p.MapColumns[std::size_t(right - 1 - p.Clip.Left)] + 1);
}

// Rows go in bands small enough to stay in the cache while every layer passes
// over them, so each layer's pixels are read as one sequential run per band; the
// bands are shared out over the task pool.
template <TCompositeAlpha kAlpha>
void CompositeRows(TBitmap32& target, const TRect& rect, const std::vector<TPreparedLayer>& prepared,
                   TBitmap32* opaqueCopy, int vectors) {
  constexpr int kBandBytes = 512 * 1024;
  const TColor32 ground = kAlpha == TCompositeAlpha::Coverage ? kOpaqueWhite : kClearWhite;
  const int bandRows = std::max(1, kBandBytes / (4 * rect.Width()));
  const std::size_t count = prepared.size(), stride = count + 1;
  const std::int64_t work = std::int64_t(rect.Width()) * rect.Height() * std::int64_t(count + 1);
  target.Bits();  // unshared here, not by a band
  const TRect copyRect = opaqueCopy ? IntersectRects(rect, {0, 0, opaqueCopy->Width(), opaqueCopy->Height()}) : TRect{};
  if (!copyRect.IsEmpty()) opaqueCopy->Bits();
  ForRowBands(rect.Top, rect.Bottom, work, [&](int y0, int y1) {
    TBandPlan plan;
    plan.Gathered.resize(count);
    for (int top = y0; top < y1; top += bandRows) {
      const int bottom = std::min(y1, top + bandRows);
      plan.Pieces.clear();
      plan.First.clear();
      for (int y = top; y < bottom; ++y) {
        if (y + kAhead < y1)
          PrefetchBytes<1>(target.PixelPtr(rect.Left, y + kAhead), target.PixelPtr(rect.Right, y + kAhead));
        PlanRow(prepared, rect, y, plan);
        TColor32* row = target.PixelPtr(0, y);
        const std::size_t grounds = plan.First.back(), end = plan.Pieces.size();
        for (std::size_t g = grounds; g < end; ++g) {
          TColor32* out = row + plan.Pieces[g].Left;
          const int width = plan.Pieces[g].Right - plan.Pieces[g].Left;
          std::fill(out + (Wide(vectors) ? FillWide(out, width, ground) : 0), out + width, ground);
        }
      }
      for (std::size_t k = count; k-- > 0;) {
        const TPreparedLayer& p = prepared[k];
        const int from = std::max(top, p.Clip.Top), to = std::min(bottom, p.Clip.Bottom);
        for (int y = from; y < to; ++y) {
          const std::size_t at = std::size_t(y - top) * stride + k;
          const std::size_t first = plan.First[at], last = plan.First[at + 1];
          if (y + kAhead < to) Prefetch(p, y + kAhead, plan, at + kAhead * stride);
          if (first == last) continue;
          TColor32* row = target.PixelPtr(0, y);
          const TColor32* src = p.Rendering->PixelPtr(0, y - p.Pos.Y);
          const std::uint8_t* cells = nullptr;  // by clip column
          if (p.Map) {
            cells = CellsOf(p, MapRowOf(p, y), plan.Pieces[first].Left - p.Clip.Left,
                            plan.Pieces[last - 1].Right - p.Clip.Left, plan.Gathered[k], vectors);
          }
          for (std::size_t i = first; i < last; ++i) {
            const TPiece piece = plan.Pieces[i];
            const int width = piece.Right - piece.Left;
            if (cells)
              LayFaded<kAlpha>(p, src + (piece.Left - p.Pos.X), row + piece.Left, width,
                               cells + (piece.Left - p.Clip.Left), vectors);
            else
              LayPlain<kAlpha>(src + (piece.Left - p.Pos.X), row + piece.Left, width, p.LayerFactor, vectors);
          }
        }
      }
      if (!copyRect.IsEmpty())
        for (int y = std::max(top, copyRect.Top); y < std::min(bottom, copyRect.Bottom); ++y)
          CopyPixelsOpaque(target.PixelPtr(copyRect.Left, y), opaqueCopy->PixelPtr(copyRect.Left, y), copyRect.Width());
    }
  });
}

}  // namespace

void CompositeLayers(TBitmap32& target, TRect rect, std::span<const TCompositeLayer> layers, double scale,
                     TCompositeAlpha alpha, TBitmap32* opaqueCopy, int vectors) {
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
    CompositeRows<TCompositeAlpha::Coverage>(target, rect, prepared, opaqueCopy, vectors);
  else
    CompositeRows<TCompositeAlpha::Accumulate>(target, rect, prepared, opaqueCopy, vectors);
}
