#pragma once
// The questionnaires of the queries folder: the query groups of "QUERIES.TXT"
// (whose answers filter the template browser), the quizzes of "QUIZES.TXT" and
// the result pages of "QUIZRES.TXT". The files mix HTML lines with "$"
// directives; a page is the HTML between the directives of one group or quiz.
// Answers are strings of items "?" + NAME + "=" + VALUE + ";" (upper case), or
// "???" while the page was never read.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "editor/TemplateFilter.h"

class EErrorInQueryFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EErrorInQuizFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EErrorInQuizResFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Answers of a page that was never read: they restrict nothing.
inline constexpr std::string_view kUnreadAnswers = "???";

// One item "?" + NAME + "=" + values separated by "," of an answers string, a
// template's attributes or a result condition. Its values run to the next token
// that begins with "?" or "#" (a comment).
struct TQueryItem {
  std::string Name;
  std::vector<std::string> Values;
};
std::vector<TQueryItem> QueryItems(std::string_view text);

// The answer "?" + NAME + "=" + VALUE + ";" as a string holds it, and the "?" +
// NAME + "=" that begins any answer to NAME; the closing ";" keeps a value from
// matching a longer one.
std::string QueryItemText(std::string_view name, std::string_view value);
std::string QueryItemPrefix(std::string_view name);

struct TQueryGroupRecord {
  std::string Id;          // upper case
  std::string Name;        // shown in the window's list
  std::string GroupTypes;  // the template type numbers the group applies to, blank separated
  std::string Answers{kUnreadAnswers};
  bool Present = false;
};

struct TQuizRecord {
  std::string Id;
  std::string Name;
  std::string Answers{kUnreadAnswers};
  bool Present = false;
};

// The questionnaires of a run: their records with the answers given, kept for the
// whole run whether the window is open or not, and the template filter the query
// groups' answers drive. The program's run owns them and hands them to the
// questionnaire window and the template browser; either may be made first.
struct TQuestionnaires {
  std::vector<TQueryGroupRecord> QueryGroups;
  std::vector<TQuizRecord> Quizzes;
  std::string CurrentGroupId;
  std::string CurrentQuizId;
  // The result answers accepted while the last result page was built, in file order.
  std::vector<std::string> AcceptedAnswers;
  TTemplateFilter Filter;
};

inline constexpr std::string_view kQueriesFile = "QUERIES.TXT";
inline constexpr std::string_view kQuizzesFile = "QUIZES.TXT";
inline constexpr std::string_view kQuizResultsFile = "QUIZRES.TXT";

// Re-reads the records from the lines of "QUERIES.TXT" / "QUIZES.TXT": a record
// whose id is still listed keeps its answers and takes the new name (and types);
// new ones start unread; the others are dropped, also when the file has an error
// (the exception passes on after). The current id then names a record, the first
// one when it named none (empty with no records).
void ReadQueryGroups(const std::vector<std::string>& lines, std::vector<TQueryGroupRecord>& groups,
                     std::string& currentId);
void ReadQuizzes(const std::vector<std::string>& lines, std::vector<TQuizRecord>& quizzes, std::string& currentId);

// The HTML of one group's or quiz's page: the main header and footer with the
// lines of that group (or quiz) and of its queries. Throws the file's exception,
// with its line number, for a directive without its arguments.
std::vector<std::string> QueryGroupPage(const std::vector<std::string>& lines, std::string_view groupId);
std::vector<std::string> QuizPage(const std::vector<std::string>& lines, std::string_view quizId);
// The result page of a quiz from "QUIZRES.TXT": the lines of the answers whose
// conditions hold for `answers`, in file order; `accepted` receives their ids.
std::vector<std::string> QuizResultPage(const std::vector<std::string>& lines, std::string_view quizId,
                                        std::string_view answers, std::vector<std::string>& accepted);

// Whether a result answer's condition (upper case) holds: "$ACCEPTED ids" (every
// id accepted), "$REJECTED ids" (none accepted), or items "?NAME=V1,V2" each of
// which names one of its values in `answers`. Empty conditions and id lists are
// false.
bool QuizConditionHolds(std::string_view condition, std::string_view answers,
                        const std::vector<std::string>& accepted);
