// A window's shape from its skin: our runs (one rectangle per horizontal run of
// non-key pixels) against Qt's own conversion of the same mask as a 1-bit bitmap.
#include <benchmark/benchmark.h>

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include "QtBenchMain.h"
#include "picture/forms/BitmapImage.h"
#include "shell/SkinRegion.h"
#include "shell/forms/Skins.h"

namespace {

// A main-window-sized skin: a rounded window on the key colour.
TBitmap32 MakeSkin() {
  QImage image(980, 720, QImage::Format_ARGB32);
  image.fill(QColor(0, 255, 0));
  QPainter p(&image);
  QPainterPath path;
  path.addRoundedRect(QRectF(0, 0, 980, 720), 14, 14);
  p.fillPath(path, QColor(40, 50, 60));
  p.end();
  return BitmapFromImage(image);
}

void BM_SkinRegionFromRuns(benchmark::State& state) {
  TBitmap32 skin = MakeSkin();
  for (auto _ : state) benchmark::DoNotOptimize(RegionFromRuns(BitmapToRegion(skin)));
}
BENCHMARK(BM_SkinRegionFromRuns)->Unit(benchmark::kMillisecond);

// The reference: Qt builds the region from a 1-bit mask of the non-key pixels.
void BM_SkinRegionQtBitmap(benchmark::State& state) {
  QImage image = ImageView(MakeSkin()).copy();
  for (auto _ : state) {
    QImage mask = image.createMaskFromColor(QColor(0, 255, 0).rgb(), Qt::MaskOutColor);
    benchmark::DoNotOptimize(QRegion(QBitmap::fromImage(mask)));
  }
}
BENCHMARK(BM_SkinRegionQtBitmap)->Unit(benchmark::kMillisecond);

}  // namespace

// QBitmap needs a GUI application.
int main(int argc, char** argv) { return RunBenchmarksOffscreen<QGuiApplication>(argc, argv); }
