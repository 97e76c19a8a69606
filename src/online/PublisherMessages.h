#pragma once
// The publishers' messages installed by the element download: small HTML sites
// in folders below the messages folder, listed in the settings section
// "MESSAGES" as "folder;subject;third;".
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

class TIniFile;

struct TMes {
  std::string Folder, Subject, Third;
  fs::path Index;  // the message's "index.htm"
};

// The messages to list, in the section's order: entries with an empty folder
// or subject, folders that would leave the messages folder, and messages whose
// "index.htm" is missing are left out. `exePath` is the program folder.
std::vector<TMes> ReadPublisherMessages(const TIniFile& ini, const fs::path& exePath);
// The messages folder ("DIRECTORIES" "MessagesDirName"), resolved below `exePath`.
fs::path PublisherMessagesFolder(const TIniFile& ini, const fs::path& exePath);
