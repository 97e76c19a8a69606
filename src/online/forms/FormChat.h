#pragma once
// The chat's windows: the account dialog (log in or register), the chat window
// with the public messages and the users, and the private talks.
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "online/Chat.h"
#include "online/forms/QtOwnerThread.h"
#include "shell/forms/SkinnedForm.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TFormTalk;
struct TMainSettings;

class TFormChatReg : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormChatReg(TChatClient& client, QWidget* parent = nullptr);

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelOldUserName;
  QLabel* LabelOldUserPassword;
  QLabel* LabelNewUserName;
  QLabel* LabelNewUserPassword;
  QLabel* LabelNewUserPasswordCnf;
  QLineEdit* EditOldUserName;
  QLineEdit* EditOldUserPassword;
  QLineEdit* EditNewUserName;
  QLineEdit* EditNewUserPassword;
  QLineEdit* EditNewUserPasswordCnf;
  TGraphicButton* ButtonOldUser;
  TGraphicButton* ButtonNewUser;
  TMyImage* ImageButtons;

  void ButtonOldUserClick();
  void ButtonNewUserClick();
  // The nick of a successful log-in (lower-case).
  const std::string& LoggedInNick() const { return nick_; }

 private:
  TChatClient& client_;
  std::string nick_;
};

class TFormChat : public TSkinnedForm {
  Q_OBJECT

 public:
  // Talks to the chat server the settings name.
  // Its timing is the settings' too.
  explicit TFormChat(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormChat() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QListWidget* ListBoxMessages;
  QListWidget* ListBoxUsers;
  QLineEdit* EditMessage;
  TGraphicButton* ButtonSend;
  TMyImage* ImageButtons;
  QTimer* Timer1;  // poll
  QTimer* Timer4;  // re-send

  TChatClient& Client() { return *client_; }
  const TChatTiming& Timing() const { return timing_; }
  // After log-in: the first user list, then the timers run.
  void Begin(const std::string& nick);
  void ButtonSendClick();
  void Timer1Timer();
  // A double click on a user: the talk with that peer, opened when needed.
  TFormTalk* OpenTalkWith(const std::string& peer);
  TFormTalk* Talk(int slot) const;
  void TalkClosed(int slot);
  // The talk's send; false when the request could not be made.
  bool SendPrivate(const TChatMessage& message);
  void FillUserList();

 private:
  void Apply(const std::vector<TChatEvent>& events);
  TFormTalk* NewTalk(int slot, bool incoming);
  // A close asked for while a request ran happens once it has ended.
  void AfterRequest();

  TQtOwnerThread owner_;
  const TChatTiming timing_;
  std::unique_ptr<TChatClient> client_;
  std::array<QPointer<TFormTalk>, kMaxTalks + 1> talks_{};
  bool closeDeferred_ = false;
  bool closing_ = false;
};

class TFormTalk : public TSkinnedForm {
  Q_OBJECT

 public:
  TFormTalk(TFormChat& chat, int slot, QWidget* parent = nullptr);

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelRespondent;
  QLabel* LabelRespondentName;
  QListWidget* ListBoxMessages;
  QLineEdit* EditMessage;
  TGraphicButton* ButtonSend;
  TMyImage* ImageButtons;

  int Slot() const { return slot_; }
  void AddLine(const TChatMessage& message);
  void ButtonSendClick();
  // The peer's leave notice arrived: shown, then the window closes by itself.
  void PeerLeft();
  std::string Topic() const override { return "FormTalk"; }

 private:
  QPointer<TFormChat> chat_;
  int slot_;
};

// Adds a message line to a chat list: "From : " in red (own) or blue, the
// text black, green (joined) or navy (left).
void ChatAddMessageLine(QListWidget* list, const TChatSession& session, const TChatMessage& message);

// Connects, lets the user log in and runs the chat window: true when the user
// logged in and the chat ran.
bool ChatConnectAndLogin(const TMainSettings& settings);
