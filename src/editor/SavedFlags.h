#pragma once

// No change since the work, the exported picture, was last saved or loaded. The
// main state owns them; its change notification clears both.
struct TSavedFlags {
  bool Work = true;
  bool Image = true;
};
