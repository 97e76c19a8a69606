#include "exchange/LabelLook.h"

#include <algorithm>
#include <cmath>

TPoint DirectionStep(TDirection direction) {
  static constexpr TPoint kSteps[] = {{0, 0}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  const int i = int(direction);
  return i >= 0 && i < int(std::size(kSteps)) ? kSteps[i] : TPoint{0, 0};
}

int NormalizeAngle(int degrees) {
  const int a = degrees % 360;
  return a < 0 ? a + 360 : a;
}

void ApplyShadowStyle(TLabelLook& look, TShadowStyle style, TColor32& fontColor) {
  look.Style = style;
  if (style == ssCustom) return;
  struct TPreset {
    TDirection Highlight;
    int HighlightDepth;
    TDirection Shadow;
    int ShadowDepth, ShadowSize;
  };
  static constexpr TPreset kPresets[] = {
      {drNone, 0, drNone, 0, 0},             // ssNone
      {drNone, 0, drNone, 0, 0},             // ssCustom (not used)
      {drUpLeft, 1, drNone, 0, 0},           // ssRaised
      {drUpLeft, 1, drDownRight, 1, 1},      // ssRaisedColor
      {drUpLeft, 1, drDownRight, 1, 1},      // ssRaisedShadow
      {drUpLeft, 1, drDownRight, 1, 4},      // ssRaisedThickShadow
      {drDownRight, 1, drNone, 0, 0},        // ssRecessed
      {drDownRight, 1, drUpLeft, 1, 1},      // ssRecessedColor
      {drDownRight, 1, drUpLeft, 1, 1},      // ssRecessedShadow
      {drNone, 0, drDownRight, 2, 1},        // ssShadow
      {drNone, 0, drDownRight, 1, 4},        // ssThickShadow
  };
  const TPreset& p = kPresets[std::clamp(int(style), 0, int(std::size(kPresets)) - 1)];
  look.HighlightDirection = p.Highlight;
  look.HighlightDepth = p.HighlightDepth;
  look.ShadowDirection = p.Shadow;
  look.ShadowDepth = p.ShadowDepth;
  look.ShadowSize = p.ShadowSize;
  look.HighlightColor = kBtnHighlight;
  look.ShadowColor = kBtnShadow;
  if (style == ssRaisedColor || style == ssRecessedColor) fontColor = kBtnFace;
}

std::vector<TLabelPass> LabelPasses(const TLabelLook& look, TColor32 fontColor, bool enabled) {
  if (!enabled) return {{{1, 1}, kBtnHighlight}, {{0, 0}, kBtnShadow}};
  std::vector<TLabelPass> passes;
  if (look.Style != ssNone) {
    const TPoint s = DirectionStep(look.ShadowDirection);
    for (int i = 0; i < look.ShadowSize; ++i)
      passes.push_back({{s.X * (look.ShadowDepth + i), s.Y * (look.ShadowDepth + i)}, look.ShadowColor});
    // A highlight in the face's own place would only fringe the face's smoothed
    // edges with its colour.
    const TPoint h = DirectionStep(look.HighlightDirection);
    if (h.X * look.HighlightDepth != 0 || h.Y * look.HighlightDepth != 0)
      passes.push_back({{h.X * look.HighlightDepth, h.Y * look.HighlightDepth}, look.HighlightColor});
  }
  passes.push_back({{0, 0}, fontColor});
  return passes;
}

TRotatedText RotateText(double width, double height, int angle) {
  const double a = NormalizeAngle(angle) * M_PI / 180, c = std::cos(a), s = std::sin(a);
  // Corners of the text about its top-left corner, turned counter-clockwise on a
  // screen whose y grows downwards.
  const TFloatPoint corners[4] = {{0, 0}, {width * c, -width * s}, {width * c + height * s, -width * s + height * c},
                                  {height * s, height * c}};
  double left = 0, top = 0, right = 0, bottom = 0;
  for (const TFloatPoint& p : corners) {
    left = std::min(left, p.X), right = std::max(right, p.X);
    top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
  }
  return {{-left, -top}, right - left, bottom - top};
}

TPoint CardLabelSize(int widestLine, int lineHeight, int lines, int shadowSize, int angle) {
  if (NormalizeAngle(angle) == 0) return {widestLine + shadowSize, lineHeight * lines + shadowSize};
  // A square, large enough for the turned line at any angle, with a pixel on each
  // side for the smoothed edges of glyphs that no longer sit on the pixel grid.
  const TRotatedText turned = RotateText(widestLine, lineHeight, angle);
  const int side = std::max(widestLine, int(std::ceil(std::max(turned.Width, turned.Height))) + 2) + shadowSize;
  return {side, side};
}
