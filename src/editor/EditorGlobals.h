#pragma once

// Program-wide editing state: the saved flags.

// No change since the work file, the exported picture, was last saved or loaded.
extern bool WorkSaved;
extern bool ImageSaved;

// Back to the start-up values (for tests and a cleared desk).
void ResetEditorGlobals();
