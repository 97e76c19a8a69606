#include "online/Chat.h"

#include <algorithm>

#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {

// The ";"-terminated fields of `line`: the text after the last ";" is no field.
std::vector<std::string> TerminatedFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find(';', start)) != std::string_view::npos; start = end + 1)
    fields.emplace_back(line.substr(start, end - start));
  return fields;
}

std::optional<int> ParseKind(const std::string& text) {
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return std::nullopt;
  std::size_t i = trimmed[0] == '-' || trimmed[0] == '+' ? 1 : 0;
  if (i == trimmed.size()) return std::nullopt;
  for (std::size_t k = i; k < trimmed.size(); ++k)
    if (trimmed[k] < '0' || trimmed[k] > '9') return std::nullopt;
  return ParseInt(trimmed);  // nothing when out of range
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view WithoutCR(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

int ResultOf(std::string_view rest) {
  static const std::pair<std::string_view, int> kWords[] = {
      {"No New Messages", kChatNoNewMessages}, {"incorrect password", kChatIncorrectPassword},
      {"incorrect ID", kChatIncorrectId},      {"incorrect all", kChatIncorrectAll},
      {"name is in use", kChatNameInUse}};
  int result = kChatOk;
  bool found = false;
  for (const auto& [word, code] : kWords)
    if (Contains(rest, word)) result = code, found = true;
  if (found) return result;
  for (std::string_view word : {"Not Found", "Error", "Internal Error"})
    if (Contains(rest, word)) return kChatFailed;
  return kChatOk;
}

}  // namespace

std::string ChatUserToString(const TChat& user) {
  std::string text;
  for (const std::string& field : user.f) text += field + ";";
  return text;
}

std::optional<TChat> ParseChatUser(std::string_view line) {
  std::vector<std::string> fields = TerminatedFields(line);
  if (fields.size() < 5) return std::nullopt;
  TChat user;
  std::copy_n(fields.begin(), 5, user.f.begin());
  return user;
}

std::string ChatMessageToString(const TChatMessage& m) {
  return std::to_string(m.Kind) + ";" + m.Id + ";" + m.From + ";" + m.To + ";" + m.Text + ";";
}

std::optional<TChatMessage> ParseChatMessage(std::string_view line) {
  std::vector<std::string> fields = TerminatedFields(line);
  if (fields.size() < 5) return std::nullopt;
  std::optional<int> kind = ParseKind(fields[0]);
  if (!kind) return std::nullopt;
  TChatMessage message;
  message.Kind = *kind;
  message.Id = fields[1];
  message.From = fields[2];
  message.To = fields[3];
  message.Text = fields[4];
  return message;
}

int CompareChatIds(std::string_view a, std::string_view b) {
  if (AllDigits(a) && AllDigits(b)) {
    auto strip = [](std::string_view s) {
      std::size_t zeros = s.find_first_not_of('0');
      return zeros == std::string_view::npos ? std::string_view() : s.substr(zeros);
    };
    a = strip(a);
    b = strip(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  }
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

TChatReply ReadChatReply(std::string_view reply) {
  TChatReply read;
  std::string rest;
  bool inUsers = false;
  std::size_t start = 0;
  for (std::size_t end; (end = reply.find('\n', start)) != std::string_view::npos; start = end + 1) {
    std::string_view line = WithoutCR(reply.substr(start, end - start));
    if (!inUsers && line == "[users]") {
      inUsers = true;
      continue;
    }
    if (!inUsers && line.size() > 5) {
      if (auto message = ParseChatMessage(line)) {
        read.messages.push_back(std::move(*message));
        continue;
      }
    }
    if (inUsers) {
      if (auto user = ParseChatUser(line)) {
        read.users.push_back(std::move(*user));
        continue;
      }
    }
    rest.append(line).push_back('\n');
  }
  // The text after the last line end holds no records, but may hold a result word.
  rest += reply.substr(start);
  read.result = ResultOf(rest);
  return read;
}

TChatTiming ReadChatTiming(const TIniFile& ini) {
  TChatTiming timing;
  auto read = [&ini](std::string_view key, std::chrono::milliseconds& value) {
    const int ms = ini.ReadInteger("Chat", key, 0);
    if (ms > 0) value = std::chrono::milliseconds(ms);
  };
  read("PollMs", timing.poll);
  read("ResendMs", timing.resend);
  read("TalkCloseMs", timing.talkClose);
  return timing;
}

std::vector<TChat> ReadChatUsers(std::string_view text) {
  std::vector<TChat> users;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
    if (auto user = ParseChatUser(WithoutCR(text.substr(start, end - start))); user && !user->Nick().empty())
      users.push_back(std::move(*user));
  return users;
}

std::string ChatLoginMessageKey(int result) {
  switch (result) {
    case kChatIncorrectPassword: return "MessageIncorrectPassword";
    case kChatIncorrectAll: return "MessageIncorrectAll";
    case kChatIncorrectId: return "MessageIncorrectNick";
    case kChatFailed: return "MessageNoAccessToServer";
    default: return "";
  }
}

std::string ChatRegisterMessageKey(int result) {
  if (result == kChatFailed) return "MessageNoAccessToServer";
  if (result == kChatNameInUse) return "MessageNameIsInUse";
  return "MessageYouAreSucReg";
}

std::string ChatAccountUser(std::string_view name, std::string_view password) {
  TChat user;
  user.f[1] = LowerAscii(name);
  user.f[3] = LowerAscii(password);
  return ChatUserToString(user);
}

// --- session ---

TChatSession::TChatSession(std::string_view nick, std::string joinedText, std::string leftText)
    : nick_(Trim(nick)), joinedText_(std::move(joinedText)), leftText_(std::move(leftText)) {}

std::vector<std::string> TChatSession::UserNicks() const {
  std::vector<std::string> nicks;
  for (const TChat& user : users_)
    if (std::find(nicks.begin(), nicks.end(), user.Nick()) == nicks.end()) nicks.push_back(user.Nick());
  return nicks;
}

bool TChatSession::MergeUsers(const std::vector<TChat>& users) {
  std::vector<TChat> incoming;
  for (const TChat& user : users)
    if (!user.Nick().empty()) incoming.push_back(user);
  if (incoming.empty()) return false;
  const std::vector<std::string> before = UserNicks();
  auto listed = [](const std::vector<TChat>& list, const std::string& nick) {
    return std::any_of(list.begin(), list.end(), [&](const TChat& u) { return u.Nick() == nick; });
  };
  std::erase_if(users_, [&](const TChat& user) { return !listed(incoming, user.Nick()); });
  for (const TChat& user : incoming)
    if (!listed(users_, user.Nick())) users_.push_back(user);
  return UserNicks() != before;
}

bool TChatSession::Known(const TChatMessage& message) const {
  for (auto it = messages_.rbegin(); it != messages_.rend(); ++it) {
    int order = CompareChatIds(it->Id, message.Id);
    if (order > 0 || (order == 0 && it->Text == message.Text)) return true;
  }
  return false;
}

std::vector<TChatEvent> TChatSession::Process(const TChatReply& reply) {
  std::vector<TChatMessage> batch;
  for (const TChatMessage& message : reply.messages) {
    if (Known(message)) continue;
    messages_.push_back(message);
    batch.push_back(message);
  }
  std::vector<TChatEvent> events;
  if (MergeUsers(reply.users)) events.push_back({TChatEvent::UsersChanged, 0, {}});
  for (const TChatMessage& message : batch) Deliver(message, events);
  return events;
}

void TChatSession::Deliver(const TChatMessage& message, std::vector<TChatEvent>& events) {
  if (message.To == "all") {
    events.push_back({TChatEvent::PublicLine, 0, message});
    return;
  }
  if (!IsNick(message.To)) return;
  bool taken = false;
  for (int slot = 1; slot <= kMaxTalks; ++slot) {
    TTalk& talk = talks_[slot];
    if (!talk.open || !EqualsNoCase(talk.peer, message.From)) continue;
    taken = true;
    events.push_back({TChatEvent::TalkLine, slot, message});
    if (message.Kind == kChatKindLeft) {
      talk.peerLeft = true;
      events.push_back({TChatEvent::TalkPeerLeft, slot, message});
    }
  }
  if (taken || message.Kind == kChatKindLeft) return;
  int slot = OpenTalk(message.From, true);
  if (slot == 0) {
    // Every talk slot is taken: the message still reaches the user, in the main list.
    events.push_back({TChatEvent::PublicLine, 0, message});
    return;
  }
  events.push_back({TChatEvent::TalkOpened, slot, message});
  events.push_back({TChatEvent::TalkLine, slot, message});
}

int TChatSession::OpenTalk(std::string_view peer, bool incoming) {
  for (int slot = 1; slot <= kMaxTalks; ++slot)
    if (!talks_[slot].open) {
      talks_[slot] = {true, incoming, false, std::string(peer)};
      return slot;
    }
  return 0;
}

void TChatSession::CloseTalk(int slot) {
  if (slot >= 1 && slot <= kMaxTalks) talks_[slot] = {};
}

int TChatSession::TalkWith(std::string_view peer) const {
  for (int slot = 1; slot <= kMaxTalks; ++slot)
    if (talks_[slot].open && EqualsNoCase(talks_[slot].peer, peer)) return slot;
  return 0;
}

std::string TChatSession::TalkPeer(int slot) const {
  return slot >= 1 && slot <= kMaxTalks ? talks_[slot].peer : std::string();
}
bool TChatSession::TalkIncoming(int slot) const { return slot >= 1 && slot <= kMaxTalks && talks_[slot].incoming; }
bool TChatSession::TalkPeerHasLeft(int slot) const {
  return slot >= 1 && slot <= kMaxTalks && talks_[slot].peerLeft;
}
int TChatSession::OpenTalks() const {
  return static_cast<int>(std::count_if(talks_.begin(), talks_.end(), [](const TTalk& t) { return t.open; }));
}

TChatMessage TChatSession::Outgoing(std::string_view to, std::string_view text, int kind) const {
  TChatMessage message;
  message.Kind = kind;
  message.From = nick_;
  message.To = std::string(to);
  message.Text = std::string(text);
  return message;
}

TChatMessage TChatSession::JoinMessage() const {
  return Outgoing("all", nick_ + " " + joinedText_, kChatKindJoined);
}
TChatMessage TChatSession::LeaveMessage() const {
  // The nick and the text meet with one blank, whether or not the text brings it.
  return Outgoing("all", nick_ + (leftText_.starts_with(' ') ? "" : " ") + leftText_, kChatKindLeft);
}
TChatMessage TChatSession::TalkLeaveNotice(std::string_view peer) const {
  return Outgoing(peer, "<< " + nick_ + " has left the room >>", kChatKindLeft);
}

std::string TChatSession::PollUser() const {
  TChat user;
  user.f = {"0", nick_, "0", "0", "0"};
  return ChatUserToString(user);
}

std::string TChatSession::MessageLine(const TChatMessage& message) const {
  std::string text = message.Text;
  if (message.Kind == kChatKindJoined) text = message.From + " " + joinedText_;
  if (message.Kind == kChatKindLeft) text = message.From + " " + leftText_;
  return std::to_string(message.Kind) + ";" + message.From + ";" + text + ";" + message.To + ";";
}

// --- client ---

namespace {
TTransferRequest ChatTransfer(const std::string& serverChat, std::string_view ctype, std::string_view v1,
                              std::string_view v2) {
  TOnlineServers servers;
  servers.ServerChat = serverChat;
  TTransferRequest request;
  request.url = ChatRequestUrl(servers, ctype, v1, v2);
  return request;
}
}  // namespace

TChatClient::TChatClient(std::string serverChat, IOwnerThread& owner, std::string joinedText, std::string leftText)
    : serverChat_(std::move(serverChat)),
      owner_(owner),
      joinedText_(std::move(joinedText)),
      leftText_(std::move(leftText)),
      request_(std::make_unique<TTransferContext>(ETransferUse::Chat, owner)),
      poll_(std::make_unique<TTransferContext>(ETransferUse::Chat, owner)),
      resend_(std::make_unique<TTransferContext>(ETransferUse::Chat, owner)) {}

int TChatClient::AttemptConnect() const { return request_->AttemptConnect(); }

TChatClient::~TChatClient() {
  *alive_ = false;
  // The contexts stop and wait for their workers before they go.
  poll_.reset();
  resend_.reset();
  request_.reset();
}

void TChatClient::SetTimeouts(long connectSeconds, long stallSeconds) {
  for (auto* context : {request_.get(), poll_.get(), resend_.get()}) context->SetTimeouts(connectSeconds, stallSeconds);
}

int TChatClient::Request(std::string_view ctype, std::string_view value1, std::string_view value2,
                         std::string* reply) {
  if (pending_) return kChatFailed;
  pending_ = true;
  std::string text;
  std::shared_ptr<bool> alive = alive_;
  bool ok = request_->Run(ChatTransfer(serverChat_, ctype, value1, value2), {}, &text);
  // The owner may have ended the client while the reply was awaited.
  if (!*alive) return kChatFailed;
  pending_ = false;
  if (reply) *reply = text;
  return ok ? ReadChatReply(text).result : kChatFailed;
}

int TChatClient::AccountRequest(std::string_view ctype, std::string_view name, std::string_view password) {
  const TChatSession joining(name, joinedText_, leftText_);
  return Request(ctype, ChatAccountUser(name, password), ChatMessageToString(joining.JoinMessage()));
}

void TChatClient::Begin(std::string_view nick) {
  session_ = std::make_unique<TChatSession>(nick, joinedText_, leftText_);
  std::string users;
  if (Request("4", "0", {}, &users) != kChatFailed) session_->MergeUsers(ReadChatUsers(users));
}

int TChatClient::SendPublic(std::string_view text) {
  std::string message = ChatMessageToString(session_->Outgoing("all", text));
  int result = Request("1", message);
  if (result == kChatFailed) queue_.push_back(std::move(message));
  return result;
}

int TChatClient::SendPrivate(const TChatMessage& message) { return Request("1", ChatMessageToString(message)); }

bool TChatClient::Polling() const { return !pollDone_; }
bool TChatClient::Resending() const { return resending_; }

std::vector<TChatEvent> TChatClient::PollTick() {
  std::vector<TChatEvent> events;
  if (!pollDone_ || !session_) return events;
  if (pollStatus_ != kChatNoNewMessages) events = session_->Process(ReadChatReply(pollReply_));
  pollDone_ = false;
  pollStatus_ = kChatNoNewMessages;
  std::shared_ptr<bool> alive = alive_;
  TTransferCallbacks callbacks;
  callbacks.finished = [this, alive](int status) {
    if (!*alive) return;
    pollReply_ = poll_->ReplyText();
    // A poll that failed has nothing to process.
    int result = status == kTransferSuccess ? ReadChatReply(pollReply_).result : kChatFailed;
    pollStatus_ = result == kChatFailed ? kChatNoNewMessages : result;
    pollDone_ = true;
  };
  if (!poll_->Start(ChatTransfer(serverChat_, "2", session_->PollUser(), {}), std::move(callbacks))) pollDone_ = true;
  return events;
}

void TChatClient::ResendTick() {
  if (resending_ || queue_.empty()) return;
  resending_ = true;
  ResendNext();
}

void TChatClient::ResendNext() {
  if (queue_.empty()) {
    resending_ = false;
    return;
  }
  std::shared_ptr<bool> alive = alive_;
  TTransferCallbacks callbacks;
  callbacks.finished = [this, alive](int status) {
    if (!*alive) return;
    if (status != kTransferSuccess || ReadChatReply(resend_->ReplyText()).result == kChatFailed) {
      // The rest waits for the next run.
      resending_ = false;
      return;
    }
    queue_.pop_front();
    ResendNext();
  };
  if (!resend_->Start(ChatTransfer(serverChat_, "1", queue_.front(), {}), std::move(callbacks))) resending_ = false;
}

void TChatClient::Leave() {
  poll_->Stop();
  resend_->Stop();
  poll_->Wait();
  resend_->Wait();
  pollDone_ = true;
  resending_ = false;
  if (session_) {
    TChat user;
    user.f[1] = session_->Nick();
    Request("3", ChatUserToString(user), ChatMessageToString(session_->LeaveMessage()));
  }
  queue_.clear();
}
