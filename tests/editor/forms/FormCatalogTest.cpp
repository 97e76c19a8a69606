// The catalogue window as its callers reach it: the template browser's info icons,
// the contents button, the history and the clip links of its pages.
#include <gtest/gtest.h>

#include <QTest>

#include "FakeTemplateDesk.h"
#include "editor/CatalogIndex.h"
#include "editor/MainShell.h"
#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormCatalog.h"
#include "editor/forms/FormTemplates.h"
#include "picture/PsdFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/ShellForms.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"
#include "support/qt/MessageAnswer.h"
#include "support/qt/PdfPrintDialog.h"

namespace {

class FormCatalogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // skins are not installed here
    SetProgramFolders(folder_.Path());
    settings_.CatalogDir = "Catalog\\";
    WriteTestFile(folder_ / "Tressary.ini", "[TEMPLATE TYPES]\nT1=1;HairW;Hair;40;F;\n");
    settings_.Ini = TIniFile(folder_ / "Tressary.ini", false);
    fs::create_directories(folder_ / "HairW");
    for (const char* name : {"Bob1", "Bob2", "Pixie1"})
      ASSERT_TRUE(SavePsdFile(TBitmap32(40, 30, Color32(200, 0, 0, 255)), folder_ / "HairW" / (std::string(name) + ".psd")));
    WriteTestFile(folder_ / "PartBase.txt", "$PART_TYPE 1\n1;0;0;Bob1.psd;Bob;\n1;0;0;Pixie1.psd;Pixie;\n1;0;0;Bob2.psd;Bob;\n");
    WriteTestFile(folder_ / "Catalog.txt", "t; hairw\\bob ; bob\n");
    WriteTestFile(folder_ / "Catalog/BOB.htm", "<p>bob</p><a href=\"Styling.AVI\">clip</a> <a href=\"index.htm\">contents</a>");
    WriteTestFile(folder_ / "Catalog/Index.htm", "<p>contents</p>");
    browser_.Desk = &desk_;
    browser_.ShowMessage = [](const std::string&, bool) {};
  }
  void TearDown() override {
    browser_.close();
    delete FormCatalog;
    SetCatalogPresenter(nullptr);
    ShellHooks().PlayVideoClip = nullptr;
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  std::vector<TMyImage*> InfoIcons() const {
    std::vector<TMyImage*> icons;
    for (QWidget* icon : browser_.Icons())
      if (icon->toolTip() == browser_.ImageCatalogInfoEtalon->toolTip()) icons.push_back(static_cast<TMyImage*>(icon));
    return icons;
  }
  std::string Shown() const { return FormCatalog->HTMLViewer->CurrentFile().filename().string(); }

  TMainSettings settings_;
  TempFolder folder_;
  FakeTemplateDesk desk_;
  TTemplateBase templates_;
  TQuestionnaires questionnaires_;
  TCatalogIndex catalog_;
  TFormTemplates browser_{settings_, templates_, questionnaires_};
};

}  // namespace

TEST_F(FormCatalogTest, TheBrowsersInfoIconsOpenTheirPageAndThePageLinksWork) {
  // No catalogue window: no icon promises a page.
  ASSERT_TRUE(browser_.OpenForType(1, {2, 4}, "Hair", tkFace));
  EXPECT_TRUE(InfoIcons().empty());
  browser_.close();

  RegisterFormCatalog(settings_, catalog_);
  ASSERT_TRUE(browser_.OpenForType(1, {2, 4}, "Hair", tkFace));
  // Both bobs, whose paths hold the entry's folder and name, and not the pixie.
  const std::vector<TMyImage*> icons = InfoIcons();
  ASSERT_EQ(icons.size(), 2u);
  const TRect pixie = browser_.Grid().Cell(0, 1);
  for (TMyImage* icon : icons) {
    const QPoint at = icon->geometry().center() - browser_.ResImage->pos();
    EXPECT_FALSE(QRect(pixie.Left, pixie.Top, pixie.Width(), pixie.Height()).contains(at));
  }
  EXPECT_EQ(FormCatalog, nullptr);  // made on first use
  QTest::mouseClick(icons[0], Qt::LeftButton);
  ASSERT_NE(FormCatalog, nullptr);
  EXPECT_TRUE(FormCatalog->isVisible());
  EXPECT_EQ(Shown(), "BOB.htm");

  // A clip link plays the clip of the catalogue folder; the viewer stays.
  std::vector<std::string> played;
  ShellHooks().PlayVideoClip = [&played](const std::string& name) { played.push_back(name); };
  ASSERT_TRUE(FormCatalog->HTMLViewer->OnHotSpotClick);
  EXPECT_TRUE(FormCatalog->HTMLViewer->OnHotSpotClick("Styling.AVI"));
  EXPECT_EQ(played, std::vector<std::string>{"Styling.AVI"});
  EXPECT_EQ(Shown(), "BOB.htm");

  // Contents, back, and a missing page: the contents again.
  FormCatalog->ButtonContents->OnClick();
  EXPECT_EQ(Shown(), "Index.htm");
  FormCatalog->ButtonStepBack->OnClick();
  EXPECT_EQ(Shown(), "BOB.htm");
  ShowCatalogPage("Gone");
  EXPECT_EQ(Shown(), "Index.htm");

  // The main window's button closes a shown catalogue and brings it back on the
  // contents page.
  const std::function<void()> button = CallWindow("FormCatalog");
  ASSERT_TRUE(button);
  FormCatalog->ButtonStepBack->OnClick();
  button();
  EXPECT_FALSE(FormCatalog->isVisible());
  button();
  EXPECT_TRUE(FormCatalog->isVisible());
  EXPECT_EQ(Shown(), "Index.htm");
}

// The catalogue's Print tells a page that could not be written, and names the
// job after the page.
TEST_F(FormCatalogTest, PrintTellsAFullDiskAndNamesTheJobAfterThePage) {
  TTestTexts texts(ShippedTermins());
  RegisterFormCatalog(settings_, catalog_);
  ShowCatalogPage("bob");
  ASSERT_NE(FormCatalog, nullptr);
  TPdfPrintDialog dialog(*FormCatalog, "/dev/full");
  std::string told;
  AnswerNextMessage(told);
  FormCatalog->ButtonPrint->OnClick();
  EXPECT_EQ(told, "The catalogue page could not be printed.\n/dev/full\nThere is no space left on the disk.");
  dialog.File = folder_ / "page.pdf";
  AnswerNextMessage(told);
  FormCatalog->ButtonPrint->OnClick();
  EXPECT_EQ(told, "Printed to the file:\n" + dialog.File.string());
  std::string info;
  ASSERT_EQ(RunCommand("pdfinfo '" + dialog.File.string() + "'", &info), 0);
  EXPECT_NE(info.find("Tressary - BOB"), std::string::npos) << info;
  EXPECT_EQ(dialog.Dialogs, 2);
}
