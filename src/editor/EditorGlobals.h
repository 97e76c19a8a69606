#pragma once

// Program-wide editing state: the saved flags and the portrait preview's picture.
#include "picture/Bitmap32.h"

// No change since the work file, the exported picture, was last saved or loaded.
extern bool WorkSaved;
extern bool ImageSaved;

// The portrait layer's base picture, kept by the main window for the portrait preview.
extern TBitmap32 PortraitBitmap;

// Back to the start-up values (for tests and a cleared desk).
void ResetEditorGlobals();
