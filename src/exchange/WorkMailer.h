#pragma once
// Mailing the work as a JPEG picture or as a compressed work file: the
// attachment is written to a file of its own in the run's private temporary
// folder and handed to the desktop's mail program; when that is missing or
// fails, the program's own e-mail window sends it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "exchange/DesktopMail.h"
#include "exchange/MimeWriter.h"
#include "exchange/PictureOutput.h"
#include "picture/WorkFile.h"
#include "shell/MainSettings.h"

// What mailing needs of the windows around it.
class IWorkMailUi {
 public:
  virtual ~IWorkMailUi() = default;
  // Hides and closes the window the action was started from; lets pending
  // messages run.
  virtual void CloseWindow() = 0;
  virtual void SetBusy(bool busy) = 0;
  // The OK message box with the UI text of `key`.
  virtual void ShowMessage(std::string_view key) = 0;
  virtual bool IsMapiAvailable() = 0;
  // The desktop's mail program with the message (kMapiSuccess, kMapiUserAbort or
  // kMapiFailure).
  virtual int SendMapiMail(const TMapiMessage& message) = 0;
  // The e-mail window, modally, sending `attachment`; returns once it closed
  // (sent, failed or cancelled).
  virtual void RunEmailWindow(const TMailAttachment& attachment) = 0;
};

// The English text of one of mailing's and the e-mail window's message keys (""
// for another key).
std::string_view MailMessageDefault(std::string_view key);

class TWorkMailer {
 public:
  // `compressedWork` gives the bytes of the work as a compressed work file. The
  // mail server of `settings` is read as each send starts.
  TWorkMailer(IWorkMailUi& ui, IWorkPicture& work, TWorkBytesSource compressedWork, const TMainSettings& settings);

  // Each returns whether the window was closed for the action.
  bool SendImage();
  bool SendWork();

 private:
  enum class TForm { Picture, Work };
  bool Send(TForm form);
  // The file to attach, in a folder of its own, or why it could not be written.
  TFileResult<fs::path> WriteAttachment(TForm form);
  bool FindMailServer();

  IWorkMailUi& ui_;
  IWorkPicture& work_;
  TWorkBytesSource compressedWork_;
  const TMainSettings& settings_;
};
