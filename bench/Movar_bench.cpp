// One generation of the population search: Evaluate and NextGeneration.
#include <benchmark/benchmark.h>

#include "Movar.h"
#include "Random.h"

namespace {

// Population 1000, 20 instructions, 4 registers, the 100-point sine sample, all samples
// scored; the argument is the number of scoring threads.
void BM_Generation(benchmark::State& state) {
  SetSeed(3);
  TSampleData samples(100);
  samples.GenerateSine();
  TMovar search(20, 1000, 4);
  search.SetThreads(static_cast<std::int32_t>(state.range(0)));
  search.SetProgressive(false);
  search.SetSamples(samples);
  // Past the first generations the cut-off has settled, as in a real run.
  for (int i = 0; i < 20; ++i) {
    search.Evaluate();
    search.NextGeneration();
  }
  for (auto _ : state) {
    search.Evaluate();
    search.NextGeneration();
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_Generation)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
