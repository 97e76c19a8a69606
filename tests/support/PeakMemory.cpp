#include "support/PeakMemory.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "support/PictureJudges.h"
#include "support/TestPaths.h"

// A process's peak survives its exec, and a child starts with what its parent
// holds (all of it for posix_spawn's child, which shares it), so a child started
// straight from the test would report the test's memory as its own. A small
// Python process in between starts the program from a clean slate and reports
// what it waited for.
std::optional<TPeakRun> RunForPeakMemory(const std::vector<std::string>& argv) {
  TempFolder dir;
  const fs::path errors = dir / "stderr";
  std::string command =
      "python3 -c 'import os, sys\n"
      "pid = os.fork()\n"
      "if pid == 0:\n"
      "    try:\n"
      "        os.dup2(os.open(os.devnull, os.O_WRONLY), 1)\n"
      "        os.dup2(os.open(sys.argv[1], os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600), 2)\n"
      "        os.execv(sys.argv[2], sys.argv[2:])\n"
      "    finally:\n"
      "        os._exit(127)\n"
      "_, status, usage = os.wait4(pid, 0)\n"
      "print(os.waitstatus_to_exitcode(status), usage.ru_maxrss)\n' " +
      Quoted(errors);
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
  std::ifstream errorText(errors, std::ios::binary);
  run.Errors.assign(std::istreambuf_iterator<char>(errorText), std::istreambuf_iterator<char>());
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
