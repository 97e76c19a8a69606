#include "editor/QueryAnswers.h"

#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "platform/Text.h"
#include "shell/Tokens.h"

namespace {

std::string Cleaned(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ';' && c != '=' && c != '?') out += c;
  return UpperAscii(out);
}

// Whether the blank separated type list names `type`.
bool ListsType(std::string_view typeList, int type) {
  const std::string wanted = std::to_string(type);
  std::string rest(typeList);
  for (TToken token = GetToken(rest); !token.Text.empty(); token = GetToken(rest)) {
    if (token.Text == wanted) return true;
    DeleteToken(rest, token.Finish);
  }
  return false;
}

bool AnyContains(const std::vector<const TQueryGroupRecord*>& groups, const std::string& needle) {
  for (const TQueryGroupRecord* group : groups)
    if (Contains(group->Answers, needle)) return true;
  return false;
}

}  // namespace

std::string AnswerItem(std::string_view name, std::string_view value) {
  return QueryItemText(Cleaned(name), Cleaned(value));
}

std::string AnswersOf(const std::vector<TCheckedControl>& checked) {
  std::string answers;
  for (const TCheckedControl& control : checked) answers += AnswerItem(control.Name, control.Value);
  return answers;
}

bool AnswerChecked(std::string_view answers, std::string_view name, std::string_view value) {
  return Contains(answers, AnswerItem(name, value));
}

bool TemplatePassesFilter(const TPartInfoRecord& entry, const std::vector<TQueryGroupRecord>& groups) {
  std::vector<const TQueryGroupRecord*> applicable;
  for (const TQueryGroupRecord& group : groups)
    if (ListsType(group.GroupTypes, entry.PartType)) applicable.push_back(&group);
  if (applicable.empty()) return true;
  // Every attribute a group answers must have one of its values answered.
  for (const TQueryItem& item : QueryItems(entry.Flags)) {
    if (!AnyContains(applicable, QueryItemPrefix(item.Name))) continue;
    bool satisfied = false;
    for (const std::string& value : item.Values)
      if (AnyContains(applicable, QueryItemText(item.Name, value))) satisfied = true;
    if (!satisfied) return false;
  }
  // And every name answered must be one of the template's attributes ("?NAME=",
  // so an answered "LENGTH" is not taken for an attribute "LENGTHY").
  for (const TQueryGroupRecord* group : applicable) {
    if (group->Answers == kUnreadAnswers) continue;
    for (const TQueryItem& answered : QueryItems(group->Answers))
      if (!Contains(entry.Flags, QueryItemPrefix(answered.Name))) return false;
  }
  return true;
}
