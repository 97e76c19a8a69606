// Unpacking an element archive of many small files (a skin's pieces) into one
// folder, against the floor of writing the same files plainly, one stream each,
// and syncing the file system once. The ratio is what the unpacking's checks,
// temporaries and renames cost per file.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "picture/Archive.h"
#include "platform/FileIO.h"

namespace {
constexpr int kFileBytes = 1024;

fs::path Folder(const std::string& name) {
  const fs::path folder = PrivateTempDir() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::string Content(int i) { return std::string(kFileBytes, char('a' + i % 26)); }

// An archive of `count` stored files of one kilobyte, "skin\file<i>.psd".
fs::path MakeArchive(int count) {
  const fs::path file = PrivateTempDir() / ("bench" + std::to_string(count) + ".arh");
  if (fs::exists(file)) return file;
  std::string lines, data;
  for (int i = 0; i < count; ++i) {
    lines += "skin;file" + std::to_string(i) + ".psd;2;" + std::to_string(kFileBytes) + ";\r\n";
    data += Content(i);
  }
  // The offset counts its own digits: grow it until it is stable.
  std::string head;
  for (std::size_t offset = 0;;) {
    head = "BEGIN;" + std::to_string(offset) + "\r\n" + lines + "END\r\n";
    if (head.size() == offset) break;
    offset = head.size();
  }
  std::ofstream(file, std::ios::binary) << head << data;
  return file;
}

void BM_ExtractArchive(benchmark::State& state) {
  const int count = int(state.range(0));
  const fs::path archive = MakeArchive(count);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path out = Folder("extract");
    state.ResumeTiming();
    if (!ExtractArchive(archive, out)) state.SkipWithError("the archive did not unpack");
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ExtractArchive)->Arg(1000)->Unit(benchmark::kMillisecond);

// The floor: the same files written plainly below one folder, synced once.
void BM_PlainWrites(benchmark::State& state) {
  const int count = int(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path out = Folder("plain");
    state.ResumeTiming();
    fs::create_directories(out / "skin");
    for (int i = 0; i < count; ++i) std::ofstream(out / "skin" / ("file" + std::to_string(i) + ".psd")) << Content(i);
    SyncFileSystem(out);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PlainWrites)->Arg(1000)->Unit(benchmark::kMillisecond);
}  // namespace
