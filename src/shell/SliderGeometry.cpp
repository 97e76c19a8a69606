#include "shell/SliderGeometry.h"

#include <algorithm>

#include "platform/Numeric.h"

int TrackLength(const TSliderGeometry& g) {
  return (g.Horizontal ? g.TrackWidth : g.TrackHeight) - g.BeginOffset - g.EndOffset;
}

int TrackLow(const TSliderGeometry& g) { return (g.Horizontal ? g.ResImageLeft : g.ResImageTop) + g.BeginOffset; }

int TrackHigh(const TSliderGeometry& g) {
  return g.Horizontal ? g.TrackWidth + g.ResImageLeft - g.EndOffset : g.TrackHeight + g.ResImageTop - g.EndOffset;
}

TRect TrackRect(const TSliderGeometry& g) {
  if (g.Horizontal) return Bounds(g.ResImageLeft + g.BeginOffset, g.ResImageTop, TrackLength(g), g.TrackHeight);
  return Bounds(g.ResImageLeft, g.ResImageTop + g.BeginOffset, g.TrackWidth, TrackLength(g));
}

int ValuePixel(const TSliderGeometry& g, int value) {
  const int length = TrackLength(g);
  if (g.Min >= g.Max || length <= 0) return g.Reversed ? TrackHigh(g) : TrackLow(g);
  const double range = double(g.Max) - double(g.Min);
  const int d = RoundInt((double(value) - g.Min) * length / range);
  return g.Reversed ? TrackHigh(g) - d : TrackLow(g) + d;
}

std::optional<int> ValueAtPixel(const TSliderGeometry& g, int axisPos) {
  const int length = TrackLength(g);
  const int low = TrackLow(g), high = TrackHigh(g);
  if (length <= 0 || axisPos < low || axisPos > high) return std::nullopt;
  const int p = g.Reversed ? high - axisPos : axisPos - low;
  return RoundInt(double(p) / length * (double(g.Max) - g.Min)) + g.Min;
}

int ClampSliderValue(int value, int min, int max) { return std::max(min, std::min(value, max)); }

int ThumbPosition(int valuePixel, int thumbSize, int grabOffset, int controlSize) {
  int position = valuePixel - (grabOffset >= 0 ? grabOffset : thumbSize / 2);
  position = std::min(position, controlSize - 1 - thumbSize);
  return std::max(position, 0);
}
