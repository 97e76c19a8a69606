#include "shell/forms/TermText.h"

#include "shell/Termins.h"

QString DisplayText(const std::string& text) {
  return QString::fromStdString(text).replace("\r\n", "\n").replace('\r', '\n');
}

QString TermText(std::string_view key, std::string_view defaultText) {
  return DisplayText(GetTerm(key, Termins, defaultText));
}
