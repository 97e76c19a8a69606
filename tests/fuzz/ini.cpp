// Settings files are user-editable: parsing and rewriting any text must be safe,
// and what is written must read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/IniFile.h"
#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text = DecodeText({data, size});
  TIniFile ini = TIniFile::FromText(text);
  for (const auto& section : ini.ReadSections()) {
    for (const auto& key : ini.ReadSection(section)) {
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, false);
    }
  }
  TIniFile again = TIniFile::FromText(ini.ToText());
  if (again.ToText() != ini.ToText()) std::abort();
  return 0;
}
