#pragma once
// Google Benchmark's main for benchmarks of widgets: a QApplication on the offscreen platform
// unless one is named, so that they run without a display.

#include <QApplication>
#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <functional>

// prepare runs once the application exists and the arguments are read, finish after the runs.
inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {},
                               const std::function<void()>& finish = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (prepare) prepare();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (finish) finish();
  return 0;
}
