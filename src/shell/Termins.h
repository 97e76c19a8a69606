#pragma once
// The UI-text table: every caption, hint and message of the program is looked up by
// key in "termins.txt", with a default given by the caller.
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileResult.h"
#include "platform/InUse.h"

struct TTermin {
  std::string Name;
  std::string Value;
};
using TTerminList = std::vector<TTermin>;

// The program's texts: the table of its text file, in file order (hint sounds
// kept), and whether that file was read.
struct TProgramTexts {
  TTerminList Terms;
  bool Loaded = false;
  // While in use, told every key GetTerm looks up in Terms: tests learn which
  // texts the windows ask for, keys built at run time included.
  std::function<void(std::string_view key)> Watch;
};

// The texts of "termins.txt" at `path`; none, not Loaded, when it cannot be read.
TProgramTexts LoadProgramTexts(const std::filesystem::path& path);

// The texts the windows and messages show: those a TUseTexts put in use (the
// program's run, or a test), else none. Only their owner changes them.
const TProgramTexts& TextsInUse();
// The table of TextsInUse().
const TTerminList& ProgramTexts();
// Puts texts in use while it lives.
using TUseTexts = TInUse<TProgramTexts>;

// Appends the records of the text file at `path` to `list`; returns true. A line is
// skipped when it is blank or its very first character is "#". Name = the text before
// the first "=" (untrimmed); Value = the rest up to its first ";" (untrimmed), with
// its first "\" made a carriage return; without `keepSound` a Value is cut before its
// first "@" (the sound file a hint names). A file that cannot be read fails as
// ReadTextLines does, and `list` is left as it was.
TFileResult<> LoadTerms(const std::filesystem::path& path, TTerminList& list, bool keepSound);
// One line of the file as a record (the line must not be a skipped one).
TTermin ParseTermLine(std::string_view line, bool keepSound);

// A text of the table without the sound a hint names after its first "@"; the
// program's table keeps the sounds, and only hints speak them.
std::string WithoutSound(std::string text);

// The value of the first record whose Name equals `name` exactly (case-sensitive),
// else `defaultText`. A look-up in the texts in use is told to their Watch.
std::string GetTerm(std::string_view name, const TTerminList& list, std::string_view defaultText);
// Whether the list has a record named `name` (not a look-up: no Watch is told).
bool HasTerm(std::string_view name, const TTerminList& list);

// English texts by key, for a table that lacks them: the text of `key`, or "".
using TDefaultTexts = std::span<const std::pair<std::string_view, std::string_view>>;
std::string_view DefaultTextOf(TDefaultTexts texts, std::string_view key);
