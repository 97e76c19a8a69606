#include "editor/EditorGlobals.h"

bool WorkSaved = true;
bool ImageSaved = true;

void ResetEditorGlobals() {
  WorkSaved = true;
  ImageSaved = true;
}
