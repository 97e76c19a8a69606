#pragma once
// The size and colour depth of the screen the program runs on. Tests set a
// screen of their own.
#include <optional>

struct TScreenInfo {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;
};

// The primary screen (or the override); all zero without a screen.
TScreenInfo CurrentScreen();
void SetScreenOverride(std::optional<TScreenInfo> screen);
