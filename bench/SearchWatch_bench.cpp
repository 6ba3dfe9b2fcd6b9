// What watching a search costs: a search at population 100 run as the window runs it,
// without and with the progress chart, the rate and the list of best models fed from it,
// all shown offscreen. The chart and the rate go on across the iterations as one long
// search, so that they redraw as often as they would in a real one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include <QApplication>
#include <QHBoxLayout>
#include <QWidget>

#include "BestModelList.h"
#include "ProgressChart.h"
#include "Random.h"
#include "RateBox.h"
#include "SD.h"
#include "SearchRun.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t GenerationsPerIteration = 500;

struct TWatchPanel {
  QWidget Window;
  TProgressChart* Chart = new TProgressChart(&Window);
  TRateBox* Rate = new TRateBox(&Window);
  TBestModelList* List = new TBestModelList(&Window);

  TWatchPanel() {
    auto* layout = new QHBoxLayout(&Window);
    layout->addWidget(Chart, 2);
    layout->addWidget(List, 2);
    layout->addWidget(Rate, 1);
    Window.resize(700, 220);
    Window.show();
  }
};

// The random sample: no model matches it soon, so every iteration runs its generations.
TSampleData& Samples() {
  static TSampleData samples = [] {
    TSampleData set(100);
    SetSeed(1000);
    set.GenerateRandom();
    return set;
  }();
  return samples;
}

TSearchParameters WindowParameters() {
  TSearchParameters parameters;  // the window's start values, scored on every core
  parameters.PopulationSize = 100;
  parameters.InstructionCount = 5;
  parameters.RegisterCount = 2;
  parameters.Margin = 0.1;
  parameters.Progressive = true;
  parameters.GenerationLimit = GenerationsPerIteration;
  return parameters;
}

void BM_Search(benchmark::State& state) {
  const bool watched = state.range(0) != 0;
  static std::unique_ptr<TWatchPanel> panel;
  if (!panel) panel = std::make_unique<TWatchPanel>();
  panel->Chart->Start();
  panel->Rate->Start();
  panel->List->Clear();
  Clock::duration inWatch{};
  std::int32_t offset = 0;
  TSearchObserver observer;
  observer.Pump = [] { QCoreApplication::processEvents(); };
  if (watched) {
    observer.Progress = [&](const TSearchProgress& progress) {
      const Clock::time_point start = Clock::now();
      TSearchProgress continued = progress;
      continued.Generation += offset;
      panel->Chart->Add(continued);
      panel->Rate->Count();
      inWatch += Clock::now() - start;
    };
    observer.ModelChanged = [&](const TModelUpdate& update) {
      const Clock::time_point start = Clock::now();
      panel->List->Offer(update);
      inWatch += Clock::now() - start;
    };
  }
  std::uint32_t seed = 7;
  for (auto _ : state) {
    SetSeed(seed++);
    TSearchRun run(Samples(), WindowParameters());
    benchmark::DoNotOptimize(run.Run(observer));
    offset += GenerationsPerIteration;
  }
  panel->Chart->Finish();
  panel->Rate->Finish();
  const double generations = static_cast<double>(state.iterations()) * GenerationsPerIteration;
  state.counters["generations"] = generations;
  state.counters["us_in_watch_per_generation"] =
      std::chrono::duration<double, std::micro>(inWatch).count() / generations;
  state.counters["generation_rate"] = benchmark::Counter(generations, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Search)
    ->ArgName("watched")
    ->Arg(0)
    ->Arg(1)
    ->MinTime(1.5)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
