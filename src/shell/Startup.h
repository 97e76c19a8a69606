#pragma once
// The start-up sequence: backdrop, display checks, settings, intro, work-file type
// registration, interface info, desk geometry, standing windows, welcome tip and
// the command-line work file. The windows and the screen are reached through
// IStartupHost, so that the order and the rules run the same in tests.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

class TIniFile;
struct TMainSettings;
struct TInterface;

struct TDisplayInfo {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;
};

// The reason a display is refused (without the "Program terminated." line), or
// nullopt when it is large and deep enough.
std::optional<std::string> CheckDisplay(const TDisplayInfo& display);
// reason + CR + "Program terminated."
std::string TerminationText(const std::string& reason);

struct TIntroEntry {
  enum class Kind { Video, Picture };
  Kind Type = Kind::Video;
  fs::path File;
  int VideoWidth = 320;    // video only
  int VideoHeight = 240;
  int IntervalMs = 1000;   // picture only
};

// What the program answers, without starting, to an option a user tries on its
// command line ("--help", "--version" and their short forms): the text for the
// standard output; nullopt when the command line asks for the program itself.
std::optional<std::string> CommandLineReply(const std::vector<std::string>& arguments);

// The values of "Intro Video", in file order; "Logo.avi" when there are none.
std::vector<std::string> IntroValues(const TIniFile& ini);
// One intro value ("Logo.avi;320;240", "Splash.jpg;2500") as an entry, or nullopt
// when it is passed over (unknown extension, missing file, bad picture interval).
std::optional<TIntroEntry> ParseIntroValue(const std::string& value, const std::string& exePath);

class IStartupHost {
 public:
  virtual ~IStartupHost() = default;
  virtual void ShowBackdrop() = 0;
  virtual TDisplayInfo Display() = 0;
  // An error box with one OK button; the program then ends.
  virtual void ShowFatal(const std::string& text) = 0;
  // A warning box with one OK button; start-up goes on.
  virtual void ShowWarning(const std::string& text) = 0;
  // Each returns when the entry ended or the user skipped it (a click or a key),
  // which passes over the rest of the intro.
  virtual void PlayIntroVideo(const TIntroEntry& entry) = 0;
  virtual void ShowIntroPicture(const TIntroEntry& entry) = 0;
  virtual bool IntroSkipped() const = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Registers the work-file types with the desktop, with the icons and names
  // the settings give.
  virtual bool RegisterFileTypes(const TIniFile& settings) = 0;
  // Creates the standing windows in their order, shows the main window and wires
  // the application events to it.
  virtual void CreateStandingWindows() = 0;
  virtual void ShowWelcomeTip() = 0;
  virtual void OpenWorkFile(const std::string& path) = 0;
};

// Runs the sequence up to the message loop: names `exeDir` as the installation
// (SetProgramFolders; every data path starts from it), opens the settings file
// into `settings` (which the windows are then handed) and loads the interface for
// the screen into `used` (which the windows draw with: the caller puts it in use).
// False when the program must end (a message was shown); true when the message
// loop should run.
bool RunStartup(IStartupHost& host, TMainSettings& settings, TInterface& used, const fs::path& exeDir,
                const std::vector<std::string>& arguments);
