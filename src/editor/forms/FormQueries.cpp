#include "editor/forms/FormQueries.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <exception>
#include <stdexcept>

#include "editor/MainShell.h"
#include "editor/QueryAnswers.h"
#include "editor/Questionnaires.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/PageWindow.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormQueries* FormQueries = nullptr;

namespace {
constexpr int kWidth = 580;
constexpr int kHeight = 460;
// Four places in the strip; the buttons of the other mode share the last two.
constexpr TStripButton kStrip[] = {
    {"ButtonFilterMode", "Templates"},    {"ButtonQuizMode", "Quizzes"},
    {"ButtonSetTemplatesFilter", "Filter"}, {"ButtonViewQuizResult", "Result", 2},
    {"ButtonResetHTMLControls", "Reset"}, {"ButtonPrintQuizResult", "Print", 3},
};
// The list of groups or quizzes sits in the well above the page.
constexpr int kComboTop = 46;
constexpr int kComboHeight = 26;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

template <typename TRecord>
TRecord* RecordOf(std::vector<TRecord>& records, const std::string& id) {
  for (TRecord& record : records)
    if (record.Id == id) return &record;
  return nullptr;
}

template <typename TRecord>
std::vector<std::string> NamesOf(const std::vector<TRecord>& records, const std::string& currentId,
                                 std::size_t& current) {
  std::vector<std::string> names;
  for (const TRecord& record : records) {
    if (record.Id == currentId) current = names.size();
    names.push_back(record.Name);
  }
  return names;
}
// The template browser's filter takes the questionnaire's answers before the
// questionnaire window is made (its switch in the browser): the hook makes it.
void HookFilter(TQuestionnaires& questionnaires) {
  questionnaires.Filter.TakeAnswers = [&questionnaires] {
    auto* queries = FormQueries ? FormQueries : StandingForm<TFormQueries>("FormQueries");
    if (queries) queries->Get_QueryGroup_HTML_Controls(questionnaires.CurrentGroupId);
  };
}

}  // namespace

TFormQueries::TFormQueries(const TMainSettings& settings, TQuestionnaires& questionnaires, QWidget* parent)
    : TPageForm("FormQueries", kWidth, kHeight, parent), settings_(settings), q_(questionnaires) {
  FormQueries = this;
  setWindowTitle("Questionnaires");
  BuildControls();
  if (!q_.Filter.TakeAnswers) HookFilter(q_);
  filterListener_ = q_.Filter.Listen([this] { ButtonSetTemplatesFilter->SetPressed(q_.Filter.On()); });
  PlaceFromFrame({40, 130});
  ApplyInterface(this);
  TakeCaption("FormQueriesCaption", "Questionnaires");
  ButtonFilterMode->setToolTip(TermText("ButtonFilterModeHint", "Questions that choose templates"));
  ButtonQuizMode->setToolTip(TermText("ButtonQuizModeHint", "Quizzes"));
  ButtonSetTemplatesFilter->setToolTip(TermText("ButtonSetTemplatesFilterHint", "Show only templates that fit"));
  ButtonResetHTMLControls->setToolTip(TermText("ButtonResetHTMLControlsHint", "Back to the first answers"));
  ButtonPrintQuizResult->setToolTip(TermText("ButtonPrintQuizResultHint", "Print the result"));
  ButtonViewQuizResult->setToolTip(TermText("ButtonViewQuizResultHint", "View quiz result"));
  HTMLViewer->SetBaseFolder(PageFolder(settings_.QueriesDir));
  HTMLViewer->OnHotSpotClick = HandlePageLink;
  HTMLViewer->OnObjectClick = [this](std::size_t) { ObjectClick(); };

  Skins = {"FormQueries.Skin", "FormQuer.psd", "FormQueriesButtons", "ButQuery.psd"};
  OnShow = [this] {
    ButtonSetTemplatesFilter->SetPressed(q_.Filter.On());
    ObjectClicksEnabled = true;
    SetFrameButtonPressed(*this, "ButtonQueries", true);
    const fs::path folder = PageFolder(settings_.QueriesDir);
    const bool queries = fs::exists(ResolvePath(folder, kQueriesFile));
    const bool quizzes = fs::exists(ResolvePath(folder, kQuizzesFile));
    // A mode whose file is missing could not be shown: no choice to offer.
    ButtonFilterMode->setVisible(queries && quizzes);
    ButtonQuizMode->setVisible(queries && quizzes);
    int mode = LastMode;
    if (mode == qmNone) mode = queries ? qmFilter : quizzes ? qmQuiz : qmNone;
    Guarded([this, mode] { SetMode(mode); });
  };
  OnClose = [this] {
    SaveAnswersOfMode();
    LastMode = Mode;
    Mode = qmNone;
    SetFrameButtonPressed(*this, "ButtonQueries", false);
  };
  OnKeyUp = [this](int& key, int shift) { KeyUp(key, shift); };
}

TFormQueries::~TFormQueries() {
  q_.Filter.Forget(filterListener_);
  if (FormQueries != this) return;
  FormQueries = nullptr;
  q_.Filter.TakeAnswers = nullptr;
}

void TFormQueries::BuildControls() {
  const QRect page = HTMLViewer->geometry();
  ComboBox = new QComboBox(this);
  ComboBox->setObjectName("ComboBox");
  ComboBox->setGeometry(page.left(), kComboTop, page.width() / 2, kComboHeight);
  HTMLViewer->setGeometry(page.adjusted(0, kComboHeight + 6, 0, 0));
  connect(ComboBox, &QComboBox::activated, this, [this](int index) { Guarded([this, index] { ComboBoxClick(index); }); });

  const std::vector<TGraphicButton*> strip = BuildButtonStrip(kStrip);
  ButtonFilterMode = strip[0];
  ButtonQuizMode = strip[1];
  ButtonSetTemplatesFilter = strip[2];
  ButtonViewQuizResult = strip[3];
  ButtonResetHTMLControls = strip[4];
  ButtonPrintQuizResult = strip[5];
  for (TGraphicButton* button : strip) button->hide();
  ButtonFilterMode->OnClick = [this] { Guarded([this] { SetMode(qmFilter); }); };
  ButtonQuizMode->OnClick = [this] { Guarded([this] { SetMode(qmQuiz); }); };
  ButtonSetTemplatesFilter->OnClick = [this] { Guarded([this] { ButtonSetTemplatesFilterClick(); }); };
  ButtonResetHTMLControls->OnClick = [this] { Guarded([this] { ButtonResetHTMLControlsClick(); }); };
  ButtonViewQuizResult->OnClick = [this] { Guarded([this] { ShowQuizResult(!ShowingQuizResult); }); };
  ButtonPrintQuizResult->OnClick = [this] { ButtonPrintQuizResultClick(); };
}

void TFormQueries::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    ShowMessageBox(e.what(), mbkOKCancel, true);
  }
}

std::vector<std::string> TFormQueries::ReadQueriesFile(std::string_view name) const {
  TFileResult<std::vector<std::string>> lines = ReadTextLines(ResolvePath(PageFolder(settings_.QueriesDir), name));
  // The questionnaire readers stop at their first fault by throwing, and Guarded
  // shows its words: a file that cannot be read is one more such fault.
  if (!lines) throw std::runtime_error(TextFileMessage(lines.Error(), name));
  return std::move(*lines);
}

void TFormQueries::ClearPage() {
  HTMLViewer->LoadFromString({});
  HTML_Memo.clear();
}

void TFormQueries::ShowPage(const std::function<std::vector<std::string>()>& build) {
  try {
    HTML_Memo = build();
  } catch (...) {
    // No half page and no stale one: the viewer is empty when a page fails.
    ClearPage();
    throw;
  }
  HTMLViewer->LoadFormPage(Joined(HTML_Memo));
}

void TFormQueries::SetMode(int mode) {
  if (mode == Mode) return;
  SaveAnswersOfMode();
  Mode = mode;
  try {
    if (Mode == qmFilter) Set_QueryGroups();
    if (Mode == qmQuiz) Set_Quizes();
  } catch (const EErrorInQueryFile& e) {
    ShowMessageBox(e.what(), mbkOKCancel, true);
  } catch (const EErrorInQuizFile& e) {
    ShowMessageBox(e.what(), mbkOKCancel, true);
  } catch (...) {
    Mode = qmNone;
    ShowModeButtons();
    throw;
  }
  ShowModeButtons();
}

void TFormQueries::ShowModeButtons() {
  ButtonFilterMode->SetPressed(Mode == qmFilter);
  ButtonQuizMode->SetPressed(Mode == qmQuiz);
  ButtonSetTemplatesFilter->setVisible(Mode == qmFilter);
  ButtonViewQuizResult->setVisible(Mode == qmQuiz);
  ButtonViewQuizResult->SetPressed(ShowingQuizResult);
  ButtonViewQuizResult->setToolTip(ShowingQuizResult ? TermText("ButtonViewQuizQueriesHint", "View quiz queries")
                                                     : TermText("ButtonViewQuizResultHint", "View quiz result"));
  ButtonPrintQuizResult->setVisible(Mode == qmQuiz && ShowingQuizResult);
  ButtonResetHTMLControls->setVisible(Mode == qmFilter || (Mode == qmQuiz && !ShowingQuizResult));
}

void TFormQueries::SaveAnswersOfMode() {
  if (Mode == qmFilter) Get_QueryGroup_HTML_Controls(q_.CurrentGroupId);
  if (Mode == qmQuiz && !ShowingQuizResult) Get_Quiz_HTML_Controls(q_.CurrentQuizId);
}

void TFormQueries::FillComboBox(const std::vector<std::string>& names, std::size_t current) {
  ComboBox->clear();
  for (const std::string& name : names) ComboBox->addItem(QString::fromStdString(name));
  ComboBox->setCurrentIndex(names.empty() ? -1 : int(current));
}

void TFormQueries::TakeOrSetControls(std::string& answers) {
  if (answers == kUnreadAnswers)
    ReadControls(answers);
  else
    SetControls(answers);
}

void TFormQueries::ReadControls(std::string& answers) const {
  std::vector<TCheckedControl> checked;
  for (const THtmlControl& control : HTMLViewer->Form().Controls())
    if (control.Checked) checked.push_back({control.Name, control.Value});
  answers = AnswersOf(checked);
}

void TFormQueries::SetControls(const std::string& answers) {
  ObjectClicksEnabled = false;
  HTMLViewer->ChangeForm([&answers](THtmlForm& form) {
    for (std::size_t i = 0; i < form.Controls().size(); ++i)
      form.SetChecked(i, AnswerChecked(answers, form.Controls()[i].Name, form.Controls()[i].Value));
  });
  ObjectClicksEnabled = true;
}

// Filter mode ------------------------------------------------------------------

void TFormQueries::Set_QueryGroups() {
  ComboBox->clear();
  ClearPage();
  ReadQueryGroups(ReadQueriesFile(kQueriesFile), q_.QueryGroups, q_.CurrentGroupId);
  std::size_t current = 0;
  FillComboBox(NamesOf(q_.QueryGroups, q_.CurrentGroupId, current), current);
  TQueryGroupRecord* group = RecordOf(q_.QueryGroups, q_.CurrentGroupId);
  if (!group) return;
  Load_QueryGroup(group->Id);
  TakeOrSetControls(group->Answers);
  if (Mode == qmFilter && q_.Filter.On()) Apply_QueryGroup();
}

void TFormQueries::Load_QueryGroup(const std::string& id) {
  ShowPage([&] { return QueryGroupPage(ReadQueriesFile(kQueriesFile), id); });
}

void TFormQueries::Get_QueryGroup_HTML_Controls(const std::string& id) {
  if (Mode != qmFilter) return;
  if (TQueryGroupRecord* group = RecordOf(q_.QueryGroups, id)) ReadControls(group->Answers);
}

void TFormQueries::Set_QueryGroup_HTML_Controls(const std::string& id) {
  if (TQueryGroupRecord* group = RecordOf(q_.QueryGroups, id)) SetControls(group->Answers);
}

void TFormQueries::Apply_QueryGroup() {
  q_.Filter.Apply();
  QCoreApplication::processEvents();
}

void TFormQueries::ButtonSetTemplatesFilterClick() {
  q_.Filter.Toggle();
  QCoreApplication::processEvents();
}

// Quiz mode --------------------------------------------------------------------

void TFormQueries::Set_Quizes() {
  ComboBox->clear();
  ClearPage();
  ReadQuizzes(ReadQueriesFile(kQuizzesFile), q_.Quizzes, q_.CurrentQuizId);
  std::size_t current = 0;
  FillComboBox(NamesOf(q_.Quizzes, q_.CurrentQuizId, current), current);
  TQuizRecord* quiz = RecordOf(q_.Quizzes, q_.CurrentQuizId);
  if (!quiz) return;
  if (ShowingQuizResult) {
    Load_QuizResult(quiz->Id);
    return;
  }
  Load_Quiz(quiz->Id);
  TakeOrSetControls(quiz->Answers);
}

void TFormQueries::Load_Quiz(const std::string& id) {
  ShowPage([&] { return QuizPage(ReadQueriesFile(kQuizzesFile), id); });
}

void TFormQueries::Get_Quiz_HTML_Controls(const std::string& id) {
  if (Mode != qmQuiz) return;
  if (TQuizRecord* quiz = RecordOf(q_.Quizzes, id)) ReadControls(quiz->Answers);
}

void TFormQueries::Set_Quiz_HTML_Controls(const std::string& id) {
  if (TQuizRecord* quiz = RecordOf(q_.Quizzes, id)) SetControls(quiz->Answers);
}

void TFormQueries::Load_QuizResult(const std::string& id) {
  const TQuizRecord* quiz = RecordOf(q_.Quizzes, id);
  const std::string answers = quiz ? quiz->Answers : std::string();
  ShowPage([&] { return QuizResultPage(ReadQueriesFile(kQuizResultsFile), id, answers, q_.AcceptedAnswers); });
}

void TFormQueries::ShowQuizResult(bool on) {
  if (Mode != qmQuiz || !RecordOf(q_.Quizzes, q_.CurrentQuizId)) return;
  if (on) {
    Get_Quiz_HTML_Controls(q_.CurrentQuizId);
    ShowingQuizResult = true;
    Load_QuizResult(q_.CurrentQuizId);
  } else {
    ShowingQuizResult = false;
    Load_Quiz(q_.CurrentQuizId);
    Set_Quiz_HTML_Controls(q_.CurrentQuizId);
  }
  ShowModeButtons();
}

// Events -----------------------------------------------------------------------

void TFormQueries::ComboBoxClick(int index) {
  if (index < 0) return;
  if (Mode == qmFilter && std::size_t(index) < q_.QueryGroups.size()) {
    TQueryGroupRecord& chosen = q_.QueryGroups[std::size_t(index)];
    if (chosen.Id == q_.CurrentGroupId) return;
    Get_QueryGroup_HTML_Controls(q_.CurrentGroupId);
    q_.CurrentGroupId = chosen.Id;
    Load_QueryGroup(chosen.Id);
    TakeOrSetControls(chosen.Answers);
    if (q_.Filter.On()) Apply_QueryGroup();
  } else if (Mode == qmQuiz && std::size_t(index) < q_.Quizzes.size()) {
    TQuizRecord& chosen = q_.Quizzes[std::size_t(index)];
    if (chosen.Id == q_.CurrentQuizId) return;
    if (ShowingQuizResult) {
      q_.CurrentQuizId = chosen.Id;
      Load_QuizResult(chosen.Id);
      return;
    }
    Get_Quiz_HTML_Controls(q_.CurrentQuizId);
    q_.CurrentQuizId = chosen.Id;
    Load_Quiz(chosen.Id);
    TakeOrSetControls(chosen.Answers);
  }
}

void TFormQueries::ObjectClick() {
  if (!ObjectClicksEnabled) return;
  if (Mode == qmFilter) {
    if (q_.Filter.On())
      Apply_QueryGroup();
    else
      Get_QueryGroup_HTML_Controls(q_.CurrentGroupId);
  } else if (Mode == qmQuiz && !ShowingQuizResult) {
    Get_Quiz_HTML_Controls(q_.CurrentQuizId);
  }
}

void TFormQueries::ButtonResetHTMLControlsClick() {
  if (Mode == qmFilter && RecordOf(q_.QueryGroups, q_.CurrentGroupId)) {
    Load_QueryGroup(q_.CurrentGroupId);
    if (q_.Filter.On())
      Apply_QueryGroup();
    else
      Get_QueryGroup_HTML_Controls(q_.CurrentGroupId);
  } else if (Mode == qmQuiz && !ShowingQuizResult && RecordOf(q_.Quizzes, q_.CurrentQuizId)) {
    Load_Quiz(q_.CurrentQuizId);
    Get_Quiz_HTML_Controls(q_.CurrentQuizId);
  }
}

void TFormQueries::ButtonPrintQuizResultClick() {
  PrintShownPage("MessageQuizResultNotPrinted", "The quiz result could not be printed.");
}

void TFormQueries::KeyUp(int& key, int shift) {
  if (key != VK_INSERT) return;
  if (shift == ssCtrl) {
    HTMLViewer->selectAll();
    HTMLViewer->copy();
  } else if (shift == (ssCtrl | ssShift)) {
    QApplication::clipboard()->setText(QString::fromStdString(Joined(HTML_Memo)));
  } else {
    return;
  }
  key = 0;
}

void RegisterFormQueries(TMainSettings& settings, TQuestionnaires& questionnaires) {
  RegisterStandingForm("FormQueries", [&settings, &questionnaires](QWidget* owner) {
    return new TFormQueries(settings, questionnaires, owner);
  });
  HookFilter(questionnaires);
}
