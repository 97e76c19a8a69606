// Start-up of the real program to its first painted main window against a
// minimal Qt Widgets window, both ended by TRESSARY_EXIT_ON_FIRST_SHOW: time and
// peak memory (RSS), the two in turn in every iteration so that drift hits both;
// and the shared libraries each has mapped by then.
// Needs a display:   xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_startup
// Each program runs on one processor: STARTUP_BENCH_CPU, else the first this
// benchmark may use (the X server stays where it is); STARTUP_BENCH_CPU=all
// leaves them on every processor, for the threaded figure.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef TRESSARY_PROGRAM
namespace {

struct TRun {
  double Seconds = 0;
  double PeakMiB = 0;
};

// -1: not pinned.
int PinnedCpu() {
  if (const char* cpu = std::getenv("STARTUP_BENCH_CPU")) return std::string_view(cpu) == "all" ? -1 : std::atoi(cpu);
  cpu_set_t set;
  CPU_ZERO(&set);
  sched_getaffinity(0, sizeof set, &set);
  for (int i = 0; i < CPU_SETSIZE; ++i)
    if (CPU_ISSET(i, &set)) return i;
  return 0;
}

// With `maps`, the process copies its memory map there at the first show.
TRun Start(const char* program, const std::filesystem::path& home, const std::filesystem::path& maps = {}) {
  const auto begin = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (const int cpu = PinnedCpu(); cpu >= 0) {
      cpu_set_t set;
      CPU_ZERO(&set);
      CPU_SET(cpu, &set);
      sched_setaffinity(0, sizeof set, &set);
    }
    setenv("TRESSARY_EXIT_ON_FIRST_SHOW", "1", 1);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (!maps.empty()) setenv("TRESSARY_FIRST_SHOW_MAPS", maps.c_str(), 1);
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error(std::string(program) + " did not start and end cleanly");
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
  return {took.count(), usage.ru_maxrss / 1024.0};
}

// The shared libraries `program` has mapped when its first window shows, from a
// run of its own outside the timed ones.
int LibrariesAtFirstShow(const char* program, const std::filesystem::path& home) {
  const std::filesystem::path maps = home / "maps";
  std::filesystem::remove(maps);
  Start(program, home, maps);
  std::ifstream in(maps);
  std::set<std::string> libraries;
  for (std::string line; std::getline(in, line);)
    if (const std::size_t path = line.find('/'); path != std::string::npos && line.find(".so", path) != std::string::npos)
      libraries.insert(line.substr(path));
  if (libraries.empty()) throw std::runtime_error(std::string(program) + " left no memory map at its first show");
  return int(libraries.size());
}

void BM_StartupToFirstWindow(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no display: run under xvfb-run");
    return;
  }
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "tressary-startup-bench";
  std::filesystem::create_directories(home);
  double program = 0, minimal = 0, programMiB = 0, minimalMiB = 0;
  int programLibraries = 0, minimalLibraries = 0;
  try {
    programLibraries = LibrariesAtFirstShow(TRESSARY_PROGRAM, home);
    minimalLibraries = LibrariesAtFirstShow(TRESSARY_MINIMAL_WINDOW, home);
    for (auto _ : state) {
      const TRun reference = Start(TRESSARY_MINIMAL_WINDOW, home);
      const TRun run = Start(TRESSARY_PROGRAM, home);
      state.SetIterationTime(run.Seconds);
      minimal += reference.Seconds, program += run.Seconds;
      minimalMiB += reference.PeakMiB, programMiB += run.PeakMiB;
    }
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  const double n = double(state.iterations());
  state.counters["program_ms"] = 1000 * program / n;
  state.counters["minimal_ms"] = 1000 * minimal / n;
  state.counters["time_ratio"] = program / minimal;
  state.counters["program_MiB"] = programMiB / n;
  state.counters["minimal_MiB"] = minimalMiB / n;
  state.counters["rss_ratio"] = programMiB / minimalMiB;
  state.counters["program_libraries"] = programLibraries;
  state.counters["minimal_libraries"] = minimalLibraries;
}
// Each repetition a handful of pairs; the medians over the repetitions are the figures.
BENCHMARK(BM_StartupToFirstWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(9);

}  // namespace
#endif
