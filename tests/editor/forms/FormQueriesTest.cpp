// The questionnaire window over the shipped questionnaires and templates: answers
// filter the template browser, and a quiz gives its result page and prints it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "editor/MainShell.h"
#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormQueries.h"
#include "editor/forms/FormTemplates.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/PrintChoice.h"
#include "support/qt/MessageAnswer.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "support/TestPaths.h"

namespace {

using TAttributes = std::map<std::string, std::set<std::string>>;

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The installed templates of `type` that fit `answers`, read straight from the
// PartBase lines "type; x; y; file; name; ?NAME=V1,V2;...": a template fits when it
// has every answered attribute with at least one answered value.
std::set<std::string> FittingTemplates(int type, const TAttributes& answers) {
  std::set<std::string> names;
  std::ifstream lines(BuildDir() / "Tressary/PartBase.txt");
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (int i = 0; i < 5 && line.find(';', start) != std::string::npos; ++i) {
      fields.push_back(Trimmed(line.substr(start, line.find(';', start) - start)));
      start = line.find(';', start) + 1;
    }
    if (fields.size() < 5 || fields[0] != std::to_string(type)) continue;
    TAttributes has;
    std::istringstream items(Upper(line.substr(start)));
    for (std::string item; std::getline(items, item, ';');) {
      item = Trimmed(item);
      if (item.size() < 2 || item[0] != '?' || item.find('=') == std::string::npos) continue;
      std::istringstream values(item.substr(item.find('=') + 1));
      for (std::string value; std::getline(values, value, ',');) has[item.substr(1, item.find('=') - 1)].insert(value);
    }
    bool fits = true;
    for (const auto& [name, wanted] : answers) {
      bool any = false;
      for (const std::string& value : has[name]) any = any || wanted.contains(value);
      fits = fits && any;
    }
    if (fits) names.insert(fields[4]);
  }
  return names;
}

class FormQueriesTest : public ::testing::Test {
 protected:
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  void SetUp() override {
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { messages_.push_back(text); });
    SetProgramFolders(BuildDir() / "Tressary");
    interface_.Dir = "Intfaces\\";
    settings_.Ini = TIniFile(BuildDir() / "Tressary/Tressary.ini", false);
    queries_ = std::make_unique<TFormQueries>(settings_, questionnaires_);
    templates_ = std::make_unique<TFormTemplates>(settings_, base_, questionnaires_);
  }
  void TearDown() override {
    templates_.reset();
    queries_.reset();
    SetMessagePresenter({});
    SetProgramFolders({});
  }

  // Clicks the page's control (name, value) as a user clicks its mark.
  void ClickControl(const std::string& name, const std::string& value) {
    const auto& controls = queries_->HTMLViewer->Form().Controls();
    for (std::size_t i = 0; i < controls.size(); ++i)
      if (controls[i].Name == name && controls[i].Value == value) {
        emit queries_->HTMLViewer->anchorClicked(QUrl("form:" + QString::number(i)));
        return;
      }
    ADD_FAILURE() << "no control " << name << "=" << value << " on the page";
  }
  bool Checked(const std::string& name, const std::string& value) const {
    for (const THtmlControl& c : queries_->HTMLViewer->Form().Controls())
      if (c.Name == name && c.Value == value) return c.Checked;
    return false;
  }
  void ChooseInList(int index) {
    queries_->ComboBox->setCurrentIndex(index);
    queries_->ComboBoxClick(index);
  }
  std::set<std::string> ShownInBrowser() const {
    std::set<std::string> names;
    for (int i : templates_->Shown()) names.insert(base_.List[std::size_t(i)].Name);
    return names;
  }
  std::string ShownPage() const { return queries_->HTMLViewer->toPlainText().toStdString(); }

  TMainSettings settings_;
  std::vector<std::string> messages_;
  TTemplateBase base_;
  TQuestionnaires questionnaires_;
  std::unique_ptr<TFormQueries> queries_;
  std::unique_ptr<TFormTemplates> templates_;
};

}  // namespace

TEST_F(FormQueriesTest, AnswersLeaveInTheBrowserExactlyTheTemplatesThatFit) {
  ASSERT_TRUE(templates_->OpenForType(1, {2, 4}, "Hairstyles for women", tkFace));
  const std::set<std::string> all = FittingTemplates(1, {});
  ASSERT_GE(all.size(), 10u);
  EXPECT_EQ(ShownInBrowser(), all);
  queries_->show();
  ASSERT_EQ(queries_->Mode, TFormQueries::qmFilter);
  ASSERT_GE(queries_->ComboBox->count(), 2);
  EXPECT_TRUE(templates_->ButtonSetTemplatesFilter->isVisible());

  ClickControl("length", "long");
  EXPECT_EQ(ShownInBrowser(), all) << "the filter is still off";
  templates_->ButtonSetTemplatesFilter->OnClick();  // the browser's copy of the switch
  ASSERT_TRUE(questionnaires_.Filter.On());
  EXPECT_TRUE(queries_->ButtonSetTemplatesFilter->Pressed());
  const std::set<std::string> longHair = FittingTemplates(1, {{"LENGTH", {"LONG"}}});
  EXPECT_LT(longHair.size(), all.size());
  EXPECT_EQ(ShownInBrowser(), longHair);

  // The second group: nothing answered there restricts nothing yet; each click
  // filters again at once.
  ChooseInList(1);
  EXPECT_EQ(ShownInBrowser(), longHair);
  ClickControl("colour", "dark");
  ClickControl("colour", "red");
  ClickControl("care", "styled");
  const TAttributes answers = {{"LENGTH", {"LONG"}}, {"COLOUR", {"DARK", "RED"}}, {"CARE", {"STYLED"}}};
  const std::set<std::string> fitting = FittingTemplates(1, answers);
  EXPECT_FALSE(fitting.empty());
  EXPECT_LT(fitting.size(), longHair.size());
  EXPECT_EQ(ShownInBrowser(), fitting);
  EXPECT_EQ(templates_->LabelNumPartsShow->text().toStdString(), std::to_string(fitting.size()));

  // Answers are remembered per group, and they filter the men's styles too.
  ChooseInList(0);
  EXPECT_TRUE(Checked("length", "long"));
  EXPECT_FALSE(Checked("length", "short"));
  ASSERT_TRUE(templates_->OpenForType(2, {2, 4}, "Hairstyles for men", tkFace));
  EXPECT_EQ(ShownInBrowser(), FittingTemplates(2, answers));

  queries_->ButtonSetTemplatesFilter->OnClick();
  EXPECT_FALSE(questionnaires_.Filter.On());
  EXPECT_FALSE(templates_->ButtonSetTemplatesFilter->Pressed());
  EXPECT_EQ(ShownInBrowser(), FittingTemplates(2, {}));
  queries_->ButtonSetTemplatesFilter->OnClick();  // the questionnaire's own switch reaches the browser too
  EXPECT_TRUE(templates_->ButtonSetTemplatesFilter->Pressed());
  EXPECT_EQ(ShownInBrowser(), FittingTemplates(2, answers));
  for (const std::string& m : messages_) EXPECT_EQ(m.find("Error in contents"), std::string::npos) << m;
}

// The program makes the questionnaire window on its first use: the browser's
// filter switch offers itself and works before then, and makes it.
TEST_F(FormQueriesTest, TheBrowsersFilterWorksBeforeTheQuestionnaireWindowIsMade) {
  queries_.reset();
  ClearStandingForms();
  RegisterFormQueries(settings_, questionnaires_);
  ASSERT_TRUE(templates_->OpenForType(1, {2, 4}, "Hairstyles for women", tkFace));
  EXPECT_TRUE(templates_->ButtonSetTemplatesFilter->isVisible());
  templates_->ButtonSetTemplatesFilter->OnClick();
  EXPECT_TRUE(questionnaires_.Filter.On());
  EXPECT_TRUE(templates_->ButtonSetTemplatesFilter->Pressed());
  std::unique_ptr<QWidget> made(FindScreenForm("FormQueries"));
  EXPECT_NE(made, nullptr);
  made.reset();
  ClearStandingForms();
}

// The answers and the switch outlive both windows: a browser made after the
// questionnaire window was closed and gone filters by them at once.
TEST_F(FormQueriesTest, ABrowserMadeLaterFiltersByTheAnswersGivenBefore) {
  queries_->show();
  ASSERT_EQ(queries_->Mode, TFormQueries::qmFilter);
  ClickControl("length", "long");
  queries_->ButtonSetTemplatesFilter->OnClick();
  ASSERT_TRUE(questionnaires_.Filter.On());
  queries_->close();
  queries_.reset();
  templates_.reset();

  templates_ = std::make_unique<TFormTemplates>(settings_, base_, questionnaires_);
  ASSERT_TRUE(templates_->OpenForType(1, {2, 4}, "Hairstyles for women", tkFace));
  const std::set<std::string> longHair = FittingTemplates(1, {{"LENGTH", {"LONG"}}});
  ASSERT_LT(longHair.size(), FittingTemplates(1, {}).size());
  EXPECT_EQ(ShownInBrowser(), longHair);
}

TEST_F(FormQueriesTest, AQuizGivesTheResultPageOfItsAnswersAndPrintsIt) {
  queries_->show();
  ASSERT_TRUE(queries_->ButtonQuizMode->isVisible());
  queries_->ButtonQuizMode->OnClick();
  ASSERT_EQ(queries_->Mode, TFormQueries::qmQuiz);
  EXPECT_FALSE(queries_->ButtonSetTemplatesFilter->isVisible());
  EXPECT_TRUE(Checked("time", "little"));  // the page's own default
  ClickControl("shape", "square");
  ClickControl("shape", "round");
  ClickControl("shape", "square");
  EXPECT_FALSE(Checked("shape", "round"));

  queries_->ButtonViewQuizResult->OnClick();
  ASSERT_TRUE(queries_->ShowingQuizResult);
  const std::string page = ShownPage();
  EXPECT_NE(page.find("Square face"), std::string::npos) << page;
  EXPECT_NE(page.find("curly top"), std::string::npos) << page;  // the square face's answer for little time
  EXPECT_EQ(page.find("Round face"), std::string::npos) << page;
  EXPECT_EQ(page.find("Tell the quiz"), std::string::npos) << page;
  EXPECT_TRUE(queries_->ButtonPrintQuizResult->isVisible());
  EXPECT_FALSE(queries_->ButtonResetHTMLControls->isVisible());

  TempFolder out;
  const fs::path pdf = out / "result.pdf";
  queries_->Printer().setOutputFormat(QPrinter::PdfFormat);
  queries_->Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  int dialogs = 0;
  queries_->WindowPrinter().AnswerDialogWith([&dialogs](QPrinter&) { return ++dialogs > 0; });
  std::string told;
  AnswerNextMessage(told);
  queries_->ButtonPrintQuizResult->OnClick();
  queries_->WindowPrinter().AnswerDialogWith(nullptr);
  EXPECT_EQ(dialogs, 1);
  std::string text;
  ASSERT_EQ(RunCommand("pdftotext '" + pdf.string() + "' -", &text), 0);
  EXPECT_NE(text.find("Square face"), std::string::npos) << text;

  // Back to the questions: the answers are still there; with the shape taken
  // back the result asks for it.
  queries_->ButtonViewQuizResult->OnClick();
  ASSERT_FALSE(queries_->ShowingQuizResult);
  EXPECT_TRUE(Checked("shape", "square"));
  queries_->ButtonResetHTMLControls->OnClick();
  EXPECT_FALSE(Checked("shape", "square"));
  queries_->ButtonViewQuizResult->OnClick();
  EXPECT_NE(ShownPage().find("Tell the quiz"), std::string::npos) << ShownPage();
}
