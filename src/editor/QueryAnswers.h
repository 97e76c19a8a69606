#pragma once
// Answers of a questionnaire page and what they select: the answers string made
// from the page's checked controls, the check state a string gives back to a
// control, and the template filter over the query groups' answers.
#include <string>
#include <string_view>
#include <vector>

struct TPartInfoRecord;
struct TQueryGroupRecord;

// One checked radio button or check box of a page.
struct TCheckedControl {
  std::string Name;
  std::string Value;
};

// The item "?" + NAME + "=" + VALUE + ";" of one control, upper-cased; ";", "="
// and "?" are left out of name and value, so a page cannot break the string.
std::string AnswerItem(std::string_view name, std::string_view value);
// The answers string of the checked controls, in page order.
std::string AnswersOf(const std::vector<TCheckedControl>& checked);
// Whether the control (name, value) is checked by `answers`.
bool AnswerChecked(std::string_view answers, std::string_view name, std::string_view value);

// Whether a template fits the answers of the groups that apply to its type: each
// attribute item "?NAME=V1,V2;" of its flags that a group answers must have one
// of its values answered, and every name answered must be among its attributes.
bool TemplatePassesFilter(const TPartInfoRecord& entry, const std::vector<TQueryGroupRecord>& groups);
