#include "shell/Startup.h"

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "shell/DeskGeometry.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/ProductInfo.h"

std::optional<std::string> CheckDisplay(const TDisplayInfo& d) {
  if (d.Width < 800 || d.Height < 600) return "Screen resolution must be 800-600 or higher.";
  if (d.Width < 1024 || d.Height < 768) return "Screen resolution must be 1024-768 or higher.";
  if (d.BitsPerPixel < 16) return "Color depth must be 16 bits (high color) or higher.";
  return std::nullopt;
}

std::string TerminationText(const std::string& reason) { return reason + "\rProgram terminated."; }

std::vector<std::string> IntroValues(const TIniFile& ini) {
  std::vector<std::string> values;
  for (const std::string& line : ini.ReadSectionValues("Intro Video")) {
    std::size_t eq = line.find('=');
    values.push_back(eq == std::string::npos ? std::string() : line.substr(eq + 1));
  }
  if (values.empty()) values.push_back("Logo.avi");
  return values;
}

std::optional<TIntroEntry> ParseIntroValue(const std::string& value, const std::string& exePath) {
  std::string name = Field(value, 1);
  if (name.empty()) return std::nullopt;
  TIntroEntry entry;
  entry.File = ResolvePath(exePath + name);
  std::error_code ec;
  if (!fs::is_regular_file(entry.File, ec)) return std::nullopt;
  std::string ext = LowerAscii(ExtractFileExt(name));
  if (ext == ".avi" || ext == ".mpg") {
    entry.Type = TIntroEntry::Kind::Video;
    std::optional<int> w = ParseInt(Field(value, 2)), h = ParseInt(Field(value, 3));
    if (w && h) {
      entry.VideoWidth = *w;
      entry.VideoHeight = *h;
    }
    return entry;
  }
  if (ext == ".jpg" || ext == ".bmp") {
    std::optional<int> interval = ParseInt(Field(value, 2));
    if (!interval) return std::nullopt;
    entry.Type = TIntroEntry::Kind::Picture;
    // An interval of 0 or below would end at once (or never): one second instead.
    entry.IntervalMs = *interval > 0 ? *interval : 1000;
    return entry;
  }
  return std::nullopt;
}

namespace {

bool OpenSettings(IStartupHost& host, TMainSettings& settings) {
  const std::string iniName = ProductInfo.IniFileName;
  fs::path iniPath = ProgramSettingsFile(InstallationFolder(), iniName);
  std::error_code ec;
  if (!fs::is_regular_file(iniPath, ec)) {
    host.ShowFatal(TerminationText("Unable to find " + iniName + "."));
    return false;
  }
  if (!ReadFileBytes(iniPath, 64u << 20)) {
    host.ShowFatal(TerminationText("Unable to load " + iniName + "."));
    return false;
  }
  settings.Ini = TIniFile(iniPath);
  return true;
}

void PlayIntro(IStartupHost& host, const TIniFile& ini) {
  for (const std::string& value : IntroValues(ini)) {
    if (host.IntroSkipped()) break;
    std::optional<TIntroEntry> entry = ParseIntroValue(value, InstallationFolder());
    if (!entry) continue;
    if (entry->Type == TIntroEntry::Kind::Video)
      host.PlayIntroVideo(*entry);
    else
      host.ShowIntroPicture(*entry);
  }
}

void RegisterTypesOnce(IStartupHost& host, TIniFile& ini) {
  std::string flag = UpperAscii(ini.ReadString("TYPES REGISTRATION", "KZTypeRegistered", "NO"));
  if (flag != "YES" && host.RegisterFileTypes(ini)) ini.WriteString("TYPES REGISTRATION", "KZTypeRegistered", "YES");
}

}  // namespace

std::optional<std::string> CommandLineReply(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h" || argument == "-?")
      return std::string("Usage: tressary [WORK FILE]\n"
                         "Tries new looks on a portrait. A work file (") +
             ProductInfo.CmpFileExt + " or " + ProductInfo.UnCmpFileExt +
             ") named as the only argument is opened at start.\n\n"
             "  -h, --help     show this text and end\n"
             "  -v, --version  show the program's version and end\n";
    if (argument == "--version" || argument == "-v")
      return std::string(ProductInfo.NameAndVersion) + " (" + ProductInfo.BuildTag + ")\n";
  }
  return std::nullopt;
}

bool RunStartup(IStartupHost& host, TMainSettings& settings, TInterface& used, const fs::path& exeDir,
                const std::vector<std::string>& arguments) {
  host.ShowBackdrop();
  SetProgramFolders(exeDir);
  if (std::optional<std::string> reason = CheckDisplay(host.Display())) {
    host.ShowFatal(TerminationText(*reason));
    return false;
  }
  if (!OpenSettings(host, settings)) return false;
  PlayIntro(host, settings.Ini);

  host.SetBusyCursor(true);
  RegisterTypesOnce(host, settings.Ini);
  TDisplayInfo display = host.Display();
  std::string warning;
  LoadInterface(used, settings.Ini, display.Width, display.Height, &warning);
  if (!warning.empty()) host.ShowWarning(warning);
  std::string error;
  // The main state reads the geometry again as it is made; a canvas over the
  // limit ends the program here.
  if (TDeskGeometry geometry; !ReadDesktopGeometry(used, geometry, &error)) {
    host.SetBusyCursor(false);
    host.ShowFatal(TerminationText(error));
    return false;
  }
  host.CreateStandingWindows();
  host.ShowWelcomeTip();
  if (arguments.size() == 1) {
    try {
      host.OpenWorkFile(arguments[0]);
    } catch (const std::exception&) {
    }
  }
  host.SetBusyCursor(false);
  return true;
}
