#include "platform/Process.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/Text.h"

fs::path FindProgramOnPath(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (!path || name.empty() || name.find('/') != std::string_view::npos) return {};
  for (const std::string& folder : SplitFields(path, ':')) {
    // An empty entry would mean the current folder: never run a program from there.
    if (folder.empty() || folder.front() != '/') continue;
    const fs::path candidate = fs::path(folder) / name;
    std::error_code error;
    if (fs::is_regular_file(candidate, error) && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}
