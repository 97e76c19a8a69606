#pragma once
// The start of a benchmark program that needs a Qt application: offscreen, so
// it runs without a display.
#include <benchmark/benchmark.h>

#include <QByteArray>

template <class TApplication>
int RunBenchmarksOffscreen(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
