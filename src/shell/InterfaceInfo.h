#pragma once
// The interface info: the parameters of the current interface's INTFACE.TXT
// (positions, colours, fonts and skin names of every window's controls), read once
// at start-up and looked up by "Section.Object.Param" keys ignoring case.
#include <array>
#include <climits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InUse.h"

class TIniFile;

struct TParamInfoRecord {
  std::string Section;  // upper-cased; empty outside a section
  std::string Object;   // upper-cased; empty outside an object
  std::string Param;    // upper-cased
  std::string Value;    // as written
};

class EIntInfo : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EInfoObjectNotInitialized : public EIntInfo {
 public:
  EInfoObjectNotInitialized() : EIntInfo("Object of class TMrvInterfaceInfo is not initialized") {}
};
class EErrorInInfoFile : public EIntInfo {
 public:
  using EIntInfo::EIntInfo;
};

struct TScreenResolution {
  int Width;
  int Height;
  const char* DirName;
};
// Rows 1 to 3 of the resolution folders, as SkinResolutions[i - 1].
inline constexpr std::array<TScreenResolution, 3> SkinResolutions = {{
    {800, 600, "800-600\\"}, {1024, 768, "1024-768\\"}, {1280, 1024, "1280-1024\\"}}};

// One entry of the settings section "INTERFACES".
struct TIntInfoRecord {
  std::string DirName;  // upper-cased
  std::string Caption;
  bool Active = false;
};
// The installed interfaces as the settings list them.
struct TInterfaceList {
  std::vector<TIntInfoRecord> Entries;  // in file order
  std::string Active = "DEFAULT\\";    // the folder of the last active entry, with a trailing "\"
};

// The value GetInterfaceInt gives for an absent or non-numeric value.
constexpr int kNoInterfaceInt = INT_MAX;

class TMrvInterfaceInfo {
 public:
  TMrvInterfaceInfo() : params_(std::vector<TParamInfoRecord>{}) {}

  bool Initialized() const { return initialized_; }
  // Empty after FreeParams.
  const std::vector<TParamInfoRecord>& Params() const;

  // Reads the lines of an interface file; an error names its line, counting from 1.
  void LoadLines(const std::vector<std::string>& lines);

  void ClearParams();
  void FreeParams();

  // The value of the first entry whose "Section.Object.Param" equals `key`
  // ignoring case; empty unless Initialized.
  std::string Value(std::string_view key) const;

 private:
  std::optional<std::vector<TParamInfoRecord>> params_;
  bool initialized_ = false;
};

// The interface in use: its folders, the screen's resolution row and its info.
// The start-up loads it into storage the program's run owns; tests make their own.
struct TInterface {
  // 1 or 2: the largest resolution folder the screen fits (1280-1024 is never used).
  int ResolutionIndex = 1;
  // The interfaces folder and the current interface's folder, each ending in "\".
  std::string Dir;
  std::string Name;
  TMrvInterfaceInfo Info;
};

// One "key=value" line of "INTERFACES" as the list takes it: a key beginning
// with "INTERFACE" and a value folder;caption;number; (nothing otherwise).
std::optional<TIntInfoRecord> ParseInterfaceEntry(std::string_view line);
// The list of the settings section "INTERFACES".
TInterfaceList ReadInterfaceList(const TIniFile& settings);

// Loads `used` for a screen of the given size: its folders from the settings ini,
// its info from the interface file of the largest resolution folder that has one,
// below the installation folder (no file at all is not an error). Returns whether the info is
// initialized; a fault of the file leaves the info empty and its message in
// `warning`.
bool LoadInterface(TInterface& used, const TIniFile& settings, int screenWidth, int screenHeight,
                   std::string* warning);

// The interface the windows draw with: the one a TUseInterface put in use (the
// program's run, or a test), else an empty one. Only its owner changes it.
const TInterface& InterfaceInUse();
// Puts an interface in use while it lives.
using TUseInterface = TInUse<TInterface>;

// The value of `key` in `used` as an integer (decimal, "$" or "0x" hexadecimal);
// kNoInterfaceInt when it is empty or not a number.
int InterfaceInt(const TInterface& used, std::string_view key);
// The value of `key` in the interface in use, as a text and as an integer.
std::string GetInterfaceValue(std::string_view key);
int GetInterfaceInt(std::string_view key);
