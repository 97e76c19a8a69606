#pragma once
// The two video players: the clip player (one file in a 320 x 240 panel, full
// screen on request) and the file-list player (the videos of one folder). Both
// share the transport: play and stop taking turns, pause, frame steps, a position
// slider fed by a 100 ms timer, and a clip that loops until stopped or closed.
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/qt/MediaPlayer.h"
#include "shell/forms/SkinnedForm.h"

struct TMainSettings;

class QListWidget;
class QSlider;
class TCaptionBar;
class TGraphicButton;
class TMyImage;

namespace fs = std::filesystem;

class TVideoWindow : public TSkinnedForm {
  Q_OBJECT
 public:
  TVideoWindow(const QString& name, QWidget* parent);
  ~TVideoWindow() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QWidget* Panel;
  TGraphicButton* ButtonPlay;
  TGraphicButton* ButtonPause;
  TGraphicButton* ButtonStop;
  TGraphicButton* ButtonStep;
  TGraphicButton* ButtonBack;
  QSlider* SliderPosition;
  QTimer* Timer1;
  TMyImage* ImageButtons;

  IMediaPlayer& MediaPlayer() { return *player_; }
  const std::string& FileName() const { return fileName_; }

  // Opens `file` and plays it; false when it cannot be opened.
  bool StartFile(const std::string& file);
  void ButtonPlayClick();
  void ButtonPauseClick();
  void ButtonStopClick();
  void ButtonStepClick();
  void ButtonBackClick();
  void PositionSliderChange(int value);
  void Timer1Timer();
  void ButtonExitClick();

 protected:
  // Where the video shows while it plays in the window.
  virtual void AttachDisplay();
  // Buttons as the player's mode says: stopped shows Play, playing shows Stop.
  void MediaPlayerNotify();
  void ShowPlaying(bool playing);
  void Step(int direction);
  void StopForClose();

  std::unique_ptr<IMediaPlayer> player_;
  std::string fileName_;
};

class TFormVideoClip : public TVideoWindow {
  Q_OBJECT
 public:
  explicit TFormVideoClip(QWidget* parent = nullptr);
  TGraphicButton* ButtonMaximize;

  // Shows the clip over the whole screen until a key or a click; nothing without
  // an open file. OnFullScreenShown runs once that window is up.
  void ButtonMaximizeClick();
  std::function<void(QWidget& fullScreen)> OnFullScreenShown;
  void PanelClick();

 protected:
  void AttachDisplay() override;
};

class TFormVideo : public TVideoWindow {
  Q_OBJECT
 public:
  explicit TFormVideo(QWidget* parent = nullptr);
  QListWidget* FileListBox;

  // Lists the videos of `folder` and selects `fileName` in it (ignoring case).
  void SetFolder(const fs::path& folder, const std::string& fileName);
  // Plays the selected file.
  void FileListBoxClick();

 private:
  fs::path folder_;
};

// Plays one file modally; nothing when it does not exist (the name's letter case
// is not significant).
void PlayVideoClip(const std::string& fileName);
// The file-list player over the file's folder, the file selected and playing.
void ShowVideoFile(const std::string& fileName);
// Installs both as the help pages' and the template browser's players; the help
// pages' clips come from the catalogue folder of `settings`.
void RegisterVideoPlayers(const TMainSettings& settings);
