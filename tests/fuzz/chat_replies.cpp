// The chat script's replies come from a server: any bytes must give records or
// nothing, a session that takes them in order, and talk slots in range.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "online/Chat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TChatReply reply = ReadChatReply(text);
  TChatSession session("Me", "joined", "left");
  // Twice: the second round must find every message known.
  for (int round = 0; round < 2; ++round)
    for (const TChatEvent& event : session.Process(reply)) {
      if (event.slot < 0 || event.slot > kMaxTalks) std::abort();
      if (round == 1 && event.kind != TChatEvent::UsersChanged) std::abort();
    }
  for (const TChat& user : ReadChatUsers(text))
    if (user.Nick().empty()) std::abort();
  ParseChatMessage(text);
  ParseChatUser(text);
  CompareChatIds(text.substr(0, size / 2), text.substr(size / 2));
  return 0;
}
