#pragma once
// The codes of the main window's change notification: what a change to the work,
// or to the view of it, was.
#include <cstdint>

// The zoom and the scroll only move the view: they leave the saved flags.
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
