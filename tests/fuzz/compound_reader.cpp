// Work containers are read straight from their bytes, and only a file the direct
// reader cannot vouch for goes to the library. On any bytes the library reads
// without finding damage, a stream the direct reader reads has the bytes the
// library reads under that name. (Where the library finds damage it reads its
// own way, dropping a whole table for one bad entry: nothing to compare with.)
#include <glib.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/CompoundFileModule.h"
#include "platform/CompoundReader.h"
#include "platform/Module.h"

namespace {
bool libraryFoundDamage = false;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const auto direct = OpenCompoundRoot(bytes);
  if (!direct) return 0;
  static ICompoundFileModule* const library = [] {
    g_log_set_handler("libgsf:msole", GLogLevelFlags(G_LOG_LEVEL_MASK),
                      [](const gchar*, GLogLevelFlags, const gchar*, gpointer) { libraryFoundDamage = true; }, nullptr);
    return LoadModule("compound", tressary_module_compound);
  }();
  if (!library) std::abort();
  constexpr std::uint64_t kMaxBytes = 1 << 24;
  libraryFoundDamage = false;
  const auto opened = library->Open(bytes);
  if (!opened) return 0;
  const auto& theirs = *opened;
  std::vector<std::pair<std::string, std::optional<std::vector<std::uint8_t>>>> streams;
  for (int j = 0; j < theirs->Count(); ++j) streams.emplace_back(theirs->Name(j), theirs->Read(j, kMaxBytes));
  if (libraryFoundDamage) return 0;
  for (int i = 0; i < direct->Count(); ++i) {
    const auto ours = direct->IsStream(i) ? direct->Read(i, kMaxBytes) : std::nullopt;
    if (!ours) continue;
    // A name may be there twice: one of them must agree.
    bool read = false, same = false;
    for (const auto& [name, content] : streams)
      if (name == direct->Name(i) && content) {
        read = true;
        same = same || *content == *ours;
      }
    if (read && !same) std::abort();
  }
  return 0;
}
