// Composing a picture button's face: the exact blend by Transparency (rounding each
// term half to even) against QPainter's source-over of the same frame, the
// reference for what a compositor costs on the same pixels.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "picture/forms/BitmapImage.h"
#include "shell/SkinPixels.h"

namespace {

// A 64x64 frame with soft edges: alpha runs from 0 to 255 across it.
TBitmap32 Frame() {
  TBitmap32 frame(64, 64, 0);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      frame.SetPixel(x, y, Color32(std::uint8_t(x * 4), std::uint8_t(y * 4), 90, std::uint8_t((x + y) * 2)));
  return frame;
}

void BM_BlendFrame(benchmark::State& state) {
  const TBitmap32 frame = Frame();
  const TBitmap32 background(64, 64, Color32(40, 80, 120));
  for (auto _ : state) {
    TBitmap32 buffer = ComposeButtonBuffer(background, frame, true, true, 1);
    benchmark::DoNotOptimize(buffer.Bits());
  }
}
BENCHMARK(BM_BlendFrame);

void BM_QPainterSourceOverReference(benchmark::State& state) {
  const TBitmap32 frame = Frame();
  const TBitmap32 background(64, 64, Color32(40, 80, 120));
  const QImage over = ImageView(frame);
  for (auto _ : state) {
    TBitmap32 buffer = background;
    QImage view = WritableImageView(buffer);
    QPainter painter(&view);
    painter.setOpacity(0.99);
    painter.drawImage(0, 0, over);
    painter.end();
    benchmark::DoNotOptimize(buffer.Bits());
  }
}
BENCHMARK(BM_QPainterSourceOverReference);

void BM_HitTest(benchmark::State& state) {
  const TBitmap32 sheet = Frame();
  int x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FrameHitTest(sheet, Bounds(0, 0, 64, 64), 128, 128, x, x, 128));
    x = (x + 1) & 127;
  }
}
BENCHMARK(BM_HitTest);

}  // namespace
