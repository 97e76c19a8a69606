// online-walk-demo: the real program, started over the shipped settings, as a new
// user walks every online service against the stand-in publisher on loopback.
// From the main window's online button: new elements ask for the account first;
// the registration window is closed by the x of its caption bar, clicked with
// the X pointer; then it is filled in and sent; the download window installs a
// template and an interface; the gallery shows its authors with their works;
// the desk's work goes to the gallery with the shipped attribute lists; the
// chat registers, logs in and shows a message. Every message met must have a
// text. Writes <out>/walk.ok at the end, or <out>/walk.fail and ends.
//   online-walk-demo <out folder>  (run from the installation's folder)
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/Program.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "online/forms/FormChat.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/FormFromGallery.h"
#include "online/forms/FormInetReg.h"
#include "online/forms/FormToGallery.h"
#include "online/forms/OnlineMessages.h"
#include "picture/Layer.h"
#include "picture/PackedPicture.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "support/StandInPublisher.h"
#include "support/qt/DemoSteps.h"
#include "support/qt/SmokeDemo.h"

namespace {

std::string out;
int step = 0;
bool busy = false;
std::vector<std::string> notices;
std::unique_ptr<TStandInPublisher> publisher;

void Note(const std::string& what) { std::cerr << "walk: " << what << std::endl; }

[[noreturn]] void Fail(const std::string& why) {
  std::string shown;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) shown += " " + window->objectName().toStdString();
  Note("FAIL at step " + std::to_string(step) + ": " + why + "; windows shown:" + shown);
  WriteDemoFile(out + "/walk.fail", why + "\n");
  std::_Exit(1);
}

TGraphicButton* ButtonOf(QWidget* window, const char* name) {
  auto* button = window->findChild<TGraphicButton*>(name);
  if (!button || !button->isVisible()) Fail(std::string("no button ") + name);
  return button;
}

bool Noticed(const std::string& key) { return std::find(notices.begin(), notices.end(), key) != notices.end(); }

// A click of the X pointer, as a person's: whatever lies under it gets it.
void PointerClick(QWidget* widget) {
  const QPoint at = widget->mapToGlobal(widget->rect().center());
  const std::string command =
      "xdotool mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click 1";
  if (std::system(command.c_str()) != 0) Fail("xdotool failed");
}

void Publish(TIniFile& settings) {
  publisher = std::make_unique<TStandInPublisher>(kLoopbackForTheRun);
  const auto picture = PackBitmap32(TBitmap32(120, 160, Color32(200, 40, 200)), 90);
  publisher->AddFile("hairw/walk.fll", std::string(picture.begin(), picture.end()));
  const auto volumes = publisher->AddInterfaceParts(
      "intfaces/walk/1024-768", {{"WALK\\1024-768", "INTFACE.TXT", "2", "# the walk's interface\r\n"}}, 2);
  publisher->AddIndexLines("partbase", {"1;0;0;Walk;Walk;;1;" + std::to_string(picture.size())});
  publisher->AddIndexLines("interfaces", {"[Walk;WALK]", "1024-768;2;" + std::to_string(volumes[0].size()) + ";" +
                                                             std::to_string(volumes[1].size())});
  publisher->Publish();
  // A peer's gallery: ids carry a letter after the author's number.
  publisher->AddGalleryUser("Carl;Dorn;c@example.com;20001;;1;1.1.1990;3;JQ;1;0;");
  publisher->AddGalleryWork("20001w0001;0;000000;;0;Curls;5.10;;");
  settings.WriteString("Servers", "CGIServer", publisher->CgiServer());
  settings.WriteString("Servers", "GalleryServer", publisher->GalleryUrl());
  settings.WriteString("Servers", "ServerPost", publisher->UploadUrl());
  settings.WriteString("Servers", "ServerChat", publisher->ServerChat());
  settings.EraseSection("Publishers");
  settings.WriteString("Publishers", "Server1", publisher->BaseUrl() + ";Stand-in publisher;standin;");
}

// Opens the online window from the main window once nothing else shows; the
// walk goes on at `next` (set first: the click returns when the window closes).
bool OpenHub(int next) {
  QWidget* main = ShownWindow("FormMain");
  if (!main || ShownWindow("FormDownloadElements") || ShownWindow("FormFromGallery") || ShownWindow("FormToGallery") ||
      ShownWindow("FormChat") || ShownWindow("FormInetModes"))
    return false;
  step = next;
  DemoClick(ButtonOf(main, "ButtonInternet"));
  return true;
}

void Tick() {
  if (busy) return;
  switch (step) {
    case 0:
      OpenHub(1);
      return;
    case 1:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        Note("new elements, without an account");
        step = 2;
        DemoClick(ButtonOf(hub, "ButtonDownloadElements"));
      }
      return;
    case 2:
      if (auto* registration = ShownWindow<TFormInetReg>("FormInetReg")) {
        busy = true;
        QTest::qWait(300);  // shown and placed
        busy = false;
        Note("closing the registration by its caption bar's x");
        step = 3;
        PointerClick(registration->ButtonExit);
        QTimer::singleShot(5000, qApp, [] {
          if (step == 3) Fail("the caption bar's x did not close the registration");
        });
      }
      return;
    case 3:
      if (ShownWindow("FormInetReg") || !Noticed("MessageRegistrationNecessary")) return;
      step = 4;
      return;
    case 4:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        step = 5;
        DemoClick(ButtonOf(hub, "ButtonDownloadElements"));
      } else if (OpenHub(4)) {
        Note("the hub closed after a refused registration");
      }
      return;
    case 5:
      if (auto* registration = ShownWindow<TFormInetReg>("FormInetReg")) {
        busy = true;
        QTest::keyClicks(registration->EditFirstName, "Anna");
        QTest::keyClicks(registration->EditSecondName, "Smith");
        QTest::keyClicks(registration->EditEmail, "anna@example.com");
        QTest::keyClicks(registration->EditBirthDate, "01021990");
        if (registration->ComboBoxSex->count() == 0 || registration->ComboBoxCountry->count() == 0)
          Fail("the shipped settings give no sex or country to choose");
        registration->ComboBoxSex->setCurrentIndex(0);
        registration->ComboBoxCountry->setCurrentIndex(0);
        busy = false;
        step = 6;
        Note("registering");
        DemoClick(ButtonOf(registration, "ButtonStartRegistration"));
      }
      return;
    case 6:
      if (auto* download = ShownWindow<TFormDownloadElements>("FormDownloadElements")) {
        if (!Noticed("MessageRegistrationSuccessful")) Fail("registered without saying so");
        busy = true;
        if (!download->ExpandPublisher(download->Root(0))) Fail("the publisher offers nothing");
        download->SetChecked(download->Root(0), true);
        download->ButtonStartDownloadClick();
        busy = false;
        const fs::path exe(InstallationFolder());
        if (!fs::exists(exe / "Intfaces" / "WALK" / "1024-768" / "INTFACE.TXT")) Fail("the interface did not install");
        if (fs::exists(exe / "Intfaces" / "WALK" / "1024-768" / "Arh")) Fail("the interface's parts stayed");
        if (publisher->Reports().size() != 1) Fail("no download report");
        Note("a template and an interface installed");
        step = 7;
        DemoClick(ButtonOf(download, "ButtonExit"));
      }
      return;
    case 7:
      OpenHub(8);
      return;
    case 8:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        step = 9;
        DemoClick(ButtonOf(hub, "ButtonDownloadGallery"));
      }
      return;
    case 9:
      if (auto* gallery = ShownWindow<TFormFromGallery>("FormFromGallery")) {
        busy = true;
        if (!gallery->GetGalleryDB()) Fail("the gallery's lists did not load");
        QTreeWidgetItem* author = gallery->AuthorNode("Carl Dorn");
        if (!author || author->childCount() != 1) Fail("the author has no works");
        busy = false;
        Note("the gallery shows its author with his work");
        step = 10;
        DemoClick(ButtonOf(gallery, "ButtonExit"));
      }
      return;
    case 10:
      if (auto* main = ShownWindow<TFormMain>("FormMain")) {
        TMontageDesk& desk = main->DeskWindow()->Desk();
        if (desk.LayerCount() == 0) {
          desk.InsertLayer(
              std::make_unique<TLayer>(desk, TBitmap32(80, 60, Color32(30, 60, 220)), TNewLayer{"Walk"}));
        }
        OpenHub(11);
      }
      return;
    case 11:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        step = 12;
        DemoClick(ButtonOf(hub, "ButtonUploadGallery"));
      }
      return;
    case 12:
      if (auto* upload = ShownWindow<TFormToGallery>("FormToGallery")) {
        busy = true;
        QTest::keyClicks(upload->EditWorkName, "Walk look");
        for (QComboBox* list : upload->ComboBoxes)
          if (list->count() == 0) Fail("the shipped settings leave " + list->objectName().toStdString() + " empty");
        busy = false;
        if (!upload->ButtonStartDownload->isVisible()) Fail("no send button with the shipped lists");
        step = 13;
        Note("sending the desk's work");
        DemoClick(upload->ButtonStartDownload);
      }
      return;
    case 13:
      if (ShownWindow("FormToGallery")) return;
      if (!Noticed("MessageSendSuccess") || publisher->Uploads().size() != 1) Fail("the upload did not arrive");
      OpenHub(14);
      return;
    case 14:
      if (QWidget* hub = ShownWindow("FormInetModes")) {
        step = 15;
        DemoClick(ButtonOf(hub, "ButtonChat"));
      }
      return;
    case 15:
      if (auto* account = ShownWindow<TFormChatReg>("FormChatReg")) {
        busy = true;
        QTest::keyClicks(account->EditNewUserName, "Anna");
        QTest::keyClicks(account->EditNewUserPassword, "Spring1");
        QTest::keyClicks(account->EditNewUserPasswordCnf, "Spring1");
        DemoClick(account->ButtonNewUser);
        if (!Noticed("MessageYouAreSucReg")) Fail("not registered in the chat");
        QTest::keyClicks(account->EditOldUserName, "Anna");
        QTest::keyClicks(account->EditOldUserPassword, "Spring1");
        busy = false;
        step = 16;
        DemoClick(account->ButtonOldUser);
      }
      return;
    case 16:
      if (auto* chat = ShownWindow<TFormChat>("FormChat")) {
        busy = true;
        QTest::keyClicks(chat->EditMessage, "hello from the walk");
        DemoClick(chat->ButtonSend);
        busy = false;
        step = 17;
      }
      return;
    case 17:
      if (auto* chat = ShownWindow<TFormChat>("FormChat")) {
        bool seen = false;
        for (int i = 0; i < chat->ListBoxMessages->count(); ++i)
          seen = seen || chat->ListBoxMessages->item(i)->text().contains("hello from the walk");
        if (!seen) return;
        Note("the chat shows the message");
        for (const std::string& key : notices)
          if (GetTerm(key, ProgramTexts(), "").empty()) Fail("the message " + key + " has no text");
        WriteDemoFile(out + "/walk.ok", "ok\n");
        std::_Exit(0);
      }
      return;
    default: return;
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  out = argv[1];
  return RunProgram(1, argv, [] {
    TIniFile& settings = qobject_cast<TFormMain*>(FindScreenForm("FormMain"))->Settings().Ini;
    Publish(settings);
    settings.WriteInteger("Chat", "PollMs", 500);
    SetOnlineMessageSink([](const std::string& key) {
      Note("message " + key);
      notices.push_back(key);
    });
    PumpDemoSteps(Tick);
    QTimer::singleShot(120000, qApp, [] { Fail("timed out"); });
  });
}
