#pragma once
// The load-and-save window's actions without Qt: each way a picture comes in
// (file, clipboard, camera, scanner) and each way the work leaves as a picture
// (file, clipboard), in the order the window runs them: dialogs first, then the
// window goes, then the work.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/SourcePicture.h"
#include "exchange/PictureOutput.h"
#include "picture/Bitmap32.h"
#include "platform/FileFilter.h"
#include "platform/Scanner.h"

namespace fs = std::filesystem;

// The open dialog's filter: every supported format, then each format, then all
// files; captions from the UI-text table.
std::vector<TFileFilter> ImageOpenFilters();
// The save dialog's filter: the seven formats the picture is saved in.
std::vector<TFileFilter> ImageSaveFilters();

// The English text of one of the actions' message keys, for a text table
// without it ("" for another key).
std::string_view LoadSaveMessageDefault(std::string_view key);

// What the actions need of the window and the program around it.
class ILoadSaveUi {
 public:
  virtual ~ILoadSaveUi() = default;
  // The file dialogs, starting in `folder`; nullopt when cancelled.
  virtual std::optional<fs::path> ChooseImageToOpen(const fs::path& folder, const std::vector<TFileFilter>& filters) = 0;
  virtual std::optional<fs::path> ChooseImageToSave(const fs::path& folder, const std::string& fileName,
                                                    const std::vector<TFileFilter>& filters) = 0;
  // The scanner source dialog over `devices`; nullopt when cancelled or there is
  // nothing to choose.
  virtual std::optional<std::string> ChooseScanner(const std::vector<TScannerDevice>& devices) = 0;
  // Hides and closes the window and lets pending messages run.
  virtual void CloseWindow() = 0;
  virtual void SetBusy(bool busy) = 0;
  // The message box (OK kind) with the UI text of `key`, or with `text` itself.
  virtual void ShowMessage(std::string_view key) = 0;
  virtual void ShowText(const std::string& text) = 0;
  // Hands the new picture to the adjust window and shows it.
  virtual void ShowAdjustWindow(TSourcePicture picture) = 0;
  // The clipboard's picture (nullopt when it holds none), and putting one there.
  virtual std::optional<TBitmap32> ClipboardPicture() = 0;
  virtual void SetClipboardPicture(const TBitmap32& picture) = 0;
  // Connects the capture device; false when there is no camera.
  virtual bool ConnectCamera() = 0;
  // The camera window, modally; a snapshot comes back through TakePicture.
  virtual void RunCameraWindow() = 0;
  // The exported picture was saved (the main state marks it so).
  virtual void ImageSavedNow() = 0;
};

class TLoadSaveController {
 public:
  // `scanner` may be null: there is no scanner library.
  TLoadSaveController(ILoadSaveUi& ui, IWorkPicture& work, IScanner* scanner);

  // Each returns whether the window was closed for the action.
  bool LoadImage();
  bool LoadClipboard();
  bool LoadCamera();
  bool LoadScanner();
  // A picture taken while the window was away (the camera's snapshot) goes to the
  // adjust window, opaque, and that window opens.
  void TakePicture(TBitmap32 picture);
  bool SaveImage();
  bool SaveClipboard();

  void SetScanner(IScanner* scanner) { scanner_ = scanner; }

  // The dialogs' folders, kept for the run: each becomes the folder of the file
  // last chosen in it.
  fs::path ImageOpenFolder;
  fs::path ImageSaveFolder;
  // The name the picture save dialog suggests and where a save records its own,
  // the work files' (TWorkFiles::LastImageFileName); null, none.
  std::string* PictureName = nullptr;

 private:
  ILoadSaveUi& ui_;
  IWorkPicture& work_;
  IScanner* scanner_;
};
