// mail-demo send <installation> <out folder> <work> <smtp port>: the main window
// with the work on its desk and the load-and-save window over the installation's
// default interface; its "Mail picture" and "Mail work" buttons are pressed, the
// desktop's mail program is missing or fails, so the e-mail window comes up: it
// is addressed and its OK pressed, every message answered. Each attachment the
// window sends is copied into the out folder as it is when the window shows it.
//
// mail-demo open <installation> <work>: loads the work onto a desk and says
// "layers N WxH" of its first layer (the work as the program reads it back).
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "editor/MainShell.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "exchange/DeskWorkPicture.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "exchange/mail/SendMail.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "support/qt/SmokeDemo.h"

namespace fs = std::filesystem;

namespace {

int Open(const std::string& work, TMainSettings& settings) {
  TTemplateBase templates;
  TFormMain main(settings, templates);
  ConnectProgramWorkFiles(main);
  TMontageDesk& desk = main.DeskWindow()->Desk();
  if (!ProgramWorkFiles() || !ProgramWorkFiles()->LoadWorkFromFile(work)) return 1;
  if (desk.LayerCount() == 0) return 1;
  std::printf("layers %d %dx%d\n", desk.LayerCount(), desk.Layer(0).Width(), desk.Layer(0).Height());
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 4) return 2;
  TSmokeDemo demo(argc, argv, argv[2]);
  if (std::strcmp(argv[1], "open") == 0) return Open(argv[3], demo.Settings);
  if (std::strcmp(argv[1], "send") != 0 || argc < 6) return 2;
  const fs::path out = argv[3];
  const std::string work = argv[4];
  demo.Settings.MailServer = "127.0.0.1";
  demo.Settings.MailPort = std::atoi(argv[5]);
  demo.Settings.MailFromAddress = "ann@example.com";

  TTemplateBase templates;
  TFormMain main(demo.Settings, templates);
  ConnectProgramWorkFiles(main);
  main.show();
  TDeskWorkPicture deskWork(main.DeskWindow()->Desk());
  TFormEmail email(demo.Settings, &main);
  TFormLoadSave loadSave(demo.Settings, &main);
  loadSave.Work = &deskWork;

  // Answers every message box and fills in the e-mail window once it is up.
  int copied = 0;
  QTimer answering;
  QObject::connect(&answering, &QTimer::timeout, [&] {
    if (FormMessage && FormMessage->isVisible()) {
      std::fprintf(stderr, "message: %s\n", FormMessage->LabelMessage->text().toUtf8().constData());
      FormMessage->close();
      return;
    }
    if (!email.isVisible() || email.Sending() || email.Mail->Attachments.empty()) return;
    const fs::path attachment = email.Mail->Attachments.front();
    fs::copy_file(attachment, out / attachment.filename(), fs::copy_options::overwrite_existing);
    ++copied;
    email.EditEmailAddress->setText("bob@example.com");
    email.EditName->setText("Bob");
    email.Memo->setPlainText("My new look, as a picture and as a work.");
    email.ButtonOK->OnClick();
  });
  answering.start(50);

  QTimer::singleShot(0, [&] {
    if (!ProgramWorkFiles() || !ProgramWorkFiles()->LoadWorkFromFile(work))
      return void(DemoFail("the work did not load"));
    loadSave.show();
    loadSave.ButtonSendImage->OnClick();
    loadSave.show();
    loadSave.ButtonSendWork->OnClick();
    QApplication::exit(copied == 2 ? 0 : 1);
  });
  return QApplication::exec();
}
