// The interface-info parser over arbitrary file contents: every input either
// parses or raises the parser's own error; lookups on the result stay in bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/TextFile.h"
#include "shell/InterfaceInfo.h"
#include "shell/Tokens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines = SplitLines(DecodeText(std::span<const std::uint8_t>(data, size)));
  TMrvInterfaceInfo info;
  try {
    info.LoadLines(lines);
  } catch (const EErrorInInfoFile&) {
    return 0;
  }
  for (const TParamInfoRecord& r : info.Params()) info.Value(r.Section + "." + r.Object + "." + r.Param);
  for (const std::string& line : lines) {
    std::string rest = line;
    for (TToken t = GetToken(rest); t.Finish > 0; t = GetToken(rest)) DeleteToken(rest, t.Finish);
  }
  return 0;
}
