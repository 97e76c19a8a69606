#pragma once
// The main window's settings of the desk tools. Sizes are radii in canvas pixels,
// powers 0..100.

struct TDeskToolSettings {
  int ModifierSize = 25;  // warp
  int ModifierPower = 50;
  int BrushSize = 25;  // colour brush
  int BrushPower = 50;
  int EraserSize = 25;
  int EraserPower = 50;
  int BrushColorRed = 0;
  int BrushColorGreen = 0;
  int BrushColorBlue = 0;
};
