// The UI-text table is a file users and translators edit: any bytes must load
// into records that look up without harm, each value without its sound when asked.
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "shell/Termins.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = FuzzInputFile(data, size, "termins.txt");
  for (bool keepSound : {false, true}) {
    TTerminList list;
    if (!LoadTerms(file, list, keepSound)) std::abort();
    for (const TTermin& termin : list) {
      if (!keepSound && termin.Value.find('@') != std::string::npos) std::abort();
      GetTerm(termin.Name, list, "default");
    }
  }
  return 0;
}
