#include "online/forms/FormChat.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include "online/OnlineRecords.h"
#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "platform/IniFile.h"
#include "platform/KeyCodes.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {

// Rows of "ButChat.psd": log in, register, send.
constexpr int kOldUserRowTop = 0;
constexpr int kNewUserRowTop = 30;
constexpr int kSendRowTop = 60;

enum { kRoleFrom = Qt::UserRole + 1, kRoleText, kRoleKind, kRoleOwn };

const QColor kOwnColour(255, 0, 0), kOtherColour(0, 0, 255), kJoinedColour(0, 128, 0), kLeftColour(0, 0, 128);

// Draws the chat lists: users in red (oneself) or blue; messages as the sender
// in those colours, then the text coloured by its kind.
class TChatLineDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    painter->fillRect(option.rect, option.state & QStyle::State_Selected ? QColor(220, 226, 240) : Qt::white);
    const bool own = index.data(kRoleOwn).toBool();
    QRect rect = option.rect.adjusted(2, 0, -2, 0);
    const QString from = index.data(kRoleFrom).toString();
    painter->setPen(own ? kOwnColour : kOtherColour);
    if (index.data(kRoleKind).isNull()) {
      painter->drawText(rect, Qt::AlignVCenter | Qt::AlignLeft, from);
    } else {
      const QString head = from + " : ";
      painter->drawText(rect, Qt::AlignVCenter | Qt::AlignLeft, head);
      rect.setLeft(rect.left() + option.fontMetrics.horizontalAdvance(head));
      const int kind = index.data(kRoleKind).toInt();
      painter->setPen(kind == kChatKindJoined ? kJoinedColour : kind == kChatKindLeft ? kLeftColour : QColor(Qt::black));
      painter->drawText(rect, Qt::AlignVCenter | Qt::AlignLeft, index.data(kRoleText).toString());
    }
    painter->restore();
  }
};

QListWidget* NewChatList(QWidget* parent, const char* name, QRect bounds) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  list->setGeometry(bounds);
  list->setItemDelegate(new TChatLineDelegate(list));
  return list;
}

QLineEdit* NewChatEdit(QWidget* parent, const char* name, QRect bounds, int maxLength, bool password = false) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(bounds);
  edit->setMaxLength(maxLength);
  if (password) edit->setEchoMode(QLineEdit::Password);
  return edit;
}

std::string Typed(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

void ChatAddMessageLine(QListWidget* list, const TChatSession& session, const TChatMessage& message) {
  // The stored line keeps the record's order; the delegate draws it.
  auto* item = new QListWidgetItem(QString::fromStdString(session.MessageLine(message)), list);
  std::string text = message.Text;
  if (message.Kind == kChatKindJoined || message.Kind == kChatKindLeft) {
    const std::string line = session.MessageLine(message);
    // Kind;From;Text;To; : the text the session made for the notice.
    const std::size_t a = line.find(';'), b = line.find(';', a + 1), c = line.rfind(';', line.size() - 2);
    text = line.substr(b + 1, c - b - 1);
  }
  item->setData(kRoleFrom, QString::fromStdString(message.From));
  item->setData(kRoleText, QString::fromStdString(text));
  item->setData(kRoleKind, message.Kind);
  item->setData(kRoleOwn, session.IsOwn(message));
  list->scrollToItem(item);
}

// --- account dialog ---

TFormChatReg::TFormChatReg(TChatClient& client, QWidget* parent)
    : TSkinnedForm("FormChatReg", parent), client_(client) {
  BuildOnlineFrame(*this, {420, 260, QPoint(106, 70), 400}, ImageButtons, CaptionBar, ButtonExit);
  LabelOldUserName = NewOnlineLabel(this, "LabelOldUserName", {16, 40, 180, 20});
  EditOldUserName = NewChatEdit(this, "EditOldUserName", {16, 62, 180, 24}, 40);
  LabelOldUserPassword = NewOnlineLabel(this, "LabelOldUserPassword", {16, 92, 180, 20});
  EditOldUserPassword = NewChatEdit(this, "EditOldUserPassword", {16, 114, 180, 24}, 40, true);
  ButtonOldUser = NewSheetButton(this, "ButtonOldUser", ImageButtons, kOldUserRowTop, {61, 212, 90, 30});
  LabelNewUserName = NewOnlineLabel(this, "LabelNewUserName", {224, 40, 180, 20});
  EditNewUserName = NewChatEdit(this, "EditNewUserName", {224, 62, 180, 24}, 40);
  LabelNewUserPassword = NewOnlineLabel(this, "LabelNewUserPassword", {224, 92, 180, 20});
  EditNewUserPassword = NewChatEdit(this, "EditNewUserPassword", {224, 114, 180, 24}, 40, true);
  LabelNewUserPasswordCnf = NewOnlineLabel(this, "LabelNewUserPasswordCnf", {224, 144, 180, 20});
  EditNewUserPasswordCnf = NewChatEdit(this, "EditNewUserPasswordCnf", {224, 166, 180, 24}, 40, true);
  ButtonNewUser = NewSheetButton(this, "ButtonNewUser", ImageButtons, kNewUserRowTop, {269, 212, 90, 30});
  ButtonOldUser->OnClick = [this] { ButtonOldUserClick(); };
  ButtonNewUser->OnClick = [this] { ButtonNewUserClick(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormChatReg", "Chat");
  ButtonNewUser->setToolTip(TermText("FormChatRegButtonNewUserHint", "Register"));
  ButtonOldUser->setToolTip(TermText("FormChatRegButtonOldUserHint", "Log in"));
  // The register row of the sheet is a plain frame: the caption says what it does.
  ButtonNewUser->SetCaption(TermText("FormChatRegButtonNewUserCaption", "Register"));
  for (QLabel* label : {LabelOldUserName, LabelNewUserName}) label->setText(TermText("FormChatRegLabelUserName", "Name"));
  for (QLabel* label : {LabelOldUserPassword, LabelNewUserPassword})
    label->setText(TermText("FormChatRegLabelUserPassword", "Password"));
  LabelNewUserPasswordCnf->setText(TermText("FormChatRegLabelUserPasswordCnf", "Password again"));
  Skins = {"FormChatReg.Skin", "FormChatReg.psd", "FormChatRegButtons", "ButChat.psd"};
  OnShow = [this] {
    EditOldUserName->setFocus();
  };
}

void TFormChatReg::ButtonOldUserClick() {
  const std::string name = Typed(EditOldUserName), password = Typed(EditOldUserPassword);
  if (name.empty() || password.empty())
    return ShowOnlineMessage(name.empty() ? "MessageChatNameMissing" : "MessageChatPasswordMissing");
  QPointer<TFormChatReg> self(this);
  const int result = client_.AccountRequest("0", name, password);
  if (!self) return;
  if (const std::string key = ChatLoginMessageKey(result); !key.empty()) {
    ShowOnlineMessage(key);
    return;
  }
  nick_ = TChatSession(name, "", "").Nick();
  ModalResult = 1;
  close();
}

void TFormChatReg::ButtonNewUserClick() {
  const std::string name = Typed(EditNewUserName), password = Typed(EditNewUserPassword);
  const std::string confirmation = Typed(EditNewUserPasswordCnf);
  if (name.empty() || password.empty() || confirmation.empty())
    return ShowOnlineMessage(name.empty()       ? "MessageChatNameMissing"
                             : password.empty() ? "MessageChatPasswordMissing"
                                                : "MessageChatPasswordCnfMissing");
  if (password != confirmation) {
    ShowOnlineMessage("MessageRetypePassword");
    return;
  }
  QPointer<TFormChatReg> self(this);
  const int result = client_.AccountRequest("5", name, password);
  if (self) ShowOnlineMessage(ChatRegisterMessageKey(result));
}

// --- chat window ---

TFormChat::TFormChat(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormChat", parent), timing_(ReadChatTiming(settings.Ini)) {
  BuildOnlineFrame(*this, {600, 440, QPoint(60, 40), 580}, ImageButtons, CaptionBar, ButtonExit);
  ListBoxMessages = NewChatList(this, "ListBoxMessages", {12, 30, 420, 350});
  ListBoxUsers = NewChatList(this, "ListBoxUsers", {442, 30, 146, 350});
  EditMessage = NewChatEdit(this, "EditMessage", {12, 396, 470, 26}, 150);
  ButtonSend = NewSheetButton(this, "ButtonSend", ImageButtons, kSendRowTop, {498, 394, 90, 30});
  ButtonSend->OnClick = [this] { ButtonSendClick(); };
  connect(EditMessage, &QLineEdit::returnPressed, this, [this] { ButtonSendClick(); });
  connect(ListBoxUsers, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const std::string peer = item->text().toStdString();
    if (client_->Session() && !client_->Session()->IsNick(peer)) OpenTalkWith(peer);
  });
  Timer1 = new QTimer(this);
  Timer1->setInterval(timing_.poll);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer4 = new QTimer(this);
  Timer4->setInterval(timing_.resend);
  connect(Timer4, &QTimer::timeout, this, [this] { client_->ResendTick(); });

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormChatCaption", "Chat");
  ButtonSend->setToolTip(TermText("FormChatButtonSendHint", "Send"));
  const std::string server = ReadOnlineServers(settings.Ini).ServerChat;
  client_ = std::make_unique<TChatClient>(server, owner_, TermText("FormChatUserJoined", "has joined").toStdString(),
                                          TermText("FormChatUserLeft", " has left").toStdString());

  Skins = {"FormChat.Skin", "FormChat.psd", "FormChatButtons", "ButChat.psd"};
  OnCloseQuery = [this](bool& canClose) {
    // A request waits in a nested loop: the window goes only once it has ended.
    if (client_->Pending()) {
      closeDeferred_ = true;
      canClose = false;
    }
  };
  OnClose = [this] {
    if (closing_) return;
    closing_ = true;
    Timer1->stop();
    Timer4->stop();
    client_->Leave();
    for (int slot = 1; slot <= kMaxTalks; ++slot)
      if (talks_[slot]) talks_[slot]->close();
  };
}

TFormChat::~TFormChat() {
  for (auto& talk : talks_) delete talk.data();
}

void TFormChat::Begin(const std::string& nick) {
  client_->Begin(nick);
  closing_ = false;
  FillUserList();
  Timer1->start();
}

void TFormChat::AfterRequest() {
  if (closeDeferred_ && !client_->Pending()) {
    closeDeferred_ = false;
    close();
  }
}

void TFormChat::ButtonSendClick() {
  if (!client_->Session() || EditMessage->text().isEmpty()) return;
  const std::string text = EditMessage->text().toStdString();
  EditMessage->clear();
  QPointer<TFormChat> self(this);
  if (client_->SendPublic(text) == kChatFailed && self) Timer4->start();
  if (self) AfterRequest();
}

void TFormChat::Timer1Timer() {
  std::vector<TChatEvent> events = client_->PollTick();
  Apply(events);
}

void TFormChat::Apply(const std::vector<TChatEvent>& events) {
  TChatSession& session = *client_->Session();
  for (const TChatEvent& e : events) switch (e.kind) {
      case TChatEvent::UsersChanged: FillUserList(); break;
      case TChatEvent::PublicLine: ChatAddMessageLine(ListBoxMessages, session, e.message); break;
      case TChatEvent::TalkOpened: NewTalk(e.slot, true); break;
      case TChatEvent::TalkLine:
        if (TFormTalk* talk = Talk(e.slot)) {
          talk->AddLine(e.message);
          talk->show();
        }
        break;
      case TChatEvent::TalkPeerLeft:
        if (TFormTalk* talk = Talk(e.slot)) talk->PeerLeft();
        break;
    }
}

void TFormChat::FillUserList() {
  ListBoxUsers->clear();
  if (!client_->Session()) return;
  for (const std::string& nick : client_->Session()->UserNicks()) {
    auto* item = new QListWidgetItem(QString::fromStdString(nick), ListBoxUsers);
    item->setData(kRoleFrom, QString::fromStdString(nick));
    item->setData(kRoleOwn, client_->Session()->IsNick(nick));
  }
  if (ListBoxUsers->count() > 0) ListBoxUsers->setCurrentRow(0);
}

TFormTalk* TFormChat::Talk(int slot) const { return slot >= 1 && slot <= kMaxTalks ? talks_[slot].data() : nullptr; }

TFormTalk* TFormChat::NewTalk(int slot, bool incoming) {
  (void)incoming;  // the session keeps it
  auto* talk = new TFormTalk(*this, slot);
  talks_[slot] = talk;
  talk->show();
  return talk;
}

TFormTalk* TFormChat::OpenTalkWith(const std::string& peer) {
  TChatSession* session = client_->Session();
  if (!session) return nullptr;
  if (TFormTalk* talk = Talk(session->TalkWith(peer))) {
    talk->show();
    talk->raise();
    return talk;
  }
  const int slot = session->OpenTalk(peer, false);
  return slot ? NewTalk(slot, false) : nullptr;
}

void TFormChat::TalkClosed(int slot) {
  if (client_->Session()) client_->Session()->CloseTalk(slot);
  if (slot >= 1 && slot <= kMaxTalks) {
    if (talks_[slot]) talks_[slot]->deleteLater();
    talks_[slot] = nullptr;
  }
}

bool TFormChat::SendPrivate(const TChatMessage& message) {
  QPointer<TFormChat> self(this);
  const int result = client_->SendPrivate(message);
  if (!self) return false;
  AfterRequest();
  return result != kChatFailed;
}

// --- talk ---

TFormTalk::TFormTalk(TFormChat& chat, int slot, QWidget* parent)
    : TSkinnedForm(QString("F%1").arg(slot), parent), chat_(&chat), slot_(slot) {
  const int cascade = (slot % 10) * 12;
  BuildOnlineFrame(*this, {400, 320, QPoint(140 + cascade, 100 + cascade), 380}, ImageButtons, CaptionBar, ButtonExit);
  LabelRespondent = NewOnlineLabel(this, "LabelRespondent", {12, 28, 376, 20});
  LabelRespondentName = NewOnlineLabel(this, "LabelRespondentName", {0, 0, 0, 0});
  LabelRespondentName->hide();
  ListBoxMessages = NewChatList(this, "ListBoxMessages", {12, 52, 376, 220});
  EditMessage = NewChatEdit(this, "EditMessage", {12, 282, 270, 26}, 150);
  ButtonSend = NewSheetButton(this, "ButtonSend", ImageButtons, kSendRowTop, {298, 280, 90, 30});
  ButtonSend->OnClick = [this] { ButtonSendClick(); };
  connect(EditMessage, &QLineEdit::returnPressed, this, [this] { ButtonSendClick(); });

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormTalkCaption", "Talk");
  ButtonSend->setToolTip(TermText("FormTalkButtonSendHint", "Send"));
  const std::string peer = chat.Client().Session()->TalkPeer(slot);
  LabelRespondentName->setText(QString::fromStdString(peer));
  LabelRespondent->setText(TermText("FormTalkLabelRespondentCaption", "Talking with") + " " +
                           QString::fromStdString(peer));
  Skins = {"FormTalk.Skin", "FormTalk.psd", "FormTalkButtons", "ButChat.psd"};
  OnClose = [this] {
    if (!chat_) return;
    TChatSession* session = chat_->Client().Session();
    if (session && !session->TalkPeerHasLeft(slot_))
      chat_->SendPrivate(session->TalkLeaveNotice(LabelRespondentName->text().toStdString()));
    if (chat_) chat_->TalkClosed(slot_);
  };
}

void TFormTalk::AddLine(const TChatMessage& message) {
  if (chat_ && chat_->Client().Session()) ChatAddMessageLine(ListBoxMessages, *chat_->Client().Session(), message);
}

void TFormTalk::ButtonSendClick() {
  if (!chat_ || !chat_->Client().Session() || EditMessage->text().isEmpty()) return;
  const TChatMessage message =
      chat_->Client().Session()->Outgoing(LabelRespondentName->text().toStdString(), EditMessage->text().toStdString());
  EditMessage->clear();
  QPointer<TFormTalk> self(this);
  chat_->SendPrivate(message);
  if (self) AddLine(message);
}

void TFormTalk::PeerLeft() {
  show();
  QPointer<TFormTalk> self(this);
  QTimer::singleShot(chat_ ? chat_->Timing().talkClose : TChatTiming{}.talkClose, this, [self] {
    if (self) self->close();
  });
}

// --- the whole chat ---

bool ChatConnectAndLogin(const TMainSettings& settings) {
  TFormChat chat(settings);
  if (IsConnectionError(chat.Client().AttemptConnect())) {
    ShowOnlineMessage("MessageNoAccessToServer");
    return false;
  }
  TFormChatReg account(chat.Client());
  if (ShowSkinnedModal(account) != 1) {
    account.close();
    return false;
  }
  account.close();
  chat.Begin(account.LoggedInNick());
  ShowSkinnedModal(chat);
  chat.close();
  return true;
}
