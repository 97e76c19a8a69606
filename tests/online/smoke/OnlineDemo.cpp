// online-demo <installation> <out folder>: registration and the element download
// against a stand-in publisher on loopback, as a person would go through them:
// the registration window filled in and sent, the download window's publisher
// expanded, a template and an interface checked and downloaded; then the
// template browser, open all along, shows the new template without a restart.
// Writes where the browser shows it; exits non-zero at the first step that fails.
#include <QApplication>
#include <algorithm>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <iostream>

#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormTemplates.h"
#include "online/Registration.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/FormInetReg.h"
#include "online/forms/OnlineMessages.h"
#include "picture/PackedPicture.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "support/StandInPublisher.h"
#include "support/qt/DownloadWindow.h"
#include "support/qt/SmokeDemo.h"

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];
  // Every message the windows show has a text in the installation (else the demo fails).
  std::vector<std::string> messages;
  SetOnlineMessageSink(InstalledMessageSink(&messages));
  auto told = [&messages](const std::string& key) {
    return QTest::qWaitFor([&] { return std::find(messages.begin(), messages.end(), key) != messages.end(); }, 20000);
  };

  // The publisher: a magenta template of a type of its own, and an interface.
  TStandInPublisher publisher({200, 110});
  const auto picture = PackBitmap32(TBitmap32(120, 160, Color32(200, 40, 200)), 90);
  publisher.AddFile("online/magenta.fll", std::string(picture.begin(), picture.end()));
  const auto volumes = publisher.AddInterfaceParts(
      "intfaces/online/1024-768", {{"ONLINE\\1024-768", "INTFACE.TXT", "2", "; the online interface\r\n"}}, 2);
  publisher.AddIndexLines("partbase", {"9;0;0;Magenta;Magenta;;1;" + std::to_string(picture.size())});
  publisher.AddIndexLines("interfaces", {"[Online;ONLINE]", "1024-768;2;" + std::to_string(volumes[0].size()) + ";" +
                                                                std::to_string(volumes[1].size())});
  publisher.Publish();
  demo.Settings.Ini.WriteString("TEMPLATE TYPES", "Type9", "9;Online;Online templates;40;F;");
  demo.Settings.Ini.WriteString("Servers", "CGIServer", publisher.CgiServer());
  demo.Settings.Ini.EraseSection("Publishers");
  demo.Settings.Ini.WriteString("Publishers", "Server1", publisher.BaseUrl() + ";Stand-in publisher;standin;");
  demo.Settings.Ini.WriteString("T Sex", "S1", "Female");
  demo.Settings.Ini.WriteString("T Country", "C1", "Atlantis");

  TTemplateBase templates;
  TFormMain main(demo.Settings, templates);
  main.show();
  TQuestionnaires questionnaires;
  TFormTemplates browser(demo.Settings, templates, questionnaires);
  if (!browser.OpenForType(9, {2, 4}, "Online templates", tkFace)) return DemoFail("the browser did not open");

  // Registration, typed and sent: first with the server out of reach, which the
  // window says and stays open; then to the publisher.
  auto fill = [](TFormInetReg& form) {
    QTest::keyClicks(form.EditFirstName, "Anna");
    QTest::keyClicks(form.EditSecondName, "Smith");
    QTest::keyClicks(form.EditEmail, "anna@example.com");
    QTest::keyClicks(form.EditBirthDate, "01021990");
    form.ComboBoxSex->setCurrentIndex(0);
    form.ComboBoxCountry->setCurrentIndex(0);
    return QTest::qWaitFor([&] { return form.ButtonStartRegistration->isVisible(); }, 5000);
  };
  {
    demo.Settings.Ini.WriteString("Servers", "CGIServer", "http://127.0.0.1:9/cgi-bin/kzserver?kztype=");
    TFormInetReg unreachable{demo.Settings};
    unreachable.show();
    if (!fill(unreachable)) return DemoFail("no start button");
    DemoClick(unreachable.ButtonStartRegistration);
    if (!told("MessageNoAccessToServer") || IsRegistered(demo.Settings.Ini)) return DemoFail("an unreachable server was not told");
    demo.Settings.Ini.WriteString("Servers", "CGIServer", publisher.CgiServer());
  }
  TFormInetReg registration{demo.Settings};
  registration.show();
  if (!fill(registration)) return DemoFail("no start button");
  DemoClick(registration.ButtonStartRegistration);
  if (!IsRegistered(demo.Settings.Ini) || registration.ModalResult != 1 || !told("MessageRegistrationSuccessful"))
    return DemoFail("not registered");

  // The download window: the publisher expanded, two elements checked and fetched.
  TFormDownloadElements download{demo.Settings};
  download.show();
  QTreeWidgetItem* root = OpenFirstPublisher(download);
  if (!root) return DemoFail("no publisher, or it was not analysed");
  QTreeWidgetItem* element = FindDownloadNode(root, ekTemplate, download);
  QTreeWidgetItem* item = FindDownloadNode(root, ekInterfaceItem, download);
  if (!element || !item) return DemoFail("the new elements are not in the tree");
  download.SetChecked(element, true);
  download.SetChecked(item, true);
  if (download.ListBox->count() != 2 || !download.ButtonStartDownload->isVisible())
    return DemoFail("the download list is wrong");
  DemoClick(download.ButtonStartDownload);
  if (!QTest::qWaitFor([&] { return !download.Running() && download.ListBox->count() == 0; }, 20000)) {
    for (int i = 0; i < download.ListBox->count(); ++i)
      std::cerr << "left: " << download.ListBox->item(i)->text().toStdString() << "\n";
    for (const std::string& path : publisher.Fetched()) std::cerr << "fetched: " << path << "\n";
    return DemoFail("the download did not end");
  }
  if (publisher.Reports().size() != 1) return DemoFail("no download report");
  if (const TInterfaceList list = ReadInterfaceList(demo.Settings.Ini);
      list.Entries.empty() || list.Entries.back().DirName != "ONLINE")
    return DemoFail("the interface is not listed");
  // The publisher looked at again has nothing new, and says so.
  {
    TFormDownloadElements again{demo.Settings};
    again.show();
    again.TreeView->expandItem(again.Root(0));
    if (!told("MessageNoNewElements")) return DemoFail("nothing new was not told");
  }

  // The browser, still open, reloads the template list.
  if (!browser.OpenForType(9, {2, 4}, "Online templates", tkFace)) return DemoFail("the browser did not reopen");
  if (templates.List.empty() || templates.List.back().FileName != "Online\\Magenta.psd")
    return DemoFail("the template list lacks the new template");
  QTest::qWait(800);
  const TRect cell = browser.Grid().Cell(0, 0);
  const QPoint centre =
      static_cast<QWidget*>(browser.ResImage)->mapToGlobal(QPoint(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2));
  std::ofstream(out + "/cell.txt") << centre.x() << ' ' << centre.y() << '\n';
  return QApplication::exec();
}
