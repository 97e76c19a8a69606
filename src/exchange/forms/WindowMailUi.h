#pragma once
// Mailing's windows: the desktop's mail program, else the e-mail window. Shared
// by every window that mails a file.
#include <functional>
#include <memory>

#include "exchange/WorkMailer.h"

class TFormEmail;
struct TMainSettings;

class TWindowMailUi : public IWorkMailUi {
 public:
  // `closeWindow` hides the window the send was started from (none when empty).
  // The e-mail window it makes, when the program has none standing, sends with
  // the mail settings of `settings`.
  TWindowMailUi(std::function<void()> closeWindow, const TMainSettings& settings);
  ~TWindowMailUi() override;

  void CloseWindow() override;
  void SetBusy(bool busy) override;
  void ShowMessage(std::string_view key) override;
  bool IsMapiAvailable() override;
  int SendMapiMail(const TMapiMessage& message) override;
  void RunEmailWindow(const TMailAttachment& attachment) override;

 private:
  std::function<void()> closeWindow_;
  std::unique_ptr<TFormEmail> ownEmail_;
  const TMainSettings& settings_;
};
