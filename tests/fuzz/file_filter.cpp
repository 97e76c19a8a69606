// File-filter captions come from the UI-text table: any text must give entries
// and Qt filters that hold no empty pattern.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/FileFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto filters = ParseWindowsFilter(text);
  // Qt reads the patterns between the last "(" and the closing ")", split at blanks.
  for (const std::string& filter : QtNameFilters(filters)) {
    const std::size_t open = filter.rfind('(');
    if (open == std::string::npos || filter.back() != ')') std::abort();
    const std::string_view patterns = std::string_view(filter).substr(open + 1, filter.size() - open - 2);
    if (patterns.empty() || patterns.front() == ' ' || patterns.back() == ' ' ||
        patterns.find("  ") != std::string_view::npos)
      std::abort();
  }
  return 0;
}
