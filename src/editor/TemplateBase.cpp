#include "editor/TemplateBase.h"

#include <optional>

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/Tokens.h"

namespace {

// The value of an ini "name=value" line (the whole line when it has no "=").
std::string_view ValueOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

}  // namespace

std::vector<TPartTypeRecord> ParseTemplateTypes(const std::vector<std::string>& nameValueLines) {
  std::vector<TPartTypeRecord> types;
  for (const std::string& line : nameValueLines) {
    const std::string value = Trim(ValueOf(line));
    if (value.empty()) continue;
    const std::optional<int> typeNo = ParseInt(Field(value, 1));
    const std::optional<int> level = ParseInt(Field(value, 4));
    if (!typeNo || !level) continue;
    TPartTypeRecord record;
    record.TypeNo = *typeNo;
    record.Folder = Field(value, 2);
    record.Text = Field(value, 3);
    record.Level = *level;
    record.Letters = UpperAscii(Field(value, 5));
    if (record.Letters.empty()) record.Letters = "F";
    types.push_back(std::move(record));
  }
  return types;
}

void TTemplateBase::LoadTypes(const TIniFile& ini) { Types = ParseTemplateTypes(ini.ReadSectionValues("TEMPLATE TYPES")); }

const TPartTypeRecord* FindTemplateType(int typeNo, const std::vector<TPartTypeRecord>& types) {
  for (const TPartTypeRecord& type : types)
    if (type.TypeNo == typeNo) return &type;
  return nullptr;
}

TTemplateKind TemplateKindOfLetters(std::string_view letters) {
  if (letters == "N") return tkHand;
  if (letters == "B") return tkBody;
  if (letters == "M") return tkModel;
  return tkFace;
}

TTemplateKind TemplateKindOf(int typeNo, const std::vector<TPartTypeRecord>& types) {
  const TPartTypeRecord* type = FindTemplateType(typeNo, types);
  return type ? TemplateKindOfLetters(type->Letters) : tkFace;
}

std::string PartTypeWarning(int lineNumber) {
  return "Error in contents of file PARTBASE.TXT (line #" + std::to_string(lineNumber) + ")\r" +
         "Template type number is missing";
}

std::vector<TPartInfoRecord> ParsePartBase(const std::vector<std::string>& lines,
                                           const std::vector<TPartTypeRecord>& types, const TWarningSink& warn) {
  std::vector<TPartInfoRecord> list;
  int lineNumber = 0;
  for (const std::string& raw : lines) {
    ++lineNumber;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    std::string rest = line;
    const TToken first = GetToken(rest);
    if (UpperAscii(first.Text) == "$PART_TYPE") {
      DeleteToken(rest, first.Finish);
      const TToken number = GetToken(rest);
      if (number.Text.empty() || !ParseInt(number.Text)) {
        if (warn) warn(PartTypeWarning(lineNumber));
      }
      continue;
    }
    // type; x; y; file; name; flags (the flags hold ";" themselves: the rest of the line).
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (int i = 0; i < 5; ++i) {
      const std::size_t semi = line.find(';', start);
      if (semi == std::string::npos) break;
      fields.push_back(std::string_view(line).substr(start, semi - start));
      start = semi + 1;
    }
    fields.push_back(std::string_view(line).substr(std::min(start, line.size())));
    fields.resize(6);
    const std::optional<int> type = ParseInt(fields[0]);
    const std::optional<int> x = ParseInt(fields[1]);
    const std::optional<int> y = ParseInt(fields[2]);
    if (!type || !x || !y) continue;
    TPartInfoRecord record;
    record.PartType = *type;
    record.X = *x;
    record.Y = *y;
    std::string folder;
    if (*type > 0)
      if (const TPartTypeRecord* typeRecord = FindTemplateType(*type, types)) folder = typeRecord->Folder;
    // Without a folder the name stands alone (no leading separator).
    record.FileName = folder.empty() ? Trim(fields[3]) : folder + "\\" + Trim(fields[3]);
    record.Name = Trim(fields[4]);
    record.Flags = UpperAscii(Trim(fields[5]));
    list.push_back(std::move(record));
  }
  return list;
}

TTemplateBase::TFileStamp TTemplateBase::StampOf(const std::filesystem::path& file) {
  TFileStamp stamp;
  stamp.Path = file;
  std::error_code ec;
  stamp.Size = std::filesystem::file_size(file, ec);
  if (ec) stamp.Size = 0;
  stamp.Time = std::filesystem::last_write_time(file, ec);
  if (ec) stamp.Time = {};
  return stamp;
}

TFileResult<> TTemplateBase::LoadList(const std::filesystem::path& folder, const TWarningSink& warn) {
  const std::filesystem::path file = ProgramFileForReading(folder, "PartBase.txt");
  // Taken before the read: a line added meanwhile shows as a change.
  const TFileStamp stamp = StampOf(file);
  const TFileResult<std::vector<std::string>> lines = ReadTextLines(file);
  if (!lines) return lines.Error();
  std::vector<TPartInfoRecord> list = ParsePartBase(*lines, Types, warn);
  List.swap(list);
  listStamp_ = stamp;
  return {};
}

bool TTemplateBase::ListChanged(const std::filesystem::path& folder) const {
  return !(StampOf(ProgramFileForReading(folder, "PartBase.txt")) == listStamp_);
}
