// Archives come from servers: any bytes must give an index or nothing, and every
// entry handed on must have been decoded within the data; names the extractor
// would write must stay inside the target folder.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "picture/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (bool multiVolume : {false, true}) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    auto index = ReadArchiveIndex(in, multiVolume);
    if (!index) continue;
    ReadArchiveEntries(in, *index, [](const TArec& entry, std::vector<std::uint8_t>&) {
      if (ArchiveNameIsSafe(entry)) {
        // A safe name never climbs out or starts at a root.
        for (const std::string* text : {&entry.SubFolder, &entry.FileName})
          if (text->find("..\\") == 0 || text->find("../") == 0 || *text == ".." ||
              (!text->empty() && (text->front() == '/' || text->front() == '\\')))
            std::abort();
      }
      return true;
    });
  }
  return 0;
}
