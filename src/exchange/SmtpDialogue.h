#pragma once
// The SMTP client's dialogue without the socket: reply lines in, commands out,
// progress and failures reported by number. The socket driver feeds it what the
// server sends and does what the host calls ask.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using SendMailInfo = std::uint8_t;
using SendMailError = std::uint8_t;

// Progress reports (the addinfo text in brackets).
inline constexpr SendMailInfo kMailInfoConnected = 0;       // server's address
inline constexpr SendMailInfo kMailInfoReply = 1;           // the reply line
inline constexpr SendMailInfo kMailInfoSending = 2;         // the text
inline constexpr SendMailInfo kMailInfoClosed = 3;
inline constexpr SendMailInfo kMailInfoAccepted = 4;
inline constexpr SendMailInfo kMailInfoAttachment = 5;      // its path
inline constexpr SendMailInfo kMailInfoBase64Size = 6;      // byte count
inline constexpr SendMailInfo kMailInfoBase64Progress = 7;  // bytes so far
inline constexpr SendMailInfo kMailInfoRecipientRefused = 8;
inline constexpr SendMailInfo kMailInfoRecipientSent = 9;
inline constexpr SendMailInfo kMailInfoBodySize = 10;
inline constexpr SendMailInfo kMailInfoBodyProgress = 11;
inline constexpr SendMailInfo kMailInfoBusy = 13;
inline constexpr SendMailInfo kMailInfoResolved = 14;       // dotted address
inline constexpr SendMailInfo kMailInfoResolving = 15;      // host name

// Failures; 14 (cancelled) is recorded but never reported.
inline constexpr SendMailError kMailErrorNotStarted = 1;
inline constexpr SendMailError kMailErrorTimedOut = 8;
inline constexpr SendMailError kMailErrorRefused = 12;
inline constexpr SendMailError kMailErrorResponse = 13;
inline constexpr SendMailError kMailErrorCancelled = 14;
inline constexpr SendMailError kMailErrorUnknown = 15;
inline constexpr SendMailError kMailErrorDisconnected = 17;
inline constexpr SendMailError kMailErrorDestination = 18;

struct TMailFailure {
  SendMailError code;
  std::string text;
};
// The code and text for a socket error number (WinSock numbering).
TMailFailure MailFailureForSocketError(int socketError);

// Collects what the server sends and cuts it into reply lines at LF (a CR before
// it dropped). An unfinished line that grows past the limit is a broken reply.
class TReplyLineBuffer {
 public:
  static constexpr std::size_t kMaxLine = 4096;
  void Append(std::string_view bytes) { buffer_.append(bytes); }
  std::optional<std::string> NextLine();
  bool Overflowed() const { return buffer_.size() > kMaxLine; }
  std::string Overflow() const { return buffer_.substr(0, 512); }
  void Clear() { buffer_.clear(); }

 private:
  std::string buffer_;
};

class ISmtpDialogueHost {
 public:
  virtual ~ISmtpDialogueHost() = default;
  // A command line, without its CR LF.
  virtual void DialogueSend(const std::string& line) = 0;
  // The server is ready for the message text; the host reports MessageWritten when
  // the closing "." has gone out.
  virtual void DialogueWriteMessage() = 0;
  // The send is over: the mail was accepted (and QUIT answered unless the
  // connection is kept open).
  virtual void DialogueDone() = 0;
  virtual void DialogueInfo(SendMailInfo info, const std::string& text) = 0;
  // A failure that ends the send; nothing is handled after it.
  virtual void DialogueFail(SendMailError error, const std::string& text) = 0;
};

class TSmtpDialogue {
 public:
  // Idle: a kept connection between mails, where the server has nothing to answer.
  enum EState { Greeting = 0, Helo = 1, MailFrom = 2, Recipients = 3, DataCommand = 5, Message = 6, Quit = 7, Idle = 8 };
  // Continuation lines beyond this in one reply make it a broken reply.
  static constexpr int kMaxReplyLines = 1000;

  explicit TSmtpDialogue(ISmtpDialogueHost& host) : host_(host) {}

  // A new mail: the envelope sender and every recipient in the order of RCPT TO.
  void Prepare(std::string from, std::vector<std::string> recipients, bool keepConnectionOpen);
  // A fresh connection: wait for the greeting, then introduce the client as `heloName`.
  void Connected(std::string heloName);
  // An open connection kept from the previous mail: MAIL FROM at once.
  void Resume();
  // Bytes from the server.
  void Receive(std::string_view bytes);
  void HandleReply(std::string_view line);
  void MessageWritten();
  // The send was aborted: everything that arrives later is ignored.
  void Stop() { stopped_ = true; }

  int State() const { return state_; }
  bool Accepted() const { return accepted_; }
  // Whole replies handled so far (continuation lines count with their last line).
  std::uint64_t RepliesHandled() const { return repliesHandled_; }
  const std::string& CurrentRecipient() const { return current_; }

 private:
  void Fail(SendMailError error, const std::string& text);
  void SendRecipient();
  void Advance(std::string_view line);

  ISmtpDialogueHost& host_;
  std::string helo_;
  std::string from_;
  std::vector<std::string> recipients_;
  std::size_t nextRecipient_ = 0;
  std::string current_;
  bool keepOpen_ = false;
  int state_ = Greeting;
  bool accepted_ = false;
  bool messageWritten_ = false;
  bool stopped_ = false;
  int replyLines_ = 0;
  std::uint64_t repliesHandled_ = 0;
  TReplyLineBuffer buffer_;
};
