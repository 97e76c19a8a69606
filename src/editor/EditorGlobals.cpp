#include "editor/EditorGlobals.h"

TPoint FacePoint{-1, -1};
TPoint BodyPoint{-1, -1};
THandMarkers HandMarkers;

void ResetEditorGlobals() {
  FacePoint = {-1, -1};
  BodyPoint = {-1, -1};
  HandMarkers = THandMarkers();
}
