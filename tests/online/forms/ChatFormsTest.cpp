// The chat's windows against the stand-in chat script: log-in, a private
// message opening a talk, the peer's leave closing it, and a close asked for
// while a request runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "online/forms/FormChat.h"
#include "online/forms/OnlineMessages.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "support/ShippedTexts.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

class ChatForms : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetOnlineMessageSink(RecordShippedMessages(messages_));
    SetProgramFolders(temp_.Path());
    settings_.Ini = TIniFile(temp_ / "Tressary.ini");
    settings_.Ini.WriteString("Servers", "ServerChat", publisher_.ServerChat());
    for (const char* key : {"PollMs", "ResendMs", "TalkCloseMs"}) settings_.Ini.WriteInteger("Chat", key, 20);
  }
  void TearDown() override {
    SetOnlineMessageSink({});
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  // Logs `name` in through the account dialog.
  void LogIn(TFormChat& chat, const char* name) {
    TFormChatReg account(chat.Client());
    account.show();
    // Its face in the button sheet is a plain frame: without a caption it says nothing.
    EXPECT_FALSE(account.ButtonNewUser->Caption().trimmed().isEmpty());
    QTest::keyClicks(account.EditNewUserName, name);
    QTest::keyClicks(account.EditNewUserPassword, "pw");
    QTest::keyClicks(account.EditNewUserPasswordCnf, "pw");
    account.ButtonNewUserClick();
    ASSERT_EQ(messages_.back(), "MessageYouAreSucReg");
    QTest::keyClicks(account.EditOldUserName, name);
    QTest::keyClicks(account.EditOldUserPassword, "PW");
    account.ButtonOldUserClick();
    ASSERT_EQ(account.ModalResult, 1);
    chat.Begin(account.LoggedInNick());
    chat.show();
  }

  TMainSettings settings_;
  TempFolder temp_;
  TStandInPublisher publisher_;
  std::vector<std::string> messages_;
};

TEST_F(ChatForms, APrivateMessageOpensATalkThatClosesWhenThePeerLeaves) {
  TFormChat anna(settings_), bob(settings_);
  LogIn(anna, "Anna");
  LogIn(bob, "Bob");
  QTest::keyClicks(anna.EditMessage, "hello all");
  anna.ButtonSendClick();
  auto shown = [](QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().contains(text)) return true;
    return false;
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown(bob.ListBoxMessages, "hello all"); }, 5000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return anna.ListBoxUsers->count() == 2; }, 5000));

  TFormTalk* out = anna.OpenTalkWith("bob");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(anna.OpenTalkWith("bob"), out) << "one talk a peer";
  QTest::keyClicks(out->EditMessage, "just you");
  out->ButtonSendClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return bob.Talk(1) != nullptr; }, 5000));
  TFormTalk* in = bob.Talk(1);
  EXPECT_EQ(in->objectName(), "F1");
  EXPECT_TRUE(shown(in->ListBoxMessages, "just you"));
  EXPECT_FALSE(shown(bob.ListBoxMessages, "just you"));

  QPointer<TFormTalk> watched(in);
  out->close();  // sends the leave notice
  EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 5000)) << "the peer's leave closes the talk";
  EXPECT_EQ(bob.Client().Session()->OpenTalks(), 0);
  bob.close();
  anna.close();
}

TEST_F(ChatForms, ClosingWhileARequestRunsWaitsForIt) {
  auto chat = std::make_unique<TFormChat>(settings_);
  LogIn(*chat, "carl");
  publisher_.SlowChat(30);
  QTimer::singleShot(60, chat.get(), [&] { chat->close(); });
  QTest::keyClicks(chat->EditMessage, "slowly");
  chat->ButtonSendClick();
  EXPECT_FALSE(chat->isVisible()) << "the deferred close happened once the request ended";
  const std::vector<std::string> log = publisher_.ChatLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1], "-1;2;carl;all;slowly;");
  EXPECT_EQ(log[2].substr(0, 9), "2;3;carl;") << "the leave went out after the message";
  chat.reset();
}

}  // namespace

TEST_F(ChatForms, TheAccountDialogSaysWhichFieldIsEmpty) {
  TFormChat chat{settings_};
  TFormChatReg account(chat.Client());
  account.show();
  account.ButtonOldUserClick();
  QTest::keyClicks(account.EditOldUserName, "dora");
  account.ButtonOldUserClick();
  account.ButtonNewUserClick();
  QTest::keyClicks(account.EditNewUserName, "dora");
  account.ButtonNewUserClick();
  QTest::keyClicks(account.EditNewUserPassword, "pw");
  account.ButtonNewUserClick();
  EXPECT_EQ(messages_, (std::vector<std::string>{"MessageChatNameMissing", "MessageChatPasswordMissing",
                                                 "MessageChatNameMissing", "MessageChatPasswordMissing",
                                                 "MessageChatPasswordCnfMissing"}));
  EXPECT_NE(account.ModalResult, 1);
}
