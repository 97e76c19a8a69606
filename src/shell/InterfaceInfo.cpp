#include "shell/InterfaceInfo.h"

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/InterfaceSchema.h"
#include "shell/Tokens.h"

namespace {

constexpr std::string_view kInfoFileName = "INTFACE.TXT";

std::string Quoted(std::string_view text) { return "<" + std::string(text) + ">"; }

// The statement reader: the open section and object (names and types as written).
class TInfoParser {
 public:
  explicit TInfoParser(std::vector<TParamInfoRecord>& out) : out_(out) {}

  void Line(std::string line) {
    ++lineNumber_;
    line = Trim(line);
    if (line.empty() || line[0] == '#') return;
    TToken first = GetToken(line);
    std::string word = UpperAscii(first.Text);
    if (word == "SECTION") {
      DeleteToken(line, first.Finish);
      Section(line);
    } else if (word == "OBJECT") {
      DeleteToken(line, first.Finish);
      Object(line);
    } else if (word == "END") {
      End();
    } else {
      Expressions(line);
    }
  }

 private:
  // Errors name the line being read, counting every line from 1.
  [[noreturn]] void Fail(const std::string& reason) const {
    throw EErrorInInfoFile(ContentErrorText(kInfoFileName, lineNumber_, reason));
  }

  // Reads the name and the type of a SECTION or OBJECT line.
  static std::pair<TToken, TToken> NameAndType(std::string& line) {
    TToken name = GetToken(line);
    DeleteToken(line, name.Finish);
    TToken type = GetToken(line);
    return {name, type};
  }

  void Section(std::string& line) {
    auto [name, type] = NameAndType(line);
    if (name.Finish == 0) Fail("Section name is missing");
    if (!object_.empty())
      Fail("Description of section " + Quoted(name.Text) + " is nested in object " + Quoted(object_));
    if (!section_.empty())
      Fail("Nested section descriptions: " + Quoted(name.Text) + " in " + Quoted(section_));
    if (type.Finish == 0) Fail("Section type is missing");
    if (!IsSectionType(type.Text)) Fail("Section type " + Quoted(type.Text) + " is not valid");
    section_ = name.Text;
    sectionType_ = type.Text;
  }

  void Object(std::string& line) {
    auto [name, type] = NameAndType(line);
    if (name.Finish == 0) Fail("Object name is missing");
    if (section_.empty()) Fail("Object " + Quoted(name.Text) + " is described outside any section");
    if (!object_.empty()) Fail("Nested object descriptions: " + Quoted(name.Text) + " in " + Quoted(object_));
    if (type.Finish == 0) Fail("Object type is missing");
    if (!IsObjectType(type.Text)) Fail("Object type " + Quoted(type.Text) + " is not valid");
    object_ = name.Text;
    objectType_ = type.Text;
  }

  void End() {
    if (!object_.empty()) {
      object_.clear();
      objectType_.clear();
    } else if (!section_.empty()) {
      section_.clear();
      sectionType_.clear();
    } else {
      Fail("Unnecessary END encountered");
    }
  }

  void CheckParam(const std::string& param) const {
    if (!object_.empty()) {
      if (!IsObjectParam(objectType_, param))
        Fail("Parameter " + Quoted(param) + " is not a valid parameter for object of type " + Quoted(objectType_));
    } else if (!section_.empty()) {
      if (!IsSectionParam(sectionType_, param))
        Fail("Parameter " + Quoted(param) + " is not a valid parameter for section of type " +
             Quoted(sectionType_));
    }
  }

  // name = value ; name = value ; ...  (the last ";" of a line may be missing)
  void Expressions(std::string& line) {
    int state = 0;
    std::string param, value;
    while (!line.empty()) {
      switch (state) {
        case 0: {
          if (line[0] == '#') return;
          TToken name = GetToken(line);
          if (name.Finish == 0) return;
          param = name.Text;
          CheckParam(param);
          DeleteToken(line, name.Finish);
          state = 1;
          break;
        }
        case 1:
          if (line[0] != '=') Fail("After parameter " + Quoted(param) + " equality sign is missing");
          DeleteToken(line, 1);
          state = 2;
          break;
        case 2: {
          TToken token = GetToken(line);
          if (token.Finish == 0) Fail("After equality sign parameter value is missing");
          value = token.Text;
          out_.push_back({UpperAscii(section_), UpperAscii(object_), UpperAscii(param), value});
          DeleteToken(line, token.Finish);
          state = 3;
          break;
        }
        default:
          if (line[0] != ';')
            Fail("After value " + Quoted(value) + " of parameter " + Quoted(param) +
                 " expression delimiter <;> is missing");
          DeleteToken(line, 1);
          state = 0;
          break;
      }
    }
    if (state == 1 || state == 2) Fail("Unaccomplished expression encountered");
  }

  std::vector<TParamInfoRecord>& out_;
  std::string section_, sectionType_, object_, objectType_;
  int lineNumber_ = 0;
};

std::string EntryKey(const TParamInfoRecord& r) {
  std::string key;
  if (!r.Section.empty()) key += r.Section + ".";
  if (!r.Object.empty()) key += r.Object + ".";
  return key + r.Param;
}

}  // namespace

const std::vector<TParamInfoRecord>& TMrvInterfaceInfo::Params() const {
  static const std::vector<TParamInfoRecord> kNone;
  return params_ ? *params_ : kNone;
}

void TMrvInterfaceInfo::ClearParams() {
  if (params_) params_->clear();
  initialized_ = false;
}

void TMrvInterfaceInfo::FreeParams() {
  params_.reset();
  initialized_ = false;
}

void TMrvInterfaceInfo::LoadLines(const std::vector<std::string>& lines) {
  if (!params_) throw EInfoObjectNotInitialized();
  ClearParams();
  TInfoParser parser(*params_);
  for (const std::string& line : lines) parser.Line(line);
  initialized_ = true;
}

namespace {

void Load(TInterface& used, const TIniFile& settings, int screenWidth, int screenHeight) {
  used.Info.LoadLines({});  // throws after FreeParams, before anything changes
  used.Info.ClearParams();
  used.ResolutionIndex = 1;
  for (int i = int(SkinResolutions.size()); i >= 1; --i) {
    if (screenWidth >= SkinResolutions[i - 1].Width && screenHeight >= SkinResolutions[i - 1].Height) {
      used.ResolutionIndex = i;
      break;
    }
  }
  std::string dir = settings.ReadString("DIRECTORIES", "InterfaceDirName", "Intfaces");
  used.Dir = WithTrailingBackslash(Field(dir, 1));
  if (used.ResolutionIndex > 2) used.ResolutionIndex = 2;
  used.Name = ReadInterfaceList(settings).Active;
  for (int i = used.ResolutionIndex; i >= 1; --i) {
    const TFileResult<std::vector<std::string>> lines =
        ReadTextLines(ProgramFileForReading(fs::path(InstallationFolder()), used.Dir + used.Name + SkinResolutions[i - 1].DirName +
                                                                   std::string(kInfoFileName)));
    if (!lines) continue;
    used.Info.LoadLines(*lines);
    return;
  }
  used.Info.LoadLines({});
}

}  // namespace

std::string TMrvInterfaceInfo::Value(std::string_view key) const {
  if (!initialized_) return {};
  std::string wanted = UpperAscii(key);
  for (const TParamInfoRecord& r : Params())
    if (EntryKey(r) == wanted) return r.Value;
  return {};
}

std::optional<TIntInfoRecord> ParseInterfaceEntry(std::string_view line) {
  const std::size_t eq = line.find('=');
  const std::string_view key = line.substr(0, eq);
  const std::string value = eq == std::string_view::npos ? std::string() : Trim(line.substr(eq + 1));
  if (!StartsWithNoCase(key, "INTERFACE") || value.empty()) return std::nullopt;
  const std::optional<int> active = ParseInt(Field(value, 3));
  if (!active) return std::nullopt;
  return TIntInfoRecord{UpperAscii(Field(value, 1)), Field(value, 2), *active != 0};
}

TInterfaceList ReadInterfaceList(const TIniFile& settings) {
  TInterfaceList list;
  for (const std::string& line : settings.ReadSectionValues("INTERFACES")) {
    std::optional<TIntInfoRecord> record = ParseInterfaceEntry(line);
    if (!record) continue;
    if (record->Active) list.Active = WithTrailingBackslash(record->DirName);
    list.Entries.push_back(std::move(*record));
  }
  return list;
}

bool LoadInterface(TInterface& used, const TIniFile& settings, int screenWidth, int screenHeight,
                   std::string* warning) {
  try {
    Load(used, settings, screenWidth, screenHeight);
  } catch (const EIntInfo& e) {
    if (warning) *warning = e.what();
  } catch (const std::exception&) {
  }
  return used.Info.Initialized();
}

const TInterface& InterfaceInUse() {
  static const TInterface kNone;
  const TInterface* used = TUseInterface::Current();
  return used ? *used : kNone;
}

std::string GetInterfaceValue(std::string_view key) { return InterfaceInUse().Info.Value(key); }

int InterfaceInt(const TInterface& used, std::string_view key) {
  return ParseInt(used.Info.Value(key)).value_or(kNoInterfaceInt);
}

int GetInterfaceInt(std::string_view key) { return InterfaceInt(InterfaceInUse(), key); }
