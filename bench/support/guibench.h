// The main of a benchmark program that draws: the stock benchmark main makes
// no application, and fonts, bitmaps and windows need one.
#pragma once

#include "platform/rtl/units.h"
#include "platform/ui/graphics/metrics.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <initializer_list>

// Runs the benchmarks offscreen (unless a platform is named), with Qt's own
// scaling off, between the start-up and the shutdown of Units.
inline int RunGuiBenchmarks(int argc, char** argv, std::initializer_list<TUnit> Units) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  DisableQtHighDpiScaling();
  QApplication App(argc, argv);
  InitializeUnits(Units);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FinalizeUnits();
  return 0;
}
