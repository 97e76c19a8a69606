#pragma once
// UI texts of the text table as the windows show them.
#include <QString>
#include <string>
#include <string_view>

// A UI text for display: the table's carriage returns become line breaks.
QString DisplayText(const std::string& text);
// The text table's text for `key` (the texts in use), `defaultText` when it has none. A
// hint ("...Hint") keeps its sound after "@" for the sound hint; any other text
// is cut before it.
QString TermText(std::string_view key, std::string_view defaultText = {});
