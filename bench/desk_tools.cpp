// Time per mouse move of a 200-point colour-brush stroke and a 200-point warp
// stroke on a 1024 x 1024 layer, driven through the desk's mouse tools as the
// window drives them (re-rendering and recomposing the desk included), against a
// plain copy of the stroke's bounding rectangle per move in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "BenchPicture.h"
#include "editor/DeskMouseTools.h"
#include "support/FakeDeskOwner.h"

namespace {

constexpr int kSide = 1024;
constexpr int kPoints = 200;
constexpr int kRadius = 25;

// The default desk window over a 1024 canvas at scale 2, the whole canvas in view.
void SetDesk() {
  SetSmallDesk(445, 492, kSide, kSide);
  TestDeskGeometry().DeskScale = 2.0;
  TestDeskGeometry().DeskViewWidth = 890;
  TestDeskGeometry().DeskViewHeight = 984;
}

// A wavy stroke across the middle of the canvas, in window points (scale 2).
std::vector<TPoint> Stroke() {
  std::vector<TPoint> points;
  for (int i = 0; i < kPoints; ++i)
    points.push_back({100 + i, 250 + int(std::lround(40 * std::sin(i / 15.0)))});
  return points;
}

TDeskMouse At(TPoint p) {
  TDeskMouse m;
  m.ButtonHeld = true;
  m.Window = p;
  return m;
}

void StrokeBench(benchmark::State& state, TDeskMode mode) {
  SetDesk();
  DeskFixture fixture;
  fixture.desk.SetView(nullptr);
  FakeToolOwner owner;
  owner.mode = mode;
  owner.settings = {kRadius, 50, kRadius, 50, kRadius, 50, 200, 120, 60};
  fixture.desk.SetWarpFieldAllocated(true);
  auto layer = std::make_unique<TLayer>(fixture.desk, TemplateLikePicture(kSide));
  layer->Render(fixture.desk.DeskFrame());
  fixture.desk.SelectLayer(fixture.desk.InsertLayer(std::move(layer)));
  fixture.desk.RefreshAll();
  TDeskMouseTools tools(fixture.desk, owner);
  const std::vector<TPoint> stroke = Stroke();
  for (auto _ : state) {
    tools.MouseDown(At(stroke[0]));
    for (int i = 1; i < kPoints; ++i) tools.MouseMove(At(stroke[std::size_t(i)]));
    TDeskMouse up = At(stroke.back());
    up.ButtonHeld = false;
    tools.MouseUp(up);
    // Keep the history from filling: each stroke starts from the same state.
    state.PauseTiming();
    fixture.desk.Layer(0).Undo();
    state.ResumeTiming();
  }
  state.counters["per_move"] =
      benchmark::Counter(double(state.iterations()) * (kPoints - 1), benchmark::Counter::kIsRate |
                                                                          benchmark::Counter::kInvert);
}

void BM_BrushStroke(benchmark::State& state) { StrokeBench(state, dmPaint); }
void BM_WarpStroke(benchmark::State& state) { StrokeBench(state, dmModify); }

// The reference: per move, a plain row copy of the whole stroke's bounding
// rectangle on the canvas.
void BM_CopyStrokeRect(benchmark::State& state) {
  TBitmap32 from = TemplateLikePicture(kSide), to(kSide, kSide);
  TRect box{kSide, kSide, 0, 0};
  for (TPoint p : Stroke()) {
    const int x = p.X * 2, y = p.Y * 2;  // canvas at scale 2
    box = UnionRects(box, {x - kRadius, y - kRadius, x + kRadius + 1, y + kRadius + 1});
  }
  box = IntersectRects(box, {0, 0, kSide, kSide});
  for (auto _ : state) {
    for (int i = 1; i < kPoints; ++i)
      for (int y = box.Top; y < box.Bottom; ++y)
        std::memcpy(to.PixelPtr(box.Left, y), from.PixelPtr(box.Left, y), std::size_t(box.Width()) * 4);
    benchmark::DoNotOptimize(to.Bits());
    benchmark::ClobberMemory();
  }
  state.counters["per_move"] =
      benchmark::Counter(double(state.iterations()) * (kPoints - 1), benchmark::Counter::kIsRate |
                                                                          benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_BrushStroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarpStroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyStrokeRect)->Unit(benchmark::kMillisecond);
