// Whatever a server sends, the dialogue must neither crash, nor grow without
// bound, nor go on after a failure, nor send a command with a line break in it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/SmtpDialogue.h"

namespace {
class TCheckingHost : public ISmtpDialogueHost {
 public:
  bool failed = false;
  void DialogueSend(const std::string& line) override {
    if (failed || line.find_first_of("\r\n") != std::string::npos) std::abort();
  }
  void DialogueWriteMessage() override {
    if (failed) std::abort();
    writeAsked = true;
  }
  void DialogueDone() override {
    if (failed) std::abort();
  }
  void DialogueInfo(SendMailInfo, const std::string& text) override {
    if (failed || text.size() > TReplyLineBuffer::kMaxLine + 16) std::abort();
  }
  void DialogueFail(SendMailError, const std::string&) override {
    if (failed) std::abort();
    failed = true;
  }
  bool writeAsked = false;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the piece size, so replies also arrive split anywhere.
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  TCheckingHost host;
  TSmtpDialogue dialogue(host);
  dialogue.Prepare("me@example.com", {"a@example.com", "b@example.com"}, (data[0] & 128) != 0);
  dialogue.Connected("[127.0.0.1]");
  for (std::size_t start = 0; start < text.size(); start += piece) {
    dialogue.Receive(text.substr(start, piece));
    if (host.writeAsked) dialogue.MessageWritten();
  }
  return 0;
}
