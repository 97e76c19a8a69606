// Saving and loading a work of eight 1024 x 1024 layers, against the floor of the
// same work: zlib level 9 over the alpha planes and masks plus libjpeg-turbo
// encoding the colour of the same pictures. Opening a work of 8 and 16 layers onto
// the desk, against decoding its packed layers directly, one after another, with
// the peak memory of each as a multiple of the layers' pixel bytes. Reading a
// container of 4,096 small layers, against one of 1,024: four times the layers,
// about four times the time.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <zlib.h>

#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/LoadedWork.h"
#include "picture/Mask.h"
#include "picture/PackedPicture.h"
#include "picture/WorkFile.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "support/FakeDeskOwner.h"
#include "support/FakeWorkPorts.h"

namespace {
constexpr int kSide = 1024;
constexpr int kLayers = 8;

struct Work {
  std::vector<TBitmap32> pictures;
  std::vector<std::unique_ptr<TMask>> maskObjects;  // on `pictures`, whose places stay
  std::vector<std::vector<std::uint8_t>> masks;
  TWorkHeader header;
  std::vector<TWorkLayerData> data;
};

// Smooth colour with some grain, a soft-edged alpha shape and two regions.
const Work& MakeWork(int layers = kLayers) {
  static std::map<int, Work> works;
  if (works.count(layers)) return works[layers];
  Work& work = works[layers] = [layers] {
    Work w;
    std::mt19937 random(7);
    for (int i = 0; i < layers; ++i) {
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
    }
    // The mask a layer saves: the left half region 1, the right half region 2,
    // both with the layer's own colour (a region of other colour would need a
    // rendering of its own, which the direct decode does not make).
    for (int i = 0; i < layers; ++i) {
      TMask& mask = *w.maskObjects.emplace_back(std::make_unique<TMask>());
      mask.SetBitmap(&w.pictures[std::size_t(i)]);
      std::span<std::uint8_t> map = mask.Map().Bytes();
      for (std::size_t k = 0; k < map.size(); ++k) map[k] = (k % kSide) < kSide / 2 ? 1 : 2;
      w.masks.emplace_back();
      mask.SaveToStream(w.masks.back());
      TLayerRecord r;
      r.Id = "000000" + std::to_string(10 + i);
      w.header.Layers.push_back(r);
    }
    w.header.Version = "Tressary 5.10";
    for (int i = 0; i < layers; ++i) w.data.push_back({&w.pictures[std::size_t(i)], w.masks[std::size_t(i)]});
    return w;
  }();
  return work;
}

// Saving deflates every mask as the program does at save time, as the floor
// deflates its plane.
void BM_SaveCompressedWork(benchmark::State& state) {
  const Work& w = MakeWork();
  std::vector<TWorkLayerData> data = w.data;
  std::size_t size = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < data.size(); ++i) {
      data[i].MaskStream.clear();
      w.maskObjects[i]->SaveToStream(data[i].MaskStream);
    }
    size = BuildCompressedWork(w.header, data, w.pictures[0]).size();
  }
  if (data[0].MaskStream != w.masks[0]) state.SkipWithError("the mask saved differently");
  state.counters["file_MiB"] = double(size) / (1 << 20);
}
BENCHMARK(BM_SaveCompressedWork)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    auto container = *TCompoundFileReader::FromMemory(*ConvertWorkFile(file));
    for (const TLayerRecord& r : w.header.Layers) {
      benchmark::DoNotOptimize(DecodeBmp32(*container->ReadStream(r.Id + ".bmp")));
      benchmark::DoNotOptimize(DecompressStream(*container->ReadStream(r.Id + ".msk")));
    }
  }
}
BENCHMARK(BM_LoadCompressedWork)->Unit(benchmark::kMillisecond);

// Peak memory: Linux resets the peak resident size on "5" to clear_refs.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
double StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, key.size(), key) == 0) return std::stod(line.substr(key.size())) * 1024;
  return 0;
}

// Runs `load` each iteration and reports its peak memory over what was resident
// before it, per byte of the layers' pixels. `clear` (untimed) drops what the last
// load made, and the freed memory goes back to the system, so that the next load's
// pictures count in full rather than filling the place of the last one's. One
// load before the first measured one makes what lasts beyond a load (the desk's
// own bitmaps, the task pool's threads).
// Every block from 256 KiB up gets pages of its own that go back when it is freed
// (a fixed threshold: glibc would otherwise raise it after the first free and keep
// freed pictures for the next), so that the resident peak counts every picture.
template <typename Clear, typename Load>
void MeasureLoad(benchmark::State& state, int layers, Clear clear, Load load) {
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  load();
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    clear();
    malloc_trim(0);
    ResetPeakMemory();
    const double before = StatusBytes("VmRSS:");
    state.ResumeTiming();
    load();
    state.PauseTiming();
    peak = std::max(peak, StatusBytes("VmHWM:") - before);
    state.ResumeTiming();
  }
  state.counters["peak_per_pixel_byte"] = peak / (double(layers) * kSide * kSide * 4);
}

// Opening the compressed work file onto an empty desk: read, decode, layers made,
// rendered and composed.
void BM_OpenWork(benchmark::State& state) {
  const int layers = int(state.range(0));
  const Work& w = MakeWork(layers);
  const fs::path file = NewTempFilePath(".tsc");
  WriteFileAtomic(file, BuildCompressedWork(w.header, w.data, w.pictures[0]));
  SetSmallDesk(kSide, kSide, kSide, kSide);
  DeskFixture fixture;
  FakeWorkPorts ports;
  TWorkFiles files(fixture.desk, ports);
  MeasureLoad(
      state, layers, [&] { fixture.desk.ClearLayers(); }, [&] { files.LoadWorkFromFile(file); });
  state.counters["file_per_pixel_byte"] = double(fs::file_size(file)) / (double(layers) * kSide * kSide * 4);
  if (fixture.desk.LayerCount() != layers || !ports.messages.empty() ||
      fixture.desk.Layer(0).Mask.UsedRegions() != std::vector<int>{1, 2})
    state.SkipWithError("the work did not open with its regions");
}
BENCHMARK(BM_OpenWork)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: each layer's packed picture and mask stream decoded directly.
void BM_DecodePackedLayers(benchmark::State& state) {
  const int layers = int(state.range(0));
  const Work& w = MakeWork(layers);
  std::vector<std::vector<std::uint8_t>> packed;
  for (const TBitmap32& picture : w.pictures) packed.push_back(PackBitmap32(picture, 90));
  std::vector<TBitmap32> pictures;
  MeasureLoad(
      state, layers, [&] { pictures.clear(); },
      [&] {
        for (int i = 0; i < layers; ++i) {
          pictures.push_back(*UnpackBitmap32(packed[std::size_t(i)]));
          benchmark::DoNotOptimize(DecompressStream(w.masks[std::size_t(i)]));
        }
      });
}
BENCHMARK(BM_DecodePackedLayers)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

// A work container of many tiny layers read and its pictures decoded, as
// opening it does before the desk is touched: the time goes with the number of
// layers, so 4,096 take about four times what 1,024 take.
void BM_ReadContainerOfManyLayers(benchmark::State& state) {
  const int layers = int(state.range(0));
  TCompoundFileWriter writer;
  std::string list = "VERSION=Tressary 5.10;\r";
  const std::vector<std::uint8_t> bitmap = EncodeBmp32(TBitmap32(4, 4, Color32(10, 20, 30, 255)));
  for (int i = 0; i < layers; ++i) {
    TLayerRecord record;
    record.Id = "L" + std::to_string(100000 + i);
    list += LayerRecordLine(record) + "\r";
    writer.AddStream(record.Id + ".bmp", bitmap);
    writer.AddStream(record.Id + ".msk", std::span<const std::uint8_t>());
  }
  writer.AddStream("ListFile.txt", list);
  const std::vector<std::uint8_t> file = *writer.Build();
  for (auto _ : state) {
    auto work = TLoadedWork::Read(file, false);
    if (!work) state.SkipWithError(work.Error().Text().c_str());
    benchmark::DoNotOptimize(work);
  }
  state.counters["layers_per_second"] = benchmark::Counter(double(layers), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadContainerOfManyLayers)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

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
BENCHMARK(BM_FloorZlibAndJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
