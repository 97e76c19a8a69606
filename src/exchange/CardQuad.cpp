#include "exchange/CardQuad.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "picture/RowBands.h"
#include "platform/Numeric.h"
#include "platform/Processor.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

double Distance(TFloatPoint a, TFloatPoint b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

double Cross(TFloatPoint o, TFloatPoint a, TFloatPoint b) {
  return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X);
}

// The foot of the perpendicular from p onto the line through a and b.
TFloatPoint Foot(TFloatPoint p, TFloatPoint a, TFloatPoint b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y, len2 = dx * dx + dy * dy;
  if (len2 == 0) return a;
  const double t = ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2;
  return {a.X + t * dx, a.Y + t * dy};
}

bool Invert(const double (&m)[9], double (&out)[9]) {
  const double a = m[4] * m[8] - m[5] * m[7], b = m[5] * m[6] - m[3] * m[8], c = m[3] * m[7] - m[4] * m[6];
  const double det = m[0] * a + m[1] * b + m[2] * c;
  if (std::abs(det) < 1e-12) return false;
  const double adj[9] = {a, m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                         b, m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                         c, m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
  for (int i = 0; i < 9; ++i) out[i] = adj[i] / det;
  return true;
}

}  // namespace

std::optional<TProjectiveMap> TProjectiveMap::FromRect(double width, double height, const TQuad& q) {
  if (!(width > 0) || !(height > 0)) return std::nullopt;
  // The unit square onto the quad, then the rectangle scaled to the unit square.
  const double dx1 = q[1].X - q[2].X, dx2 = q[3].X - q[2].X, dx3 = q[0].X - q[1].X + q[2].X - q[3].X;
  const double dy1 = q[1].Y - q[2].Y, dy2 = q[3].Y - q[2].Y, dy3 = q[0].Y - q[1].Y + q[2].Y - q[3].Y;
  double g = 0, h = 0;
  if (dx3 != 0 || dy3 != 0) {
    const double den = dx1 * dy2 - dx2 * dy1;
    if (std::abs(den) < 1e-12) return std::nullopt;
    g = (dx3 * dy2 - dx2 * dy3) / den;
    h = (dx1 * dy3 - dx3 * dy1) / den;
  }
  TProjectiveMap map;
  const double unit[9] = {q[1].X - q[0].X + g * q[1].X, q[3].X - q[0].X + h * q[3].X, q[0].X,
                          q[1].Y - q[0].Y + g * q[1].Y, q[3].Y - q[0].Y + h * q[3].Y, q[0].Y,
                          g,                            h,                            1};
  for (int row = 0; row < 3; ++row) {
    map.m_[row * 3] = unit[row * 3] / width;
    map.m_[row * 3 + 1] = unit[row * 3 + 1] / height;
    map.m_[row * 3 + 2] = unit[row * 3 + 2];
  }
  if (!Invert(map.m_, map.inv_)) return std::nullopt;
  return map;
}

TFloatPoint TProjectiveMap::Map(TFloatPoint p) const {
  const double w = m_[6] * p.X + m_[7] * p.Y + m_[8];
  return {(m_[0] * p.X + m_[1] * p.Y + m_[2]) / w, (m_[3] * p.X + m_[4] * p.Y + m_[5]) / w};
}

std::optional<TFloatPoint> TProjectiveMap::Unmap(TFloatPoint p) const {
  const double w = inv_[6] * p.X + inv_[7] * p.Y + inv_[8];
  if (std::abs(w) < 1e-12) return std::nullopt;
  return TFloatPoint{(inv_[0] * p.X + inv_[1] * p.Y + inv_[2]) / w, (inv_[3] * p.X + inv_[4] * p.Y + inv_[5]) / w};
}

int QuadTurn(const TQuad& q) {
  int positive = 0, negative = 0;
  for (int i = 0; i < 4; ++i) {
    const double turn = Cross(q[i], q[(i + 1) % 4], q[(i + 2) % 4]);
    positive += turn > 0, negative += turn < 0;
  }
  return positive == 4 ? 1 : negative == 4 ? -1 : 0;
}

bool QuadAcceptable(const TCardHandles& p) {
  const std::array<std::array<int, 2>, 8> spans = {{{1, 5}, {3, 7}, {0, 2}, {2, 4}, {4, 6}, {6, 0}, {0, 4}, {2, 6}}};
  for (const auto& [a, b] : spans)
    if (!(Distance(p[a], p[b]) > kMinQuadSide)) return false;
  return QuadTurn({p[0], p[2], p[4], p[6]}) == 1;
}

namespace {

// What the row loops need: the backward mapping and the source.
struct TCardSource {
  const double* inv;  // 3 x 3, row-major
  const TColor32* bits;
  int width, height;
};

// The weight sums below stay under 2^32: the four bilinear weights add up to
// 65536, so a premultiplied channel is at most 65536 * 255 * 255, and the mix
// with the card adds at most 255 * (kFull - a) + kFull / 2.
constexpr std::uint32_t kFull = 255u * 65536u;

// One card pixel at (x + 0.5, py): the source point the mapping takes it back
// to, bilinear with 8-bit fractions, laid over the card pixel d (its alpha kept).
inline void CardPixel(const TCardSource& k, double py, int x, TColor32& d) {
  const double* m = k.inv;
  const double px = x + 0.5;
  const double w = m[6] * px + m[7] * py + m[8];
  if (std::abs(w) < 1e-12) return;  // on the horizon
  const double sx = (m[0] * px + m[1] * py + m[2]) / w, sy = (m[3] * px + m[4] * py + m[5]) / w;
  if (!(sx >= 0 && sx < k.width && sy >= 0 && sy < k.height)) return;
  const double fx = std::clamp(sx - 0.5, 0.0, double(k.width - 1));
  const double fy = std::clamp(sy - 0.5, 0.0, double(k.height - 1));
  const int ix = int(fx), iy = int(fy);
  const int ix1 = std::min(ix + 1, k.width - 1), iy1 = std::min(iy + 1, k.height - 1);
  const std::uint32_t tx = std::uint32_t((fx - ix) * 256), ty = std::uint32_t((fy - iy) * 256);
  const TColor32* row0 = k.bits + std::size_t(iy) * std::size_t(k.width);
  const TColor32* row1 = k.bits + std::size_t(iy1) * std::size_t(k.width);
  const TColor32 p[4] = {row0[ix], row0[ix1], row1[ix], row1[ix1]};
  const std::uint32_t wt[4] = {(256 - tx) * (256 - ty), tx * (256 - ty), (256 - tx) * ty, tx * ty};
  std::uint32_t a = 0, c[3] = {0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t wa = wt[i] * AlphaOf(p[i]);
    a += wa;
    c[0] += wa * BlueOf(p[i]), c[1] += wa * GreenOf(p[i]), c[2] += wa * RedOf(p[i]);
  }
  if (a == 0) return;
  // a is alpha x 65536; the colours carry it already (premultiplied).
  const std::uint32_t keep = kFull - a;
  const auto mix = [&](std::uint32_t premul, std::uint8_t dst) {
    return TColor32((premul + dst * keep + kFull / 2) / kFull);
  };
  d = (d & 0xFF000000u) | mix(c[2], RedOf(d)) << 16 | mix(c[1], GreenOf(d)) << 8 | mix(c[0], BlueOf(d));
}

#if defined(__x86_64__)
// One row of the mapping, r[0] * px + r[1] * py + r[2], summed in CardPixel's order.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256d MapRow(const double* r, __m256d px, double py) {
  return _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(r[0]), px), _mm256_set1_pd(r[1] * py)),
                       _mm256_set1_pd(r[2]));
}

// Eight pixels of CardPixel from x on: the source points in double lanes with
// the same products, sums and divisions (so the same fractions), then the
// samples and the mix in 32-bit lanes, whose sums are exact as CardPixel's are.
[[gnu::target("avx2")]] void CardPixels8(const TCardSource& k, double py, int x, TColor32* out) {
  const double* m = k.inv;
  const __m256d half = _mm256_set1_pd(0.5), zero = _mm256_setzero_pd(), scale = _mm256_set1_pd(256);
  const __m256d width = _mm256_set1_pd(k.width), height = _mm256_set1_pd(k.height);
  const __m256d lastX = _mm256_set1_pd(k.width - 1), lastY = _mm256_set1_pd(k.height - 1);
  const __m256d absMask = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
  __m128i ixs[2], iys[2], txs[2], tys[2], ins[2];
  for (int h = 0; h < 2; ++h) {
    const double first = double(x + 4 * h) + 0.5;
    const __m256d px = _mm256_add_pd(_mm256_set1_pd(first), _mm256_set_pd(3, 2, 1, 0));
    const __m256d w = MapRow(m + 6, px, py);
    const __m256d sx = _mm256_div_pd(MapRow(m, px, py), w), sy = _mm256_div_pd(MapRow(m + 3, px, py), w);
    __m256d inside = _mm256_cmp_pd(_mm256_and_pd(w, absMask), _mm256_set1_pd(1e-12), _CMP_GE_OQ);
    inside = _mm256_and_pd(inside, _mm256_and_pd(_mm256_cmp_pd(sx, zero, _CMP_GE_OQ), _mm256_cmp_pd(sx, width, _CMP_LT_OQ)));
    inside = _mm256_and_pd(inside, _mm256_and_pd(_mm256_cmp_pd(sy, zero, _CMP_GE_OQ), _mm256_cmp_pd(sy, height, _CMP_LT_OQ)));
    // max and min give the second operand for NaN: every lane lands in the picture.
    const __m256d fx = _mm256_min_pd(_mm256_max_pd(_mm256_sub_pd(sx, half), zero), lastX);
    const __m256d fy = _mm256_min_pd(_mm256_max_pd(_mm256_sub_pd(sy, half), zero), lastY);
    ixs[h] = _mm256_cvttpd_epi32(fx);
    iys[h] = _mm256_cvttpd_epi32(fy);
    txs[h] = _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_sub_pd(fx, _mm256_cvtepi32_pd(ixs[h])), scale));
    tys[h] = _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_sub_pd(fy, _mm256_cvtepi32_pd(iys[h])), scale));
    // The low halves of the four 64-bit masks as four 32-bit ones.
    const __m256i in64 = _mm256_castpd_si256(inside);
    ins[h] = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(in64, _mm256_set_epi32(7, 5, 3, 1, 6, 4, 2, 0)));
  }
  const __m256i inside = _mm256_set_m128i(ins[1], ins[0]);
  if (_mm256_testz_si256(inside, inside)) return;
  const __m256i ix = _mm256_set_m128i(ixs[1], ixs[0]), iy = _mm256_set_m128i(iys[1], iys[0]);
  const __m256i tx = _mm256_set_m128i(txs[1], txs[0]), ty = _mm256_set_m128i(tys[1], tys[0]);
  const __m256i one = _mm256_set1_epi32(1), full = _mm256_set1_epi32(256), sw = _mm256_set1_epi32(k.width);
  const __m256i ix1 = _mm256_min_epi32(_mm256_add_epi32(ix, one), _mm256_set1_epi32(k.width - 1));
  const __m256i iy1 = _mm256_min_epi32(_mm256_add_epi32(iy, one), _mm256_set1_epi32(k.height - 1));
  const __m256i row0 = _mm256_mullo_epi32(iy, sw), row1 = _mm256_mullo_epi32(iy1, sw);
  const int* bits = reinterpret_cast<const int*>(k.bits);
  const __m256i p[4] = {_mm256_i32gather_epi32(bits, _mm256_add_epi32(row0, ix), 4),
                        _mm256_i32gather_epi32(bits, _mm256_add_epi32(row0, ix1), 4),
                        _mm256_i32gather_epi32(bits, _mm256_add_epi32(row1, ix), 4),
                        _mm256_i32gather_epi32(bits, _mm256_add_epi32(row1, ix1), 4)};
  const __m256i nx = _mm256_sub_epi32(full, tx), ny = _mm256_sub_epi32(full, ty);
  const __m256i wt[4] = {_mm256_mullo_epi32(nx, ny), _mm256_mullo_epi32(tx, ny), _mm256_mullo_epi32(nx, ty),
                         _mm256_mullo_epi32(tx, ty)};
  const __m256i byte = _mm256_set1_epi32(0xFF);
  __m256i a = _mm256_setzero_si256(), c[3] = {a, a, a};
  for (int i = 0; i < 4; ++i) {
    const __m256i wa = _mm256_mullo_epi32(wt[i], _mm256_srli_epi32(p[i], 24));
    a = _mm256_add_epi32(a, wa);
    for (int ch = 0; ch < 3; ++ch)
      c[ch] = _mm256_add_epi32(c[ch], _mm256_mullo_epi32(wa, _mm256_and_si256(_mm256_srli_epi32(p[i], 8 * ch), byte)));
  }
  const __m256i draw = _mm256_andnot_si256(_mm256_cmpeq_epi32(a, _mm256_setzero_si256()), inside);
  const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out));
  const __m256i keep = _mm256_sub_epi32(_mm256_set1_epi32(int(kFull)), a);
  __m256i mixed = _mm256_and_si256(d, _mm256_set1_epi32(int(0xFF000000u)));
  for (int ch = 0; ch < 3; ++ch) {
    const __m256i dst = _mm256_and_si256(_mm256_srli_epi32(d, 8 * ch), byte);
    const __m256i v = _mm256_add_epi32(_mm256_add_epi32(c[ch], _mm256_mullo_epi32(dst, keep)),
                                       _mm256_set1_epi32(int(kFull / 2)));
    // v div kFull as (v shr 16) div 255, exact while v shr 16 stays below 65535.
    const __m256i q = _mm256_srli_epi32(v, 16);
    const __m256i value = _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(q, _mm256_srli_epi32(q, 8)), one), 8);
    mixed = _mm256_or_si256(mixed, _mm256_slli_epi32(value, 8 * ch));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_blendv_epi8(d, mixed, draw));
}

const bool kWideCard = ProcessorFeatures().Avx2;
#else
void CardPixels8(const TCardSource&, double, int, TColor32*) {}
constexpr bool kWideCard = false;
#endif

// The columns of row centre py that may map into the source: the quad's span
// there, a pixel wider each side (every pixel is still tested), when the quad is
// convex and so the whole image of the source; otherwise x0..x1.
std::pair<int, int> RowSpan(const TQuad& quad, bool convex, double py, int x0, int x1) {
  if (!convex) return {x0, x1};
  double left = HUGE_VAL, right = -HUGE_VAL;
  for (int i = 0; i < 4; ++i) {
    const TFloatPoint a = quad[i], b = quad[(i + 1) % 4];
    constexpr double kSlack = 1e-6;  // a centre on a corner's row counts
    if (std::min(a.Y, b.Y) > py + kSlack || std::max(a.Y, b.Y) < py - kSlack) continue;
    double from = a.X, to = b.X;
    if (a.Y != b.Y) from = to = a.X + std::clamp((py - a.Y) / (b.Y - a.Y), 0.0, 1.0) * (b.X - a.X);
    left = std::min({left, from, to}), right = std::max({right, from, to});
  }
  if (left > right) return {x0, x0};
  return {std::clamp(int(std::floor(left)) - 1, x0, x1), std::clamp(int(std::ceil(right)) + 1, x0, x1)};
}

}  // namespace

void TransformOnto(TBitmap32& canvas, const TBitmap32& source, const TQuad& quad) {
  if (source.Empty() || canvas.Empty()) return;
  const int sw = source.Width(), sh = source.Height();
  const std::optional<TProjectiveMap> map = TProjectiveMap::FromRect(sw, sh, quad);
  if (!map) return;
  double left = quad[0].X, right = quad[0].X, top = quad[0].Y, bottom = quad[0].Y;
  for (const TFloatPoint& c : quad) {
    left = std::min(left, c.X), right = std::max(right, c.X);
    top = std::min(top, c.Y), bottom = std::max(bottom, c.Y);
  }
  const int x0 = std::max(0, int(std::floor(left))), x1 = std::min(canvas.Width(), int(std::ceil(right)));
  const int y0 = std::max(0, int(std::floor(top))), y1 = std::min(canvas.Height(), int(std::ceil(bottom)));
  const TCardSource k{map->Backward(), source.PixelPtr(0, 0), sw, sh};
  const bool convex = QuadTurn(quad) != 0;
  // Every pixel costs two divisions and four samples: worth a thread from a few
  // thousand pixels on. Each band writes its own rows only.
  const std::int64_t area = std::int64_t(std::max(0, x1 - x0)) * std::max(0, y1 - y0);
  ForRowBands(y0, y1, area, [&](int rowsFrom, int rowsTo) {
    for (int y = rowsFrom; y < rowsTo; ++y) {
      const double py = y + 0.5;
      const auto [from, to] = RowSpan(quad, convex, py, x0, x1);
      TColor32* out = canvas.PixelPtr(0, y);
      int x = from;
      if (kWideCard)
        for (; x + 8 <= to; x += 8) CardPixels8(k, py, x, out + x);
      for (; x < to; ++x) CardPixel(k, py, x, out[x]);
    }
  }, 1 << 14);
}

void TCardImage::Place(int width, int height, int cardWidth, int cardHeight) {
  width_ = width;
  height_ = height;
  const int left = (cardWidth - width) / 2, top = (cardHeight - height) / 2;
  const int right = left + width, bottom = top + height;
  const double midX = (left + right) / 2, midY = (top + bottom) / 2;
  points_ = {TFloatPoint{double(left), double(top)}, {midX, double(top)}, {double(right), double(top)},
             {double(right), midY}, {double(right), double(bottom)}, {midX, double(bottom)},
             {double(left), double(bottom)}, {double(left), midY}};
  bounds_ = {left, top, right, bottom};
  dragZone_ = kZoneNone;
}

int TCardImage::HitZone(int x, int y) const {
  std::array<TPoint, 8> r;
  for (int i = 0; i < 8; ++i) r[i] = {RoundInt(points_[i].X), RoundInt(points_[i].Y)};
  for (int i = 0; i < 8; ++i)
    if (std::abs(x - r[i].X) < 3 && std::abs(y - r[i].Y) < 3) return kZoneHandle0 + i;
  // Even-odd rule over the eight points, at the pixel's centre.
  bool inside = false;
  const double px = x + 0.5, py = y + 0.5;
  for (int i = 0, j = 7; i < 8; j = i++) {
    const double yi = r[i].Y, yj = r[j].Y;
    if ((yi > py) != (yj > py) && px < (r[j].X - r[i].X) * (py - yi) / (yj - yi) + r[i].X) inside = !inside;
  }
  return inside ? kZoneInside : kZoneOutside;
}

void TCardImage::MouseDown(int x, int y) {
  dragZone_ = HitZone(x, y);
  last_ = {x, y};
  centre_ = {(bounds_.Left + bounds_.Right) / 2.0, (bounds_.Top + bounds_.Bottom) / 2.0};
  start_ = points_;
  pairs_.clear();
  signs_.clear();
  if (dragZone_ < kZoneHandle0 || dragZone_ >= kZoneInside) return;
  const int h = dragZone_ - kZoneHandle0;
  pairs_.push_back({h, (h + 4) % 8});
  if (h % 2 == 1) {
    // The two edges that meet the dragged one keep their direction too.
    pairs_.push_back({(h + 7) % 8, (h + 5) % 8});
    pairs_.push_back({(h + 1) % 8, (h + 3) % 8});
  }
  for (const auto& [a, b] : pairs_) signs_.push_back({points_[a].X - points_[b].X >= 0, points_[a].Y - points_[b].Y >= 0});
}

bool TCardImage::SignsKept() const {
  // Half a pixel of slack: a side that stays put must not count as turned over.
  auto kept = [](bool wasAhead, double d) { return wasAhead ? d > -0.5 : d < 0.5; };
  for (std::size_t i = 0; i < pairs_.size(); ++i) {
    const auto& [a, b] = pairs_[i];
    if (!kept(signs_[i][0], points_[a].X - points_[b].X) || !kept(signs_[i][1], points_[a].Y - points_[b].Y))
      return false;
  }
  return true;
}

bool TCardImage::SetCorners(const TQuad& corners) {
  const TCardHandles before = points_;
  for (int i = 0; i < 4; ++i) points_[2 * i] = corners[i];
  MiddlesFromCorners();
  if (!QuadAcceptable(points_)) {
    points_ = before;
    return false;
  }
  RefreshBounds();
  return true;
}

void TCardImage::MiddlesFromCorners() {
  for (int m = 1; m < 8; m += 2)
    points_[m] = {(points_[m - 1].X + points_[(m + 1) % 8].X) / 2, (points_[m - 1].Y + points_[(m + 1) % 8].Y) / 2};
}

void TCardImage::Rotate(int dy, int x) {
  const double angle = (x > centre_.X ? -dy : dy) * M_PI / 180;
  const double c = std::cos(angle), s = std::sin(angle);
  for (TFloatPoint& p : points_) {
    const double dx = p.X - centre_.X, dyp = p.Y - centre_.Y;
    p = {double(RoundInt(centre_.X + dx * c + dyp * s)), double(RoundInt(centre_.Y - dx * s + dyp * c))};
  }
  MiddlesFromCorners();
}

// Scales the quad about the opposite corner without turning it.
void TCardImage::DragCorner(int h, TFloatPoint p) {
  const TFloatPoint opposite = points_[(h + 4) % 8];
  points_[h] = Foot(p, opposite, start_[h]);
  for (int adjacent : {(h + 2) % 8, (h + 6) % 8}) points_[adjacent] = Foot(points_[h], opposite, start_[adjacent]);
  MiddlesFromCorners();
}

// Moves one edge parallel to the opposite one.
void TCardImage::DragMiddle(int m, TFloatPoint p) {
  const int om = (m + 4) % 8;
  points_[m] = Foot(p, points_[om], start_[m]);
  const auto rebuild = [&](int corner, int oppositeCorner) {
    points_[corner] = {points_[m].X + points_[oppositeCorner].X - points_[om].X,
                       points_[m].Y + points_[oppositeCorner].Y - points_[om].Y};
  };
  rebuild((m + 7) % 8, (om + 1) % 8);
  rebuild((m + 1) % 8, (om + 7) % 8);
  MiddlesFromCorners();
}

bool TCardImage::MouseMove(int x, int y) {
  if (dragZone_ == kZoneNone) return false;
  const TCardHandles before = points_;
  const int dx = x - last_.X, dy = y - last_.Y;
  if (dragZone_ == kZoneOutside) {
    Rotate(std::clamp(dy, -5, 5), x);
  } else if (dragZone_ == kZoneInside) {
    for (TFloatPoint& p : points_) p = {p.X + dx, p.Y + dy};
    bounds_ = bounds_.Offset(dx, dy);
  } else {
    const int h = dragZone_ - kZoneHandle0;
    const TFloatPoint pointer{double(x), double(y)};
    if (h % 2 == 0)
      DragCorner(h, pointer);
    else
      DragMiddle(h, pointer);
    if (!QuadAcceptable(points_) || !SignsKept()) points_ = before;
  }
  last_ = {x, y};
  return points_ != before;
}

void TCardImage::MouseUp() {
  if (dragZone_ != kZoneNone && dragZone_ != kZoneInside) RefreshBounds();
  dragZone_ = kZoneNone;
}

void TCardImage::RefreshBounds() {
  double left = points_[0].X, right = left, top = points_[0].Y, bottom = top;
  for (const TFloatPoint& p : points_) {
    left = std::min(left, p.X), right = std::max(right, p.X);
    top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
  }
  bounds_ = {int(std::floor(left)), int(std::floor(top)), int(std::ceil(right)), int(std::ceil(bottom))};
}
