// The interpreter's inner loop on random programs, in time per interpreted instruction.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/model/Random.h"
#include "core/model/TE.h"

namespace {

void BM_Execute(benchmark::State& state) {
  const auto instructions = static_cast<std::int32_t>(state.range(0));
  SetSeed(12345);
  std::vector<TTuringEvaluator> programs;
  for (int i = 0; i < 256; ++i) {
    programs.emplace_back(instructions, 4);
    programs.back().RandomizeAll();
  }
  std::vector<double> inputs;
  for (int i = 0; i < 100; ++i)
    inputs.push_back(i);
  std::int64_t interpreted = 0;
  for (auto _ : state) {
    for (TTuringEvaluator& p : programs) {
      for (double x : inputs)
        benchmark::DoNotOptimize(p.Execute(x));
      interpreted += static_cast<std::int64_t>(p.ExecEnd() + 1) * 100;
    }
  }
  state.counters["ns/instruction"] = benchmark::Counter(
      static_cast<double>(interpreted), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["instructions"] = static_cast<double>(interpreted);
}

}  // namespace

BENCHMARK(BM_Execute)->Arg(5)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
