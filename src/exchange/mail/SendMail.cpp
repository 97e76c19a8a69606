#include "exchange/mail/SendMail.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <system_error>

#include "exchange/MailHeaders.h"
#include "platform/Text.h"

namespace {
constexpr std::int64_t kReceiveBlock = 2048;
// Seconds for the name lookup and for the connection each, where the socket
// alone would wait without end.
constexpr std::uint32_t kConnectSeconds = 30;
// An attachment goes out as at most three times its size (quoted-printable).
constexpr std::uint64_t kEncodedGrowth = 3;
constexpr std::string_view kBoundaryPrefix = "==============ghyurgtfy573";

std::vector<TMailRecipient> ParseRecipients(const std::vector<std::string>& entries) {
  std::vector<TMailRecipient> recipients;
  for (const std::string& entry : entries) recipients.push_back(ParseRecipient(entry));
  return recipients;
}
}  // namespace

SendMail::SendMail(QObject* parent) : TStarSocket(parent) {
  TimeoutConnect = TimeoutArp = kConnectSeconds;
  OnConnect = [this](TStarSocket*) { Connected(); };
  OnRead = [this](TStarSocket*) { Readable(); };
  OnWrite = [this](TStarSocket*) {
    if (aborted_) return;
    PumpMessage();
    ArmReplyTimer();
  };
  OnClose = [this](TStarSocket*) { Closed(); };
  OnTimeout = [this](TStarSocket*) {
    if (busy_) Fail(kMailErrorTimedOut, "Connection timed out");
  };
  OnUserMessage = [this](TStarSocket*, int message) {
    if (message == kDoneMessage) Done();
  };
  replyTimer_.setSingleShot(true);
  connect(&replyTimer_, &QTimer::timeout, this, [this] {
    if (busy_ && !finished_) Fail(kMailErrorTimedOut, "Connection timed out");
  });
  deadlineTimer_.setSingleShot(true);
  connect(&deadlineTimer_, &QTimer::timeout, this, [this] {
    if (busy_ && !finished_) Fail(kMailErrorTimedOut, kDeadlineText);
  });
}

SendMail::~SendMail() {
  // No event may reach a half-destroyed object.
  OnConnect = OnRead = OnWrite = OnClose = OnTimeout = nullptr;
  OnUserMessage = nullptr;
}

void SendMail::SetSMTP_Server(const std::string& server) { server_ = server; }

// Told apart only when asked or sending, so that setting the server loads no network.
bool SendMail::ServerIsAddress() const { return IsAddress(Trim(server_)); }

void SendMail::SetAction(TMailAction action) {
  if (action == TMailAction::Send_Mail) {
    StartSending();
  } else if (action == TMailAction::Cancel_SendMail) {
    lastErrorCode_ = kMailErrorCancelled;
    AbortSending();
  }
}

void SendMail::SetWinsockStarted(bool start) {
  if (start)
    StartWinsock();
  else
    UnloadWinsock();
}

void SendMail::AddAttachment(const TMailAttachment& attachment) {
  const std::size_t index = Attachments.size() + 1;
  if (index > kMaxAttachments) return;
  records_[index - 1] = attachment;
  Attachments.push_back(attachment.path);
}

void SendMail::ClearAttachments() {
  for (auto& record : records_) record.reset();
  Attachments.clear();
}

const TMailAttachment* SendMail::AttachmentRecord(std::size_t index) const {
  if (index == 0 || index > kMaxAttachments || !records_[index - 1]) return nullptr;
  return &*records_[index - 1];
}

void SendMail::Info(SendMailInfo info, const std::string& text) {
  if (OnMailInfo) OnMailInfo(this, info, text);
}

void SendMail::StartSending() {
  if (busy_) {
    Info(kMailInfoBusy, "");
    return;
  }
  aborted_ = finished_ = writing_ = false;
  busy_ = true;
  lastErrorCode_ = 0;

  if (!TO_Address.empty()) {
    ListTo.insert(ListTo.begin(), TO_Address + "|" + TO_Name);
  } else {
    for (const auto* list : {&ListTo, &Listcc, &ListBcc}) {
      if (list->empty()) continue;
      const TMailRecipient first = ParseRecipient(list->front());
      TO_Address = first.address;
      TO_Name = first.name;
      break;
    }
  }
  if (TO_Address.empty()) {
    lastErrorCode_ = kMailErrorDestination;
    Fail(kMailErrorDestination, "Mail Destination Error");
    return;
  }
  if (!PrepareContent()) return;
  deadlineTimer_.stop();
  std::uint64_t size = content_.subject.size();
  for (const auto* lines : {&content_.text, &content_.headers})
    for (const std::string& line : *lines) size += line.size() + 2;
  for (const TMailAttachment& attachment : content_.attachments) {
    std::error_code ec;
    const std::uintmax_t bytes = fs::file_size(attachment.path, ec);
    if (!ec) size += bytes * kEncodedGrowth;
  }
  ExtendDeadline(size);

  if (IsConnected()) {
    dialogue_.Resume();
    ArmReplyTimer();
    return;
  }
  SetWinsockStarted(true);
  if (!WinsockStarted()) {
    lastErrorCode_ = kMailErrorNotStarted;
    Fail(kMailErrorNotStarted, LoadError().empty() ? "Winsock not initiliazed" : LoadError());
    return;
  }
  CreateSocket();
  if (!CheckSocketError()) return;
  const std::string server = Trim(server_);
  if (IsAddress(server)) {
    SetAddress(server);
    SetPort(SMTP_Port);
    Connect();
    CheckSocketError();
  } else {
    Info(kMailInfoResolving, server);
    ResolveHost(server);
    CheckSocketError();
  }
}

// Takes a snapshot of everything the message is made of, refusing what could
// not be sent safely before any connection is made.
bool SendMail::PrepareContent() {
  content_ = TMailContent();
  content_.from = {Trim(StripLineBreaks(FROM_Address)), StripLineBreaks(FROM_Name)};
  if (!IsAcceptableAddress(content_.from.address)) {
    Fail(3, "Invalid address specified");
    return false;
  }
  content_.to = ParseRecipients(ListTo);
  content_.cc = ParseRecipients(Listcc);
  std::vector<std::string> envelope;
  for (const auto& list : {content_.to, content_.cc, ParseRecipients(ListBcc)})
    for (const TMailRecipient& recipient : list) {
      if (recipient.address.empty() || !IsAcceptableAddress(recipient.address)) {
        Fail(kMailErrorDestination, "Mail Destination Error");
        return false;
      }
      envelope.push_back(recipient.address);
    }
  content_.subject = Subject;
  content_.text = MailText;
  content_.headers = Headers;
  for (std::size_t i = 0; i < Attachments.size(); ++i) {
    std::optional<TMailAttachment> attachment = ResolveAttachment(i);
    if (!attachment) {
      Fail(kMailErrorUnknown, "Cannot read file " + Attachments[i]);
      return false;
    }
    content_.attachments.push_back(std::move(*attachment));
  }
  if (OnFeedData)
    content_.feed = [this] {
      std::string data;
      if (OnFeedData) OnFeedData(this, data);
      ExtendDeadline(data.size());
      return data;
    };
  content_.boundary = std::string(kBoundaryPrefix) + RandomToken(16) + "======___";
  content_.date = MailDate(std::time(nullptr));
  content_.messageId = MakeMessageId(RandomToken(24), content_.from.address);
  dialogue_.Prepare(content_.from.address, std::move(envelope), KeepConnectionOpen);
  return true;
}

// The attachment of Attachments line `index` with its encoding chosen and its
// defaults filled in (stored back into its record); nullopt when unreadable.
std::optional<TMailAttachment> SendMail::ResolveAttachment(std::size_t index) {
  const std::string& path = Attachments[index];
  if (index < kMaxAttachments && records_[index]) {
    TMailAttachment& record = *records_[index];
    if (record.encoding == aeAutomatic || record.encoding > aeUUEncode) {
      if (ClassifyFile(record.path) == TFileKind::Unreadable) return std::nullopt;
      record.encoding = ChooseEncoding(record.path);
    }
    if (record.contentType.empty()) record.contentType = kDefaultContentType;
    if (record.disposition.empty()) record.disposition = kDefaultDisposition;
    if (!std::ifstream(record.path, std::ios::binary)) return std::nullopt;
    return record;
  }
  TMailAttachment plain;
  plain.path = path;
  plain.encoding = aeBase64;
  plain.contentType = kDefaultContentType;
  plain.disposition = kDefaultDisposition;
  if (!std::ifstream(path, std::ios::binary)) return std::nullopt;
  return plain;
}

void SendMail::AbortSending() {
  if (aborted_ && busy_) return;
  TO_Address.clear();
  TO_Name.clear();
  ListTo.clear();
  Listcc.clear();
  ListBcc.clear();
  aborted_ = true;
  writing_ = false;
  replyTimer_.stop();
  deadlineTimer_.stop();
  dialogue_.Stop();
  Cancel();
  PostDone();
}

void SendMail::Fail(SendMailError error, const std::string& text) {
  if (aborted_) return;
  lastErrorCode_ = error;
  // Reported only once the send is marked aborted and the socket is closed, so
  // the handler sees a consistent component.
  AbortSending();
  if (OnMailError) OnMailError(this, error, text);
}

bool SendMail::CheckSocketError() {
  if (aborted_) return false;
  if (LastError() == 0) {
    lastErrorCode_ = 0;
    return true;
  }
  const TMailFailure failure = MailFailureForSocketError(LastError());
  Fail(failure.code, failure.text);
  return false;
}

void SendMail::PostDone() {
  if (donePending_) return;
  donePending_ = true;
  PostUserMessage(kDoneMessage);
}

void SendMail::Done() {
  donePending_ = false;
  busy_ = false;
  writing_ = false;
  writer_.reset();
  replyTimer_.stop();
  deadlineTimer_.stop();
  StartCountdown(0);
  if (OnDone) OnDone(this);
}

void SendMail::ArmReplyTimer() {
  replyTimer_.stop();
  if (busy_ && !aborted_ && !finished_ && IsConnected() && TimeoutReply > 0)
    replyTimer_.start(std::chrono::seconds(TimeoutReply));
}

void SendMail::ExtendDeadline(std::uint64_t bytes) {
  using std::chrono::milliseconds;
  const std::uint64_t rate = std::max<std::uint64_t>(DeadlineBytesPerSecond, 1);
  const auto more = milliseconds(bytes / rate * 1000 + bytes % rate * 1000 / rate);
  const auto left = deadlineTimer_.isActive() ? milliseconds(deadlineTimer_.remainingTime())
                                              : milliseconds(std::chrono::seconds(DeadlineSeconds));
  deadlineTimer_.start(std::min<milliseconds>(left + more, milliseconds(INT32_MAX)));
}

void SendMail::LookupDone() {
  if (aborted_ || !CheckSocketError()) return;
  UseResolvedAddress();
  SetPort(SMTP_Port);
  Info(kMailInfoResolved, AddressText());
  Connect();
  CheckSocketError();
}

void SendMail::Connected() {
  if (!CheckSocketError()) return;
  dialogue_.Connected(HeloName(LocalHostName(), LocalAddressText()));
  Info(kMailInfoConnected, AddressText());
  ArmReplyTimer();
}

void SendMail::Readable() {
  if (aborted_) return;
  char block[kReceiveBlock];
  const std::uint64_t repliesBefore = dialogue_.RepliesHandled();
  // A reply may end the dialogue (the client hangs up after QUIT): read no further then.
  while (!aborted_ && !finished_ && HasSocket()) {
    const std::int64_t count = ReceiveBuf(block, kReceiveBlock);
    if (!CheckSocketError() || count == 0) break;
    dialogue_.Receive(std::string_view(block, static_cast<std::size_t>(count)));
  }
  // The time-out bounds a whole reply: a server dripping a byte at a time
  // must not hold the send by keeping the countdown fresh.
  if (dialogue_.RepliesHandled() != repliesBefore) ArmReplyTimer();
}

void SendMail::Closed() {
  // A kept connection that the server drops between mails ends no send.
  if (!busy_ || aborted_) {
    Info(kMailInfoClosed, "");
    return;
  }
  if (!CheckSocketError()) return;
  Info(kMailInfoClosed, "");
  if (!dialogue_.Accepted()) {
    Fail(kMailErrorDisconnected, "Prematurely Disconnected");
    return;
  }
  PostDone();
}

bool SendMail::SendBytes(const std::string& bytes) {
  SendBuf(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return CheckSocketError();
}

void SendMail::DialogueSend(const std::string& line) {
  Info(kMailInfoSending, line);
  SendBytes(line + "\r\n");
}

void SendMail::DialogueWriteMessage() {
  writer_ = std::make_unique<TMimeWriter>(content_, [this](SendMailInfo info, const std::string& text) {
    if (!aborted_) Info(info, text);
  });
  stuffer_ = TDotStuffer();
  writing_ = true;
  PumpMessage();
}

// Queues message text until the socket holds enough; the rest follows as it
// drains (OnWrite).
void SendMail::PumpMessage() {
  std::string chunk;
  std::string stuffed;
  while (writing_ && !aborted_ && PendingBytes() < kWriteAhead) {
    if (!writer_->Next(chunk)) {
      if (!writer_->Error().empty()) {
        Fail(kMailErrorUnknown, writer_->Error());
        return;
      }
      stuffed.clear();
      stuffer_.Finish(stuffed);
      writing_ = false;
      dialogue_.MessageWritten();
      SendBytes(stuffed);
      return;
    }
    if (aborted_) return;
    Info(kMailInfoSending, chunk);
    stuffed.clear();
    stuffer_.Add(chunk, stuffed);
    if (!SendBytes(stuffed)) return;
  }
}

void SendMail::DialogueDone() {
  finished_ = true;
  deadlineTimer_.stop();
  StartCountdown(0);
  // After QUIT the client hangs up itself; a kept connection stays for the next mail.
  if (!KeepConnectionOpen) Cancel();
  PostDone();
}

void SendMail::DialogueInfo(SendMailInfo info, const std::string& text) { Info(info, text); }

void SendMail::DialogueFail(SendMailError error, const std::string& text) { Fail(error, text); }
