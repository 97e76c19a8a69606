#pragma once
// Where a picture slider's value lies on its track and which value a point picks.
// Qt-free: the slider control feeds it its settings.
#include <optional>

#include "shell/SkinPixels.h"

struct TSliderGeometry {
  int TrackWidth = 0;   // the track frame's size (the resource's, or the control's when 0)
  int TrackHeight = 0;
  int ResImageLeft = 0;  // where the track frame is drawn in the control
  int ResImageTop = 0;
  int BeginOffset = 0;  // unused pixels at either end of the track
  int EndOffset = 0;
  bool Horizontal = true;
  bool Reversed = false;
  int Min = 0;
  int Max = 100;
};

// A slider is horizontal when it is at least as wide as it is high.
inline bool SliderIsHorizontal(int width, int height) { return width >= height; }

// The pixels the values run over along the axis (may be 0 or below on a bad layout).
int TrackLength(const TSliderGeometry& g);
// The first and last pixel of the track along the axis.
int TrackLow(const TSliderGeometry& g);
int TrackHigh(const TSliderGeometry& g);
// The track rectangle that a mouse press may start a drag in.
TRect TrackRect(const TSliderGeometry& g);

// The pixel along the axis that shows `value` (the start, or the end when Reversed,
// when Min >= Max or the track has no length).
int ValuePixel(const TSliderGeometry& g, int value);
// The value picked by the point at `axisPos` along the axis; nullopt when the point
// lies outside the track or the track has no length.
std::optional<int> ValueAtPixel(const TSliderGeometry& g, int axisPos);

// Value clamped to [min, max] (min wins when min > max).
int ClampSliderValue(int value, int min, int max);

// The thumb's start along the axis: the value pixel less half the thumb (or less the
// grab offset while the thumb is dragged, grabOffset >= 0), kept so that the thumb
// ends before the control's last pixel, and never below 0.
int ThumbPosition(int valuePixel, int thumbSize, int grabOffset, int controlSize);
