#include "editor/Questionnaires.h"

#include <algorithm>
#include <array>
#include <functional>

#include "platform/Text.h"
#include "shell/Tokens.h"

namespace {

enum class TDirective { Html, MainHeader, MainFooter, Header, Footer, Item };

// One directive of a file: its word, and the reason given when each argument is
// missing; ids are upper-cased, the header's name and types kept as written.
struct TDirectiveRule {
  std::string_view Word;
  TDirective Kind;
  std::array<std::string_view, 3> Missing;
};

// A file's grammar: its directives and how it reports a bad line.
struct TFileGrammar {
  std::string_view File;
  std::array<TDirectiveRule, 5> Rules;
  // The condition of an "$ANSWER" line is the rest of it.
  bool ItemHasRest;
  std::function<void(const std::string&)> Raise;
};

constexpr std::string_view kGroupIdMissing = "Query group identifier is missing";
constexpr std::string_view kQuizIdMissing = "Quiz identifier is missing";
constexpr std::string_view kQueryIdMissing = "Query identifier is missing";

const TFileGrammar& QueriesGrammar() {
  static const TFileGrammar grammar{
      kQueriesFile,
      {{{"$MAIN_HEADER", TDirective::MainHeader, {}},
        {"$MAIN_FOOTER", TDirective::MainFooter, {}},
        {"$GROUP_HEADER", TDirective::Header,
         {kGroupIdMissing, "Query group name is missing", "Definition of template types is missing"}},
        {"$GROUP_FOOTER", TDirective::Footer, {kGroupIdMissing}},
        {"$QUERY", TDirective::Item, {kGroupIdMissing, kQueryIdMissing}}}},
      false,
      [](const std::string& text) { throw EErrorInQueryFile(text); }};
  return grammar;
}

const TFileGrammar& QuizzesGrammar() {
  static const TFileGrammar grammar{kQuizzesFile,
                                    {{{"$MAIN_HEADER", TDirective::MainHeader, {}},
                                      {"$MAIN_FOOTER", TDirective::MainFooter, {}},
                                      {"$QUIZ_HEADER", TDirective::Header, {kQuizIdMissing, "Quiz name is missing"}},
                                      {"$QUIZ_FOOTER", TDirective::Footer, {kQuizIdMissing}},
                                      {"$QUERY", TDirective::Item, {kQuizIdMissing, kQueryIdMissing}}}},
                                    false,
                                    [](const std::string& text) { throw EErrorInQuizFile(text); }};
  return grammar;
}

const TFileGrammar& QuizResultsGrammar() {
  static const TFileGrammar grammar{kQuizResultsFile,
                                    {{{"$MAIN_HEADER", TDirective::MainHeader, {}},
                                      {"$MAIN_FOOTER", TDirective::MainFooter, {}},
                                      {"$QUIZ_HEADER", TDirective::Header, {kQuizIdMissing}},
                                      {"$QUIZ_FOOTER", TDirective::Footer, {kQuizIdMissing}},
                                      {"$ANSWER", TDirective::Item, {kQuizIdMissing, "Answer identifier is missing"}}}},
                                    true,
                                    [](const std::string& text) { throw EErrorInQuizResFile(text); }};
  return grammar;
}

struct TLine {
  TDirective Kind = TDirective::Html;
  std::vector<std::string> Args;
  std::string Rest;  // the upper-cased rest of an "$ANSWER" line
  std::string Text;  // the line, trimmed on the left
};

// Calls `visit` for each line that is not empty or a comment, in order. Only the
// directives in `checked` have their arguments read (and a missing one raised).
void ForEachLine(const std::vector<std::string>& lines, const TFileGrammar& grammar,
                 std::initializer_list<TDirective> checked, const std::function<void(const TLine&)>& visit) {
  int number = 0;
  for (const std::string& raw : lines) {
    ++number;
    TLine line;
    line.Text = TrimLeft(raw);
    if (line.Text.empty() || line.Text[0] == '#') continue;
    std::string rest = line.Text;
    const TToken first = GetToken(rest);
    const std::string word = UpperAscii(first.Text);
    const auto rule = std::find_if(grammar.Rules.begin(), grammar.Rules.end(),
                                   [&](const TDirectiveRule& r) { return r.Word == word; });
    if (rule != grammar.Rules.end()) {
      line.Kind = rule->Kind;
      if (std::find(checked.begin(), checked.end(), rule->Kind) != checked.end()) {
        DeleteToken(rest, first.Finish);
        for (std::string_view missing : rule->Missing) {
          if (missing.empty()) break;
          const TToken arg = GetToken(rest);
          if (arg.Text.empty())
            grammar.Raise("Error in contents of file " + UpperAscii(grammar.File) + " (line #" +
                          std::to_string(number) + ")\r" + std::string(missing));
          // Ids are upper case; a header's name and its types stay as written.
          const bool isId = rule->Kind != TDirective::Header || line.Args.empty();
          line.Args.push_back(isId ? UpperAscii(arg.Text) : arg.Text);
          DeleteToken(rest, arg.Finish);
        }
        if (rule->Kind == TDirective::Item && grammar.ItemHasRest) line.Rest = UpperAscii(rest);
      }
    }
    visit(line);
  }
}

// The records of a list file, re-read in place (see ReadQueryGroups).
template <typename TRecord>
void ReadRecords(const std::vector<std::string>& lines, const TFileGrammar& grammar, std::vector<TRecord>& records,
                 std::string& currentId, const std::function<void(TRecord&, const TLine&)>& take) {
  for (TRecord& record : records) record.Present = false;
  auto settle = [&] {
    std::erase_if(records, [](const TRecord& r) { return !r.Present; });
    if (std::none_of(records.begin(), records.end(), [&](const TRecord& r) { return r.Id == currentId; }))
      currentId.clear();
    if (currentId.empty() && !records.empty()) currentId = records.front().Id;
  };
  try {
    ForEachLine(lines, grammar, {TDirective::Header}, [&](const TLine& line) {
      if (line.Kind != TDirective::Header) return;
      auto same = std::find_if(records.begin(), records.end(), [&](const TRecord& r) { return r.Id == line.Args[0]; });
      if (same == records.end()) {
        records.emplace_back();
        same = records.end() - 1;
        same->Id = line.Args[0];
      }
      take(*same, line);
      same->Present = true;
    });
  } catch (...) {
    settle();
    throw;
  }
  settle();
}

// The lines of one group's or quiz's page.
std::vector<std::string> PageOf(const std::vector<std::string>& lines, const TFileGrammar& grammar,
                                std::string_view id) {
  std::vector<std::string> page;
  bool copying = false;
  ForEachLine(lines, grammar, {TDirective::Header, TDirective::Footer, TDirective::Item}, [&](const TLine& line) {
    switch (line.Kind) {
      case TDirective::MainHeader:
      case TDirective::MainFooter: copying = true; break;
      case TDirective::Header:
      case TDirective::Footer:
      case TDirective::Item: copying = line.Args[0] == id; break;
      case TDirective::Html:
        if (copying) page.push_back(line.Text);
        break;
    }
  });
  return page;
}

// The part of a result answer id before its last ".", empty when it has none.
std::string_view ParentOf(std::string_view answerId) {
  const std::size_t dot = answerId.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : answerId.substr(0, dot);
}

bool IsAccepted(const std::vector<std::string>& accepted, std::string_view id) {
  return std::find(accepted.begin(), accepted.end(), id) != accepted.end();
}

}  // namespace

std::vector<TQueryItem> QueryItems(std::string_view text) {
  std::vector<TQueryItem> items;
  for (std::size_t at = text.find('?'); at != std::string_view::npos; at = text.find('?', at + 1)) {
    std::string rest(text.substr(at + 1));
    TToken token = GetToken(rest);
    // "???" (never read) and a "?" with nothing after it name no attribute.
    if (token.Text.empty() || token.Text[0] == '?') continue;
    TQueryItem item{token.Text, {}};
    for (DeleteToken(rest, token.Finish), token = GetToken(rest); !token.Text.empty(); token = GetToken(rest)) {
      if (token.Text[0] == '?' || token.Text[0] == '#') break;
      item.Values.push_back(token.Text);
      DeleteToken(rest, token.Finish);
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::string QueryItemPrefix(std::string_view name) { return "?" + std::string(name) + "="; }

std::string QueryItemText(std::string_view name, std::string_view value) {
  return QueryItemPrefix(name) + std::string(value) + ";";
}


void ReadQueryGroups(const std::vector<std::string>& lines, std::vector<TQueryGroupRecord>& groups,
                     std::string& currentId) {
  ReadRecords<TQueryGroupRecord>(lines, QueriesGrammar(), groups, currentId,
                                 [](TQueryGroupRecord& group, const TLine& line) {
                                   group.Name = line.Args[1];
                                   group.GroupTypes = line.Args[2];
                                 });
}

void ReadQuizzes(const std::vector<std::string>& lines, std::vector<TQuizRecord>& quizzes, std::string& currentId) {
  ReadRecords<TQuizRecord>(lines, QuizzesGrammar(), quizzes, currentId,
                           [](TQuizRecord& quiz, const TLine& line) { quiz.Name = line.Args[1]; });
}

std::vector<std::string> QueryGroupPage(const std::vector<std::string>& lines, std::string_view groupId) {
  return PageOf(lines, QueriesGrammar(), groupId);
}

std::vector<std::string> QuizPage(const std::vector<std::string>& lines, std::string_view quizId) {
  return PageOf(lines, QuizzesGrammar(), quizId);
}

std::vector<std::string> QuizResultPage(const std::vector<std::string>& lines, std::string_view quizId,
                                        std::string_view answers, std::vector<std::string>& accepted) {
  accepted.clear();
  std::vector<std::string> page;
  bool copying = false;
  ForEachLine(lines, QuizResultsGrammar(), {TDirective::Header, TDirective::Footer, TDirective::Item},
              [&](const TLine& line) {
                switch (line.Kind) {
                  case TDirective::MainHeader:
                  case TDirective::MainFooter: copying = true; break;
                  case TDirective::Header:
                  case TDirective::Footer: copying = line.Args[0] == quizId; break;
                  case TDirective::Item: {
                    const std::string& answer = line.Args[1];
                    const std::string_view parent = ParentOf(answer);
                    if (line.Args[0] != quizId)
                      copying = false;
                    else if (IsAccepted(accepted, answer))
                      copying = true;
                    else if (!parent.empty() && !IsAccepted(accepted, parent))
                      copying = false;
                    else if ((copying = QuizConditionHolds(line.Rest, answers, accepted)))
                      accepted.push_back(answer);
                    break;
                  }
                  case TDirective::Html:
                    if (copying) page.push_back(line.Text);
                    break;
                }
              });
  return page;
}

bool QuizConditionHolds(std::string_view condition, std::string_view answers,
                        const std::vector<std::string>& accepted) {
  std::string rest(condition);
  const TToken first = GetToken(rest);
  if (first.Text == "$ACCEPTED" || first.Text == "$REJECTED") {
    const bool wantAccepted = first.Text == "$ACCEPTED";
    DeleteToken(rest, first.Finish);
    bool any = false;
    for (TToken id = GetToken(rest); !id.Text.empty(); id = GetToken(rest)) {
      if (IsAccepted(accepted, id.Text) != wantAccepted) return false;
      any = true;
      DeleteToken(rest, id.Finish);
    }
    return any;
  }
  const std::vector<TQueryItem> items = QueryItems(condition);
  if (items.empty()) return false;
  for (const TQueryItem& item : items) {
    const bool satisfied = std::any_of(item.Values.begin(), item.Values.end(), [&](const std::string& value) {
      return Contains(answers, QueryItemText(item.Name, value));
    });
    if (!satisfied) return false;
  }
  return true;
}
