#pragma once
// The size and colour depth of the screen the program runs on.

struct TScreenInfo {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;
};

// The primary screen; all zero without a screen.
TScreenInfo CurrentScreen();
