// The main window's template strip: buttons from the interface, paging through
// the slots, and the browser each button opens.
#include <gtest/gtest.h>

#include <QWidget>

#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/TemplateButtons.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/GraphicButton.h"
#include "support/TestPaths.h"

namespace {

class TemplateButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetProgramFolders(folder_.Path());
    WriteTestFile(folder_ / "Tressary.ini", "[TEMPLATE TYPES]\nT1=3;HairW;Hair;40;F;\n");
    settings_.Ini = TIniFile(folder_ / "Tressary.ini", false);
    WriteTestFile(folder_ / "PartBase.txt", "3;0;0;a.psd;A;\n");
    std::vector<std::string> lines = {
        "SECTION FormMain TFormMain",
        "TemplateButtons = 'B0, B1, B2, B3, B4, B5, B6, B7, B8, B9';",
        "TemplateBtnShowPos = '10,600, 80,600, 150,600, 220,600, 290,600, 360,600';",
        "TemplatePreviewInfo = '3,3,5';",
    };
    for (int i = 0; i < 10; ++i) {
      lines.push_back("OBJECT B" + std::to_string(i) + " TGraphicButton");
      lines.push_back("Tag = " + std::to_string(i == 2 ? 3 : 20 + i) + ";");
      lines.push_back("END");
    }
    lines.push_back("END");
    interface_.Info.LoadLines(lines);
    main_.setObjectName("FormMain");
    main_.resize(980, 720);
    strip_ = new TTemplateButtons(main_, settings_, templates_);
    strip_->Build();
    ApplyInterface(&main_);
    strip_->Browser = &browser_;
    browser_.ShowMessage = [this](const std::string& text, bool) { messages_.push_back(text); };
  }
  void TearDown() override {
    browser_.close();
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  std::vector<int> Visible() const {
    std::vector<int> shown;
    for (int i = 0; i < int(strip_->Buttons.size()); ++i)
      if (!strip_->Buttons[std::size_t(i)]->isHidden()) shown.push_back(i);
    return shown;
  }

  TMainSettings settings_;
  TempFolder folder_;
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  QWidget main_;
  TTemplateButtons* strip_ = nullptr;
  TTemplateBase templates_;
  TQuestionnaires questionnaires_;
  TFormTemplates browser_{settings_, templates_, questionnaires_};
  std::vector<std::string> messages_;
};

}  // namespace

TEST_F(TemplateButtonsTest, TenButtonsPageThroughSixSlots) {
  ASSERT_EQ(strip_->Buttons.size(), 10u);
  EXPECT_EQ(strip_->Buttons[3]->objectName(), "B3");
  EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(strip_->Buttons[1]->pos(), QPoint(80, 600));
  EXPECT_TRUE(strip_->Prev->Pressed());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(strip_->Scroll(true));
  EXPECT_FALSE(strip_->Scroll(true));
  EXPECT_EQ(Visible(), (std::vector<int>{4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(strip_->Buttons[4]->pos(), QPoint(10, 600));
  EXPECT_TRUE(strip_->Next->Pressed());
  EXPECT_FALSE(strip_->Prev->Pressed());
  EXPECT_TRUE(strip_->Scroll(false));
  EXPECT_FALSE(strip_->Next->Pressed());
}

TEST_F(TemplateButtonsTest, ClickOpensTheBrowserAndASecondClickClosesIt) {
  TGraphicButton* button = strip_->Buttons[2];
  button->setToolTip("Hairstyles@for women");
  strip_->ButtonTemplateClick(button);
  EXPECT_TRUE(main_.isEnabled());
  EXPECT_TRUE(browser_.isVisible());
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(templates_.CurrentType, 3);
  EXPECT_EQ(browser_.CaptionBar->Caption, "Hairstyles");
  EXPECT_EQ(browser_.Grid().Columns(), 3);
  EXPECT_EQ(browser_.Grid().Rows(), 5);
  EXPECT_EQ(browser_.Shown().size(), 1u);

  strip_->ButtonTemplateClick(button);
  EXPECT_FALSE(browser_.isVisible());
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(strip_->PressedTemplateButton, -1);
}

// The second click deals with both windows; the ready solutions come back from
// the taskbar when their button is clicked.
TEST_F(TemplateButtonsTest, ASecondClickClosesBothWindowsAndReadySolutionsComeBackRestored) {
  TFormMask models{settings_};
  strip_->Models = &models;
  TGraphicButton* solutions = strip_->Buttons[0];
  solutions->SetTag(0);
  models.show();
  models.showMinimized();
  strip_->ButtonTemplateClick(solutions);
  EXPECT_TRUE(models.isVisible());
  EXPECT_FALSE(models.isMinimized());
  EXPECT_TRUE(solutions->Pressed());

  // The browser's button pressed, the ready solutions shown beside it (as their
  // own window shows them): a second click closes both.
  TGraphicButton* hair = strip_->Buttons[2];
  strip_->ButtonTemplateClick(hair);
  ASSERT_TRUE(browser_.isVisible());
  models.show();
  strip_->ButtonTemplateClick(hair);
  EXPECT_FALSE(browser_.isVisible());
  EXPECT_FALSE(models.isVisible());
  models.close();
}

TEST_F(TemplateButtonsTest, AFailedOpenLeavesTheMainWindowEnabledAndNothingPressed) {
  fs::remove(folder_ / "PartBase.txt");
  strip_->ButtonTemplateClick(strip_->Buttons[2]);
  EXPECT_TRUE(main_.isEnabled());
  EXPECT_FALSE(browser_.isVisible());
  EXPECT_FALSE(strip_->Buttons[2]->Pressed());
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(TemplateButtonsTest, AutoRepeatStepsWhileTheButtonShowsPressed) {
  strip_->ScrollMouseDown(strip_->Next);
  EXPECT_EQ(strip_->Timer().interval(), 500);
  strip_->Next->Resource().SetIndex(strip_->Next->Resource().AutoPressed);
  strip_->TimerTimer();
  EXPECT_EQ(strip_->Timer().interval(), 150);
  EXPECT_EQ(strip_->Strip().First(), 1);
  strip_->Next->Resource().SetIndex(0);  // the mouse left the button
  strip_->TimerTimer();
  EXPECT_FALSE(strip_->Timer().isActive());
  EXPECT_EQ(strip_->Strip().First(), 1);
}
