// Publisher messages are sites a server sent, listed in the settings from the
// server's names: whatever they hold, a listed message lies inside the messages
// folder, its frames name pages only inside its own folder, and pages framing
// pages stay within the frame bound.
//
// The input holds, split by FuzzParts: the settings' "MESSAGES" section, then
// the pages "index.htm", "a.htm", "sub/b.htm" and "sub/index.htm" of folder "m".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "online/PublisherMessages.h"
#include "platform/IniFile.h"

namespace {

std::size_t Frames(const TFrameNode& set) { return LayOutFrames(set, 800, 600).size(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path exe = FuzzFolder() / "exe";
  fs::remove_all(exe);
  const std::vector<std::string_view> parts = FuzzParts(data, size);
  static const char* const kPages[] = {"index.htm", "a.htm", "sub/b.htm", "sub/index.htm"};
  for (std::size_t i = 1; i < parts.size() && i <= std::size(kPages); ++i)
    FuzzWriteFile(exe / "MESSAGES" / "m" / kPages[i - 1], parts[i]);
  const TIniFile ini = TIniFile::FromText("[MESSAGES]\n" + std::string(parts[0]));
  const fs::path folder = PublisherMessagesFolder(ini, exe);
  for (const TMes& message : ReadPublisherMessages(ini, exe)) {
    if (!FuzzInside(folder, message.Index)) std::abort();
    const fs::path base = message.Index.parent_path();
    const auto html = ReadMessagePage(message.Index);
    if (!html) continue;
    const auto set = MessageFrameset(*html, base, base);
    if (!set) continue;
    if (Frames(*set) > std::max(Frames(*ParseFrameset(*html)), kMaxMessageFrames)) std::abort();
    for (const TFrameRect& frame : LayOutFrames(*set, 800, 600)) {
      if (!frame.Src.empty() && !FuzzInside(base, frame.Src)) std::abort();
      LinkTarget(*html, frame.Src);
    }
  }
  return 0;
}
