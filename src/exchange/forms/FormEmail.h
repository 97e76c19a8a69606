#pragma once
// The e-mail window: recipient, sender name, subject and letter, sent with the
// program's own SMTP client to the server of the settings or of the default mail
// account, with a progress bar while it goes. Closing the window during a send
// cancels the send.
#include <memory>
#include <string>

#include "exchange/MailAccount.h"
#include "exchange/MimeWriter.h"
#include "shell/forms/SkinnedForm.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class SendMail;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
struct TMainSettings;

class TFormEmail : public TSkinnedForm {
  Q_OBJECT

 public:
  // Sends with the mail settings of `settings` as they are at each send.
  explicit TFormEmail(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormEmail() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelEmailAddress;
  QLabel* LabelName;
  QLabel* LabelFromName;
  QLabel* LabelSubject;
  QLabel* LabelLetter;
  QLineEdit* EditEmailAddress;
  QLineEdit* EditName;
  QLineEdit* EditFromName;
  QLineEdit* EditSubject;
  QPlainTextEdit* Memo;
  QProgressBar* ProgressBar;
  TGraphicButton* ButtonOK;
  TGraphicButton* ButtonCancel;
  TMyImage* ImageButtons;
  // The mail component; its attachments are the opener's.
  SendMail* Mail;

  // The account looked up when the window was made.
  const TMailAccount& Account() const { return account_; }
  // Looks the default mail account up again (the start-up did it once).
  void LookUpAccount();

  // Shows the window modally to mail `attachment` (none when null); returns once
  // the window closed: after the send ended, or without one.
  void SendWithAttachment(const TMailAttachment* attachment);

  void ButtonSendClick();
  void ButtonExitClick();
  bool Sending() const;

 private:
  void FormShow();
  void FormClose();
  void SetSendingControls(bool sending);
  void MailInfo(int info, const std::string& text);
  void MailError(const std::string& text);
  void MailDone();
  // The account a send goes out with: the settings' over the looked-up one.
  TMailAccount SendingAccountNow() const;

  const TMainSettings& settings_;
  TMailAccount account_;
  bool errorSeen_ = false;
  bool announceSuccess_ = false;
};

// The standing e-mail window (null before it is created).
extern TFormEmail* FormEmail;
void RegisterFormEmail(TMainSettings& settings);
