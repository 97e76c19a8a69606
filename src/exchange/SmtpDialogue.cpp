#include "exchange/SmtpDialogue.h"

#include <utility>

namespace {
struct TSocketErrorRow {
  int first;
  int last;
  SendMailError code;
  const char* text;
};

constexpr TSocketErrorRow kSocketErrors[] = {
    {10093, 10093, 1, "Winsock not initialized"},
    {10050, 10050, 2, "Network down"},
    {10013, 10013, 3, "Invalid address specified"},
    {10004, 10004, 4, "Unexpected internal error in component"},
    {10014, 10014, 4, "Unexpected internal error in component"},
    {10022, 10022, 4, "Unexpected internal error in component"},
    {10036, 10036, 4, "Unexpected internal error in component"},
    {10038, 10038, 4, "Unexpected internal error in component"},
    {10040, 10040, 4, "Unexpected internal error in component"},
    {10045, 10045, 4, "Unexpected internal error in component"},
    {10047, 10048, 4, "Unexpected internal error in component"},
    {10056, 10058, 4, "Unexpected internal error in component"},
    {10052, 10052, 5, "General Winsock Error"},
    {10055, 10055, 5, "General Winsock Error"},
    {10053, 10053, 6, "Connection aborted due to timeout or other failure"},
    {10054, 10054, 7, "Connection reset by remote side"},
    {10060, 10060, 8, "timeout"},
    {10024, 10024, 9, "Out of sockets"},
    {10051, 10051, 10, "Network unreachable"},
    {10049, 10049, 11, "Address not available"},
    {10061, 10061, 12, "Connection Refused"},
    {11001, 11004, 16, "Address resolution error"},
    {10065, 10065, 19, "Host Unreachable"},
};

// Only 1xx, 2xx and 3xx replies let the dialogue go on; anything else (4xx, 5xx,
// an empty or garbled line) is a refusal.
bool IsRefusal(std::string_view line) { return line.empty() || line[0] < '1' || line[0] > '3'; }
bool IsContinuation(std::string_view line) { return line.size() >= 4 && line[3] == '-'; }
}  // namespace

TMailFailure MailFailureForSocketError(int socketError) {
  for (const auto& row : kSocketErrors)
    if (socketError >= row.first && socketError <= row.last) return {row.code, row.text};
  return {kMailErrorUnknown, "Unknown Error"};
}

std::optional<std::string> TReplyLineBuffer::NextLine() {
  const std::size_t end = buffer_.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = buffer_.substr(0, end);
  buffer_.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void TSmtpDialogue::Prepare(std::string from, std::vector<std::string> recipients, bool keepConnectionOpen) {
  from_ = std::move(from);
  recipients_ = std::move(recipients);
  nextRecipient_ = 0;
  current_.clear();
  keepOpen_ = keepConnectionOpen;
  accepted_ = false;
  messageWritten_ = false;
  stopped_ = false;
  replyLines_ = 0;
  buffer_.Clear();
}

void TSmtpDialogue::Connected(std::string heloName) {
  helo_ = std::move(heloName);
  state_ = Greeting;
  buffer_.Clear();
}

void TSmtpDialogue::Resume() {
  buffer_.Clear();
  state_ = MailFrom;
  host_.DialogueSend("MAIL FROM:<" + from_ + ">");
}

void TSmtpDialogue::Receive(std::string_view bytes) {
  if (stopped_) return;
  buffer_.Append(bytes);
  while (!stopped_) {
    const std::optional<std::string> line = buffer_.NextLine();
    if (!line) break;
    HandleReply(*line);
  }
  if (!stopped_ && buffer_.Overflowed()) Fail(kMailErrorResponse, "Unexpected response: " + buffer_.Overflow());
}

void TSmtpDialogue::Fail(SendMailError error, const std::string& text) {
  stopped_ = true;
  host_.DialogueFail(error, text);
}

void TSmtpDialogue::SendRecipient() {
  current_ = recipients_[nextRecipient_++];
  host_.DialogueSend("RCPT TO:<" + current_ + ">");
  host_.DialogueInfo(kMailInfoRecipientSent, current_);
}

void TSmtpDialogue::HandleReply(std::string_view line) {
  if (stopped_) return;
  host_.DialogueInfo(kMailInfoReply, std::string(line));
  // The owner may have cancelled from its info handler; between mails on a kept
  // connection nothing is awaited (a server's farewell there ends no send).
  if (stopped_ || state_ == Idle) return;
  const bool refused = IsRefusal(line);
  // A refused recipient is skipped; any other refusal ends the send.
  if (refused && state_ != Recipients && state_ != Quit) {
    Fail(kMailErrorResponse, "Unexpected response: " + std::string(line));
    return;
  }
  if (IsContinuation(line)) {
    if (++replyLines_ > kMaxReplyLines) Fail(kMailErrorResponse, "Unexpected response: " + std::string(line));
    return;
  }
  replyLines_ = 0;
  ++repliesHandled_;
  if (refused && state_ == Recipients) host_.DialogueInfo(kMailInfoRecipientRefused, current_);
  Advance(line);
}

void TSmtpDialogue::Advance(std::string_view line) {
  switch (state_) {
    case Greeting:
      host_.DialogueSend("HELO " + helo_);
      state_ = Helo;
      break;
    case Helo:
      host_.DialogueSend("MAIL FROM:<" + from_ + ">");
      state_ = MailFrom;
      break;
    case MailFrom:
      if (recipients_.empty()) {
        Fail(kMailErrorDestination, "Mail Destination Error");
        return;
      }
      SendRecipient();
      state_ = Recipients;
      break;
    case Recipients:
      if (nextRecipient_ < recipients_.size()) {
        SendRecipient();
      } else {
        host_.DialogueSend("DATA");
        state_ = DataCommand;
      }
      break;
    case DataCommand:
      state_ = Message;
      host_.DialogueWriteMessage();
      break;
    case Message:
      // Acceptance before the closing "." went out would be a confused server.
      if (!messageWritten_) {
        Fail(kMailErrorResponse, "Unexpected response: " + std::string(line));
        return;
      }
      host_.DialogueInfo(kMailInfoAccepted, "");
      accepted_ = true;
      if (keepOpen_) {
        state_ = Idle;
        host_.DialogueDone();
      } else {
        host_.DialogueSend("QUIT");
        state_ = Quit;
      }
      break;
    case Quit:
      // Whatever answers QUIT, the mail is delivered; the client closes.
      stopped_ = true;
      host_.DialogueDone();
      break;
    default:
      break;
  }
}

void TSmtpDialogue::MessageWritten() { messageWritten_ = true; }
