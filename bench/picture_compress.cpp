// Compressing a 4 MiB layer (1024 x 1024 pixels of 4 bytes) with CompressStream
// against zlib's compress2 at level 9 called directly on the same bytes.
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <vector>

#include "BenchPicture.h"
#include "picture/Compression.h"

namespace {
const TBitmap32& Layer() {
  static const TBitmap32 picture = TemplateLikePicture(1024);
  return picture;
}

void BM_CompressStream(benchmark::State& state) {
  const auto bytes = Layer().Bytes();
  std::size_t size = 0;
  for (auto _ : state) {
    auto packed = CompressStream(bytes);
    size = packed.size();
    benchmark::DoNotOptimize(packed.data());
  }
  state.counters["compressed"] = double(size);
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

void BM_Compress2Level9(benchmark::State& state) {
  const auto bytes = Layer().Bytes();
  std::vector<Bytef> out(compressBound(bytes.size()));
  uLongf size = 0;
  for (auto _ : state) {
    size = out.size();
    compress2(out.data(), &size, bytes.data(), bytes.size(), 9);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["compressed"] = double(size);
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

BENCHMARK(BM_CompressStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress2Level9)->Unit(benchmark::kMillisecond);
}  // namespace
