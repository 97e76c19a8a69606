#pragma once
// The work's reference points: where the adjust window found the face, the body
// and the nails on the canvas. The desk keeps them with its layers; templates and
// ready solutions are placed by them, and a work file stores them.
#include <array>

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

// Canvas pixels; (-1, -1) until set. The adjust window's view places of the
// markers live here too: opening a work turns the markers it shows.
struct TWorkPoints {
  TPoint Face{-1, -1};
  TPoint Body{-1, -1};
  THandMarkers HandMarkers;
};
