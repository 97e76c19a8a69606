#pragma once
// The publishers' messages installed by the element download: small HTML sites
// in folders below the messages folder, listed in the settings section
// "MESSAGES" as "folder;subject;third;".
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "online/Frameset.h"

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

// A page of a message's site; nullopt when it cannot be read or passes 16 MB
// (a frameset page is small: a larger file is a mistake, not a page).
std::optional<std::string> ReadMessagePage(const fs::path& file);

// A frame whose page declares frames is divided by them in turn, down to this
// many levels of pages, and while the whole page shows at most
// kMaxMessageFrames frames: a page framing itself over and over shows the
// frames within these bounds, its deeper frames as plain pages.
inline constexpr int kMaxFramePageDepth = 4;
inline constexpr std::size_t kMaxMessageFrames = 64;
// The frameset `html` declares (the page lies in `folder`, inside the message's
// folder `base`), each frame's Src made the file of its page inside `base`
// ("" when it names none there). nullopt for a page without frames.
std::optional<TFrameNode> MessageFrameset(std::string_view html, const fs::path& base, const fs::path& folder);
