// Filling a bald head: the editor's fill of a 300 x 300 blank in a 1024 x 1024
// portrait against OpenCV's inpainting (Telea) of the same blank in the same run.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/photo.hpp>

#include "editor/BaldHead.h"

namespace {

constexpr int kSide = 1024;
constexpr TRect kBlank{350, 300, 650, 600};

// A skin-like gradient with fine noise, the square blank (alpha 0).
TBitmap32 Portrait() {
  TBitmap32 p(kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const int n = (x * 7919 + y * 104729) % 13;
      p.SetPixel(x, y, Color32(std::uint8_t(200 + n + x / 64), std::uint8_t(160 + n + y / 64), std::uint8_t(130 + n), kBlank.Contains(x, y) ? 0 : 255));
    }
  return p;
}

// The outline grown over the blank: handles dragged as the user would.
void CoverBlank(TBaldHeadEditor& editor) {
  editor.EnterBaldHeadMode();
  auto drag = [&editor](TPoint from, TPoint to) {
    editor.ShapeMouseDown(from);
    editor.ShapeMouseMove(to);
    editor.ShapeMouseUp();
  };
  const TRect e = editor.Shape().Ellipse;
  const int midX = (e.Left + e.Right) / 2, midY = (e.Top + e.Bottom) / 2;
  drag({e.Left, midY + 20}, {200, midY + 20});
  drag({e.Right, midY + 20}, {800, midY + 20});
  drag({midX, e.Top}, {midX, 100});
  drag({midX, e.Bottom}, {midX, 1000});
  const THeadShape& s = editor.Shape();
  drag(s.CutLeft, {s.CutLeft.X, 900});
  drag(editor.Shape().CutRight, {editor.Shape().CutRight.X, 900});
}

void BM_FillBlank(benchmark::State& state) {
  const TBitmap32 portrait = Portrait();
  for (auto _ : state) {
    state.PauseTiming();
    TBaldHeadEditor editor(portrait, {512, 460}, {0, 0});
    CoverBlank(editor);
    state.ResumeTiming();
    editor.FillBlank();
    benchmark::DoNotOptimize(editor.Filled());
  }
  TBaldHeadEditor check(portrait, {512, 460}, {0, 0});
  CoverBlank(check);
  check.FillBlank();
  const TBitmap32 result = check.Result();
  int blank = 0;
  for (int y = kBlank.Top; y < kBlank.Bottom; ++y)
    for (int x = kBlank.Left; x < kBlank.Right; ++x) blank += AlphaOf(result.Pixel(x, y)) == 0;
  if (blank != 0) state.SkipWithError("the outline does not cover the blank");
}
BENCHMARK(BM_FillBlank)->Unit(benchmark::kMillisecond);

void BM_OpenCvInpaintTeleaReference(benchmark::State& state) {
  const TBitmap32 portrait = Portrait();
  cv::Mat bgra(kSide, kSide, CV_8UC4, const_cast<std::uint8_t*>(portrait.Bits()));
  cv::Mat bgr, mask(kSide, kSide, CV_8UC1, cv::Scalar(0)), out;
  cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
  mask(cv::Rect(kBlank.Left, kBlank.Top, kBlank.Width(), kBlank.Height())).setTo(255);
  for (auto _ : state) {
    cv::inpaint(bgr, mask, out, 3, cv::INPAINT_TELEA);
    benchmark::DoNotOptimize(out.data);
  }
}
BENCHMARK(BM_OpenCvInpaintTeleaReference)->Unit(benchmark::kMillisecond);

}  // namespace
