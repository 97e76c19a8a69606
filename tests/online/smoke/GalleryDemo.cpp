// gallery-demo <installation> <out folder> <work>: the gallery as a registered
// user meets it, against the stand-in publisher on loopback. The work is loaded
// onto the main window's desk and sent as a compressed work from the upload
// window; the browser then loads its lists, shows the work under its author,
// and its preview is double-clicked to download the work back into the works
// folder, which must read with the same layers as the desk's. Then the centre of
// the preview is written to <out>/cell.txt and the windows stay up for the
// screenshot. Exits non-zero at the first step that fails.
#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <iostream>

#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "online/Registration.h"
#include "online/forms/FormFromGallery.h"
#include "shell/MainSettings.h"
#include "online/forms/FormToGallery.h"
#include "online/forms/OnlineMessages.h"
#include "platform/FileIO.h"
#include "shell/forms/GraphicButton.h"
#include "support/StandInPublisher.h"
#include "support/qt/SmokeDemo.h"

int main(int argc, char* argv[]) {
  if (argc != 4) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];
  const fs::path original = argv[3];
  std::vector<std::string> messages;
  SetOnlineMessageSink(InstalledMessageSink(&messages));

  TStandInPublisher publisher({200, 110});
  publisher.AddGalleryUser("Anna;Smith;anna@example.com;7;;0;01.02.1990;0;JQ;1;0;");
  demo.Settings.Ini.WriteString("Servers", "GalleryServer", publisher.GalleryUrl());
  demo.Settings.Ini.WriteString("Servers", "ServerPost", publisher.UploadUrl());
  demo.Settings.Ini.WriteString("Registration", "FirstName", "Anna");
  demo.Settings.Ini.WriteString("Registration", "SecondName", "Smith");
  demo.Settings.Ini.WriteString("Registration", "EMail", "anna@example.com");
  demo.Settings.Ini.WriteString("Registration", "Serial", "7");

  TTemplateBase templates;
  TFormMain main(demo.Settings, templates);
  ConnectProgramWorkFiles(main);
  main.show();
  TMontageDesk& desk = main.DeskWindow()->Desk();
  if (!ProgramWorkFiles() || !ProgramWorkFiles()->LoadWorkFromFile(original))
    return DemoFail("the work did not load");

  // The upload window over the desk, filled in and sent.
  TFormToGallery upload{demo.Settings};
  upload.ExportPicture = [&desk] {
    desk.RenderExportBitmap();
    return desk.TakeExportBitmap();
  };
  upload.CompressedWork = [] { return ProgramWorkFiles()->WorkFileBytes(false); };
  upload.show();
  QTest::keyClicks(upload.EditWorkName, "Red look");
  DemoClick(upload.ButtonSendAsWork);
  if (!upload.ButtonStartDownload->isVisible()) return DemoFail("no send button");
  DemoClick(upload.ButtonStartDownload);
  if (publisher.Uploads().size() != 1 || upload.isVisible()) return DemoFail("the upload did not arrive");

  // The browser: the root opens onto the author, whose work shows on the result page.
  TFormFromGallery browser(demo.Settings);
  browser.AskYesNo = [](const std::string& key) {
    std::cerr << "question: " << key << " - yes\n";
    return true;
  };
  browser.show();
  browser.TreeView->expandItem(browser.Root());
  if (!QTest::qWaitFor([&] { return browser.ListsLoaded(); }, 20000)) return DemoFail("the lists did not load");
  browser.TreeView->expandItem(browser.Root());
  QTreeWidgetItem* author = browser.AuthorNode("Anna Smith");
  if (!author || author->childCount() != 1 || author->child(0)->text(0) != "Red look")
    return DemoFail("the work is not under its author");
  browser.TreeView->expandItem(author);
  auto* preview = browser.ResultPage->findChild<QWidget*>("ImageF1");
  if (!preview || !QTest::qWaitFor([&] { return !browser.Running(); }, 20000)) return DemoFail("no result page");
  QTest::qWait(200);
  preview = browser.ResultPage->findChild<QWidget*>("ImageF1");
  browser.ScrollBoxResult->ensureWidgetVisible(preview);
  QTest::mouseDClick(preview, Qt::LeftButton, {}, preview->rect().center());
  if (!QTest::qWaitFor([&] { return !browser.LastSaved().empty(); }, 20000))
    return DemoFail("the work did not download");

  // What came back is what went up, and it opens with the desk's layers.
  const auto saved = ReadFileBytes(browser.LastSaved());
  const std::string sent = publisher.Uploads().front().Full;
  if (!saved || std::string(saved->begin(), saved->end()) != sent) return DemoFail("the downloaded work differs");
  auto layersOf = [&desk] {
    std::vector<std::string> layers;
    for (int i = 0; i < desk.LayerCount(); ++i)
      layers.push_back(desk.Layer(i).Caption + " " + std::to_string(desk.Layer(i).Width()) + "x" +
                       std::to_string(desk.Layer(i).Height()));
    return layers;
  };
  const std::vector<std::string> before = layersOf();
  desk.ClearLayers();
  if (!ProgramWorkFiles()->LoadWorkFromFile(browser.LastSaved()) || layersOf() != before)
    return DemoFail("the downloaded work does not open with the same layers");
  std::cerr << "downloaded " << browser.LastSaved() << ": " << before.size() << " layers, " << before.front() << "\n";

  QTest::qWait(300);
  // Left of the work's transparent disc: red on screen.
  const QPoint centre = preview->mapToGlobal(QPoint(20, preview->height() / 2));
  std::ofstream(out + "/cell.txt") << centre.x() << ' ' << centre.y() << '\n';
  return QApplication::exec();
}
