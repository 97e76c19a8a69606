// Rendering a 1024 x 1024 layer with tints in two regions and all four colour
// stages active, against a plain copy of the same bytes (the memory-bandwidth
// floor). Renders run in bands on several threads, as in the program. The
// picture is photo-like (gradients with noise, so colours rarely repeat) inside
// an elliptic cut-out, as a hairstyle layer is.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "picture/ColorStages.h"
#include "picture/Layer.h"
#include "support/FakeLayerHost.h"

namespace {

constexpr int kSide = 1024;

TBitmap32 PhotoLike() {
  TBitmap32 p(kSide, kSide);
  std::uint32_t seed = 12345;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = int(seed >> 28) - 8;
      const double dx = (x - 512) / 512.0, dy = (y - 512) / 512.0;
      const bool inside = dx * dx + dy * dy <= 1.0;
      p.SetPixel(x, y, Color32(std::uint8_t(std::clamp(60 + x / 6 + noise, 0, 255)),
                               std::uint8_t(std::clamp(40 + y / 8 + noise, 0, 255)),
                               std::uint8_t(std::clamp(30 + (x + y) / 16 - noise, 0, 255)), inside ? 255 : 0));
    }
  return p;
}

struct Scene {
  FakeLayerHost host;
  TLayer layer;
  Scene() : layer(host, PhotoLike()) {
    host.desk = {1.0, kSide, kSide, {0, 0, kSide, kSide}};
    for (int region : {1, 2}) {
      layer.Mask.SetRegionIndex(region);
      layer.Mask.SetWorkRect(region == 1 ? TRect{0, 0, kSide / 2, kSide} : TRect{0, 0, kSide, kSide / 3});
      layer.Mask.Apply(kMaskSetRect);
    }
    layer.Mask.SetRegionColor(1, 0x2050C0);
    layer.Mask.SetRegionColor(2, 0xC08020);
    layer.SetRed(60);
    layer.SetGreen(45);
    layer.SetBlue(55);
    layer.SetHue(110);
    layer.SetSaturation(115);
    layer.SetBrightness(95);
    layer.SetContrast(120);
  }
};

using Clock = std::chrono::steady_clock;

// Mean seconds of one copy of the picture's bytes into a target already touched,
// measured now so that a render's ratio to it comes from the same moment of a
// shared machine.
double CopySeconds(const TBitmap32& picture) {
  TBitmap32 target = picture;
  constexpr int kCopies = 200;
  const auto start = Clock::now();
  for (int i = 0; i < kCopies; ++i) {
    std::memcpy(target.Bits(), picture.Bits(), picture.ByteSize());
    benchmark::DoNotOptimize(target.Bits());
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(Clock::now() - start).count() / kCopies;
}

// Renders under the benchmark's loop; the counter "x_copy" is the mean wall time
// of a render over the copy time measured just before.
void RenderAgainstCopy(benchmark::State& state, Scene& scene) {
  const double copy = CopySeconds(scene.layer.Picture);
  const auto start = Clock::now();
  for (auto _ : state) {
    scene.layer.Render(scene.host.desk);
    benchmark::DoNotOptimize(scene.layer.ViewRendering().Bitmap.Bits());
  }
  const double render = std::chrono::duration<double>(Clock::now() - start).count() / double(state.iterations());
  state.counters["x_copy"] = render / copy;
  state.SetBytesProcessed(state.iterations() * std::int64_t(scene.layer.Picture.ByteSize()));
}

void BM_RenderAllStages(benchmark::State& state) {
  Scene scene;
  RenderAgainstCopy(state, scene);
}
BENCHMARK(BM_RenderAllStages)->Unit(benchmark::kMillisecond);

// The same on the narrower instruction sets a processor may lack the wider of:
// 0 one pixel at a time, 1 eight pixels with byte-shuffled tables.
void BM_RenderAllStagesNarrower(benchmark::State& state) {
  const auto width = TStagesWidth(state.range(0));
  if (width > SupportedStagesWidth()) {
    state.SkipWithError("not supported here");
    return;
  }
  LimitStagesWidth(width);
  Scene scene;
  RenderAgainstCopy(state, scene);
  LimitStagesWidth(TStagesWidth::Widest);
}
BENCHMARK(BM_RenderAllStagesNarrower)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Where the time goes: the same with the hue/saturation/brightness stage neutral.
void BM_RenderWithoutHsb(benchmark::State& state) {
  Scene scene;
  scene.layer.SetHue(100);
  scene.layer.SetSaturation(100);
  scene.layer.SetBrightness(100);
  RenderAgainstCopy(state, scene);
}
BENCHMARK(BM_RenderWithoutHsb)->Unit(benchmark::kMillisecond);

// The stages alone on the calling thread, row by row over a copy of the picture,
// with the scene's regions: the work the bands of a render share out (the mean
// luminance inside still runs in bands).
void BM_StagesOneThread(benchmark::State& state) {
  Scene scene;
  TBitmap32 work = scene.layer.Picture;
  const TMaskA& map = scene.layer.Mask.GetMap();
  for (auto _ : state) {
    TColorStages stages(scene.layer.Picture, scene.layer.Values(), &scene.layer.Mask);
    for (int y = 0; y < kSide; ++y) {
      std::copy_n(scene.layer.Picture.PixelPtr(0, y), kSide, work.PixelPtr(0, y));
      stages.ApplyRow(work.PixelPtr(0, y), map.Row(y), kSide);
    }
    benchmark::DoNotOptimize(work.Bits());
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(work.ByteSize()));
}
BENCHMARK(BM_StagesOneThread)->Unit(benchmark::kMillisecond);

// The contrast stage's mean luminance, computed once per render.
void BM_MeanLuminance(benchmark::State& state) {
  TBitmap32 picture = PhotoLike();
  for (auto _ : state) benchmark::DoNotOptimize(MeanLuminance(picture));
  state.SetBytesProcessed(state.iterations() * std::int64_t(picture.ByteSize()));
}
BENCHMARK(BM_MeanLuminance)->Unit(benchmark::kMillisecond);

// Reference: copying the picture's bytes.
void BM_CopyReference(benchmark::State& state) {
  TBitmap32 source = PhotoLike(), target(kSide, kSide);
  for (auto _ : state) {
    std::memcpy(target.Bits(), source.Bits(), source.ByteSize());
    benchmark::DoNotOptimize(target.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(source.ByteSize()));
}
BENCHMARK(BM_CopyReference)->Unit(benchmark::kMillisecond);

}  // namespace
