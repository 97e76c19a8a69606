#pragma once
// What a program costs in memory, for tests that bound the cost of a file: the
// program runs as a child process and its peak resident size is read when it ends.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TPeakRun {
  int ExitCode = -1;       // -1 when it did not exit on its own
  std::string Errors;      // what it wrote on standard error
  std::uint64_t PeakBytes = 0;
};

// Runs `argv` (argv[0] a path, no shell) to its end with its standard output
// discarded; nullopt when it cannot be started.
std::optional<TPeakRun> RunForPeakMemory(const std::vector<std::string>& argv);

// The peak resident size of this process from the meter's making on, above what
// was resident then (the kernel's high-water mark is reset to the present size;
// each test runs in a process of its own).
class TPeakMeter {
 public:
  TPeakMeter();
  // nullopt when the kernel does not let the mark be reset or read.
  std::optional<std::uint64_t> PeakAbove() const;

 private:
  std::optional<std::uint64_t> start_;
};

// Whether peak memory says anything in this build: a sanitizer's allocator holds
// freed blocks back and maps shadow memory, so its peaks are not the program's.
constexpr bool kPeakMemoryMeasurable =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    false;
#else
    true;
#endif
