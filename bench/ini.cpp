// Ini lookups against a plain linear scan of the same lines (the floor for a file
// that is searched ignoring case).
#include <benchmark/benchmark.h>

#include <string>

#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {
std::string MakeIni() {
  std::string text;
  for (int s = 0; s < 20; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 30; ++k) text += "Key" + std::to_string(k) + "=Value " + std::to_string(k) + "\r\n";
  }
  return text;
}

void BM_IniParse(benchmark::State& state) {
  std::string text = MakeIni();
  for (auto _ : state) benchmark::DoNotOptimize(TIniFile::FromText(text));
}
BENCHMARK(BM_IniParse);

void BM_IniLookup(benchmark::State& state) {
  TIniFile ini = TIniFile::FromText(MakeIni());
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadString("section19", "KEY29", ""));
}
BENCHMARK(BM_IniLookup);

// Reference: the same lookup as a scan of the raw lines.
void BM_LineScanReference(benchmark::State& state) {
  auto lines = SplitLines(MakeIni());
  for (auto _ : state) {
    std::string found;
    bool inSection = false;
    for (const auto& line : lines) {
      if (!line.empty() && line[0] == '[') inSection = EqualsNoCase(line, "[section19]");
      else if (inSection && StartsWithNoCase(line, "KEY29=")) found = line.substr(6);
    }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_LineScanReference);
}  // namespace
