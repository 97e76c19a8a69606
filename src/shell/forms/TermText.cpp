#include "shell/forms/TermText.h"

#include "shell/Termins.h"

QString DisplayText(const std::string& text) {
  return QString::fromStdString(text).replace("\r\n", "\n").replace('\r', '\n');
}

QString TermText(std::string_view key, std::string_view defaultText) {
  std::string text = GetTerm(key, ProgramTexts(), defaultText);
  // The table keeps each hint's sound after "@"; only a hint speaks it.
  if (!key.ends_with("Hint") && key != "ButtonInternet") text = WithoutSound(std::move(text));
  return DisplayText(text);
}
