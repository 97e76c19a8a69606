#pragma once
// The chat with the other users of the online services: its records, the
// reading of the chat script's replies, the state of one chat session (messages,
// users, private talks) and the client that polls and re-sends on workers.
// Windows show what the session hands them; nothing here touches a widget.
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

class IOwnerThread;
class TTransferContext;

inline constexpr int kChatKindText = -1;
inline constexpr int kChatKindJoined = 1;
inline constexpr int kChatKindLeft = 2;
inline constexpr int kMaxTalks = 100;

// A user record: f[1] is the nick, f[3] the password in account requests.
struct TChat {
  std::array<std::string, 5> f;
  const std::string& Nick() const { return f[1]; }
};
// Each field followed by ";".
std::string ChatUserToString(const TChat& user);
// Exactly five ";"-terminated fields; nullopt for fewer.
std::optional<TChat> ParseChatUser(std::string_view line);

struct TChatMessage {
  int Kind = kChatKindText;
  std::string Id, From, To, Spare, Text;
};
// Kind, Id, From, To and Text, each followed by ";".
std::string ChatMessageToString(const TChatMessage& message);
// nullopt when a field is missing or Kind is not a number.
std::optional<TChatMessage> ParseChatMessage(std::string_view line);

// Message ids are numbers: "10" comes after "9". Ids that are not both plain
// digit strings compare as text. <0, 0, >0.
int CompareChatIds(std::string_view a, std::string_view b);

// Results of a chat request.
enum : int {
  kChatNoNewMessages = -6,
  kChatIncorrectPassword = -1,
  kChatIncorrectId = -2,
  kChatIncorrectAll = -3,
  kChatNameInUse = -4,
  kChatFailed = 0,
  kChatOk = 1,
};

// A reply read: the message lines (before "[users]"), the user lines (after
// it) and the result, judged only by the text outside those lines, so nothing
// a user typed can change how a reply is read.
struct TChatReply {
  std::vector<TChatMessage> messages;
  std::vector<TChat> users;
  int result = kChatOk;
};
TChatReply ReadChatReply(std::string_view reply);
// Every line of a user list that parses as a user with a nick.
std::vector<TChat> ReadChatUsers(std::string_view text);

// The message key shown for a log-in or registration result ("" when the
// result logs in, or registers).
std::string ChatLoginMessageKey(int result);
std::string ChatRegisterMessageKey(int result);

class TIniFile;

// The timing of a chat.
// Owned by the chat window (TFormChat::Timing), read from its settings.
struct TChatTiming {
  std::chrono::milliseconds poll{3000};
  std::chrono::milliseconds resend{10000};
  std::chrono::milliseconds talkClose{2000};
};
// The timing the settings give ([Chat] PollMs, ResendMs, TalkCloseMs; tests and
// demos shorten it there); a missing or non-positive value keeps its default.
TChatTiming ReadChatTiming(const TIniFile& ini);

// What a processed reply asks the windows to do, in order.
struct TChatEvent {
  enum EKind { PublicLine, TalkOpened, TalkLine, TalkPeerLeft, UsersChanged };
  EKind kind = PublicLine;
  int slot = 0;  // talks: 1..kMaxTalks
  TChatMessage message;
};

// One chat session after log-in. The nick is kept as typed; the server knows
// the account lower-cased, so nicks are compared ignoring letter case.
class TChatSession {
 public:
  TChatSession(std::string_view nick, std::string joinedText, std::string leftText);

  const std::string& Nick() const { return nick_; }
  const std::vector<TChatMessage>& Messages() const { return messages_; }
  // Each distinct nick once, in list order.
  std::vector<std::string> UserNicks() const;

  // Merges a user list: an empty one leaves the list alone; otherwise users no
  // longer listed go and new ones are appended. True when the nicks changed.
  bool MergeUsers(const std::vector<TChat>& users);
  // The messages not known yet are kept and delivered; users are merged.
  std::vector<TChatEvent> Process(const TChatReply& reply);

  // Talks: the first free slot (0 when all are taken).
  int OpenTalk(std::string_view peer, bool incoming);
  void CloseTalk(int slot);
  // The first open talk with `peer`, 0 when none.
  int TalkWith(std::string_view peer) const;
  std::string TalkPeer(int slot) const;
  bool TalkIncoming(int slot) const;
  bool TalkPeerHasLeft(int slot) const;
  int OpenTalks() const;

  // Records for the requests.
  TChatMessage Outgoing(std::string_view to, std::string_view text, int kind = kChatKindText) const;
  TChatMessage JoinMessage() const;
  TChatMessage LeaveMessage() const;
  // The notice a talk sends when it closes before its peer left.
  TChatMessage TalkLeaveNotice(std::string_view peer) const;
  std::string PollUser() const;
  // The list line of a message: Kind;From;Text;To; (joined and left messages
  // get their text from the sender and the session's texts).
  std::string MessageLine(const TChatMessage& message) const;
  bool IsOwn(const TChatMessage& message) const { return IsNick(message.From); }
  bool IsNick(std::string_view nick) const { return EqualsNoCase(nick, nick_); }

 private:
  bool Known(const TChatMessage& message) const;
  void Deliver(const TChatMessage& message, std::vector<TChatEvent>& events);

  struct TTalk {
    bool open = false, incoming = false, peerLeft = false;
    std::string peer;
  };
  std::string nick_, joinedText_, leftText_;
  std::vector<TChatMessage> messages_;
  std::vector<TChat> users_;
  std::array<TTalk, kMaxTalks + 1> talks_{};  // slot 0 unused
};

// The user record of a log-in or register request.
std::string ChatAccountUser(std::string_view name, std::string_view password);

// The connection to the chat script: one synchronous request at a time, the
// poll worker and the re-send worker, each on its own transfer context. Worker
// ends reach the owner's thread; only that thread touches the session.
class TChatClient {
 public:
  // `joinedText` and `leftText`: the texts of the join and leave notices.
  TChatClient(std::string serverChat, IOwnerThread& owner, std::string joinedText = {}, std::string leftText = {});
  ~TChatClient();
  TChatClient(const TChatClient&) = delete;
  TChatClient& operator=(const TChatClient&) = delete;

  void SetTimeouts(long connectSeconds, long stallSeconds);
  // The network check of its requests (see TConnectCheck).
  int AttemptConnect() const;

  // The synchronous request: waits (handling the owner's tasks) for the reply;
  // 0 at once while another runs. `reply` receives the reply text.
  int Request(std::string_view ctype, std::string_view value1, std::string_view value2 = {},
              std::string* reply = nullptr);
  bool Pending() const { return pending_; }
  // Log in ("0") or register ("5"), name and password lower-cased.
  int AccountRequest(std::string_view ctype, std::string_view name, std::string_view password);

  // After log-in: the session, filled with the first user list.
  void Begin(std::string_view nick);
  TChatSession* Session() { return session_.get(); }

  // Sends a public message; a failure is queued for the re-send worker.
  // Returns the request's result.
  int SendPublic(std::string_view text);
  // Sends to a talk's peer (a failure is not queued).
  int SendPrivate(const TChatMessage& message);

  // The poll timer's tick: processes the last finished poll (unless it had
  // nothing new) and starts the next; does nothing while a poll runs.
  std::vector<TChatEvent> PollTick();
  bool Polling() const;
  // The re-send timer's tick: starts a run over the queue unless one runs.
  void ResendTick();
  bool Resending() const;
  std::size_t Queued() const { return queue_.size(); }

  // Leave: the workers end, the leave request goes out.
  void Leave();

 private:
  void ResendNext();

  std::string serverChat_;
  IOwnerThread& owner_;
  std::string joinedText_, leftText_;
  std::unique_ptr<TTransferContext> request_, poll_, resend_;
  std::unique_ptr<TChatSession> session_;
  bool pending_ = false;
  bool pollDone_ = true;
  int pollStatus_ = kChatNoNewMessages;
  std::string pollReply_;
  bool resending_ = false;
  std::deque<std::string> queue_;  // text forms of the messages still to send
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
