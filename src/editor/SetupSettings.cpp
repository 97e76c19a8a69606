#include "editor/SetupSettings.h"

#include <utility>
#include <vector>

#include "platform/IniFile.h"
#include "shell/InterfaceInfo.h"

namespace {

void WriteMusic(TIniFile& ini, bool playMusic, const TMusicList& music, std::string_view musicFolder) {
  ini.EraseSection("MUSIC");
  ini.WriteBool("MUSIC", "PlayMusic", playMusic);
  int n = 0;
  for (const auto& entry : music)
    ini.WriteString("MUSIC", "File" + std::to_string(++n),
                    StoredMusicPath(entry->FileName, musicFolder) + (entry->Selected ? ";1;" : ";0;"));
}

void WriteInterfaces(TIniFile& ini, int chosen) {
  std::vector<std::pair<std::string, std::string>> lines;
  int taken = 0;
  for (const std::string& line : ini.ReadSectionValues("INTERFACES")) {
    const std::size_t eq = line.find('=');
    std::string key = line.substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    if (const std::optional<TIntInfoRecord> entry = ParseInterfaceEntry(line))
      value = entry->DirName + ";" + entry->Caption + (++taken == chosen ? ";1;" : ";0;");
    lines.emplace_back(std::move(key), std::move(value));
  }
  ini.EraseSection("INTERFACES");
  for (const auto& [key, value] : lines) ini.WriteString("INTERFACES", key, value);
}

}  // namespace

bool StorableMusicPath(std::string_view path) { return path.find_first_of(";\r\n") == std::string_view::npos; }

void WriteSetupSettings(TIniFile& ini, const TMainSettings& settings, const TMusicList& music,
                        std::string_view musicFolder, int chosenInterface) {
  WriteMusic(ini, settings.PlayMusic, music, musicFolder);
  ini.WriteBool("SOUND", "PlaySound", settings.PlaySound);
  ini.WriteBool("TIPS", "ShowTips", settings.ShowTips);
  WriteInterfaces(ini, chosenInterface);
  ini.WriteString("MAIL", "Server", settings.MailServer);
  ini.WriteInteger("MAIL", "Port", settings.MailPort);
  ini.WriteInteger("PRINT", "LeftRightMargin", settings.LeftRightMargin);
  ini.WriteInteger("PRINT", "TopBottomMargin", settings.TopBottomMargin);
  ini.WriteInteger("CALIBRATION COLOR", "Red", settings.CalibrationRed);
  ini.WriteInteger("CALIBRATION COLOR", "Green", settings.CalibrationGreen);
  ini.WriteInteger("CALIBRATION COLOR", "Blue", settings.CalibrationBlue);
}
