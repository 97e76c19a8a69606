// hub-chat-demo: the real program as two users meet online, run twice at once
// with HUB_CHAT_ROLE "anna" and "bob" and HUB_CHAT_OUT a folder both see. Anna's
// program hosts the stand-in publisher and writes its chat address to
// <out>/chat-url. Anna opens the online window from the main window's button,
// reads the installed publisher message with frames and follows its link into
// the other frame. Then each opens the chat from the online window, registers,
// logs in and sends a public message, and waits for the other's. Anna opens a
// private talk with bob by a double click on his name and writes to him; bob's
// program opens a talk window with it. Each writes <out>/<role>.ok when its part
// is seen (and stays up for the screenshot), or <out>/<role>.fail and ends.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "app/Program.h"
#include "editor/forms/FormMain.h"
#include "online/forms/FormChat.h"
#include "online/forms/FormPublisherMessages.h"
#include "online/forms/FrameViewer.h"
#include "online/forms/OnlineMessages.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/ShellForms.h"
#include "support/LinkPoint.h"
#include "support/StandInPublisher.h"
#include "support/qt/DemoSteps.h"
#include "support/qt/SmokeDemo.h"

namespace {

// How long either program may take over its part, once started (and bob, before
// that, for anna's chat address): generous for two slow cores under the sanitizers.
constexpr std::chrono::seconds kWatchdog{90};

std::string role, other, out;
int step = 0;
bool busy = false;
std::vector<std::string> notices;

void Note(const std::string& what) { std::cerr << role << ": " << what << std::endl; }

[[noreturn]] void Fail(const std::string& why) {
  std::string shown;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) shown += " " + window->objectName().toStdString();
  Note("FAIL at step " + std::to_string(step) + ": " + why + "; windows shown:" + shown);
  WriteDemoFile(out + "/" + role + ".fail", why + "\n");
  std::_Exit(1);
}

TFormTalk* ShownTalk() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* talk = qobject_cast<TFormTalk*>(window); talk && talk->isVisible()) return talk;
  return nullptr;
}

TGraphicButton* ButtonOf(QWidget* window, const char* name) {
  auto* button = window->findChild<TGraphicButton*>(name);
  if (!button || !button->isVisible()) Fail(std::string("no button ") + name);
  return button;
}

bool ListHas(const QListWidget* list, const QString& text) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().contains(text)) return true;
  return false;
}

// What the chat shows and still has to send, for a watchdog's report.
std::string ChatState() {
  auto* chat = ShownWindow<TFormChat>("FormChat");
  if (!chat) return "";
  std::string lines;
  for (int i = 0; i < chat->ListBoxMessages->count(); ++i)
    lines += " [" + chat->ListBoxMessages->item(i)->text().toStdString() + "]";
  return "; the chat shows" + lines + "; messages to re-send: " + std::to_string(chat->Client().Queued());
}

// Clicks the link whose text is `text`, where the frame shows it.
void ClickLink(THtmlViewer* frame, const QString& text) {
  const std::optional<QPoint> at = LinkPoint(frame, text);
  if (!at) return Fail("no link " + text.toStdString());
  QTest::mouseClick(frame->viewport(), Qt::LeftButton, {}, *at);
}

void InstallMessage(TIniFile& settings) {
  const fs::path folder = fs::path(InstallationFolder()) / "MESSAGES" / "spring";
  WriteDemoFile(folder / "index.htm",
        "<html><frameset cols=\"160,*\"><frame name=\"menu\" src=\"menu.htm\">"
        "<frame name=\"page\" src=\"welcome.htm\"></frameset></html>");
  WriteDemoFile(folder / "menu.htm", "<p><a href=\"offers.htm\" target=\"page\">Spring offers</a></p>");
  WriteDemoFile(folder / "welcome.htm", "<h2>Welcome to spring</h2>");
  WriteDemoFile(folder / "offers.htm", "<h2>Three new curls</h2>");
  settings.WriteString("MESSAGES", "spring", "spring;Spring news;;");
}

void Tick() {
  if (busy) return;
  QWidget* main = ShownWindow("FormMain");
  switch (step) {
    case 0:  // the online window from the main window
      if (!main) return;
      step = role == "anna" ? 1 : 10;
      Note("opening the online window");
      DemoClick(ButtonOf(main, "ButtonInternet"));
      return;
    case 1:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        step = 2;
        Note("opening the publisher's messages");
        DemoClick(ButtonOf(hub, "ButtonPublisherMessages"));
      }
      return;
    case 2:
      if (auto* messages = ShownWindow<TFormPublisherMessages>("FormPublisherMessages")) {
        TFrameViewer& viewer = *messages->HTMLViewer;
        if (messages->Messages().size() != 1 || viewer.FrameCount() != 2) Fail("the message is not shown in frames");
        if (!viewer.Frame("page")->toPlainText().contains("Welcome to spring")) Fail("the page frame is empty");
        ClickLink(viewer.Frame("menu"), "Spring offers");
        step = 3;
      }
      return;
    case 3:
      if (auto* messages = ShownWindow<TFormPublisherMessages>("FormPublisherMessages")) {
        if (!messages->HTMLViewer->Frame("page")->toPlainText().contains("Three new curls"))
          Fail("the link did not load into its frame");
        if (!messages->HTMLViewer->Frame("menu")->toPlainText().contains("Spring offers")) Fail("the menu went");
        Note("the message's link loaded in its frame");
        step = 4;
        DemoClick(ButtonOf(messages, "ButtonExit"));
      }
      return;
    case 4:
      if (!main || ShownWindow("FormPublisherMessages") || ShownWindow("FormInetModes")) return;
      step = 10;
      DemoClick(ButtonOf(main, "ButtonInternet"));
      return;
    case 10:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        step = 11;
        Note("opening the chat");
        DemoClick(ButtonOf(hub, "ButtonChat"));
      }
      return;
    case 11:
      if (auto* account = ShownWindow<TFormChatReg>("FormChatReg")) {
        busy = true;
        const QString name = QString::fromStdString(role == "anna" ? "Anna" : "Bob");
        QTest::keyClicks(account->EditNewUserName, name);
        QTest::keyClicks(account->EditNewUserPassword, "Spring1");
        QTest::keyClicks(account->EditNewUserPasswordCnf, "Spring1");
        DemoClick(account->ButtonNewUser);
        if (notices != std::vector<std::string>{"MessageYouAreSucReg"}) Fail("not registered");
        QTest::keyClicks(account->EditOldUserName, name);
        QTest::keyClicks(account->EditOldUserPassword, "Spring1");
        busy = false;
        step = 12;
        Note("logging in");
        DemoClick(account->ButtonOldUser);
      }
      return;
    case 12:
      if (auto* chat = ShownWindow<TFormChat>("FormChat")) {
        busy = true;
        QTest::keyClicks(chat->EditMessage, QString::fromStdString("hello from " + role));
        DemoClick(chat->ButtonSend);
        busy = false;
        if (!chat->EditMessage->text().isEmpty()) Fail("the message was not sent");
        Note(chat->Client().Queued() ? "the public message failed and waits to be sent again"
                                     : "sent a public message");
        step = 13;
      }
      return;
    case 13:
      if (auto* chat = ShownWindow<TFormChat>("FormChat")) {
        if (!ListHas(chat->ListBoxMessages, QString::fromStdString("hello from " + other))) return;
        if (!ListHas(chat->ListBoxMessages, QString::fromStdString("hello from " + role))) Fail("own message lost");
        Note("the other's public message arrived");
        if (role == "bob") {
          step = 20;
          return;
        }
        const auto users = chat->ListBoxUsers->findItems("bob", Qt::MatchExactly);
        if (users.isEmpty()) return;
        QListWidget* list = chat->ListBoxUsers;
        const QPoint at = list->visualItemRect(users.front()).center();
        DemoClick(list->viewport(), at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        TFormTalk* talk = ShownTalk();
        if (!talk) {
          std::string items;
          for (int i = 0; i < list->count(); ++i) items += " [" + list->item(i)->text().toStdString() + "]";
          Fail("no talk window for bob; users" + items + " at " + std::to_string(at.x()) + "," + std::to_string(at.y()));
        }
        busy = true;
        QTest::keyClicks(talk->EditMessage, "psst bob");
        DemoClick(talk->ButtonSend);
        busy = false;
        if (!ListHas(talk->ListBoxMessages, "psst bob")) Fail("the private message is not in the talk");
        Note("wrote to bob privately");
        WriteDemoFile(out + "/anna.ok", "ok\n");
        step = 30;
      }
      return;
    case 20:
      if (TFormTalk* talk = ShownTalk()) {
        if (!ListHas(talk->ListBoxMessages, "psst bob")) return;
        if (talk->LabelRespondentName->text() != "Anna") Fail("the talk is not with Anna, as she typed her name");
        Note("a talk with anna opened with her message");
        WriteDemoFile(out + "/bob.ok", "ok\n");
        step = 30;
      }
      return;
    default: return;
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const char* roleEnv = std::getenv("HUB_CHAT_ROLE");
  const char* outEnv = std::getenv("HUB_CHAT_OUT");
  if (argc < 1 || !roleEnv || !outEnv) return 2;
  role = roleEnv;
  other = role == "anna" ? "bob" : "anna";
  out = outEnv;
  std::unique_ptr<TStandInPublisher> publisher;
  std::string chatUrl;
  if (role == "anna") {
    publisher = std::make_unique<TStandInPublisher>(kLoopbackForTheRun);
    chatUrl = publisher->ServerChat();
    WriteDemoFile(out + "/chat-url.tmp", chatUrl);
    fs::rename(out + "/chat-url.tmp", out + "/chat-url");
  } else {
    const auto giveUp = std::chrono::steady_clock::now() + kWatchdog;
    while (true) {
      if (auto bytes = ReadFileBytes(out + "/chat-url")) chatUrl.assign(bytes->begin(), bytes->end());
      if (!chatUrl.empty()) break;
      if (std::chrono::steady_clock::now() > giveUp) {
        WriteDemoFile(out + "/bob.fail", "anna's program gave no chat address\n");
        return 3;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  return RunProgram(1, argv, [&] {
    TIniFile& settings = qobject_cast<TFormMain*>(FindScreenForm("FormMain"))->Settings().Ini;
    settings.WriteString("Servers", "ServerChat", chatUrl);
    if (role == "anna") InstallMessage(settings);
    settings.WriteInteger("Chat", "PollMs", 500);
    SetOnlineMessageSink([](const std::string& key) {
      Note("message " + key);
      notices.push_back(key);
    });
    PumpDemoSteps(Tick);
    QTimer::singleShot(kWatchdog, qApp, [] { Fail("timed out" + ChatState()); });
  });
}
