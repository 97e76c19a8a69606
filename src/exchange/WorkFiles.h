#pragma once
// Saving the work on the desk as a work file and loading one back, both forms:
// the compressed ".tsc" and the uncompressed container ".tsu". A compressed file
// is converted in memory; the user's file is only ever read.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "editor/SavedFlags.h"
#include "picture/ChangeKind.h"
#include "picture/WorkFile.h"
#include "platform/FileResult.h"

namespace fs = std::filesystem;

class TBitmap32;
class TMontageDesk;

// What loading and saving need of the program around the desk.
class IWorkPorts {
 public:
  virtual ~IWorkPorts() = default;
  // The yes/no message box with the UI text of `key` (default `text`); 6 = yes.
  virtual int AskYesNo(std::string_view key, std::string_view text) = 0;
  // The OK message box with the UI text of `key` (default `text`) and `detail`
  // after it when not empty.
  virtual void ShowMessage(std::string_view key, std::string_view text, const std::string& detail) = 0;
  virtual void SetChanged(TChangeKind code) = 0;
  // The main state's saved flags, which a save or a load sets.
  virtual TSavedFlags& Saved() = 0;
  virtual void SetBusy(bool busy) = 0;
  virtual void ProcessMessages() = 0;
  // The desk window is shown if it is not.
  virtual void ShowDesk() = 0;
  // The main window leaves desk mode 0 for 1 after a load.
  virtual void EnsureDeskMode() = 0;
  // The layers window (when visible) lists the layers again.
  virtual void RefreshLayerList() = 0;
  // The desk's PortraitBitmap and the portrait preview (when visible) after a load.
  virtual void SetPortraitBitmap(const TBitmap32& bitmap) = 0;
};

class TWorkFiles {
 public:
  TWorkFiles(TMontageDesk& desk, IWorkPorts& ports);

  // Writes the desk's work to `file` (".tsc" compressed, ".tsu" container; any
  // other name gets the compressed extension appended). Atomic: on failure the old
  // file stays, "MessageUnableSaveWork" is shown and false returned. An empty desk
  // gives "MessageWorkIsEmpty". Marks the work saved on success.
  bool SaveWork(fs::path file);
  // Before the save dialog: an empty desk gives "MessageWorkIsEmpty" and false.
  bool CheckWorkToSave();
  // The desk's work as the bytes of a work file (compressed, or the container) to
  // be `file`, without saving it anywhere; CannotWrite (what went wrong in Detail,
  // where known) when the container cannot be built. An empty desk gives an empty
  // work.
  TFileResult<std::vector<std::uint8_t>> WorkFileBytes(bool container, const fs::path& file = {});

  // Loads a work file of either form onto the desk (cleared or merged as the user
  // answers). The whole file is read and decoded first: one that is missing, is
  // not a work, or none of whose layers can be read, gives "MessageUnableLoadWork"
  // with the cause, leaves the desk untouched and comes back as the error (Damaged
  // when no layer can be read); otherwise layers whose line or picture is bad are
  // left out with a message naming each cause, and the load succeeds.
  TFileResult<> LoadWorkFromFile(const fs::path& file);

  // The name of the last work saved or loaded, without folder and extension.
  std::string LastWorkFileName;
  // The name the picture save dialog suggests, likewise: the last picture saved
  // (the load-and-save window records it here), or the last work saved or loaded.
  std::string LastImageFileName;
  fs::path LastWorkDir;

 private:
  TWorkHeader HeaderOfDesk() const;
  void ApplyHeaderLine(const std::string& line, const std::vector<std::pair<std::string, class TLayer*>>& loaded,
                       std::string& activeId);

  TMontageDesk& desk_;
  IWorkPorts& ports_;
};

// The stored settings of a layer, as its LAYER line carries them.
TLayerRecord LayerRecordOf(const TLayer& layer);
