// What watching a search costs: a search at population 100 run as the window runs it,
// without and with the progress chart, the rate and the front (table and chart) fed from it,
// all shown offscreen. The chart and the rate go on across the iterations as one long
// search, so that they redraw as often as they would in a real one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include <QHBoxLayout>
#include <QWidget>

#include "app/FrontChart.h"
#include "app/FrontList.h"
#include "app/ProgressChart.h"
#include "core/model/Random.h"
#include "app/RateBox.h"
#include "core/model/SD.h"
#include "core/search/SearchRun.h"
#include "bench/WidgetBenchMain.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t GenerationsPerIteration = 500;

struct TWatchPanel {
  QWidget Window;
  TProgressChart* Chart = new TProgressChart(&Window);
  TRateBox* Rate = new TRateBox(&Window);
  TFrontChart* FrontChart = new TFrontChart(&Window);
  TFrontList* List = new TFrontList(FrontChart, &Window);

  TWatchPanel() {
    auto* layout = new QHBoxLayout(&Window);
    layout->addWidget(Chart, 2);
    layout->addWidget(FrontChart, 1);
    layout->addWidget(List, 2);
    layout->addWidget(Rate, 1);
    Window.resize(700, 220);
    Window.show();
  }
};

// Made and released by main, while the application lives.
TWatchPanel*& Panel() {
  static TWatchPanel* panel = nullptr;
  return panel;
}

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

TSearchParameters WindowParameters(std::uint32_t seed) {
  TSearchParameters parameters;  // the window's start values, scored on every core
  parameters.GenerationLimit = GenerationsPerIteration;
  parameters.Seed = seed;
  return parameters;
}

double Micros(Clock::duration span, double generations) {
  return std::chrono::duration<double, std::micro>(span).count() / generations;
}

// CPU time in microseconds: on a shared machine a drawing's wall time says more about the
// neighbours than about the drawing.
double CpuMicros(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// What the summary after the runs is made of, in microseconds.
// In microseconds.
struct TFigures {
  double Generation = 0;  // one generation of the unwatched search
  double Calls = 0;       // the watching parts' own calls per generation, all three parts
  double Draw[3] = {};    // CPU time of one drawing of the chart, the rate, the list
} figures;

// Which parts watch: 0 none, 1 the chart, 2 the rate, 4 the list, 7 all three.
void BM_Search(benchmark::State& state) {
  const auto parts = state.range(0);
  TWatchPanel* panel = Panel();
  panel->Chart->Start();
  panel->Rate->Start();
  panel->List->Clear();
  panel->List->Start(Samples(), nullptr);

  Clock::duration inWatch{};
  Clock::duration inPump{};
  const auto timed = [](Clock::duration& total, auto&& work) {
    const Clock::time_point start = Clock::now();
    work();
    total += Clock::now() - start;
  };
  const auto watching = [&](auto&& work) { timed(inWatch, work); };
  std::int32_t offset = 0;
  TSearchObserver observer;
  observer.Pump = [&] { timed(inPump, [] { QCoreApplication::processEvents(); }); };
  if (parts != 0) {
    observer.Progress = [&](const TSearchProgress& progress) {
      watching([&] {
        TSearchProgress continued = progress;
        continued.Generation += offset;
        if (parts & 1) panel->Chart->Add(continued);
        if (parts & 2) panel->Rate->Count();
      });
    };
    observer.ModelFound = [&](const TModelUpdate& update) {
      watching([&] {
        if (parts & 4) panel->List->Offer(update);
      });
    };
  }
  std::uint32_t seed = 7;
  const Clock::time_point start = Clock::now();
  const double startCpu = CpuMicros(CLOCK_PROCESS_CPUTIME_ID);
  for (auto _ : state) {
    TSearchRun run(Samples(), WindowParameters(seed++));
    benchmark::DoNotOptimize(run.Run(observer));
    offset += GenerationsPerIteration;
  }
  const double searchCpu = CpuMicros(CLOCK_PROCESS_CPUTIME_ID) - startCpu;
  watching([&] {
    panel->Chart->Finish();
    panel->Rate->Finish();
    panel->List->Finish();
  });
  const double generations = static_cast<double>(state.iterations()) * GenerationsPerIteration;
  const double perGeneration = Micros(Clock::now() - start, generations);
  state.counters["us_per_generation"] = perGeneration;
  state.counters["us_pump"] = Micros(inPump, generations);
  state.counters["us_watch"] = Micros(inWatch, generations);
  state.counters["cpu_us_per_generation"] = searchCpu / generations;
  if (parts == 0) figures.Generation = perGeneration;
  if (parts == 7) figures.Calls = Micros(inWatch, generations);
}

// The models a search at the window's start values finds in its first generations.
const std::vector<TModelUpdate>& FoundModels() {
  static const std::vector<TModelUpdate> found = [] {
    std::vector<TModelUpdate> updates;
    TSearchObserver observer;
    observer.ModelFound = [&](const TModelUpdate& update) { updates.push_back(update); };
    TSearchRun run(Samples(), WindowParameters(7));
    (void)run.Run(observer);
    return updates;
  }();
  return found;
}

// One drawing of a part as the event handling draws it after a change, in the shown panel: 0 the
// chart with the steps of a long run, 1 the rate, 2 the front of a search's first models, its
// formulas made anew.
void BM_Draw(benchmark::State& state) {
  TWatchPanel* panel = Panel();
  const auto part = state.range(0);
  panel->Chart->Start();
  for (std::int32_t g = 1; g <= 20000; ++g) {
    panel->Chart->Add(TSearchProgress{0, 7, g, 100.0 / (1 + g / 50), 0, {}});
  }
  std::int32_t round = 0;
  double drawing = 0;
  for (auto _ : state) {
    ++round;
    const double start = CpuMicros(CLOCK_PROCESS_CPUTIME_ID);
    QWidget* drawn = nullptr;
    if (part == 0) {
      panel->Chart->Add(TSearchProgress{0, 7, 20000 + round, 1.0 / round, 0, {}});
      panel->Chart->Finish();
      drawn = panel->Chart;
    } else if (part == 1) {
      panel->Rate->Count();
      panel->Rate->Finish();
      drawn = panel->Rate;
    } else {
      panel->List->Clear();
      panel->List->Start(Samples(), nullptr);
      for (const TModelUpdate& update : FoundModels())
        panel->List->Offer(update);
      panel->List->Finish();
      drawn = panel->List;
    }
    // As between two generations: the change is drawn by the pending events.
    drawn->update();
    for (int pass = 0; pass < 3; ++pass)
      QCoreApplication::processEvents();
    drawing += CpuMicros(CLOCK_PROCESS_CPUTIME_ID) - start;
  }
  figures.Draw[part] = drawing / static_cast<double>(state.iterations());
}

BENCHMARK(BM_Search)
    ->ArgName("watched")
    ->Arg(0)
    ->Arg(7)
    ->MinTime(2.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_Draw)->ArgName("part")->Arg(0)->Arg(1)->Arg(2)->MinTime(0.5)->Unit(
    benchmark::kMillisecond);

// The calls cost their share of every generation. The chart and the rate draw at most
// twice a second, the list at most once; a second of an unloaded machine's search bears
// their CPU time, and the share assumes they always draw.
void PrintShare() {
  if (figures.Generation <= 0 || figures.Calls <= 0 || figures.Draw[2] <= 0) return;
  const double drawing = 2 * figures.Draw[0] + 2 * figures.Draw[1] + 1 * figures.Draw[2];
  const double share = 100 * (figures.Calls / figures.Generation + drawing / 1e6);
  std::printf(
      "watching costs at most %.2f %% of the search's time: calls %.2f us per generation of "
      "%.1f us, drawing %.2f ms a second (chart %.2f, rate %.2f, front %.2f ms each)\n",
      share, figures.Calls, figures.Generation, drawing / 1000, figures.Draw[0] / 1000,
      figures.Draw[1] / 1000, figures.Draw[2] / 1000);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<TWatchPanel> panel;
  return RunWidgetBenchmarks(
      argc, argv,
      [&panel] {
        panel = std::make_unique<TWatchPanel>();
        Panel() = panel.get();
      },
      [&panel] {
        PrintShare();
        panel.reset();  // widgets go before the application
      });
}
