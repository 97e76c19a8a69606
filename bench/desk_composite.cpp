// The desk's composite of eight 1024 x 1024 layer renderings (two with faded
// regions, one at 50 % opacity): for export, for the desk at scales 1, 2 and 0.5
// (the regions' map sampled from a canvas of twice, once and half the rendering's
// size), and as a whole redraw of a desk window through the montage desk, each
// against QPainter laying the same renderings, premultiplied, over each other with
// SourceOver. Ours on one thread (/1, the last argument) and on all the process
// may use (/0).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "BenchThreads.h"
#include "editor/DeskCompositor.h"
#include "picture/Mask.h"
#include "picture/forms/BitmapImage.h"
#include "support/FakeDeskOwner.h"

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

// Two regions of the map of a canvas `canvas` pixels wide, where a rendering of
// kSide pixels shows it whole.
void FadeRegions(TMask& mask, int canvas) {
  TMaskA& map = mask.Map();
  const auto at = [canvas](int x) { return x * canvas / kSide; };
  for (int y = at(200); y < at(700); ++y)
    for (int x = at(250); x < at(600); ++x) map.At(x, y) = x < at(420) ? 1 : 3;
  mask.SetRegionOpacity(1, 60);
  mask.SetRegionOpacity(2, 30);
  mask.GetUsedRegions();
}

// `scale` is canvas pixels per rendering pixel, as the desk's scale is.
struct Scene {
  std::vector<TBitmap32> pictures;
  std::vector<std::vector<TAlphaSpan>> spans;  // measured once, as a layer's rendering does
  TBitmap32 canvas;
  std::vector<std::unique_ptr<TMask>> masks;
  std::vector<TCompositeLayer> layers;
  std::vector<QImage> premultiplied;

  explicit Scene(double scale = 1.0) : canvas(int(kSide * scale), int(kSide * scale)) {
    pictures.reserve(kLayers);
    for (int i = 0; i < kLayers; ++i) {
      pictures.push_back(Disc(i));
      spans.push_back(MeasureAlphaSpans(pictures.back()));
    }
    for (int i = 0; i < kLayers; ++i) {
      TCompositeLayer layer{&pictures[std::size_t(i)], {0, 0}, {0, 0, canvas.Width(), canvas.Height()}, nullptr, 100,
                            spans[std::size_t(i)]};
      if (i == 2 || i == 5) {
        auto mask = std::make_unique<TMask>();
        mask->SetBitmap(&canvas);
        FadeRegions(*mask, canvas.Width());
        layer.Mask = mask.get();
        masks.push_back(std::move(mask));
      }
      if (i == 4) layer.Opacity = 50;
      layers.push_back(layer);
      premultiplied.push_back(ImageView(pictures[std::size_t(i)]).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
  }
};

Scene& TheScene(double scale = 1.0) {
  static Scene normal(1.0), out(2.0), in(0.5);
  return scale == 2.0 ? out : scale == 0.5 ? in : normal;
}

void BM_DeskExportComposite(benchmark::State& state) {
  const TaskThreadsFor threads(state.range(0));
  Scene& scene = TheScene();
  TBitmap32 target(kSide, kSide);
  for (auto _ : state) {
    CompositeLayers(target, {0, 0, kSide, kSide}, scene.layers, 1.0, TCompositeAlpha::Accumulate);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
}
BENCHMARK(BM_DeskExportComposite)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same layers without regions and opacity: what the faded paths cost.
void BM_DeskExportCompositeUnfaded(benchmark::State& state) {
  const TaskThreadsFor threads(state.range(0));
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
BENCHMARK(BM_DeskExportCompositeUnfaded)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The desk's composite (opaque white ground) at scale state.range(0) / 2.
void BM_DeskComposite(benchmark::State& state) {
  const TaskThreadsFor threads(state.range(1));
  const Scene& scene = TheScene(state.range(0) / 2.0);
  TBitmap32 target(kSide, kSide);
  for (auto _ : state) {
    CompositeLayers(target, {0, 0, kSide, kSide}, scene.layers, state.range(0) / 2.0, TCompositeAlpha::Coverage);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
}
BENCHMARK(BM_DeskComposite)->ArgsProduct({{2, 4, 1}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole desk window redrawn through the montage desk: the same eight pictures
// as layers of a 1024 x 1024 canvas at scale 1, composed and copied to the screen
// bitmap.
void BM_DeskRedraw(benchmark::State& state) {
  const TaskThreadsFor threads(state.range(0));
  SetSmallDesk(kSide, kSide, kSide, kSide);
  DeskFixture fixture;
  FakeDeskView view;
  fixture.desk.SetView(&view);
  for (int i = kLayers - 1; i >= 0; --i) {
    auto layer = std::make_unique<TLayer>(fixture.desk, Disc(i));
    if (i == 2 || i == 5) FadeRegions(layer->Mask, kSide);
    if (i == 4) layer->SetOpacity(50);
    layer->Render(fixture.desk.DeskFrame());
    fixture.desk.InsertLayer(std::move(layer));
  }
  for (auto _ : state) {
    view.shown.clear();
    fixture.desk.RefreshAll();
    benchmark::DoNotOptimize(view.shown.data());
  }
  state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
}
BENCHMARK(BM_DeskRedraw)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QPainterSourceOver(benchmark::State& state) {
  Scene& scene = TheScene();
  QImage target(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    target.fill(Qt::white);
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
BENCHMARK(BM_QPainterSourceOver)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
