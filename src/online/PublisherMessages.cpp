#include "online/PublisherMessages.h"

#include "online/ElementIndex.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

fs::path PublisherMessagesFolder(const TIniFile& ini, const fs::path& exePath) {
  return ResolvePath(exePath, ReadDownloadSettings(ini).MessagesDir);
}

std::vector<TMes> ReadPublisherMessages(const TIniFile& ini, const fs::path& exePath) {
  const std::string dir = ReadDownloadSettings(ini).MessagesDir;
  std::vector<TMes> messages;
  for (const std::string& line : ini.ReadSectionValues("MESSAGES")) {
    const std::string value = IniLineValue(line);
    TMes message{Trim(Field(value, 1)), Trim(Field(value, 2)), Trim(Field(value, 3)), {}};
    if (message.Folder.empty() || message.Subject.empty()) continue;
    // The ini is written by the download from a server's names: the folder
    // must stay inside the messages folder.
    const auto folder = SafeRelativePath(message.Folder);
    if (!folder) continue;
    message.Index = ResolvePath(exePath, dir + *folder + "\\index.htm");
    std::error_code ec;
    if (!fs::is_regular_file(message.Index, ec)) continue;
    messages.push_back(std::move(message));
  }
  return messages;
}
