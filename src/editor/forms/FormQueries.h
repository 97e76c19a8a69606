#pragma once
// The questionnaire window "FormQueries". Filter mode shows the query groups of
// "QUERIES.TXT"; their answers, switched on as the template filter, leave in the
// template browser only the templates that fit. Quiz mode shows the quizzes of
// "QUIZES.TXT" and their result pages from "QUIZRES.TXT". Answers are kept for
// the whole run, in the questionnaires it is handed. The files and the answers are Qt-free (editor/Questionnaires.h,
// QueryAnswers.h); the page's radio buttons and check boxes are the viewer's form.
#include <functional>
#include <string>
#include <vector>

#include "shell/forms/PageWindow.h"

class QComboBox;
class TGraphicButton;
struct TMainSettings;
struct TQuestionnaires;

class TFormQueries : public TPageForm {
  Q_OBJECT

 public:
  enum TMode : int { qmNone = 0, qmFilter = 1, qmQuiz = 2 };

  // Reads its pages and lists from the queries folder of `settings`; keeps the
  // records and answers in `questionnaires`, which outlive it.
  TFormQueries(const TMainSettings& settings, TQuestionnaires& questionnaires, QWidget* parent = nullptr);
  ~TFormQueries() override;

  QComboBox* ComboBox;
  TGraphicButton* ButtonFilterMode;
  TGraphicButton* ButtonQuizMode;
  TGraphicButton* ButtonSetTemplatesFilter;
  TGraphicButton* ButtonResetHTMLControls;
  TGraphicButton* ButtonViewQuizResult;
  TGraphicButton* ButtonPrintQuizResult;
  // The HTML of the page shown, as it was built from the file.
  std::vector<std::string> HTML_Memo;

  int Mode = qmNone;
  int LastMode = qmNone;
  bool ShowingQuizResult = false;
  // Off while the program itself sets the page's controls.
  bool ObjectClicksEnabled = false;

  // Saves the answers of the old mode and shows the new one; a file with errors is
  // shown as a warning and the mode stays, other failures leave no mode and pass on.
  void SetMode(int mode);
  void Set_QueryGroups();
  void Load_QueryGroup(const std::string& id);
  void Get_QueryGroup_HTML_Controls(const std::string& id);
  void Set_QueryGroup_HTML_Controls(const std::string& id);
  // Reads the current group's answers and refreshes the template browser.
  void Apply_QueryGroup();
  void Set_Quizes();
  void Load_Quiz(const std::string& id);
  void Get_Quiz_HTML_Controls(const std::string& id);
  void Set_Quiz_HTML_Controls(const std::string& id);
  void Load_QuizResult(const std::string& id);
  void ShowQuizResult(bool on);

  // The buttons and the list, as a user meets them.
  void ButtonSetTemplatesFilterClick();
  void ButtonResetHTMLControlsClick();
  void ButtonPrintQuizResultClick();
  void ComboBoxClick(int index);

 private:
  const TMainSettings& settings_;
  TQuestionnaires& q_;
  int filterListener_ = -1;  // in q_.Filter
  void BuildControls();
  std::vector<std::string> ReadQueriesFile(std::string_view name) const;
  void ClearPage();
  // Shows the page `build` makes; when it fails the viewer is left empty.
  void ShowPage(const std::function<std::vector<std::string>()>& build);
  // Reads a page's answers when they were never read, else sets its controls.
  void TakeOrSetControls(std::string& answers);
  void SetControls(const std::string& answers);
  void ReadControls(std::string& answers) const;
  void FillComboBox(const std::vector<std::string>& names, std::size_t current);
  void SaveAnswersOfMode();
  void ShowModeButtons();
  void ObjectClick();
  void KeyUp(int& key, int shift);
  // Runs a user's action; its failure is told in the message box.
  void Guarded(const std::function<void()>& action);
};

// The standing questionnaire window (null before it is created).
extern TFormQueries* FormQueries;
// Registers the window over `settings` and `questionnaires`, whose filter then
// offers itself in the browser before the window is made.
void RegisterFormQueries(TMainSettings& settings, TQuestionnaires& questionnaires);
