// "Catalog.txt" lies in the program folder where content packages add to it:
// any bytes must give an index whose look-ups stay in bounds.
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "editor/CatalogIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TCatalogIndex index;
  index.Load(FuzzInputFile(data, size, "Catalog.txt"));
  for (const TCatalogInfo& entry : index.Entries()) {
    if (entry.Kind != 'M' && entry.Kind != 'P' && entry.Kind != 'T') std::abort();
    index.FindPage(entry.Kind, entry.Name);
  }
  index.FindPage('T', std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
