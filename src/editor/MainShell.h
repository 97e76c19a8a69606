#pragma once
// The main window's frame without Qt: the reading of the settings, data
// folders, text-table captions and content paths when it is created, its hint
// keys, the windows its buttons open, and the questions it asks when it closes.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Paths.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"

class TIniFile;

// Appends "\" unless the path is empty or already ends in a separator.
void IncludeTrailingBackslash(std::string& path);

// The ini's settings into `settings` (its data folders and captions apart); a
// flag is on only when its value upper-cased is "YES".
void ReadMainSettings(const TIniFile& ini, TMainSettings& settings);
// A data folder's name: field 1 of the "DIRECTORIES" value up to ";", trimmed,
// ending in "\" ("Works ; x" gives "Works\").
std::string DataFolderName(const TIniFile& ini, std::string_view key, std::string_view defaultName);
// Every data folder's name into `settings`.
void ReadDataFolders(const TIniFile& ini, TMainSettings& settings);
// The installation folder + a data folder, resolved on disk: the user's own folder of that name
// when the installation is read-only and one was made (ProgramFileForReading).
fs::path DataFolderPath(const std::string& folder);
// Makes every data folder the settings name that does not exist yet, so the
// first export, work save and print list find their folders.
void MakeDataFolders(const TMainSettings& settings);
// The content folders' "CDPath" and "HDPath" under "SOFTWARE\Tessaly\" + the ini's
// "REGISTRY" / "RegName" (the product's NameAndVersion when missing); each
// defaults to `exePath`.
TContentFolders ReadContentPaths(const TIniFile& ini, const std::string& exePath);
// The registry key the content paths are read under.
std::string ContentPathsKey(const TIniFile& ini);

// The application title: the text table's "ProductName", else the product name.
std::string ApplicationTitle();
// The file-filter captions from the text table into `settings`.
void ReadFilterCaptions(const TTerminList& terms, TMainSettings& settings);

// A control's hint: its text-table key and the text when the key is missing.
struct TMainHint {
  std::string Key;
  std::string Default;
};
TMainHint MainHintKey(std::string_view controlName);

// What a button of the main window opens.
enum class TOpenMode {
  Modal,   // the skinned modal loop
  Toggle,  // shows a hidden window (restoring a minimised one), closes a shown one
};
struct TOpener {
  std::string_view Button;
  std::string_view Window;
  TOpenMode Mode;
  bool PressedMeanwhile;  // the button shows pressed while the window is up
  bool CreatedForCall;    // made for the call and freed after
  std::string_view Page;  // the page the window opens on ("" for none)
};
std::span<const TOpener> MainOpeners();
const TOpener* FindOpener(std::string_view button);

// The publisher link buttons and their "Publisher Links" keys.
struct TLinkButton {
  std::string_view Button;
  std::string_view Key;
};
std::span<const TLinkButton> LinkButtons();
// The address a link key names; empty when the settings give none, since the
// program has no web site of its own to fall back on.
std::string PublisherLink(const TIniFile& ini, std::string_view key);

// A close question's answer; Cancel: the question was closed without one.
enum class ECloseAnswer { Yes, No, Cancel };

// What closing the main (or backdrop) window needs of the program.
class IMainClosePorts {
 public:
  virtual ~IMainClosePorts() = default;
  // Unsaved changes on a desk with at least one layer.
  virtual bool HasUnsavedWork() = 0;
  virtual ECloseAnswer Ask(const std::string& text) = 0;
  // Saves the work through the load-and-save window; false when it failed or the
  // user cancelled.
  virtual bool SaveWork() = 0;
  virtual void ShowTip(const std::string& page) = 0;
  virtual void ProcessMessages() = 0;
};

// The close questions: save the work, the finishing tip, then exit. True when the
// program may end (the after-exit link, when the settings give one, has then been
// opened); false cancels the close: when the save question was closed, when the
// user wanted the work saved and it was not, and unless the exit is confirmed.
bool MainCloseQuery(IMainClosePorts& ports, const TIniFile& ini);
