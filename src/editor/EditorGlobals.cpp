#include "editor/EditorGlobals.h"

TPoint FacePoint{-1, -1};
TPoint BodyPoint{-1, -1};
THandMarkers HandMarkers;
bool WorkSaved = true;
bool ImageSaved = true;
TBitmap32 PortraitBitmap;

void ResetEditorGlobals() {
  FacePoint = {-1, -1};
  BodyPoint = {-1, -1};
  HandMarkers = THandMarkers();
  WorkSaved = true;
  ImageSaved = true;
  PortraitBitmap.Reset();
}
