#pragma once
// The start-up's windows and screen: the backdrop, the message boxes, the intro
// on the backdrop and in the video window, the busy cursor and the standing
// windows.
#include "shell/Startup.h"

class TQtStartupHost : public IStartupHost {
 public:
  void ShowBackdrop() override;
  TDisplayInfo Display() override;
  void ShowFatal(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  void PlayIntroVideo(const TIntroEntry& entry) override;
  void ShowIntroPicture(const TIntroEntry& entry) override;
  bool IntroSkipped() const override { return introSkipped_; }
  void SetBusyCursor(bool busy) override;
  bool RegisterFileTypes(const TIniFile& settings) override;
  void CreateStandingWindows() override;
  void ShowWelcomeTip() override;
  void OpenWorkFile(const std::string& path) override;

 private:
  bool busy_ = false;
  bool introSkipped_ = false;
};
