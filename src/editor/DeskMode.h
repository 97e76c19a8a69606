#pragma once
// The desk's tool modes and the codes of the change notification.
#include <cstdint>

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

// Cursor numbers: the program's own cursors (positive) and the standard sizing
// cursors (negative).
enum TCustomCursor : int {
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crDefault = 0,
  crBrush = 101,
  crEraser = 102,
  crPipette = 103,
  crModify = 104,
  crHandFlat = 108,
  crHandGrab = 109,
  crHandFlatAll = 111,
  crHandGrabAll = 112,
  crRotate = 113,
};
