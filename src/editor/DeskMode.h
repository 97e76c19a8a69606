#pragma once
// The desk's tool modes and the codes of the change notification.
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

// What changed. Codes 3 and 4 only move the view: they leave the saved flags.
enum TChangeKind : std::uint8_t {
  ckNone = 0,
  ckNewWork = 1,
  ckWorkLoaded = 2,
  ckDeskScale = 3,
  ckScroll = 4,
  ckLayerAdded = 5,
  ckLayerDeleted = 6,
  ckLayerMoved = 7,
  ckLayerResized = 8,
  ckLayerRotated = 9,
  ckVisibility = 10,
  ckStackOrder = 11,
  ckPixels = 12,
  ckLayerUndo = 13,
  ckLayerReset = 14,
};
