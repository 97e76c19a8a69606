// Rendering a post card: a 1024 x 1024 work with alpha drawn under a projective
// quad onto the 482 x 481 card, against QPainter drawing the same picture through
// the same QTransform, smoothly (bilinear), onto a card of the same size. Ours
// on one thread (/1) and on all the process may use (/0).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cstdlib>

#include "BenchPicture.h"
#include "BenchThreads.h"
#include "QtBenchMain.h"
#include "exchange/CardQuad.h"
#include "exchange/forms/FormPostCard.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "support/FakeWorkPicture.h"

namespace {
constexpr int kSide = 1024;
// Top-left, top-right, bottom-right, bottom-left: a true perspective, no parallels.
const TQuad kQuad = {TFloatPoint{70, 50}, {420, 90}, {400, 430}, {60, 400}};

const TBitmap32& Work() {
  static const TBitmap32 picture = TemplateLikePicture(kSide);
  return picture;
}

QTransform QuadTransform() {
  QTransform transform;
  const QPolygonF from{QPointF(0, 0), QPointF(kSide, 0), QPointF(kSide, kSide), QPointF(0, kSide)};
  QPolygonF to;
  for (const TFloatPoint& p : kQuad) to << QPointF(p.X, p.Y);
  QTransform::quadToQuad(from, to, transform);
  return transform;
}

QImage PainterCard(const QImage& work, QImage::Format format) {
  QImage card(TFormPostCard::kCardWidth, TFormPostCard::kCardHeight, format);
  card.fill(Qt::white);
  QPainter painter(&card);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setTransform(QuadTransform());
  painter.drawImage(0, 0, work);
  return card;
}

// The whole card as the composer draws it: background, the work through the
// mapping, its handles.
void BM_RenderCard(benchmark::State& state) {
  const TaskThreadsFor threads(state.range(0));
  FakeWork work;
  const TMainSettings settings;
  work.picture = Work();
  TFormPostCard composer(work, settings);
  composer.show();
  if (!composer.Image().SetCorners(kQuad)) {
    state.SkipWithError("the quad was refused");
    return;
  }
  for (auto _ : state) {
    composer.RenderCard();
    benchmark::DoNotOptimize(composer.Card().Bits());
  }
  // How far the two drawings differ, away from the handles: the mean over
  // every channel of every pixel, in levels of 255.
  composer.SelectElement(0);
  const QImage ours = ImageView(composer.Card()).convertToFormat(QImage::Format_RGB32);
  const QImage theirs = PainterCard(ImageView(Work()), QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB32);
  double sum = 0, drawn = 0;
  for (int y = 0; y < ours.height(); ++y)
    for (int x = 0; x < ours.width(); ++x) {
      const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
      sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
      drawn += qGray(a) < 250;
    }
  const double pixels = double(ours.width()) * ours.height();
  state.counters["mean_diff_vs_qpainter"] = sum / (3 * pixels);
  // The share of the card the work covered: the two agree on more than white.
  state.counters["work_share"] = drawn / pixels;
}

// The mapping alone, onto a white card.
void BM_TransformOnto(benchmark::State& state) {
  const TaskThreadsFor threads(state.range(0));
  TBitmap32 card(TFormPostCard::kCardWidth, TFormPostCard::kCardHeight, Color32(255, 255, 255));
  for (auto _ : state) {
    card.Clear(Color32(255, 255, 255));
    TransformOnto(card, Work(), kQuad);
    benchmark::DoNotOptimize(card.Bits());
  }
}

// Qt on the card's own pixel layout (straight alpha).
void BM_QPainterQuadToQuad(benchmark::State& state) {
  const QImage work = ImageView(Work());
  for (auto _ : state) {
    QImage card = PainterCard(work, QImage::Format_ARGB32);
    benchmark::DoNotOptimize(card.constBits());
  }
}

// Qt's fastest path: premultiplied picture and card.
void BM_QPainterQuadToQuadPremultiplied(benchmark::State& state) {
  const QImage work = ImageView(Work()).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QImage card = PainterCard(work, QImage::Format_ARGB32_Premultiplied);
    benchmark::DoNotOptimize(card.constBits());
  }
}

BENCHMARK(BM_RenderCard)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TransformOnto)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
// QPainter splits a smooth transform over Qt's own thread pool, whose work the
// process's CPU time of this thread does not see: real time only.
BENCHMARK(BM_QPainterQuadToQuad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QPainterQuadToQuadPremultiplied)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

int main(int argc, char** argv) {
  // No installation here: a window's missing skin is drawn without it, unasked.
  SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
  return RunBenchmarksOffscreen<QApplication>(argc, argv);  // the composer is a window
}
