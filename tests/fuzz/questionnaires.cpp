// The questionnaire files and their pages arrive with downloaded elements: any
// bytes must give records, pages and a form whose clicks stay in bounds, or the
// files' own exceptions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Questionnaires.h"
#include "shell/HtmlForm.h"

namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

void Form(const std::vector<std::string>& page) {
  std::string html;
  for (const std::string& line : page) html += line + "\n";
  THtmlForm form;
  form.Load(html);
  for (std::size_t i = 0; i < form.Controls().size() && i < 64; ++i) form.Click(i);
  (void)form.ControlOfLink(form.Render());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = Lines(text);
  std::vector<TQueryGroupRecord> groups;
  std::vector<TQuizRecord> quizzes;
  std::string group, quiz;
  try {
    ReadQueryGroups(lines, groups, group);
  } catch (const EErrorInQueryFile&) {
  }
  try {
    ReadQuizzes(lines, quizzes, quiz);
  } catch (const EErrorInQuizFile&) {
  }
  for (const TQueryGroupRecord& record : groups) try {
      Form(QueryGroupPage(lines, record.Id));
    } catch (const EErrorInQueryFile&) {
    }
  for (const TQuizRecord& record : quizzes) try {
      Form(QuizPage(lines, record.Id));
      std::vector<std::string> accepted;
      Form(QuizResultPage(lines, record.Id, text, accepted));
    } catch (const EErrorInQuizFile&) {
    } catch (const EErrorInQuizResFile&) {
    }
  Form(lines);
  std::vector<std::string> none;
  (void)QuizConditionHolds(text, text, none);
  return 0;
}
