// Saving and loading a work of eight 1024 x 1024 layers, against the floor of the
// same work: zlib level 9 over the alpha planes and masks plus libjpeg-turbo
// encoding the colour of the same pictures.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>

#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/Mask.h"
#include "picture/WorkFile.h"
#include "platform/CompoundFile.h"

namespace {
constexpr int kSide = 1024;
constexpr int kLayers = 8;

struct Work {
  std::vector<TBitmap32> pictures;
  std::vector<std::vector<std::uint8_t>> masks;
  TWorkHeader header;
  std::vector<TWorkLayerData> data;
};

// Smooth colour with some grain, a soft-edged alpha shape and two regions.
const Work& MakeWork() {
  static Work work = [] {
    Work w;
    std::mt19937 random(7);
    for (int i = 0; i < kLayers; ++i) {
      TBitmap32 b(kSide, kSide);
      for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
          int grain = int(random() % 9);
          int dx = x - kSide / 2, dy = y - kSide / 2;
          int d = (dx * dx + dy * dy) / 1024;
          std::uint8_t a = d < 200 ? 255 : d < 256 ? std::uint8_t(255 - (d - 200) * 4) : 0;
          b.SetPixel(x, y, Color32(std::uint8_t((x / 4 + i * 20 + grain) & 255), std::uint8_t((y / 4 + grain) & 255),
                                   std::uint8_t((x + y) / 8), a));
        }
      w.pictures.push_back(std::move(b));
      std::vector<std::uint8_t> map(std::size_t(kSide) * kSide);
      for (std::size_t k = 0; k < map.size(); ++k) map[k] = (k % kSide) < kSide / 2 ? 1 : 2;
      w.masks.push_back(CompressStream(map));
      TLayerRecord r;
      r.Id = "0000000" + std::to_string(i);
      w.header.Layers.push_back(r);
    }
    w.header.Version = "Tressary 5.10";
    for (int i = 0; i < kLayers; ++i) w.data.push_back({&w.pictures[std::size_t(i)], w.masks[std::size_t(i)]});
    return w;
  }();
  return work;
}

void BM_SaveCompressedWork(benchmark::State& state) {
  const Work& w = MakeWork();
  std::size_t size = 0;
  for (auto _ : state) size = BuildCompressedWork(w.header, w.data, w.pictures[0]).size();
  state.counters["file_MiB"] = double(size) / (1 << 20);
}
BENCHMARK(BM_SaveCompressedWork)->Unit(benchmark::kMillisecond);

void BM_SaveContainerWork(benchmark::State& state) {
  const Work& w = MakeWork();
  std::size_t size = 0;
  for (auto _ : state) size = BuildWorkContainer(w.header, w.data, w.pictures[0])->size();
  state.counters["file_MiB"] = double(size) / (1 << 20);
}
BENCHMARK(BM_SaveContainerWork)->Unit(benchmark::kMillisecond);

// Loading: the conversion to a container and every layer's picture and mask decoded.
void BM_LoadCompressedWork(benchmark::State& state) {
  const Work& w = MakeWork();
  auto file = BuildCompressedWork(w.header, w.data, w.pictures[0]);
  for (auto _ : state) {
    auto container = TCompoundFileReader::FromMemory(*ConvertWorkFile(file));
    for (const TLayerRecord& r : w.header.Layers) {
      benchmark::DoNotOptimize(DecodeBmp32(*container->ReadStream(r.Id + ".bmp")));
      benchmark::DoNotOptimize(DecompressStream(*container->ReadStream(r.Id + ".msk")));
    }
  }
}
BENCHMARK(BM_LoadCompressedWork)->Unit(benchmark::kMillisecond);

// The floor: zlib level 9 over alpha planes and masks, JPEG quality 90 of the colour.
void BM_FloorZlibAndJpeg(benchmark::State& state) {
  const Work& w = MakeWork();
  std::vector<std::uint8_t> alpha(std::size_t(kSide) * kSide), map(alpha.size());
  for (std::size_t k = 0; k < map.size(); ++k) map[k] = (k % kSide) < kSide / 2 ? 1 : 2;
  std::vector<std::uint8_t> out(compressBound(uLong(alpha.size())));
  for (auto _ : state) {
    for (const TBitmap32& b : w.pictures) {
      for (std::size_t k = 0; k < alpha.size(); ++k) alpha[k] = b.Bits()[k * 4 + 3];
      for (const auto* plane : {&alpha, &map}) {
        uLongf length = uLongf(out.size());
        compress2(out.data(), &length, plane->data(), uLong(plane->size()), 9);
        benchmark::DoNotOptimize(length);
      }
      benchmark::DoNotOptimize(EncodeJpeg(b, 90));
    }
  }
}
BENCHMARK(BM_FloorZlibAndJpeg)->Unit(benchmark::kMillisecond);
}  // namespace
