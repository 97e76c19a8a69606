#pragma once
// The main window's frame on the Qt side: the texts, settings and content paths
// it reads when created, its hints, the buttons that open the other windows, the
// publisher links, the close questions (for the main window and the backdrop
// alike) and the application events.
#include <functional>
#include <string>
#include <vector>

class IMediaPlayer;
enum class ECloseAnswer;
class TSkinnedForm;
struct TMainSettings;
struct TProgramTexts;

struct TMainShellLinks {
  // The layers on the desk (0 without a desk).
  std::function<int()> LayerCount;
  // Saves the work through the load-and-save window; false when it failed or was
  // cancelled (or no saving is available).
  std::function<bool()> SaveWork;
  // The close questions; the program's message box when empty.
  std::function<ECloseAnswer(const std::string& text)> Ask;
  // The background music's player, which hint sounds wait for while the settings
  // play music; called only then, since making the player loads the media stack.
  // Empty, or null returned, without one.
  std::function<IMediaPlayer*()> BackgroundMusic = nullptr;
  // Whether the work is as last saved or loaded (the main state's flag); saved
  // when empty.
  std::function<bool()> WorkSaved = nullptr;
};

// What the main window does when the application is activated and deactivated
// (the background music resumes and pauses here); each runs once a change.
struct TMainApplicationEvents {
  std::vector<std::function<void()>> Activated;
  std::vector<std::function<void()>> Deactivated;
};
TMainApplicationEvents& MainApplicationEvents();

// Loads the program's texts into `texts` and reads the settings (from their ini
// into `settings`), folders and content paths; call before the other windows are
// made, since they take their texts from the table.
void ReadMainWindowData(TMainSettings& settings, TProgramTexts& texts);
// Applies the texts in use (when their file was read) and hints to `form` (hint sounds as `settings` turn them
// on) and binds its openers, link buttons and close handler; the backdrop takes
// the main window's key and close handlers and the application events reach the
// main window. The link buttons and the close question read the publisher links
// of `settings`, which outlives the form.
void InstallMainShell(TSkinnedForm& form, const TMainSettings& settings, TMainShellLinks links);
// Hint sounds on or off (the settings' "PlaySound"), taking effect at once.
void SetHintSounds(bool on);
