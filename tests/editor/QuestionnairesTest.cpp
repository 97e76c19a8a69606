// The questionnaire files: their errors with line numbers, re-reading the lists,
// and the quiz result page built by conditions in file order.
#include <gtest/gtest.h>

#include "editor/QueryAnswers.h"
#include "editor/Questionnaires.h"

namespace {

template <typename TError, typename TCall>
std::string ErrorOf(TCall call) {
  try {
    call();
  } catch (const TError& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("wrong exception: ") + e.what();
  }
  return "no exception";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "|";
  return text;
}

}  // namespace

TEST(Questionnaires, FilesWithErrorsGiveTheirExceptionsWithTheLineNumber) {
  std::vector<TQueryGroupRecord> groups;
  std::string current;
  // Blank and comment lines count.
  const std::vector<std::string> noTypes = {"# groups", "", "$GROUP_HEADER hair 'Hair'"};
  EXPECT_EQ(ErrorOf<EErrorInQueryFile>([&] { ReadQueryGroups(noTypes, groups, current); }),
            "Error in contents of file QUERIES.TXT (line #3)\rDefinition of template types is missing");
  EXPECT_EQ(ErrorOf<EErrorInQueryFile>([&] { QueryGroupPage({"$MAIN_HEADER", "<p>", "  $query HAIR"}, "HAIR"); }),
            "Error in contents of file QUERIES.TXT (line #3)\rQuery identifier is missing");
  EXPECT_EQ(ErrorOf<EErrorInQueryFile>([&] { QueryGroupPage({"$GROUP_FOOTER"}, "HAIR"); }),
            "Error in contents of file QUERIES.TXT (line #1)\rQuery group identifier is missing");

  std::vector<TQuizRecord> quizzes;
  EXPECT_EQ(ErrorOf<EErrorInQuizFile>([&] { ReadQuizzes({"$QUIZ_HEADER FACE"}, quizzes, current); }),
            "Error in contents of file QUIZES.TXT (line #1)\rQuiz name is missing");
  EXPECT_EQ(ErrorOf<EErrorInQuizFile>([&] { QuizPage({"", "$QUERY"}, "FACE"); }),
            "Error in contents of file QUIZES.TXT (line #2)\rQuiz identifier is missing");

  std::vector<std::string> accepted;
  EXPECT_EQ(ErrorOf<EErrorInQuizResFile>([&] { QuizResultPage({"$QUIZ_HEADER F", "$ANSWER F"}, "F", "", accepted); }),
            "Error in contents of file QUIZRES.TXT (line #2)\rAnswer identifier is missing");
  EXPECT_EQ(ErrorOf<EErrorInQuizResFile>([&] { QuizResultPage({"$QUIZ_FOOTER"}, "F", "", accepted); }),
            "Error in contents of file QUIZRES.TXT (line #1)\rQuiz identifier is missing");
}

TEST(Questionnaires, RereadingKeepsTheAnswersOfGroupsStillListedEvenPastAnError) {
  std::vector<TQueryGroupRecord> groups;
  std::string current;
  ReadQueryGroups({"$GROUP_HEADER len 'Length' '1 2'", "$GROUP_HEADER look Look '1'"}, groups, current);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(current, "LEN");
  EXPECT_EQ(groups[1].Id, "LOOK");
  EXPECT_EQ(groups[1].GroupTypes, "1");
  EXPECT_EQ(groups[0].Answers, "???");
  groups[0].Answers = "?LENGTH=LONG;";
  groups[1].Answers = "";
  current = "LOOK";
  // LOOK is gone and LEN renamed; the bad line after them still throws, and the
  // list is settled before it does.
  EXPECT_THROW(ReadQueryGroups({"$GROUP_HEADER NEW New '3'", "$GROUP_HEADER Len 'Hair length' '2'", "$GROUP_HEADER"},
                               groups, current),
               EErrorInQueryFile);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].Id, "LEN");
  EXPECT_EQ(groups[0].Name, "Hair length");
  EXPECT_EQ(groups[0].GroupTypes, "2");
  EXPECT_EQ(groups[0].Answers, "?LENGTH=LONG;");
  EXPECT_EQ(groups[1].Id, "NEW");
  EXPECT_EQ(groups[1].Answers, "???");
  EXPECT_EQ(current, "LEN");  // the current group was dropped: the first one
}

TEST(Questionnaires, AGroupPageHoldsTheMainPartsAndItsOwnLinesOnly) {
  const std::vector<std::string> file = {"$MAIN_HEADER", "<html>",      "$GROUP_HEADER A 'A' '1'", "<h1>A</h1>",
                                         "$QUERY A Q1",  "<p>q1",       "$QUERY B Q2",             "<p>q2",
                                         "$GROUP_FOOTER A", "<p>after", "$GROUP_HEADER B 'B' '1'", "<h1>B</h1>",
                                         "$MAIN_FOOTER", "# comment",   "   </html>"};
  EXPECT_EQ(Joined(QueryGroupPage(file, "A")), "<html>|<h1>A</h1>|<p>q1|<p>after|</html>|");
  EXPECT_EQ(Joined(QueryGroupPage(file, "B")), "<html>|<p>q2|<h1>B</h1>|</html>|");
}

TEST(Questionnaires, QuizResultPageFollowsTheConditionsInFileOrder) {
  const std::vector<std::string> file = {
      "$MAIN_HEADER", "<top>",
      "$QUIZ_HEADER F", "<head>",
      // Accepted later in the file: false here.
      "$ANSWER F EARLY $ACCEPTED ROUND", "<early>",
      "$ANSWER F ROUND ?shape=round,oval ?time=little", "<round>",
      "$ANSWER F ROUND.EASY ?TIME=LITTLE", "<round easy>",
      "$ANSWER F SQUARE ?SHAPE=SQUARE", "<square>",
      // Its parent was not accepted: never shown, whatever its condition.
      "$ANSWER F SQUARE.EASY ?TIME=LITTLE", "<square easy>",
      "$ANSWER F BOTH $ACCEPTED ROUND ROUND.EASY", "<both>",
      "$ANSWER F NOSQUARE $REJECTED SQUARE", "<no square>",
      "$ANSWER F EMPTY", "<empty>",
      "$ANSWER F NOIDS $ACCEPTED", "<no ids>",
      "$ANSWER G ROUND ?SHAPE=OVAL", "<other quiz>",
      "$QUIZ_FOOTER F", "<foot>",
      "$QUIZ_HEADER G", "<g>",
      "$MAIN_FOOTER", "<end>"};
  std::vector<std::string> accepted;
  const std::string answers = AnswersOf({{"Shape", "Oval"}, {"time", "little"}});
  EXPECT_EQ(answers, "?SHAPE=OVAL;?TIME=LITTLE;");
  EXPECT_EQ(Joined(QuizResultPage(file, "F", answers, accepted)),
            "<top>|<head>|<round>|<round easy>|<both>|<no square>|<foot>|<end>|");
  EXPECT_EQ(accepted, (std::vector<std::string>{"ROUND", "ROUND.EASY", "BOTH", "NOSQUARE"}));
  // One item unanswered: no ROUND, so neither its child nor BOTH.
  EXPECT_EQ(Joined(QuizResultPage(file, "F", "?SHAPE=ROUND;", accepted)), "<top>|<head>|<no square>|<foot>|<end>|");
}

TEST(Questionnaires, AnswersAreCleanedSoAPageCannotBreakTheString) {
  // A value with ";", "=" or "?" would otherwise end the item early or start a
  // new one ("?X=1;" smuggled in).
  const std::string answers = AnswersOf({{"a?b", "x;?X=1"}, {"c=d", "e"}});
  EXPECT_EQ(answers, "?AB=XX1;?CD=E;");
  EXPECT_FALSE(AnswerChecked(answers, "X", "1"));
  EXPECT_TRUE(AnswerChecked(answers, "a?b", "x;?X=1"));
  EXPECT_TRUE(AnswerChecked(answers, "cd", "e"));
  EXPECT_FALSE(AnswerChecked("", "", ""));
  EXPECT_FALSE(AnswerChecked("?LEN=SHORTER;", "len", "short")) << "a value is matched whole, not as a prefix";
}
