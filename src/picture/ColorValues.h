#pragma once
// The nine colour settings a layer has for itself and each of its regions.
#include <cstdint>

struct TColorValues {
  int Color = -1;  // tint $00BBGGRR, -1 = none
  int Red = 50;    // channel scales, 50 = neutral
  int Green = 50;
  int Blue = 50;
  int Hue = 100;  // shifts by value - 100, 100 = neutral
  int Saturation = 100;
  int Brightness = 100;
  int Contrast = 100;  // percent around the mean luminance
  std::uint8_t Opacity = 100;

  bool IsNeutral() const { return *this == TColorValues{}; }
  bool HsbNeutral() const { return Hue == 100 && Saturation == 100 && Brightness == 100; }
  bool operator==(const TColorValues&) const = default;
};
