#include "editor/DeskViewGeometry.h"

#include <algorithm>

#include "platform/Numeric.h"

namespace {
// Raised to 0, then lowered to the room left; a view larger than the canvas
// (which a scale within MaxDeskScalePercent never gives) still starts at 0.
int FitOrigin(int origin, int room) { return std::max(0, std::min(std::max(origin, 0), room)); }
}  // namespace

TRect ScaledDeskView(const TDeskSizes& sizes, const TRect& view, double scale) {
  const int w = RoundInt(sizes.WindowWidth * scale);
  const int h = RoundInt(sizes.WindowHeight * scale);
  if (w == view.Width() && h == view.Height()) return view;
  const int left = RoundInt((view.Width() - w) / 2.0) + view.Left;
  const int top = RoundInt((view.Height() - h) / 2.0) + view.Top;
  return Bounds(FitOrigin(left, sizes.TableWidth - w), FitOrigin(top, sizes.TableHeight - h), w, h);
}

TSliderRange HorizontalScrollRange(const TDeskSizes& sizes, const TRect& view) {
  return {0, std::max(0, sizes.TableWidth - view.Width()), view.Left};
}

TSliderRange VerticalScrollRange(const TDeskSizes& sizes, const TRect& view) {
  return {0, std::max(0, sizes.TableHeight - view.Height()), view.Top};
}

int MaxDeskScalePercent(const TDeskSizes& sizes) {
  if (sizes.WindowWidth <= 0 || sizes.WindowHeight <= 0) return 1;
  // k <= 100 T / W gives W k / 100 <= T, so the rounded view width stays within T.
  const int byWidth = sizes.TableWidth * 100 / sizes.WindowWidth;
  const int byHeight = sizes.TableHeight * 100 / sizes.WindowHeight;
  return std::max(1, std::min(byWidth, byHeight));
}

TPoint CentredViewOrigin(const TDeskSizes& sizes, const TRect& view) {
  return {(sizes.TableWidth - view.Width()) / 2, (sizes.TableHeight - view.Height()) / 2};
}
