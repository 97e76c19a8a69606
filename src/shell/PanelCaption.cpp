#include "shell/PanelCaption.h"

#include <algorithm>

TCaptionLimits CaptionLimits(int panelWidth, const std::vector<TChildSpan>& children) {
  const int middle = panelWidth / 2;
  TCaptionLimits limits{0, panelWidth};
  for (const TChildSpan& c : children) {
    if (c.Left + c.Width < middle) limits.Left = std::max(limits.Left, c.Left + c.Width);
    if (c.Left > middle) limits.Right = std::min(limits.Right, c.Left);
  }
  return limits;
}

int CaptionX(const TCaptionLimits& limits, int textWidth, TCaptionAlign align) {
  switch (align) {
    case TCaptionAlign::Left: return limits.Left + 2;
    case TCaptionAlign::Right: return limits.Right - 2 - textWidth;
    default: return limits.Left + (limits.Right - limits.Left) / 2 - textWidth / 2;
  }
}

int TileCount(int panelSide, int tileSide) { return tileSide > 0 && panelSide >= 0 ? panelSide / tileSide + 1 : 0; }
