// Showing a large sample set: the grid over the set and the chart series filled in one
// call, then the whole window drawn once, offscreen.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/model/Random.h"
#include "core/model/SD.h"
#include "app/Unit1.h"
#include "bench/WidgetBenchMain.h"

namespace {

// The window stays open across runs; no box is ever shown.
TForm1& Window() {
  static std::unique_ptr<TForm1> form = [] {
    TWindowServices quiet;
    quiet.ShowMessage = [](QWidget*, const QString&) {};
    quiet.ShowError = [](QWidget*, const QString&) {};
    quiet.RunFileDialog = [](QFileDialog&) { return std::optional<QString>(); };
    quiet.SystemDecimalPoint = [] { return QStringLiteral("."); };
    auto window = std::make_unique<TForm1>(quiet);
    window->resize(783, 540);
    window->show();
    return window;
  }();
  return *form;
}

void Fill(TSampleData& samples, std::int32_t count) {
  SetSeed(1);
  samples.SetCount(count);
  samples.GenerateSine();
}

// "Plot" alone: the grid learns the new row count, the series get their points.
void BM_Plot(benchmark::State& state) {
  TForm1& form = Window();
  Fill(form.SampleSet(), static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state)
    form.btPlotClick();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What the user waits for: "Plot", then the window drawn with the grid and both curves.
void BM_PlotAndDraw(benchmark::State& state) {
  TForm1& form = Window();
  Fill(form.SampleSet(), static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state) {
    form.btPlotClick();
    benchmark::DoNotOptimize(form.grab());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Plot)->Arg(100)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotAndDraw)->Arg(100)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunWidgetBenchmarks(argc, argv);
}
