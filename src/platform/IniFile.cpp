#include "platform/IniFile.h"

#include <algorithm>
#include <utility>

#include "platform/FileIO.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

TIniFile::TIniFile(fs::path path, bool autoSave) : path_(std::move(path)), autoSave_(autoSave) {
  if (auto bytes = ReadFileBytes(path_, 64u << 20)) Parse(DecodeText(*bytes));
}

TIniFile TIniFile::FromText(std::string_view text) {
  TIniFile ini;
  ini.Parse(text);
  return ini;
}

void TIniFile::Parse(std::string_view text) {
  Section* current = nullptr;
  std::vector<std::string> passed;  // lines kept for the next entry or section
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') {
      passed.push_back(raw);
      continue;
    }
    if (line[0] == '[') {
      std::size_t close = line.find(']');
      std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      if (Section* first = FindSection(name)) {
        // A repeated header adds its keys to the first section, where they are
        // written; the lines passed over so far stay with the section they were in.
        if (current) current->after.insert(current->after.end(), passed.begin(), passed.end());
        passed.clear();
        current = first;
        continue;
      }
      sections_.push_back({name, {}, std::exchange(passed, {}), raw, {}});
      current = &sections_.back();
      continue;
    }
    std::size_t eq = line.find('=');
    std::string key = Trim(line.substr(0, eq));
    std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
    // Windows ignores lines before the first section; the first occurrence of a
    // key wins, as GetPrivateProfileString reads it.
    bool known = current && std::any_of(current->entries.begin(), current->entries.end(),
                                        [&](const Entry& e) { return EqualsNoCase(e.key, key); });
    if (!current || known || key.empty()) {
      passed.push_back(raw);
      continue;
    }
    current->entries.push_back({key, value, std::exchange(passed, {}), raw});
  }
  if (current)
    current->after.insert(current->after.end(), passed.begin(), passed.end());
  else
    tail_ = std::move(passed);
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
  for (const Section& s : sections_)
    if (EqualsNoCase(s.name, name)) return &s;
  return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const TIniFile::Entry* TIniFile::FindEntry(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const Entry& e : s->entries)
    if (EqualsNoCase(e.key, key)) return &e;
  return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  const Entry* e = FindEntry(section, key);
  return e ? e->value : std::string(fallback);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const Entry* e = FindEntry(section, key);
  return e ? ParseIntDef(e->value, fallback) : fallback;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  const Entry* e = FindEntry(section, key);
  return e ? UpperAscii(e->value) == "YES" : fallback;
}

TFileResult<> TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // Line breaks would split the entry into lines of their own.
  std::string clean;
  for (char c : value)
    if (c != '\r' && c != '\n') clean += c;
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back({std::string(section), {}, {}, std::nullopt, {}});
    s = &sections_.back();
  }
  auto it = std::find_if(s->entries.begin(), s->entries.end(),
                         [&](const Entry& e) { return EqualsNoCase(e.key, key); });
  if (it != s->entries.end()) {
    it->value = clean;
    it->line.reset();
  } else {
    s->entries.push_back({std::string(key), clean, {}, std::nullopt});
  }
  return Changed();
}

TFileResult<> TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

TFileResult<> TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "YES" : "NO");
}

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindEntry(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries) keys.push_back(e.key);
  return keys;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
  std::vector<std::string> lines;
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries) lines.push_back(e.key + "=" + e.value);
  return lines;
}

TFileResult<> TIniFile::EraseSection(std::string_view section) {
  auto it = std::find_if(sections_.begin(), sections_.end(),
                         [&](const Section& s) { return EqualsNoCase(s.name, section); });
  if (it == sections_.end()) return {};
  // The lines above the header (the comments of the section before, blank lines)
  // are not the erased section's: they stay where they were.
  std::vector<std::string>& keep = it == sections_.begin() ? tail_ : std::prev(it)->after;
  keep.insert(keep.end(), it->before.begin(), it->before.end());
  sections_.erase(it);
  return Changed();
}

TFileResult<> TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = FindSection(section);
  if (!s) return {};
  auto it = std::find_if(s->entries.begin(), s->entries.end(),
                         [&](const Entry& e) { return EqualsNoCase(e.key, key); });
  if (it == s->entries.end()) return {};
  // The lines above the key (a comment on the next one, a blank line) stay.
  std::vector<std::string>& keep = std::next(it) != s->entries.end() ? std::next(it)->before : s->after;
  keep.insert(keep.begin(), it->before.begin(), it->before.end());
  s->entries.erase(it);
  return Changed();
}

std::string TIniFile::ToText() const {
  std::string text;
  auto put = [&text](const std::string& line) { text += line + "\r\n"; };
  for (const std::string& line : tail_) put(line);
  for (const Section& s : sections_) {
    // A section the program added is set apart from the one before it.
    if (!s.header && !text.empty() && !text.ends_with("\r\n\r\n")) text += "\r\n";
    for (const std::string& line : s.before) put(line);
    put(s.header.value_or("[" + s.name + "]"));
    for (const Entry& e : s.entries) {
      for (const std::string& line : e.before) put(line);
      put(e.line.value_or(e.key + "=" + e.value));
    }
    for (const std::string& line : s.after) put(line);
  }
  return text;
}

TFileResult<> TIniFile::UpdateFile() {
  if (path_.empty()) return FileError(TFileFault::CannotWrite, path_);
  return WriteFileAtomic(path_, ToText());
}

TFileResult<> TIniFile::Changed() {
  if (!autoSave_) return {};
  return UpdateFile();
}
