#pragma once
// Sends one mail to an SMTP server, asynchronously on the GUI thread: plain text
// or MIME multipart with file attachments. The server's replies drive the
// dialogue; the message text is written piece by piece as the socket drains.
// Progress and failures are reported by number through the events.
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exchange/MailEncoders.h"
#include "exchange/MimeWriter.h"
#include "exchange/SmtpDialogue.h"
#include "exchange/mail/StarSocket.h"

enum class TMailAction { None, Send_Mail, Cancel_SendMail };

class SendMail : public TStarSocket, private ISmtpDialogueHost {
  Q_OBJECT

 public:
  using TSendMailInfoEvent = std::function<void(SendMail* sender, SendMailInfo info, const std::string& addinfo)>;
  using TSendMailErrorEvent = std::function<void(SendMail* sender, SendMailError error, const std::string& addinfo)>;
  using TSendMailEvent = std::function<void(SendMail* sender, std::string& data)>;
  using TNotifyEvent = std::function<void(SendMail* sender)>;
  static constexpr std::size_t kMaxAttachments = 256;
  static constexpr int kDoneMessage = 1026;
  // Message text queued beyond this waits until the socket drains.
  static constexpr std::int64_t kWriteAhead = 64 * 1024;

  explicit SendMail(QObject* parent = nullptr);
  ~SendMail() override;

  // A dotted (or IPv6) address is connected to directly; anything else, digits
  // first or not, is a host name to look up.
  void SetSMTP_Server(const std::string& server);
  const std::string& SMTP_Server() const { return server_; }
  std::string FROM_Name;
  std::string FROM_Address;
  std::string TO_Name;
  std::string TO_Address;
  std::string Subject;
  std::uint16_t SMTP_Port = 25;
  // Send_Mail starts a send, Cancel_SendMail aborts; reading yields None.
  void SetAction(TMailAction action);
  TMailAction Action() const { return TMailAction::None; }
  TSendMailInfoEvent OnMailInfo;
  TSendMailErrorEvent OnMailError;
  std::vector<std::string> MailText;
  // Recipient entries: an address, "|" and a display name.
  std::vector<std::string> Listcc;
  std::vector<std::string> ListBcc;
  std::vector<std::string> ListTo;
  std::vector<std::string> Attachments;
  std::vector<std::string> Headers;
  TSendMailEvent OnFeedData;
  bool KeepConnectionOpen = false;
  bool WinsockStarted() const { return WinsockIsStarted(); }
  void SetWinsockStarted(bool start);
  std::string Version() const { return "SendMail 1.3.9"; }
  // Seconds the server may stay silent while the dialogue waits on it.
  std::uint32_t TimeoutReply = 300;
  // The whole send, from the name lookup to the server's last reply, must end
  // within DeadlineSeconds plus a second for every DeadlineBytesPerSecond bytes
  // of the message: a server that answers or reads a byte at a time cannot hold
  // it for ever.
  std::uint32_t DeadlineSeconds = 120;
  std::uint32_t DeadlineBytesPerSecond = 4096;
  // What the user is told when it does not.
  static constexpr const char* kDeadlineText = "the mail server did not answer in time";
  TNotifyEvent OnDone;

  // Stores a copy as the record of the next Attachments line; ignored past 256.
  void AddAttachment(const TMailAttachment& attachment);
  void ClearAttachments();
  // The record of attachment `index` (1-based), or nullptr.
  const TMailAttachment* AttachmentRecord(std::size_t index) const;
  bool Busy() const { return busy_; }
  // True when SMTP_Server is an address to connect to, false when it is a name to look up.
  bool ServerIsAddress() const;
  SendMailError LastErrorCode() const { return lastErrorCode_; }

 protected:
  void LookupDone() override;

 private:
  void StartSending();
  bool PrepareContent();
  std::optional<TMailAttachment> ResolveAttachment(std::size_t index);
  void AbortSending();
  void Fail(SendMailError error, const std::string& text);
  bool CheckSocketError();
  void PostDone();
  void Done();
  void Info(SendMailInfo info, const std::string& text);
  // Starts the reply time-out afresh.
  void ArmReplyTimer();
  // Moves the whole send's deadline on by the time `bytes` more may take (from
  // now, when it is not running).
  void ExtendDeadline(std::uint64_t bytes);
  void Connected();
  void Readable();
  void Closed();
  void PumpMessage();
  bool SendBytes(const std::string& bytes);

  void DialogueSend(const std::string& line) override;
  void DialogueWriteMessage() override;
  void DialogueDone() override;
  void DialogueInfo(SendMailInfo info, const std::string& text) override;
  void DialogueFail(SendMailError error, const std::string& text) override;

  std::string server_;
  std::array<std::optional<TMailAttachment>, kMaxAttachments> records_;
  TSmtpDialogue dialogue_{*this};
  TMailContent content_;
  std::unique_ptr<TMimeWriter> writer_;
  TDotStuffer stuffer_;
  // The reply time-out: a timer of its own, since every socket event stops the
  // socket's countdown and a dripping server would keep restarting it.
  QTimer replyTimer_;
  QTimer deadlineTimer_;
  bool busy_ = false;
  bool aborted_ = false;
  bool finished_ = false;
  bool writing_ = false;
  bool donePending_ = false;
  SendMailError lastErrorCode_ = 0;
};
