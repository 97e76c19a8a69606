// The template catalogue is a text file people and the layer save edit: any text
// must parse without harm, and every entry kept must keep its three integers'
// meaning and upper-cased flags.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "editor/TemplateBase.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = SplitLines(DecodeText({data, size}));
  const std::vector<TPartTypeRecord> types = ParseTemplateTypes(lines);
  int warnings = 0;
  const std::vector<TPartInfoRecord> list = ParsePartBase(lines, types, [&](const std::string&) { ++warnings; });
  if (list.size() + std::size_t(warnings) > lines.size()) std::abort();
  for (const TPartInfoRecord& entry : list)
    if (entry.Flags != UpperAscii(entry.Flags)) std::abort();
  for (const TPartTypeRecord& type : types)
    if (type.Letters.empty()) std::abort();
  return 0;
}
