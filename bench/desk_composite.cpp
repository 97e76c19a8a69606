// The desk's export composite of eight 1024 x 1024 layers (two with faded regions,
// one at 50 % opacity) against QPainter laying the same layers, premultiplied,
// over each other with SourceOver.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "editor/DeskCompositor.h"
#include "picture/Mask.h"
#include "picture/forms/BitmapImage.h"

namespace {

constexpr int kSide = 1024;
constexpr int kLayers = 8;

// A soft disc: opaque inside, a ramp of partial alpha at the rim, clear outside,
// the way a cut-out hairstyle looks.
TBitmap32 Disc(int index) {
  TBitmap32 bitmap(kSide, kSide);
  const double cx = 300 + 60 * index, cy = 350 + 40 * index, radius = 260 + 20 * index;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x - cx, y - cy);
      const double alpha = std::clamp((radius - d) * 8.0, 0.0, 255.0);
      bitmap.SetPixel(x, y, Color32(std::uint8_t(x * 7 + index * 30), std::uint8_t(y * 3), std::uint8_t(index * 31),
                                    std::uint8_t(alpha)));
    }
  return bitmap;
}

struct Scene {
  std::vector<TBitmap32> pictures;
  std::vector<std::unique_ptr<TMask>> masks;
  std::vector<TCompositeLayer> layers;
  std::vector<QImage> premultiplied;

  Scene() {
    pictures.reserve(kLayers);
    for (int i = 0; i < kLayers; ++i) pictures.push_back(Disc(i));
    for (int i = 0; i < kLayers; ++i) {
      TCompositeLayer layer{&pictures[std::size_t(i)], {0, 0}, {0, 0, kSide, kSide}, nullptr, 100};
      if (i == 2 || i == 5) {
        auto mask = std::make_unique<TMask>();
        mask->SetBitmap(&pictures[std::size_t(i)]);
        TMaskA& map = mask->Map();
        for (int y = 200; y < 700; ++y)
          for (int x = 250; x < 600; ++x) map.At(x, y) = x < 420 ? 1 : 3;
        mask->SetRegionOpacity(1, 60);
        mask->SetRegionOpacity(2, 30);
        mask->GetUsedRegions();
        layer.Mask = mask.get();
        masks.push_back(std::move(mask));
      }
      if (i == 4) layer.Opacity = 50;
      layers.push_back(layer);
      premultiplied.push_back(ImageView(pictures[std::size_t(i)]).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_DeskExportComposite(benchmark::State& state) {
  Scene& scene = TheScene();
  TBitmap32 target(kSide, kSide);
  for (auto _ : state) {
    CompositeLayers(target, {0, 0, kSide, kSide}, scene.layers, 1.0, TCompositeAlpha::Accumulate);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
}
BENCHMARK(BM_DeskExportComposite)->Unit(benchmark::kMillisecond);

// The same layers without regions and opacity: what the faded paths cost.
void BM_DeskExportCompositeUnfaded(benchmark::State& state) {
  std::vector<TCompositeLayer> layers = TheScene().layers;
  for (TCompositeLayer& layer : layers) {
    layer.Mask = nullptr;
    layer.Opacity = 100;
  }
  TBitmap32 target(kSide, kSide);
  for (auto _ : state) {
    CompositeLayers(target, {0, 0, kSide, kSide}, layers, 1.0, TCompositeAlpha::Accumulate);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
}
BENCHMARK(BM_DeskExportCompositeUnfaded)->Unit(benchmark::kMillisecond);

void BM_QPainterSourceOver(benchmark::State& state) {
  Scene& scene = TheScene();
  QImage target(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The list runs top first, as the desk's does: paint from the bottom.
    for (int i = kLayers - 1; i >= 0; --i) {
      painter.setOpacity(scene.layers[std::size_t(i)].Opacity / 100.0);
      painter.drawImage(0, 0, scene.premultiplied[std::size_t(i)]);
    }
    painter.end();
    benchmark::DoNotOptimize(target.constBits());
  }
  state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
}
BENCHMARK(BM_QPainterSourceOver)->Unit(benchmark::kMillisecond);

}  // namespace
