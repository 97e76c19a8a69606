#include "shell/Termins.h"

#include "platform/Text.h"
#include "platform/TextFile.h"

const TProgramTexts& TextsInUse() {
  static const TProgramTexts kNone;
  const TProgramTexts* texts = TUseTexts::Current();
  return texts ? *texts : kNone;
}

const TTerminList& ProgramTexts() { return TextsInUse().Terms; }

TProgramTexts LoadProgramTexts(const std::filesystem::path& path) {
  TProgramTexts texts;
  // The sounds after "@" stay: the sound hint speaks them.
  texts.Loaded = LoadTerms(path, texts.Terms, true).Ok();
  return texts;
}

TTermin ParseTermLine(std::string_view line, bool keepSound) {
  TTermin termin;
  std::string_view rest = line;
  if (const auto equals = line.find('='); equals != std::string_view::npos) {
    termin.Name = std::string(line.substr(0, equals));
    rest = line.substr(equals + 1);
  }
  if (const auto comment = rest.find(';'); comment != std::string_view::npos) rest = rest.substr(0, comment);
  termin.Value = std::string(rest);
  if (const auto slash = termin.Value.find('\\'); slash != std::string::npos) termin.Value[slash] = '\r';
  if (!keepSound) {
    if (const auto at = termin.Value.find('@'); at != std::string::npos) termin.Value.resize(at);
  }
  return termin;
}

TFileResult<> LoadTerms(const std::filesystem::path& path, TTerminList& list, bool keepSound) {
  const TFileResult<std::vector<std::string>> lines = ReadTextLines(path);
  if (!lines) return lines.Error();
  for (const std::string& line : *lines) {
    if (Trim(line).empty() || line.front() == '#') continue;
    list.push_back(ParseTermLine(line, keepSound));
  }
  return {};
}

std::string GetTerm(std::string_view name, const TTerminList& list, std::string_view defaultText) {
  if (const TProgramTexts* texts = TUseTexts::Current(); texts && texts->Watch && &texts->Terms == &list)
    texts->Watch(name);
  for (const TTermin& termin : list)
    if (termin.Name == name) return termin.Value;
  return std::string(defaultText);
}

bool HasTerm(std::string_view name, const TTerminList& list) {
  for (const TTermin& termin : list)
    if (termin.Name == name) return true;
  return false;
}

std::string_view DefaultTextOf(TDefaultTexts texts, std::string_view key) {
  for (const auto& [name, text] : texts)
    if (name == key) return text;
  return {};
}

std::string WithoutSound(std::string text) {
  if (const auto at = text.find('@'); at != std::string::npos) text.resize(at);
  return text;
}
