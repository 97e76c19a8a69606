#include "exchange/CardQuad.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "picture/RowBands.h"
#include "platform/Numeric.h"

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

bool QuadAcceptable(const TCardHandles& p) {
  const std::array<std::array<int, 2>, 8> spans = {{{1, 5}, {3, 7}, {0, 2}, {2, 4}, {4, 6}, {6, 0}, {0, 4}, {2, 6}}};
  for (const auto& [a, b] : spans)
    if (!(Distance(p[a], p[b]) > kMinQuadSide)) return false;
  for (int i = 0; i < 4; ++i)
    if (!(Cross(p[2 * i], p[(2 * i + 2) % 8], p[(2 * i + 4) % 8]) > 0)) return false;
  return true;
}

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
  // Every pixel costs a division and four samples: worth a thread from a few
  // thousand pixels on. Each band writes its own rows only.
  const std::int64_t area = std::int64_t(std::max(0, x1 - x0)) * std::max(0, y1 - y0);
  std::vector<const TColor32*> rows(sh);
  for (int y = 0; y < sh; ++y) rows[y] = source.PixelPtr(0, y);
  ForRowBands(y0, y1, area, [&](int rowsFrom, int rowsTo) {
    for (int y = rowsFrom; y < rowsTo; ++y) {
      TColor32* out = canvas.PixelPtr(0, y);
      for (int x = x0; x < x1; ++x) {
        const std::optional<TFloatPoint> s = map->Unmap({x + 0.5, y + 0.5});
        if (!s || !(s->X >= 0 && s->X < sw && s->Y >= 0 && s->Y < sh)) continue;
        const double fx = std::clamp(s->X - 0.5, 0.0, double(sw - 1));
        const double fy = std::clamp(s->Y - 0.5, 0.0, double(sh - 1));
        const int ix = int(fx), iy = int(fy);
        const int ix1 = std::min(ix + 1, sw - 1), iy1 = std::min(iy + 1, sh - 1);
        const std::uint64_t tx = std::uint64_t((fx - ix) * 256), ty = std::uint64_t((fy - iy) * 256);
        const TColor32 p[4] = {rows[iy][ix], rows[iy][ix1], rows[iy1][ix], rows[iy1][ix1]};
        const std::uint64_t w[4] = {(256 - tx) * (256 - ty), tx * (256 - ty), (256 - tx) * ty, tx * ty};
        std::uint64_t a = 0, c[3] = {0, 0, 0};
        for (int i = 0; i < 4; ++i) {
          const std::uint64_t wa = w[i] * AlphaOf(p[i]);
          a += wa;
          c[0] += wa * BlueOf(p[i]), c[1] += wa * GreenOf(p[i]), c[2] += wa * RedOf(p[i]);
        }
        if (a == 0) continue;
        // a is alpha x 65536; the colours carry it already (premultiplied).
        constexpr std::uint64_t kFull = 255ull * 65536;
        TColor32 d = out[x];
        const std::uint64_t keep = kFull - a;
        const auto mix = [&](std::uint64_t premul, std::uint8_t dst) {
          return std::uint8_t((premul + dst * keep + kFull / 2) / kFull);
        };
        d = (d & 0xFF000000u) | (TColor32(mix(c[2], RedOf(d))) << 16) | (TColor32(mix(c[1], GreenOf(d))) << 8) |
            mix(c[0], BlueOf(d));
        out[x] = d;
      }
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
