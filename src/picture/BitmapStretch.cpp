// The stretch family, blending into a rectangle, and rotation.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"

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

void Stretch(TBitmap32& canvas, const TRect& rect, const TBitmap32& source, StretchMode mode) {
  if (!CanDraw(canvas, rect, source)) return;
  const int w = source.Width();
  const Axis cols = MakeAxis(w, rect.Width(), true);
  const Axis rows = MakeAxis(source.Height(), rect.Height(), false);
  const Visible v = VisiblePart(canvas, rect);
  // The alpha-blending modes look at the colour computed one column to the left,
  // so they walk each row from target column 0 even when it is clipped.
  const bool chained = mode == StretchMode::HardAlpha || mode == StretchMode::AllAlpha;
  const int xStart = chained ? 0 : v.x0;
  for (int y = v.y0; y < v.y1; ++y) {
    const std::uint8_t* upper = source.Row(rows.near[y]);
    const std::uint8_t* lower = source.Row(rows.far[y]);
    const float fy = rows.weight[y];
    std::uint8_t* out = canvas.Row(rect.Top + y);
    float previous[3] = {0, 0, 0};
    for (int x = xStart; x < v.x1; ++x) {
      const float fx = cols.weight[x];
      const std::uint8_t* p00 = upper + 4 * cols.near[x];
      const std::uint8_t* p01 = upper + 4 * cols.far[x];
      const std::uint8_t* p10 = lower + 4 * cols.near[x];
      const std::uint8_t* p11 = lower + 4 * cols.far[x];
      float value[4];
      for (int c = 0; c < 4; ++c) {
        // Lerp form: equal corners give exactly their value, so truncation of a
        // flat area never loses one.
        const float top = p00[c] + fx * float(p01[c] - p00[c]);
        const float bottom = p10[c] + fx * float(p11[c] - p10[c]);
        value[c] = top + fy * (bottom - top);
      }
      std::uint8_t px[4];
      switch (mode) {
        case StretchMode::Opaque:
          for (int c = 0; c < 3; ++c) px[c] = Byte(value[c]);
          px[3] = 255;
          break;
        case StretchMode::Premultiplied: {
          const std::uint8_t a = Byte(value[3]);
          for (int c = 0; c < 3; ++c) px[c] = Byte(value[c] * a / 255.0f);
          px[3] = a;
          break;
        }
        case StretchMode::HardAlpha:
        case StretchMode::AllAlpha: {
          const std::uint8_t nearest = p00[3];
          const bool hard = mode == StretchMode::HardAlpha && (nearest == 0 || nearest == 255);
          const std::uint8_t a = hard ? nearest : Byte(value[3]);
          const bool noLeft = x == 0 || cols.near[x] == w - 1;
          for (int c = 0; c < 3; ++c) {
            if (a == 0 || a == 255) {
              px[c] = Byte(value[c]);
            } else {
              const float behind = noLeft ? 0.0f : previous[c];
              px[c] = Byte((value[c] * a + (255 - a) * behind) / 255.0f);
            }
            previous[c] = px[c];
          }
          px[3] = a;
          break;
        }
      }
      if (x >= v.x0) std::copy(px, px + 4, out + 4 * std::size_t(rect.Left + x));
    }
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
