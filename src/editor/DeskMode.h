#pragma once
// The desk's tool modes.
#include <cstdint>

#include "shell/ProgramCursors.h"  // the cursor numbers the desk sets

// What the desk mouse does.
enum TDeskMode : std::uint8_t {
  dmNone = 0,
  dmColoration = 1,
  dmAppearance = 2,
  dmModify = 3,  // warp
  dmPaint = 4,   // colour brush
  dmErase = 5,
  dmActions = 6,
};
constexpr int kDeskModeCount = 7;
