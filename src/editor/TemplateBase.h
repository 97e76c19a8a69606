#pragma once
// The two tables that describe the templates: the template types of the settings
// ini section "TEMPLATE TYPES" and the catalogue of templates in "PartBase.txt",
// kept with the state the template browser and the main window's template buttons
// share in TTemplateBase.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"

class TIniFile;

struct TPartTypeRecord {
  int TypeNo = 0;
  std::string Text;
  std::string Folder;  // below the content folders, no trailing backslash
  int Level = 0;       // stacking key of layers of this type
  std::string Letters; // "F" face, "N" hand/nails, "B" body, "M" canvas-centred
};

struct TPartInfoRecord {
  int PartType = 0;
  int X = 0;  // by kind: offset from the reference point, or marker percentages
  int Y = 0;
  std::string FileName;  // type folder + "\" + file, relative to a content folder
  std::string Name;
  std::string Flags;  // upper-cased questionnaire attributes
};

// X of an entry that is a title in the grid and cannot be applied.
constexpr int kCaptionCellX = 999;

// The browser's kinds, from a type's letters.
enum TTemplateKind : int { tkFace = 0, tkHand = 1, tkBody = 2, tkModel = 3 };

// "TEMPLATE TYPES" values ("TypeNo;Folder;Text;Level;Letters;"), in order; values
// whose integers do not convert are dropped.
std::vector<TPartTypeRecord> ParseTemplateTypes(const std::vector<std::string>& nameValueLines);

// The record of a type number, nullptr when the type is not listed.
const TPartTypeRecord* FindTemplateType(int typeNo, const std::vector<TPartTypeRecord>& types);
// The browser's kind of a type: from its letters, the face kind when not listed.
TTemplateKind TemplateKindOf(int typeNo, const std::vector<TPartTypeRecord>& types);
TTemplateKind TemplateKindOfLetters(std::string_view letters);

// The warning of a "$PART_TYPE" line without a number (line numbers count from 1,
// blank and comment lines included).
std::string PartTypeWarning(int lineNumber);

// Parses the lines of PartBase.txt against `types`. `warn` receives each warning as
// it is met; the result is complete before anyone sees it.
using TWarningSink = std::function<void(const std::string&)>;
std::vector<TPartInfoRecord> ParsePartBase(const std::vector<std::string>& lines,
                                           const std::vector<TPartTypeRecord>& types, const TWarningSink& warn);
// The template base of a run: the types and the catalogue as last read, and the
// browsing state the template buttons, the browser and the layer save share. The
// program's run owns it and hands it to the main window (whose desk needs the
// types' letters before any browser is made), the browser and the save window.
struct TTemplateBase {
  std::vector<TPartTypeRecord> Types;
  std::vector<TPartInfoRecord> List;
  // The type of the last clicked template button, and the browser's grid for it.
  int CurrentType = 0;
  int GridColumns = 2;
  int GridRows = 4;

  // The "TEMPLATE TYPES" section of the settings ini.
  void LoadTypes(const TIniFile& ini);
  // Reads folder + "PartBase.txt" against Types and swaps the new list in, so the
  // old one stays whole while a warning is shown. A missing or unreadable file
  // fails as ReadTextLines does and keeps the old list.
  TFileResult<> LoadList(const std::filesystem::path& folder, const TWarningSink& warn);
  // Whether the file the list would be read from is another one, or changed, since
  // the list was read: a saved or downloaded template added its line.
  bool ListChanged(const std::filesystem::path& folder) const;

 private:
  struct TFileStamp {
    std::filesystem::path Path;
    std::uintmax_t Size = 0;
    std::filesystem::file_time_type Time{};
    bool operator==(const TFileStamp&) const = default;
  };
  static TFileStamp StampOf(const std::filesystem::path& file);
  TFileStamp listStamp_;
};
