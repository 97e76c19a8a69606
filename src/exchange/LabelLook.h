#pragma once
// The look of a shadowed label without Qt: its angle, highlight and shadow, the
// offset drawings they make, and where a rotated text sits in the label.
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

enum TDirection { drNone, drUp, drDown, drLeft, drRight, drUpLeft, drUpRight, drDownLeft, drDownRight };
// The unit step of a direction, y downwards.
TPoint DirectionStep(TDirection direction);

enum TShadowStyle {
  ssNone,
  ssCustom,
  ssRaised,
  ssRaisedColor,
  ssRaisedShadow,
  ssRaisedThickShadow,
  ssRecessed,
  ssRecessedColor,
  ssRecessedShadow,
  ssShadow,
  ssThickShadow
};

// Button face, highlight and shadow as the label draws them.
constexpr TColor32 kBtnFace = Color32(240, 240, 240);
constexpr TColor32 kBtnHighlight = Color32(255, 255, 255);
constexpr TColor32 kBtnShadow = Color32(160, 160, 160);

// Degrees kept in 0..359 (negative angles count back from 360).
int NormalizeAngle(int degrees);

struct TLabelLook {
  TShadowStyle Style = ssNone;
  TDirection HighlightDirection = drNone;
  int HighlightDepth = 0;
  TColor32 HighlightColor = kBtnHighlight;
  TDirection ShadowDirection = drNone;
  int ShadowDepth = 0;
  int ShadowSize = 0;
  TColor32 ShadowColor = kBtnShadow;
};

// The preset's highlight and shadow (ssCustom keeps them); `fontColor` takes the
// button face for the two "Color" presets.
void ApplyShadowStyle(TLabelLook& look, TShadowStyle style, TColor32& fontColor);

// One drawing of the text: its offset from the text's place and its colour.
struct TLabelPass {
  TPoint Offset;
  TColor32 Color;
  bool operator==(const TLabelPass&) const = default;
};
// The drawings in order, the face last: ShadowSize shadows from ShadowDepth steps
// out, each one step further; one highlight at HighlightDepth steps (none where
// the face covers it); the face. A
// disabled label: highlight colour at (+1, +1), then the shadow colour in place.
std::vector<TLabelPass> LabelPasses(const TLabelLook& look, TColor32 fontColor, bool enabled);

// A text of width x height drawn rotated by `angle` degrees (counter-clockwise on
// the screen) about its top-left corner: where that corner must be for the
// rotated text's bounding box to start at (0, 0), and the box's size.
struct TRotatedText {
  TFloatPoint Origin;
  double Width = 0;
  double Height = 0;
};
TRotatedText RotateText(double width, double height, int angle);

// The size of a post card's text label: the widest line plus the shadow wide, the
// first line's height times the lines plus the shadow high; a turned (one-line)
// text gets a square that holds it at its angle, shadow included.
TPoint CardLabelSize(int widestLine, int lineHeight, int lines, int shadowSize, int angle);
