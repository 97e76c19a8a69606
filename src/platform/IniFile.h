#pragma once
// Settings files with the Windows ini semantics the installation's files were
// written for: section and key names compared ignoring (ASCII) case, key order
// kept, values verbatim (";" and "," are plain characters), booleans "YES"/"NO".
// Writing keeps every line it did not change as it stood: comments, blank lines,
// lines the reader ignores and the spelling of untouched entries.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"

namespace fs = std::filesystem;

class TIniFile {
 public:
  // Reads `path` when it exists (CR LF or LF, a UTF-8 byte-order mark, or
  // Windows-1252 text); a missing file starts empty. With `autoSave`, every
  // change is written through at once, as the Windows calls did.
  explicit TIniFile(fs::path path, bool autoSave = true);
  // An ini over text in memory (no file).
  static TIniFile FromText(std::string_view text);

  const fs::path& FileName() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Decimal, or hexadecimal after "$" or "0x"; anything else gives the fallback.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // True when the upper-cased value is "YES"; a missing key gives the fallback.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // A change gives back its write through with `autoSave` (the whole file, so
  // the last change's result tells whether the file holds them all); done without.
  TFileResult<> WriteString(std::string_view section, std::string_view key, std::string_view value);
  TFileResult<> WriteInteger(std::string_view section, std::string_view key, int value);
  TFileResult<> WriteBool(std::string_view section, std::string_view key, bool value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  // The keys of a section, in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // "key=value" lines of a section, in file order.
  std::vector<std::string> ReadSectionValues(std::string_view section) const;
  TFileResult<> EraseSection(std::string_view section);
  TFileResult<> DeleteKey(std::string_view section, std::string_view key);

  // Writes the whole file atomically; on failure the old file is intact.
  TFileResult<> UpdateFile();
  // The file's text as UpdateFile writes it (CR LF line ends).
  std::string ToText() const;

 private:
  // Each entry and section carries the lines the reader passed over before it
  // (comments, blank lines, repeated keys) and, until it is written, its own line.
  struct Entry {
    std::string key;
    std::string value;
    std::vector<std::string> before;
    std::optional<std::string> line;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::vector<std::string> before;
    std::optional<std::string> header;
    std::vector<std::string> after;  // lines after the last entry
  };

  TIniFile() = default;
  void Parse(std::string_view text);
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  const Entry* FindEntry(std::string_view section, std::string_view key) const;
  TFileResult<> Changed();

  fs::path path_;
  bool autoSave_ = false;
  std::vector<Section> sections_;
  std::vector<std::string> tail_;  // lines of a file without sections
};
