#pragma once
// A publisher's index of elements ("server" + LangExt) and what of it is new
// here: the index sections, the element records, the comparison with what is
// installed (the template and model lists, the settings ini) and the merging of
// the publishers and model types that the index names. Everything in the index
// comes from outside: every name that becomes a path is checked, every number
// parsed with its range.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIniFile;
namespace fs = std::filesystem;

// The settings the element download reads when its window is created.
struct TDownloadType {
  int TypeNo = 0;
  std::string Folder;  // lower-cased, with "\" at the end
  std::string Text;
};

// Lines of "TEMPLATE TYPES" the download reads, in file order.
inline constexpr std::size_t kMaxDownloadTypes = 31;

struct TDownloadSettings {
  std::string LangExt = ".eng";
  std::string PartBase = "PartBase.txt";  // relative to the installation folder
  std::string Models = "Models.txt";
  std::string ServersPath = "Servers\\";
  std::string ServersOnServer = "servers.txt";
  std::string CGIServer;
  std::string InterfacesDir = "INTFACES\\";  // each with "\" at the end
  std::string MessagesDir = "MESSAGES\\";
  std::string QueriesDir = "QUERIES\\";
  std::vector<TDownloadType> Types;  // "TEMPLATE TYPES" in file order, its first lines

  // The type of `typeNo` when it has a folder, else nullptr.
  const TDownloadType* KnownType(int typeNo) const;
};
TDownloadSettings ReadDownloadSettings(const TIniFile& ini);
// A "key=value" line of a section read whole: the value, trimmed.
std::string IniLineValue(std::string_view line);

// An index is a list of lines, not an element: a longer one is refused.
inline constexpr std::int64_t kMaxIndexBytes = std::int64_t(8) << 20;

// The sections of an index that the analysis reads, each as ReadIndexSection
// gives it; a missing section is absent.
struct TIndexSections {
  std::map<std::string, std::vector<std::string>, std::less<>> Found;
  // The items of `name`, empty when the index has no such section.
  const std::vector<std::string>& Items(std::string_view name) const;
};
// The sections of an index read whole.
TIndexSections IndexSections(const std::vector<std::string>& lines);

// Reads an index as it arrives, part by part, keeping only the lines of the
// sections the analysis reads: the rest of the text is never held. The text is
// decoded as a whole file is (UTF-8, else Windows-1252).
class TIndexReader {
 public:
  void Add(std::string_view bytes);
  // One line already decoded, without its line end.
  void AddLine(std::string line);
  // Ends the text; the reader is empty again.
  TIndexSections Finish();

 private:
  void EndLine();
  void Take(std::string line, bool raw);
  std::string line_;  // the line not yet ended
  bool afterCr_ = false;
  bool firstLine_ = true;
  bool utf8_ = true;
  std::string section_;  // the section being read; empty outside one
  TIndexSections sections_;
};

// The items of section `name` of an index: the lines after the line "<" + name +
// ">" that are longer than one character, up to the next line starting with "<".
// nullopt when the section is missing. An empty name reads the whole text with
// the same item rule. Lines are trimmed of their line ends (CR LF or LF).
std::optional<std::vector<std::string>> ReadIndexSection(const std::vector<std::string>& lines, std::string_view name);
std::optional<std::vector<std::string>> ReadIndexSection(const fs::path& file, std::string_view name);

// One element of a template list or of a model (an index line, or a line of the
// local template list): up to eight ";" fields.
struct TElementRecord {
  std::string Line;
  std::vector<std::string> Fields;  // always eight, missing ones empty
  int TypeNo = 0;
  std::int64_t Size = 0;  // field 8; empty, negative or not a number counts as 0

  const std::string& Field(int index) const { return Fields[index - 1]; }
  // Field 4 without folder and extension: what identifies the element.
  std::string Key() const;
};
// nullopt unless fields 1, 2, 3 and 5 are present and field 1 is a type number.
std::optional<TElementRecord> ParseElementRecord(std::string_view line);
// The file name part of field 4 without its extension.
std::string ElementKeyOf(std::string_view fileField);

// The lines of `index` whose element key occurs in no line of `local` (keys
// compared ignoring letter case; lines that do not parse have no key).
std::vector<std::string> NewElements(const std::vector<std::string>& index, const std::vector<std::string>& local);

// A model header "[f1;f2;f3;f4;f5]": nullopt when it has fewer than five fields
// or its first field begins with "#".
std::optional<std::vector<std::string>> ParseModelHeader(std::string_view line);

// A model the index offers: its header and the part lines still missing, each
// ended by "1;" when its picture must be fetched or "0;" when it is here.
struct TNewModel {
  std::string Header;
  std::vector<std::string> Parts;
  std::string Type;     // header field 5
  std::string Caption;  // header field 4
  std::string Folder;   // header field 3
  std::int64_t Size = 0;  // the sizes of the parts to fetch
};

// An interface item: one folder of an interface, in `PartCount` archive parts.
struct TInterfaceItem {
  std::string InterfaceName;    // the header's first field
  std::string InterfaceFolder;  // the header's second field (a safe relative path)
  std::string ItemFolder;       // a safe relative path
  int PartCount = 0;
  std::vector<std::optional<std::int64_t>> PartSizes;  // nullopt: not checked
  std::int64_t Size = 0;
  std::string Line;
  // Relative to the installation folder: interfaces folder + interface folder + "\" + item folder.
  std::string ElementFolder(const TDownloadSettings& settings) const;
  // Where the parts wait: the element folder + "\Arh".
  std::string PartsFolder(const TDownloadSettings& settings) const;
};
// At most this many parts an item: an index cannot ask for an endless list.
inline constexpr int kMaxArchiveParts = 999;

// The interface groups of the "interfaces" section: header "[" name ";" folder
// "]" and item lines "item folder;part count;size 0;size 1;...". Groups without
// both names, unsafe names and bad items are dropped.
std::vector<TInterfaceItem> ParseInterfaceItems(const std::vector<std::string>& section);

// A publisher message of the "messages" section: folder;subject;size.
struct TMessageRecord {
  std::string Folder;  // a safe relative path
  std::string Subject;
  std::int64_t Size = 0;
};
std::optional<TMessageRecord> ParseMessageRecord(std::string_view line);

// A questionnaire set: release date (day.month.year);name;caption;size.
struct TQuerySet {
  std::string Date, Name, Caption;
  std::int64_t Size = 0;
  // The value "QUERIES" "Query" takes once it is installed.
  std::string IniValue() const { return Date + ";" + Name + ";" + Caption + ";"; }
};
std::optional<TQuerySet> ParseQuerySet(std::string_view line);
// The server's set when it is new against the installed value: valid, and the
// installed one is not, or was released earlier. A date that does not read counts
// as `today` (year * 10000 + month * 100 + day).
std::optional<TQuerySet> NewQuerySet(std::string_view serverLine, std::string_view installedValue, int today);
int TodayAsNumber();

// Appends the publishers of the index unknown here (by caption, else by URL) to
// "Publishers", each with its local folder below `serversPath`; the section is
// written back. Returns how many were added.
int MergePublishers(TIniFile& ini, const std::vector<std::string>& indexPublishers, std::string_view serversPath);
// Appends the model types of the index whose first field no "MODEL TYPES" value
// has and is one plain name. Returns how many were added.
int MergeModelTypes(TIniFile& ini, const std::vector<std::string>& indexModelTypes);

// What a publisher's index offers that is not installed.
struct TNewElements {
  std::vector<TElementRecord> Templates;  // known types only, index order
  std::vector<TNewModel> Models;
  std::vector<TMessageRecord> Messages;
  std::optional<TQuerySet> QuerySet;
  std::vector<TInterfaceItem> Interfaces;
  // Names of folders or files the index offers that would leave their folder:
  // their elements are not offered, and the window says so.
  std::vector<std::string> Refused;
  bool Any() const {
    return !Templates.empty() || !Models.empty() || !Messages.empty() || QuerySet || !Interfaces.empty();
  }
};

std::vector<std::string> RefusedIndexNames(const TIndexSections& index);

// Compares the index with the installation below `exePath` and the settings
// `ini` (whose publishers and model types it merges first).
TNewElements AnalyzeIndex(const TIndexSections& index, TIniFile& ini, const TDownloadSettings& settings,
                          const fs::path& exePath);
TNewElements AnalyzeIndex(const std::vector<std::string>& indexLines, TIniFile& ini,
                          const TDownloadSettings& settings, const fs::path& exePath);
