#pragma once

// No change since the work, the exported picture, was last saved or loaded.
// Owned by the main state (TMainState::Saved), whose change notification clears both.
struct TSavedFlags {
  bool Work = true;
  bool Image = true;
};
