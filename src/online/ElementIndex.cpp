#include "online/ElementIndex.h"

#include <algorithm>
#include <ctime>
#include <set>

#include "online/OnlineServers.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

std::string IniLineValue(std::string_view line) {
  const std::size_t eq = line.find('=');
  return Trim(eq == std::string_view::npos ? line : line.substr(eq + 1));
}

namespace {

// The first ";" field of a "DIRECTORIES" value, with "\" at the end.
std::string DirectoryName(const TIniFile& ini, const char* key, const char* fallback) {
  std::string name = Trim(Field(ini.ReadString("DIRECTORIES", key, fallback), 1));
  if (name.empty()) name = fallback;
  return WithTrailingBackslash(name);
}

// A list file named without extension means the ".txt" file of that name.
std::string ListFileName(const TIniFile& ini, const char* key, const char* fallback) {
  std::string name = Trim(ini.ReadString("Files", key, fallback));
  if (name.empty()) name = fallback;
  if (ExtractFileExt(name).empty()) name += ".txt";
  return name;
}

std::int64_t SizeField(std::string_view text) {
  const std::optional<std::int64_t> size = ParseInt64(Trim(text));
  return size && *size > 0 ? *size : 0;
}

// Lines of a local list file; a missing file is an empty list.
std::vector<std::string> ReadListLines(const fs::path& exePath, const std::string& name) {
  TFileResult<std::vector<std::string>> lines = ReadTextLines(ProgramFileForReading(exePath, name));
  return lines ? std::move(*lines) : std::vector<std::string>{};
}

bool KnownTemplate(const TDownloadSettings& settings, const std::optional<TElementRecord>& record) {
  return record && settings.KnownType(record->TypeNo) != nullptr;
}

// Two model part lines name the same picture: fields 1 to 3 equal (the offsets
// as the model list holds them, integers) and the same element key.
bool SamePart(const TElementRecord& server, const TElementRecord& local) {
  auto offset = [](const std::string& text) { return ParseInt(text).value_or(0); };
  return server.Field(1) == local.Field(1) && offset(server.Field(2)) == offset(local.Field(2)) &&
         offset(server.Field(3)) == offset(local.Field(3)) && EqualsNoCase(server.Key(), local.Key());
}

// A group of the "models" section (or of the model list file): a header line
// and its part lines up to the next header.
struct TModelGroup {
  std::string Header;
  std::vector<std::string> Header5;
  std::vector<std::string> Parts;
};

std::vector<TModelGroup> ModelGroups(const std::vector<std::string>& lines) {
  std::vector<TModelGroup> groups;
  bool inGroup = false;
  for (const std::string& raw : lines) {
    const std::string line = Trim(raw);
    if (!line.empty() && line[0] == '[') {
      auto header = ParseModelHeader(line);
      inGroup = header.has_value();
      if (inGroup) groups.push_back({line, *header, {}});
      continue;
    }
    if (inGroup && line.size() > 1 && line[0] != '#') groups.back().Parts.push_back(line);
  }
  return groups;
}

}  // namespace

const TDownloadType* TDownloadSettings::KnownType(int typeNo) const {
  for (const TDownloadType& type : Types)
    if (type.TypeNo == typeNo && !type.Folder.empty()) return &type;
  return nullptr;
}

TDownloadSettings ReadDownloadSettings(const TIniFile& ini) {
  TDownloadSettings settings;
  settings.LangExt = ini.ReadString("Language", "LangExt", ".eng");
  settings.PartBase = ListFileName(ini, "PartBase", "PartBase");
  settings.Models = ListFileName(ini, "Models", "Models");
  settings.ServersPath = ini.ReadString("Files", "ServersPath", "Servers\\");
  settings.ServersOnServer = ini.ReadString("Files", "ServersOnServer", "servers.txt");
  settings.CGIServer = ini.ReadString("Servers", "CGIServer", DefaultCGIServer());
  settings.InterfacesDir = DirectoryName(ini, "InterfaceDirName", "INTFACES");
  settings.MessagesDir = DirectoryName(ini, "MessagesDirName", "MESSAGES");
  settings.QueriesDir = DirectoryName(ini, "QueriesDirName", "QUERIES");
  // The download's type table has room for a fixed number of lines; the lines
  // past it name no type here, whatever they hold.
  const std::vector<std::string> lines = ini.ReadSectionValues("TEMPLATE TYPES");
  for (std::size_t i = 0; i < std::min(lines.size(), kMaxDownloadTypes); ++i) {
    const std::string value = IniLineValue(lines[i]);
    const std::optional<int> typeNo = ParseInt(Trim(Field(value, 1)));
    if (!typeNo) continue;
    TDownloadType type{*typeNo, {}, Trim(Field(value, 3))};
    // A folder that would leave the program's folder is no folder.
    if (auto folder = SafeRelativePath(Trim(Field(value, 2)))) type.Folder = LowerAscii(*folder) + "\\";
    settings.Types.push_back(std::move(type));
  }
  return settings;
}

namespace {
// The sections the analysis reads.
constexpr std::string_view kReadSections[] = {"partbase", "models",    "query",      "interfaces",
                                              "messages", "Publishers", "model types"};
bool IsReadSection(std::string_view name) {
  return std::find(std::begin(kReadSections), std::end(kReadSections), name) != std::end(kReadSections);
}
}  // namespace

const std::vector<std::string>& TIndexSections::Items(std::string_view name) const {
  static const std::vector<std::string> kNone;
  const auto found = Found.find(name);
  return found == Found.end() ? kNone : found->second;
}

void TIndexReader::Add(std::string_view bytes) {
  while (!bytes.empty()) {
    if (afterCr_) {
      afterCr_ = false;
      if (bytes.front() == '\n') {
        bytes.remove_prefix(1);
        continue;
      }
    }
    const std::size_t end = bytes.find_first_of("\r\n");
    line_.append(bytes.substr(0, end));
    if (end == std::string_view::npos) return;
    afterCr_ = bytes[end] == '\r';
    EndLine();
    bytes.remove_prefix(end + 1);
  }
}

void TIndexReader::EndLine() {
  if (firstLine_ && line_.starts_with("\xEF\xBB\xBF")) line_.erase(0, 3);
  firstLine_ = false;
  if (utf8_ && !IsValidUtf8(line_)) utf8_ = false;
  Take(std::move(line_), true);
  line_.clear();
}

void TIndexReader::AddLine(std::string line) { Take(std::move(line), false); }

// As ReadIndexSection reads each section, all at once: a section opens at the
// first line that is exactly its name in "<" ">" and ends at the next line
// starting with "<".
void TIndexReader::Take(std::string line, bool raw) {
  if (!line.empty() && line[0] == '<') {
    section_.clear();
    if (line.size() > 2 && line.back() == '>') {
      const std::string_view name = std::string_view(line).substr(1, line.size() - 2);
      if (IsReadSection(name) && !sections_.Found.count(name)) {
        section_ = name;
        sections_.Found[section_];
      }
    }
    return;
  }
  // One byte that is not ASCII decodes (as Windows-1252) to two.
  const bool item = line.size() > 1 || (raw && line.size() == 1 && static_cast<unsigned char>(line[0]) >= 0x80);
  if (!section_.empty() && item) sections_.Found[section_].push_back(std::move(line));
}

TIndexSections TIndexReader::Finish() {
  if (!line_.empty()) EndLine();
  TIndexSections sections = std::move(sections_);
  if (!utf8_)
    for (auto& [name, items] : sections.Found)
      for (std::string& item : items) item = Windows1252ToUtf8(item);
  *this = TIndexReader();
  return sections;
}

TIndexSections IndexSections(const std::vector<std::string>& lines) {
  TIndexReader reader;
  for (const std::string& line : lines) reader.AddLine(line);
  return reader.Finish();
}

std::optional<std::vector<std::string>> ReadIndexSection(const std::vector<std::string>& lines, std::string_view name) {
  std::vector<std::string> items;
  bool inside = name.empty();
  bool found = inside;
  const std::string opener = "<" + std::string(name) + ">";
  for (std::string line : lines) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!inside) {
      if (line == opener) inside = found = true;
      continue;
    }
    if (!line.empty() && line[0] == '<') {
      if (!name.empty()) break;
      continue;
    }
    if (line.size() > 1) items.push_back(line);
  }
  if (!found) return std::nullopt;
  return items;
}

std::optional<std::vector<std::string>> ReadIndexSection(const fs::path& file, std::string_view name) {
  const TFileResult<std::vector<std::string>> lines = ReadTextLines(file);
  if (!lines) return std::nullopt;
  return ReadIndexSection(*lines, name);
}

std::string ElementKeyOf(std::string_view fileField) {
  return ChangeFileExt(ExtractFileName(Trim(fileField)), "");
}

std::string TElementRecord::Key() const { return ElementKeyOf(Field(4)); }

std::optional<TElementRecord> ParseElementRecord(std::string_view line) {
  TElementRecord record;
  record.Line = std::string(line);
  record.Fields = SplitFields(line, ';');
  record.Fields.resize(8);
  for (std::string& field : record.Fields) field = Trim(field);
  if (record.Field(1).empty() || record.Field(2).empty() || record.Field(3).empty() || record.Field(5).empty())
    return std::nullopt;
  const std::optional<int> typeNo = ParseInt(record.Field(1));
  if (!typeNo) return std::nullopt;
  record.TypeNo = *typeNo;
  record.Size = SizeField(record.Field(8));
  return record;
}

std::vector<std::string> NewElements(const std::vector<std::string>& index, const std::vector<std::string>& local) {
  std::set<std::string> installed;
  for (const std::string& line : local)
    if (auto record = ParseElementRecord(line)) installed.insert(LowerAscii(record->Key()));
  std::vector<std::string> fresh;
  for (const std::string& line : index) {
    auto record = ParseElementRecord(line);
    if (!record || !installed.count(LowerAscii(record->Key()))) fresh.push_back(line);
  }
  return fresh;
}

std::optional<std::vector<std::string>> ParseModelHeader(std::string_view line) {
  const std::string text = Trim(line);
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return std::nullopt;
  std::vector<std::string> fields = SplitFields(text.substr(1, text.size() - 2) + ";", ';');
  if (fields.size() < 6) return std::nullopt;
  fields.resize(5);
  for (std::string& field : fields) field = Trim(field);
  if (!fields[0].empty() && fields[0][0] == '#') return std::nullopt;
  return fields;
}

std::string TInterfaceItem::ElementFolder(const TDownloadSettings& settings) const {
  return settings.InterfacesDir + InterfaceFolder + "\\" + ItemFolder;
}

std::string TInterfaceItem::PartsFolder(const TDownloadSettings& settings) const {
  return ElementFolder(settings) + "\\Arh";
}

std::vector<TInterfaceItem> ParseInterfaceItems(const std::vector<std::string>& section) {
  std::vector<TInterfaceItem> items;
  std::optional<std::pair<std::string, std::string>> group;
  for (const std::string& raw : section) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      group.reset();
      if (line.size() < 5 || line.back() != ']') continue;
      const std::string inner = line.substr(1, line.size() - 2);
      const std::string name = Trim(Field(inner, 1));
      const auto folder = SafeRelativePath(Trim(Field(inner, 2)));
      if (!name.empty() && folder) group.emplace(name, *folder);
      continue;
    }
    if (!group) continue;
    const std::vector<std::string> fields = SplitFields(line, ';');
    const auto folder = SafeRelativePath(Trim(fields[0]));
    const std::optional<int> count = fields.size() > 1 ? ParseInt(Trim(fields[1])) : std::nullopt;
    if (!folder || !count || *count < 1 || *count > kMaxArchiveParts) continue;
    TInterfaceItem item{group->first, group->second, *folder, *count, {}, 0, line};
    bool sizesOk = true;
    for (int i = 0; i < *count; ++i) {
      const std::string text = 2 + i < static_cast<int>(fields.size()) ? Trim(fields[2 + i]) : std::string();
      if (text.empty()) {
        item.PartSizes.push_back(std::nullopt);
        continue;
      }
      const std::optional<std::int64_t> size = ParseInt64(text);
      if (!size || *size < 0) sizesOk = false;
      item.PartSizes.push_back(size.value_or(0));
      item.Size += size.value_or(0);
    }
    if (sizesOk) items.push_back(std::move(item));
  }
  return items;
}

std::optional<TMessageRecord> ParseMessageRecord(std::string_view line) {
  const auto folder = SafeRelativePath(Trim(Field(line, 1)));
  const std::string subject = Trim(Field(line, 2));
  if (!folder || subject.empty()) return std::nullopt;
  return TMessageRecord{*folder, subject, SizeField(Field(line, 3))};
}

std::optional<TQuerySet> ParseQuerySet(std::string_view line) {
  TQuerySet set{Trim(Field(line, 1)), Trim(Field(line, 2)), Trim(Field(line, 3)), SizeField(Field(line, 4))};
  // The name is the archive's file on the server and here.
  if (set.Date.empty() || !SafeRelativePath(set.Name) || set.Caption.empty()) return std::nullopt;
  return set;
}

int TodayAsNumber() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

namespace {
int DateNumber(std::string_view text, int today) {
  const std::vector<std::string> parts = SplitFields(text, '.');
  if (parts.size() != 3) return today;
  const auto day = ParseInt(Trim(parts[0])), month = ParseInt(Trim(parts[1])), year = ParseInt(Trim(parts[2]));
  if (!day || !month || !year || *day < 1 || *day > 31 || *month < 1 || *month > 12 || *year < 1 || *year > 9999)
    return today;
  return *year * 10000 + *month * 100 + *day;
}
}  // namespace

std::optional<TQuerySet> NewQuerySet(std::string_view serverLine, std::string_view installedValue, int today) {
  std::optional<TQuerySet> server = ParseQuerySet(serverLine);
  if (!server) return std::nullopt;
  const std::optional<TQuerySet> installed = ParseQuerySet(installedValue);
  if (!installed || DateNumber(installed->Date, today) < DateNumber(server->Date, today)) return server;
  return std::nullopt;
}

int MergePublishers(TIniFile& ini, const std::vector<std::string>& indexPublishers, std::string_view serversPath) {
  std::vector<std::pair<std::string, std::string>> entries;
  std::vector<TPublisher> known;
  for (const std::string& key : ini.ReadSection("Publishers")) {
    const std::string value = ini.ReadString("Publishers", key, "");
    entries.emplace_back(key, value);
    TPublisher publisher;
    if (ParsePublisherRecord(value, publisher)) known.push_back(publisher);
  }
  int added = 0;
  for (const std::string& line : indexPublishers) {
    TPublisher offered;
    if (!ParsePublisherRecord(Trim(line), offered)) continue;
    const auto folder = SafeRelativePath(offered.Folder);
    if (!folder) continue;
    const bool isKnown = std::any_of(known.begin(), known.end(), [&](const TPublisher& p) {
      return p.Caption == offered.Caption || p.Url == offered.Url;
    });
    if (isKnown) continue;
    offered.Folder = std::string(serversPath) + *folder;
    known.push_back(offered);
    entries.emplace_back("Server" + std::to_string(entries.size() + 1),
                         offered.Url + ";" + offered.Caption + ";" + offered.Folder + ";");
    ++added;
  }
  if (added) {
    ini.EraseSection("Publishers");
    for (const auto& [key, value] : entries) ini.WriteString("Publishers", key, value);
  }
  return added;
}

namespace {
// A name the index gives for a folder or file here that would leave its folder.
bool Hostile(std::string_view name) {
  const std::string trimmed = Trim(name);
  return !trimmed.empty() && !SafeRelativePath(trimmed);
}
}  // namespace

std::vector<std::string> RefusedIndexNames(const TIndexSections& index) {
  std::vector<std::string> refused;
  auto check = [&](std::string_view name) {
    if (Hostile(name)) refused.push_back(Trim(name));
  };
  auto section = [&](std::string_view name) -> const std::vector<std::string>& { return index.Items(name); };
  for (const std::string& line : section("partbase")) check(Field(line, 4));
  for (const TModelGroup& group : ModelGroups(section("models"))) {
    if (group.Header5.size() > 2) check(group.Header5[2]);
    for (const std::string& part : group.Parts) check(Field(part, 4));
  }
  for (const std::string& line : section("model types")) {
    const std::string key = Trim(Field(line, 1));
    if (!key.empty() && (Hostile(key) || key.find_first_of("\\/") != std::string::npos)) refused.push_back(key);
  }
  for (const std::string& line : section("Publishers")) check(Field(line, 3));
  for (const std::string& line : section("messages")) check(Field(line, 1));
  for (const std::string& line : section("query")) check(Field(line, 2));
  for (const std::string& raw : section("interfaces")) {
    const std::string line = Trim(raw);
    if (line.starts_with("[")) check(Field(line.substr(1, line.find(']') - 1), 2));
    else check(Field(line, 1));
  }
  return refused;
}

int MergeModelTypes(TIniFile& ini, const std::vector<std::string>& indexModelTypes) {
  std::vector<std::pair<std::string, std::string>> entries;
  std::set<std::string> keys;
  for (const std::string& key : ini.ReadSection("MODEL TYPES")) {
    const std::string value = ini.ReadString("MODEL TYPES", key, "");
    entries.emplace_back(key, value);
    keys.insert(Trim(Field(value, 1)));
  }
  int added = 0;
  for (const std::string& raw : indexModelTypes) {
    const std::string item = Trim(raw);
    const std::string key = Trim(Field(item, 1));
    // A type key names files of the model list: one plain name.
    if (key.empty() || keys.count(key) || Hostile(key) || key.find_first_of("\\/") != std::string::npos) continue;
    keys.insert(key);
    entries.emplace_back("Type" + std::to_string(entries.size() + 1), item);
    ++added;
  }
  if (added) {
    ini.EraseSection("MODEL TYPES");
    for (const auto& [key, value] : entries) ini.WriteString("MODEL TYPES", key, value);
  }
  return added;
}

TNewElements AnalyzeIndex(const std::vector<std::string>& indexLines, TIniFile& ini,
                          const TDownloadSettings& settings, const fs::path& exePath) {
  return AnalyzeIndex(IndexSections(indexLines), ini, settings, exePath);
}

TNewElements AnalyzeIndex(const TIndexSections& index, TIniFile& ini, const TDownloadSettings& settings,
                          const fs::path& exePath) {
  TNewElements found;
  auto section = [&](std::string_view name) -> const std::vector<std::string>& { return index.Items(name); };

  // Templates: valid, of a known type, with a name that can be a file here.
  std::vector<std::string> serverTemplates;
  for (const std::string& line : section("partbase")) {
    auto record = ParseElementRecord(line);
    if (KnownTemplate(settings, record) && SafeRelativePath(record->Field(4))) serverTemplates.push_back(line);
  }
  std::vector<std::string> localTemplates;
  for (const std::string& line : ReadListLines(exePath, settings.PartBase))
    if (KnownTemplate(settings, ParseElementRecord(line))) localTemplates.push_back(line);

  MergeModelTypes(ini, section("model types"));
  MergePublishers(ini, section("Publishers"), settings.ServersPath);

  for (const std::string& line : NewElements(serverTemplates, localTemplates))
    found.Templates.push_back(*ParseElementRecord(line));

  // Models: a group whose parts are not all in the local model of the same
  // first two header fields.
  const std::vector<TModelGroup> localModels = ModelGroups(ReadListLines(exePath, settings.Models));
  std::set<std::string> localKeys;
  for (const std::string& line : localTemplates)
    if (auto record = ParseElementRecord(line)) localKeys.insert(LowerAscii(record->Key()));
  for (const TModelGroup& group : ModelGroups(section("models"))) {
    if (!SafeRelativePath(group.Header5[2])) continue;
    std::vector<TElementRecord> parts;
    for (const std::string& line : group.Parts) {
      auto record = ParseElementRecord(line);
      if (KnownTemplate(settings, record) && SafeRelativePath(record->Field(4))) parts.push_back(*record);
    }
    if (parts.empty()) continue;
    const auto local = std::find_if(localModels.begin(), localModels.end(), [&](const TModelGroup& m) {
      return m.Header5[0] == group.Header5[0] && m.Header5[1] == group.Header5[1];
    });
    TNewModel model{group.Header, {}, group.Header5[4], group.Header5[3], group.Header5[2], 0};
    for (const TElementRecord& part : parts) {
      if (local != localModels.end() &&
          std::any_of(local->Parts.begin(), local->Parts.end(), [&](const std::string& localLine) {
            auto localPart = ParseElementRecord(localLine);
            return localPart && SamePart(part, *localPart);
          }))
        continue;
      const bool fetch = !localKeys.count(LowerAscii(part.Key()));
      std::string line = part.Line;
      if (!line.empty() && line.back() != ';') line += ';';
      model.Parts.push_back(line + (fetch ? "1;" : "0;"));
      if (fetch) model.Size += part.Size;
    }
    if (!model.Parts.empty()) found.Models.push_back(std::move(model));
  }

  // The questionnaire set: the first item counts.
  const std::vector<std::string> queries = section("query");
  if (!queries.empty())
    found.QuerySet = NewQuerySet(queries.front(), ini.ReadString("QUERIES", "Query", ""), TodayAsNumber());

  // Interface items: new while their folder is missing, or while their parts
  // still wait there (a download that did not finish).
  for (TInterfaceItem& item : ParseInterfaceItems(section("interfaces"))) {
    std::error_code ec;
    const fs::path folder = ProgramFileForReading(exePath, item.ElementFolder(settings));
    const fs::path parts = ProgramFileForReading(exePath, item.PartsFolder(settings));
    if (!fs::exists(folder, ec) || fs::exists(parts, ec)) found.Interfaces.push_back(std::move(item));
  }

  found.Refused = RefusedIndexNames(index);

  // Messages: those whose folder no "MESSAGES" value names.
  std::set<std::string> installedMessages;
  for (const std::string& line : ini.ReadSectionValues("MESSAGES")) installedMessages.insert(Trim(Field(IniLineValue(line), 1)));
  for (const std::string& line : section("messages"))
    if (auto message = ParseMessageRecord(line); message && !installedMessages.count(message->Folder))
      found.Messages.push_back(*message);
  return found;
}
