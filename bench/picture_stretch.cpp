// Stretching a 1024 x 1024 picture with alpha to 1536 x 1536, bilinear and
// premultiplied, against Qt's smooth scaling of the same picture.
#include <benchmark/benchmark.h>

#include <QImage>

#include "BenchPicture.h"
#include "picture/BitmapRoutines.h"
#include "picture/forms/BitmapImage.h"

namespace {
const TBitmap32& Source() {
  static const TBitmap32 picture = TemplateLikePicture(1024);
  return picture;
}

void BM_StretchDrawBilinear32(benchmark::State& state) {
  TBitmap32 target(1536, 1536);
  for (auto _ : state) {
    StretchDrawBilinear32(target, {0, 0, 1536, 1536}, Source());
    benchmark::DoNotOptimize(target.Bits());
  }
}

void BM_QImageScaledSmooth(benchmark::State& state) {
  const QImage image = ImageView(Source());
  for (auto _ : state) {
    QImage scaled = image.scaled(1536, 1536, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(scaled.constBits());
  }
}

// Qt scales premultiplied pictures without converting them first.
void BM_QImageScaledSmoothPremultiplied(benchmark::State& state) {
  const QImage image = ImageView(Source()).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QImage scaled = image.scaled(1536, 1536, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(scaled.constBits());
  }
}

// Qt's smooth scaling splits a large picture over Qt's own thread pool, whose
// work this thread's CPU time does not see: every figure in real time, and the
// one-core comparison under taskset.
BENCHMARK(BM_StretchDrawBilinear32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QImageScaledSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QImageScaledSmoothPremultiplied)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
