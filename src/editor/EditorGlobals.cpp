#include "editor/EditorGlobals.h"

bool WorkSaved = true;
bool ImageSaved = true;
TBitmap32 PortraitBitmap;

void ResetEditorGlobals() {
  WorkSaved = true;
  ImageSaved = true;
  PortraitBitmap.Reset();
}
