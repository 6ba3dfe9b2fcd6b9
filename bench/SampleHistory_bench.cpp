// The cost of Undo for large sets: recording a step copies the set it replaces, Undo and
// Redo swap it with the one on the screen. The counters give what the history keeps.

#include <cstdint>

#include <benchmark/benchmark.h>

#include <QAction>
#include <QUndoStack>

#include "core/model/SD.h"
#include "app/SampleHistory.h"
#include "bench/WidgetBenchMain.h"

namespace {

void Fill(TSampleData& samples, std::int32_t count, double value) {
  samples.SetCount(count);
  for (std::int32_t i = 0; i < count; ++i) {
    samples.SetX(i, i);
    samples.SetY(i, value);
  }
}

// One step that replaces a set of n samples by another of n.
void RecordStep(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  TSampleData samples(0);
  Fill(samples, count, 1);
  TSampleHistory history(samples, nullptr);
  double value = 0;
  for (auto _ : state) {
    (void)history.Record(QStringLiteral("step"), TSampleOrigin::Pasted, [&](TSampleData& set) {
      set.SetY(0, ++value);
      return true;
    });
  }
  state.counters["steps kept"] = history.Stack().count();
  state.counters["bytes per step"] = static_cast<double>(TSampleHistory::SetBytes(count));
  state.counters["bytes kept"] = static_cast<double>(history.KeptBytes());
  state.counters["budget"] = static_cast<double>(history.Budget());
}

void UndoRedo(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  TSampleData samples(0);
  Fill(samples, count, 1);
  TSampleHistory history(samples, nullptr);
  (void)history.Record(QStringLiteral("step"), TSampleOrigin::Pasted, [&](TSampleData& set) {
    Fill(set, count, 2);
    return true;
  });
  for (auto _ : state) {
    history.UndoAction()->trigger();
    history.RedoAction()->trigger();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

}  // namespace

BENCHMARK(RecordStep)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(25);
BENCHMARK(UndoRedo)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return RunWidgetBenchmarks(argc, argv);
}
