#pragma once

// Program-wide editing state: the reference points the adjust window records for
// the desk, the templates and the ready solutions (work loading restores them),
// the saved flags and the undo gesture flag.
#include <array>
#include <string>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

// One nail marker of the hand: where it sits in the adjust view and, after OK,
// on the desk canvas.
struct THandMarker {
  int ViewX = 0;  // centre in the adjust view
  int ViewY = 0;
  int X = -1;  // centre on the desk canvas (set by OK)
  int Y = -1;
  int Width = 0;  // nail size on the canvas in pixels (set by OK)
  int Length = 0;
  int Angle = 0;  // degrees on the canvas (ViewAngle at OK)
  double WidthFactor = 1.0;  // 0.5 to 2.0
  double LengthFactor = 1.0;
  int ViewAngle = 0;  // degrees, sign kept (-90 stays -90)
  TBitmap32 Bitmap;   // the marker as drawn in the view
};

constexpr int kHandMarkerCount = 5;
// Marker number n (1 to 5) is element n - 1.
using THandMarkers = std::array<THandMarker, kHandMarkerCount>;

// Canvas pixels; (-1, -1) until set.
extern TPoint FacePoint;
extern TPoint BodyPoint;
extern THandMarkers HandMarkers;

// No change since the work file, the exported picture, was last saved or loaded.
extern bool WorkSaved;
extern bool ImageSaved;

// The portrait layer's base picture, kept by the main window for the portrait preview.
extern TBitmap32 PortraitBitmap;

// Back to the start-up values (for tests and a cleared desk).
void ResetEditorGlobals();
