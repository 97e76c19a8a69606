#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>
#include <QTest>
#include <QTextDocument>

#include "SyntheticMouse.h"
#include "TestInterface.h"
#include "picture/forms/BitmapImage.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/ShellOpen.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/PrintChoice.h"
#include "shell/forms/StandingForms.h"
#include "support/LinkPoint.h"
#include "support/qt/MessageAnswer.h"
#include "support/qt/PdfPrintDialog.h"
#include "support/qt/PrivateCups.h"
#include "support/ShippedTexts.h"

namespace {

class TRecordingOpener : public IShellOpener {
 public:
  bool OpenUrl(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
  std::vector<std::string> opened;
};

void WritePng(const fs::path& file, int width, int height) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(ImageView(TBitmap32(width, height, Color32(40, 50, 60))).save(QString::fromStdString(file.string())));
}

std::string Page(const std::string& body) { return "<html><body>" + body + "</body></html>"; }

// F1 from the keyboard reaches the active window.
void PressF1(QWidget* window, Qt::KeyboardModifiers modifiers = {}) {
  window->activateWindow();
  QTest::qWait(10);
  QTest::keyClick(window, Qt::Key_F1, modifiers);
}

class HelpWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path skins = interface_.DefaultSkinFolder();
    WritePng(skins / "FormHelp.psd.png", 660, 540);
    WritePng(skins / "FormTips.psd.png", 440, 320);
    WritePng(skins / "Buttons.png", 330, 30);
    const fs::path root(InstallationFolder());
    WriteTestFile(root / "Help/Contents.htm",
                  Page("<h1>Contents</h1><p>Load a portrait to begin.</p>"
                       "<p><a href=\"help://Second%20Page.htm\">second</a> <a href=\"http://example.com/shop\">web</a> "
                       "<a href=\"../Tips/Welcome.htm\">escape</a> <a href=\"Intro.avi\">video</a></p>"));
    WriteTestFile(root / "Help/Second Page.htm", Page("<p>The second page.</p>"));
    WriteTestFile(root / "Help/Preview.htm", Page("<p>About the preview.</p>"));
    WriteTestFile(root / "Tips/Welcome.htm", Page("<p>Welcome!</p>"));
    WriteTestFile(root / "Tips/Preview.htm", Page("<p>The preview tip.</p>"));
    WriteTestFile(root / "Tips/HelpTip.htm", Page("<p>Tips about help.</p>"));
    settings_.Ini = TIniFile::FromText(
        "[HELP TOPICS]\nContents=Contents.htm\nFormPreview=preview.htm\n"
        "[TIPS TOPICS]\nWelcome=Welcome.htm\nFormPreview=Preview.htm\nFormHelp=HelpTip.htm\n");
    SetShellOpener(&opener_);
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { plainMessages_.push_back(text); });
    settings_.ShowTips = false;
    help_ = new TFormHelp(settings_);
    tips_ = new TFormTips(settings_);
    preview_.resize(200, 200);
    preview_.show();
  }
  void TearDown() override {
    ClearStandingForms();
    delete tips_;
    delete help_;
    SetShellOpener(nullptr);
    SetMessagePresenter(nullptr);
    EXPECT_TRUE(plainMessages_.empty()) << plainMessages_.front();
  }

  static std::string Shown(const THtmlViewer* viewer) { return viewer->CurrentFile().filename().string(); }
  static void Click(TGraphicButton* button) { ClickAt(button, button->rect().center()); }
  // Clicks the link whose text is `text` in the viewer.
  static void ClickLink(THtmlViewer* viewer, const QString& text) {
    const std::optional<QPoint> at = LinkPoint(viewer, text);
    ASSERT_TRUE(at) << text.toStdString();
    ClickAt(viewer->viewport(), *at);
  }
  // Prints the page shown and returns the message that tells how it went.
  std::string PrintTold() {
    told_.clear();
    AnswerNextMessage(told_);
    Click(help_->ButtonPrint);
    QTest::qWait(50);
    return told_;
  }
  static void Activate(QWidget* window) {
    QEvent event(QEvent::WindowActivate);
    QApplication::sendEvent(window, &event);
  }

  TTestInterface interface_{{"FormHelpButtons = Buttons.png;", "FormTipsButtons = Buttons.png;",
                             "FormMessageButtons = Buttons.png;", "SECTION FormMessage TFormMessage",
                             "Skin = FormHelp.psd.png;", "END",
                             "SECTION FormHelp TFormHelp", "Skin = FormHelp.psd.png;", "END",
                             "SECTION FormTips TFormTips", "Skin = FormTips.psd.png;", "END"}};
  TMainSettings settings_;
  TRecordingOpener opener_;
  std::vector<std::string> plainMessages_;
  TFormHelp* help_ = nullptr;
  TFormTips* tips_ = nullptr;
  std::string told_;
  TSkinnedForm preview_{"FormPreview"};
};

TEST_F(HelpWindowsTest, F1OpensTheWindowsOwnPageOrTheContents) {
  PressF1(&preview_, Qt::ShiftModifier);
  EXPECT_FALSE(help_->isVisible());
  PressF1(&preview_);
  ASSERT_TRUE(help_->isVisible());
  EXPECT_EQ(Shown(help_->HTMLViewer), "Preview.htm");
  EXPECT_TRUE(help_->HTMLViewer->toPlainText().contains("About the preview."));

  TSkinnedForm other("FormWithoutHelp");
  other.show();
  PressF1(&other);
  EXPECT_EQ(Shown(help_->HTMLViewer), "Contents.htm");
}

TEST_F(HelpWindowsTest, HelpAndTipsAskedForBeforeTheirWindowsAreMadeMakeThemWithTheSettingsOfThen) {
  delete tips_;
  delete help_;
  tips_ = nullptr, help_ = nullptr;
  RegisterFormHelp(settings_);
  RegisterFormTips(settings_);
  // Tips off: asking for one makes nothing.
  Activate(&preview_);
  EXPECT_EQ(FormTips, nullptr);
  // Turned on while the window did not exist: the window made now shows the tip.
  settings_.ShowTips = true;
  Activate(&preview_);
  tips_ = FormTips;
  ASSERT_NE(tips_, nullptr);
  EXPECT_TRUE(tips_->isVisible());
  EXPECT_EQ(Shown(tips_->HTMLViewer), "Preview.htm");

  PressF1(&preview_);
  help_ = FormHelp;
  ASSERT_NE(help_, nullptr);
  EXPECT_TRUE(help_->isVisible());
  EXPECT_EQ(Shown(help_->HTMLViewer), "Preview.htm");
  EXPECT_TRUE(help_->ButtonTips->Pressed());
}

TEST_F(HelpWindowsTest, LinksGoToTheirPlaceAndNeverOutOfTheHelpFolder) {
  ShowHelp("Contents");
  ClickLink(help_->HTMLViewer, "web");
  EXPECT_EQ(opener_.opened, (std::vector<std::string>{"http://example.com/shop"}));
  ClickLink(help_->HTMLViewer, "escape");
  EXPECT_EQ(Shown(help_->HTMLViewer), "Contents.htm");
  std::string message;
  AnswerNextMessage(message);
  ClickLink(help_->HTMLViewer, "video");
  EXPECT_NE(message.find("video"), std::string::npos) << message;

  ClickLink(help_->HTMLViewer, "second");
  EXPECT_EQ(Shown(help_->HTMLViewer), "Second Page.htm");
  EXPECT_TRUE(help_->HTMLViewer->toPlainText().contains("The second page."));
  QTest::keyClick(help_->HTMLViewer, Qt::Key_Backspace);  // the viewer has the focus
  EXPECT_EQ(Shown(help_->HTMLViewer), "Contents.htm");
  Click(help_->ButtonAbout);  // no page: the contents stay
  EXPECT_EQ(Shown(help_->HTMLViewer), "Contents.htm");
}

TEST_F(HelpWindowsTest, ClosingTheTipsWindowTurnsTipsOffUntilTheHelpWindowTurnsThemOn) {
  Activate(&preview_);
  EXPECT_FALSE(tips_->isVisible());  // tips are off

  settings_.ShowTips = true;
  Activate(&preview_);
  ASSERT_TRUE(tips_->isVisible());
  EXPECT_EQ(Shown(tips_->HTMLViewer), "Preview.htm");
  Click(tips_->ButtonExit);
  EXPECT_FALSE(tips_->isVisible());
  EXPECT_FALSE(settings_.ShowTips);
  Activate(&preview_);
  EXPECT_FALSE(tips_->isVisible());

  ShowHelp("Contents");
  EXPECT_FALSE(help_->ButtonTips->Pressed());
  Click(help_->ButtonTips);
  EXPECT_TRUE(settings_.ShowTips);
  ASSERT_TRUE(tips_->isVisible());
  EXPECT_EQ(Shown(tips_->HTMLViewer), "HelpTip.htm");
  Click(help_->ButtonTips);
  EXPECT_FALSE(settings_.ShowTips);
  EXPECT_FALSE(tips_->isVisible());
}

TEST_F(HelpWindowsTest, PrintingGoesThroughItsDialogAndAFailureLeavesThePrinterUsable) {
  TempFolder out;
  // The dialog as a user answers it: print to a PDF file, or cancel.
  TPdfPrintDialog dialog(*help_);
  ShowHelp("Contents");
  // No printer yet and the dialog cancelled: nothing printed, nothing said.
  EXPECT_EQ(PrintTold(), "");
  EXPECT_EQ(dialog.Dialogs, 1);

  // A folder that does not exist, a device that takes no bytes: each told, and why.
  TTestTexts texts(ShippedTermins());
  dialog.File = out / "missing/page.pdf";
  EXPECT_EQ(PrintTold(), "The help page could not be printed.\n" + dialog.File.string() + "\nThe folder does not exist.");
  dialog.File = "/dev/full";
  EXPECT_EQ(PrintTold(), "The help page could not be printed.\n/dev/full\nThere is no space left on the disk.");
  EXPECT_EQ(dialog.Dialogs, 3);

  // The next job prints, named after its page, and says where it went: the
  // failed ones left the printer usable.
  dialog.File = out / "page.pdf";
  EXPECT_EQ(PrintTold(), "Printed to the file:\n" + dialog.File.string());
  EXPECT_EQ(dialog.Dialogs, 4);
  std::string text;
  ASSERT_EQ(RunCommand("pdftotext '" + dialog.File.string() + "' -", &text), 0);
  EXPECT_NE(text.find("Load a portrait to begin."), std::string::npos) << text;
  std::string info;
  ASSERT_EQ(RunCommand("pdfinfo '" + dialog.File.string() + "'", &info), 0);
  EXPECT_NE(info.find("Tressary - Contents"), std::string::npos) << info;
}

// Through a real print system: the page's job is named after it, and a queue
// that refuses jobs is heard.
TEST_F(HelpWindowsTest, APrintQueueThatRefusesTheJobIsHeard) {
  TPrivateCups cups;
  if (!cups.Why().empty()) GTEST_SKIP() << cups.Why() << ": jobs refused by a print system are not checked";
  TTestTexts texts(ShippedTermins());
  TQueuePrintDialog dialog(*help_);
  ShowHelp("Contents");
  EXPECT_EQ(PrintTold(), "The job went to the printer:\n" + std::string(TPrivateCups::kQueue));
  EXPECT_EQ(cups.JobTitles(), std::vector<std::string>{"Tressary - Contents"});
  cups.Reject();
  EXPECT_EQ(PrintTold(), "The help page could not be printed.\n" + std::string(TPrivateCups::kQueue) +
                             "\nThe print system did not take the job:\nDestination \"" + TPrivateCups::kQueue +
                             "\" is not accepting jobs.");
}

}  // namespace
