#include "exchange/PrintLayout.h"

#include "platform/Numeric.h"

namespace {
// How a picture fills its printed area before the stay-inside rule.
enum class FitSide { Width, Height };

struct TPrintArea {
  TRect Rect;
  FitSide Side = FitSide::Width;
};

// The area of a page position in a layout, or an empty area.
TPrintArea AreaOf(int layout, int position, const TPrintableArea& page) {
  int halfW = page.Width / 2, halfH = page.Height / 2;
  if (layout == 1 && position == 1) return {{0, 0, page.Width, page.Height}, FitSide::Width};
  if ((layout == 2 || layout == 3) && position == 1) return {{0, 0, page.Width, halfH}, FitSide::Height};
  if (layout == 2 && position == 3) return {{0, halfH, page.Width, halfH + halfH}, FitSide::Height};
  bool quarter = layout == 4 ? (position >= 1 && position <= 4) : (layout == 3 && (position == 3 || position == 4));
  if (!quarter) return {};
  int left = (position == 2 || position == 4) ? halfW : 0;
  int top = position >= 3 ? halfH : 0;
  return {Bounds(left, top, halfW, halfH), FitSide::Width};
}

int Scaled(int value, int numerator, int denominator) {
  return RoundInt(double(value) * numerator / denominator);
}
}  // namespace

TPrintableArea PrintableArea(int pageWidthMm, int pageHeightMm, int leftRightMarginPercent,
                             int topBottomMarginPercent) {
  const int width = pageWidthMm * (100 - leftRightMarginPercent) / 10;
  const int height = pageHeightMm * (100 - topBottomMarginPercent) / 10;
  return {width, height, (pageWidthMm * 10 - width) / 2, (pageHeightMm * 10 - height) / 2};
}

int SlotCount(int layout) { return (layout >= 1 && layout <= 4) ? layout : 0; }

int SlotToPosition(int layout, int slot) {
  static constexpr int kPositions[4][4] = {{1, 0, 0, 0}, {1, 3, 0, 0}, {1, 3, 4, 0}, {1, 2, 3, 4}};
  if (slot < 1 || slot > SlotCount(layout)) return 0;
  return kPositions[layout - 1][slot - 1];
}

TSlotHit HitTestPage(int layout, int x, int y, int width, int height) {
  int halfW = width / 2, halfH = height / 2;
  TRect top{0, 0, width, halfH}, bottom{0, halfH, width, height};
  TRect q1{0, 0, halfW, halfH}, q2{halfW, 0, width, halfH}, q3{0, halfH, halfW, height}, q4{halfW, halfH, width, height};
  switch (layout) {
    case 1:
      return {1, {0, 0, width, height}};
    case 2:
      return y >= halfH ? TSlotHit{2, bottom} : TSlotHit{1, top};
    case 3:
      if (y >= halfH) return x > halfW ? TSlotHit{3, q4} : TSlotHit{2, q3};
      return {1, top};
    case 4:
      if (y <= halfH) return x <= halfW ? TSlotHit{1, q1} : TSlotHit{2, q2};
      return x <= halfW ? TSlotHit{3, q3} : TSlotHit{4, q4};
    default:
      return {};
  }
}

TRect PositionRect(int layout, int position, int width, int height) {
  int halfW = width / 2, halfH = height / 2;
  if (layout == 1) return {0, 0, width, height};
  if ((layout == 2 || layout == 3) && position == 1) return {0, 0, width, halfH};
  if (layout == 2 && position == 3) return {0, halfH, width, height};
  switch (position) {
    case 1: return {0, 0, halfW, halfH};
    case 2: return {halfW, 0, width, halfH};
    case 3: return {0, halfH, halfW, height};
    case 4: return {halfW, halfH, width, height};
    default: return {};
  }
}

TRect FitPreview(int pictureWidth, int pictureHeight, const TRect& area) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || area.IsEmpty()) return {};
  double aspect = double(pictureWidth) / pictureHeight;
  int w, h;
  if (pictureHeight < pictureWidth) {
    w = area.Width();
    h = RoundInt(w / aspect);
  } else {
    h = area.Height();
    w = RoundInt(h * aspect);
  }
  while ((w > area.Width() || h > area.Height()) && w > 0 && h > 0) {
    --w;
    --h;
  }
  if (w <= 0 || h <= 0) return {};
  int left = std::max(0, (area.Width() - w) / 2), top = std::max(0, (area.Height() - h) / 2);
  return Bounds(area.Left + left, area.Top + top, w, h);
}

TRect PrintPlacement(int layout, int position, int pictureWidth, int pictureHeight, const TPrintableArea& page) {
  TPrintArea area = AreaOf(layout, position, page);
  if (area.Rect.IsEmpty() || pictureWidth <= 0 || pictureHeight <= 0) return {};
  int areaW = area.Rect.Width(), areaH = area.Rect.Height();
  bool byWidth = area.Side == FitSide::Width;
  int w = byWidth ? areaW : Scaled(pictureWidth, areaH, pictureHeight);
  int h = byWidth ? Scaled(pictureHeight, areaW, pictureWidth) : areaH;
  if (w > areaW || h > areaH) {
    byWidth = !byWidth;
    w = byWidth ? areaW : Scaled(pictureWidth, areaH, pictureHeight);
    h = byWidth ? Scaled(pictureHeight, areaW, pictureWidth) : areaH;
  }
  return Bounds(page.Left + area.Rect.Left + (areaW - w) / 2, page.Top + area.Rect.Top + (areaH - h) / 2, w, h);
}

int TenthsToDevice(int tenths, int dpi) { return RoundInt(double(dpi) * tenths / 254.0); }

TRect PrintDeviceRect(int left, int top, int widthTenths, int heightTenths, int dpiX, int dpiY) {
  return Bounds(left, top, TenthsToDevice(widthTenths, dpiX), TenthsToDevice(heightTenths, dpiY));
}

std::vector<TStripPlace> PlaceStrips(std::span<const TStripSize> strips, const TPrintableArea& area) {
  constexpr int kGap = 80;
  std::vector<TStripPlace> places;
  int page = 0, top = 0;
  for (const TStripSize& strip : strips) {
    const int height = strip.Width > 0 ? Scaled(strip.Height, area.Width, strip.Width) : 0;
    if (top > 0 && top + height > area.Height) {
      ++page;
      top = 0;
    }
    places.push_back({page, top, height});
    top += height + kGap;
  }
  return places;
}
