// Names, subjects and extra headers come from the user: whatever they hold, a
// header line must stay one logical line (breaks only as folds), within the
// line limit, and free of bare CR or LF.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/MailHeaders.h"

namespace {
void CheckHeader(const std::string& line) {
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\n') std::abort();
    if (line[i] != '\r') continue;
    // A fold: CR LF and a blank.
    if (i + 2 >= line.size() || line[i + 1] != '\n' || line[i + 2] != ' ') std::abort();
    if (i - lineStart > 998) std::abort();
    lineStart = i + 2;
    i += 2;
  }
  if (line.size() - lineStart > 998) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TMailRecipient recipient = ParseRecipient(text);
  // The client refuses other addresses before it writes any header.
  if (IsAcceptableAddress(recipient.address)) CheckHeader(FoldHeaderLine("To: " + FormatMailbox(recipient)));
  CheckHeader(FoldHeaderLine("Subject: " + EncodeHeaderWord(StripLineBreaks(text))));
  CheckHeader(FoldHeaderLine("Content-Type: application/octet-stream; " + MimeParameter("name", text)));
  if (auto line = EncodeHeaderLine(text)) CheckHeader(*line);
  return 0;
}
