#include "support/PeakMemory.h"

#include <fstream>
#include <sstream>

#include "support/PictureJudges.h"
#include "support/TestPaths.h"

// A process's peak survives its exec, so a child started from the test (which
// may have held a lot, and which posix_spawn's child shares) would report the
// test's own peak. A small Python process in between starts the program from a
// clean slate and reports what it waited for.
std::optional<TPeakRun> RunForPeakMemory(const std::vector<std::string>& argv) {
  std::string command =
      "python3 -c 'import os, sys\n"
      "pid = os.fork()\n"
      "if pid == 0:\n"
      "    null = os.open(os.devnull, os.O_WRONLY)\n"
      "    os.dup2(null, 1)\n"
      "    os.dup2(null, 2)\n"
      "    try:\n"
      "        os.execv(sys.argv[1], sys.argv[1:])\n"
      "    finally:\n"
      "        os._exit(127)\n"
      "_, status, usage = os.wait4(pid, 0)\n"
      "print(os.waitstatus_to_exitcode(status), usage.ru_maxrss)\n'";
  for (const std::string& a : argv) command += " " + Quoted(a);
  std::string output;
  if (RunCommand(command, &output) != 0) return std::nullopt;
  std::istringstream in(output);
  TPeakRun run;
  long long kib = -1;
  if (!(in >> run.ExitCode >> kib) || kib < 0) return std::nullopt;
  if (run.ExitCode < 0) run.ExitCode = -1;  // killed by a signal
  if (run.ExitCode == 127) return std::nullopt;
  run.PeakBytes = std::uint64_t(kib) * 1024;  // the kernel counts KiB
  return run;
}

namespace {
// A "Vm...:" line of /proc/self/status, in bytes.
std::optional<std::uint64_t> StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::uint64_t(std::stoull(line.substr(key.size() + 1))) * 1024;
  return std::nullopt;
}
}  // namespace

TPeakMeter::TPeakMeter() {
  std::ofstream reset("/proc/self/clear_refs");
  reset << "5";
  reset.close();
  const auto now = StatusBytes("VmRSS"), peak = StatusBytes("VmHWM");
  // The mark falls back to the present size only where the kernel resets it.
  if (reset && now && peak && *peak <= *now + (std::uint64_t(4) << 20)) start_ = now;
}

std::optional<std::uint64_t> TPeakMeter::PeakAbove() const {
  const auto peak = StatusBytes("VmHWM");
  if (!start_ || !peak) return std::nullopt;
  return *peak > *start_ ? *peak - *start_ : 0;
}
