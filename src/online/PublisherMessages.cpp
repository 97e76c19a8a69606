#include "online/PublisherMessages.h"

#include "online/ElementIndex.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/HelpPages.h"

namespace {

std::size_t FrameCount(const TFrameNode& node) {
  if (!node.IsFrameset) return 1;
  std::size_t count = 0;
  for (const TFrameNode& child : node.Children) count += FrameCount(child);
  return count;
}

// Gives every frame of `set` (its pages in `folder`) its file as Src, and lets
// frames whose pages declare frames take their framesets while `frames` (the
// frames the whole page shows) stays within bounds.
void ResolveFrames(TFrameNode& set, const fs::path& base, const fs::path& folder, int depth, std::size_t& frames) {
  for (TFrameNode& child : set.Children) {
    if (child.IsFrameset) {
      ResolveFrames(child, base, folder, depth, frames);
      continue;
    }
    const std::optional<TLocalLink> source = LocalLinkTarget(base, folder, child.Src);
    child.Src = source ? source->File.string() : std::string();
    if (child.Src.empty() || depth >= kMaxFramePageDepth) continue;
    const std::optional<std::string> html = ReadMessagePage(child.Src);
    std::optional<TFrameNode> inner = html ? ParseFrameset(*html) : std::nullopt;
    if (!inner) continue;
    // The frame itself gives way to the inner page's frames.
    const std::size_t added = FrameCount(*inner);
    if (frames - 1 + added > kMaxMessageFrames) continue;
    frames += added - 1;
    ResolveFrames(*inner, base, fs::path(child.Src).parent_path(), depth + 1, frames);
    child = std::move(*inner);
  }
}

}  // namespace

fs::path PublisherMessagesFolder(const TIniFile& ini, const fs::path& exePath) {
  return ProgramFileForReading(exePath, ReadDownloadSettings(ini).MessagesDir);
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
    message.Index = ProgramFileForReading(exePath, dir + *folder + "\\index.htm");
    std::error_code ec;
    if (!fs::is_regular_file(message.Index, ec)) continue;
    messages.push_back(std::move(message));
  }
  return messages;
}

std::optional<std::string> ReadMessagePage(const fs::path& file) {
  const auto bytes = ReadFileBytes(file, std::uintmax_t(16) << 20);
  if (!bytes) return std::nullopt;
  return DecodeText(*bytes);
}

std::optional<TFrameNode> MessageFrameset(std::string_view html, const fs::path& base, const fs::path& folder) {
  std::optional<TFrameNode> set = ParseFrameset(html);
  if (!set) return std::nullopt;
  std::size_t frames = FrameCount(*set);
  ResolveFrames(*set, base, folder, 1, frames);
  return set;
}
