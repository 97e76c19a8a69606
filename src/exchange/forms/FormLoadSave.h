#pragma once
// The load-and-save window: every way a picture comes in (file, clipboard,
// camera, scanner) and the ways the work leaves as a picture (file, clipboard).
// The actions are TLoadSaveController's; this window supplies its dialogs,
// message box, clipboard, camera and scanner.
#include <functional>
#include <memory>

#include "editor/SavedFlags.h"
#include "exchange/LoadSaveController.h"
#include "exchange/WorkMailer.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "shell/forms/SkinnedForm.h"

class QFileDialog;
class QLabel;
class TCaptionBar;
class TFormMain;
class TGraphicButton;
class TMyImage;
class TFormEmail;
class TScannerSourceDialog;
struct TMainSettings;

class TFormLoadSave : public TSkinnedForm {
  Q_OBJECT

 public:
  // The dialogs start in the data folders of `settings` and show its filter
  // captions; mails go out with its mail settings.
  explicit TFormLoadSave(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormLoadSave() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelLoad;
  QLabel* LabelSave;
  TGraphicButton* ButtonLoadImage;
  TGraphicButton* ButtonLoadClipboard;
  TGraphicButton* ButtonLoadCamera;
  TGraphicButton* ButtonLoadTwain;
  TGraphicButton* ButtonSaveImage;
  TGraphicButton* ButtonSaveClipboard;
  TGraphicButton* ButtonLoadWork;
  TGraphicButton* ButtonSaveWork;
  TGraphicButton* ButtonSendImage;
  TGraphicButton* ButtonSendWork;
  TMyImage* ImageButtons;
  // The dialogs, each made on first use: a file dialog lists its folder, and
  // each loads its icons, which the program's start need not wait for.
  TPelmoOpenPictureDialog* ImageOpenDialog();
  TPelmoOpenPictureDialog* WorkOpenDialog();
  QFileDialog* ImageSaveDialog();
  TScannerSourceDialog* ScannerSourceDialog();

  // The work the picture output saves (the main window sets the desk's); without
  // one the work is empty.
  IWorkPicture* Work = nullptr;
  // The main state's saved flags, which a picture save marks (set with Work).
  TSavedFlags* Saved = nullptr;
  // The scanner (SANE unless a test sets another); null disables scanning.
  IScanner* Scanner = nullptr;
  // The camera window's connect call and its modal show (set by that window;
  // without them the camera button is hidden).
  std::function<bool()> ConnectCamera;
  std::function<void()> RunCameraWindow;
  // The work as a compressed work file for mailing (the program's work files
  // unless a test sets another).
  TWorkBytesSource CompressedWork;

  TLoadSaveController& Actions() { return *actions_; }

  void ButtonLoadImageClick();
  void ButtonLoadClipboardClick();
  void ButtonLoadCameraClick();
  void ButtonLoadTwainClick();
  void ButtonSaveImageClick();
  void ButtonSaveClipboardClick();
  void ButtonLoadWorkClick();
  // Asks for a work file name and saves the desk's work; true when it was saved
  // (the main window's close flow uses it while the window is hidden).
  bool ButtonSaveWorkClick();
  void ButtonSendImageClick();
  void ButtonSendWorkClick();
  void ButtonExitClick();

 private:
  TPelmoOpenPictureDialog* imageOpenDialog_ = nullptr;
  TPelmoOpenPictureDialog* workOpenDialog_ = nullptr;
  QFileDialog* imageSaveDialog_ = nullptr;
  TScannerSourceDialog* scannerSourceDialog_ = nullptr;
  class TUi;
  class TWork;
  const TMainSettings& settings_;
  std::unique_ptr<TUi> ui_;
  std::unique_ptr<TWork> work_;
  std::unique_ptr<IScanner> ownScanner_;
  std::unique_ptr<TLoadSaveController> actions_;
  std::unique_ptr<IWorkMailUi> mailUi_;
  std::unique_ptr<TWorkMailer> mailer_;
  std::unique_ptr<IWorkPicture> deskWork_;
  friend void ConnectFormLoadSave(TFormMain& main);
};

extern TFormLoadSave* FormLoadSave;
void RegisterFormLoadSave(TMainSettings& settings);
// Once the main window is made: the window's work is the main window's desk
// (whenever the window is made), and the main window's load-and-save button
// (when it has one) shows the window modally.
void ConnectFormLoadSave(TFormMain& main);
// The main window's frame (texts, openers, links, close questions, over the
// main window's settings) with saving the work through the load-and-save window.
void InstallProgramMainShell(TFormMain& main);
