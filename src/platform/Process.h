#pragma once
// Starting an outside program and waiting for it, behind an interface so that the
// logic that needs a helper program is tested without Qt.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

struct TProcessResult {
  bool Started = false;
  bool TimedOut = false;  // still running at the time-out, so it was killed
  int ExitCode = -1;      // -1 unless it started and ended by itself
};

class IProcessRunner {
 public:
  virtual ~IProcessRunner() = default;
  // Runs `program` with `arguments` as they are (no shell, no quoting) and waits
  // at most `timeoutMs` milliseconds for its end; a process still running then is
  // killed before this returns.
  virtual TProcessResult Run(const fs::path& program, const std::vector<std::string>& arguments, int timeoutMs) = 0;
};

// The executable file `name` in the first folder of $PATH that holds one; empty
// when there is none.
fs::path FindProgramOnPath(std::string_view name);
