// What scoring costs: the search workload W by thread count (run side by side so that both
// see the same machine load), the ranking against the plain exchange sort, and one
// generation of a population of 32000 programs of 100 instructions over 20 registers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <vector>

#include "core/scoring/ErrorRanking.h"
#include "core/scoring/WorkerPool.h"
#include "core/search/Movar.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "core/search/SearchRun.h"

namespace {

// W: --seed 3 --instructions 20 --registers 4 --no-progressive --generations 100, with the
// population as the first argument and the thread count as the second.
void RunW(std::int32_t population, std::int32_t threads) {
  SetSeed(3);
  TSampleData samples(100);
  samples.GenerateSine();
  TSearchParameters parameters;
  parameters.InstructionCount = 20;
  parameters.PopulationSize = population;
  parameters.RegisterCount = 4;
  parameters.Progressive = false;
  parameters.GenerationLimit = 100;
  parameters.Threads = threads;
  parameters.Seed = Seed();
  TSearchRun run(samples, parameters);
  benchmark::DoNotOptimize(run.Run({}));
}

void SearchW(benchmark::State& state) {
  for (auto _ : state)
    RunW(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// W with population 4000 on one thread and on two, one run after the other in every
// iteration, so that a change in the machine's load falls on both alike; the counters give
// each one's median time and the ratio of the medians.
void SpeedUpW(benchmark::State& state) {
  std::vector<double> one, two;
  for (auto _ : state) {
    for (const std::int32_t threads : {1, 2}) {
      const auto start = std::chrono::steady_clock::now();
      RunW(4000, threads);
      const std::chrono::duration<double, std::milli> took =
          std::chrono::steady_clock::now() - start;
      (threads == 1 ? one : two).push_back(took.count());
    }
  }
  state.counters["one_ms"] = Median(one);
  state.counters["two_ms"] = Median(two);
  state.counters["speedup"] = Median(one) / Median(two);
}
BENCHMARK(SpeedUpW)->Iterations(15)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SearchW)
    ->ArgNames({"population", "threads"})
    ->Args({1000, 1})
    ->Args({4000, 1})
    ->Args({4000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

std::vector<double> TiedErrors(std::int32_t count) {
  SetSeed(1);
  std::vector<double> errors(static_cast<std::size_t>(count));
  for (double& e : errors)
    e = RandomInt(50) < 10 ? 12.5 : RandomInt(1000) * 0.01;
  return errors;
}

template <void (*Sort)(double*, std::int32_t*, std::int32_t)>
void Ranking(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  const std::vector<double> errors = TiedErrors(count);
  std::vector<std::int32_t> order(errors.size());
  for (auto _ : state) {
    std::vector<double> sorted = errors;
    std::iota(order.begin(), order.end(), 0);
    Sort(sorted.data(), order.data(), count);
    benchmark::DoNotOptimize(order.data());
  }
}
BENCHMARK(Ranking<TErrorRanking::ExchangeSort>)
    ->Name("RankingExchangeSort")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);
void RankOnCaller(double* errors, std::int32_t* order, std::int32_t count) {
  TErrorRanking::Sort(errors, order, count);
}
void RankOnTwoThreads(double* errors, std::int32_t* order, std::int32_t count) {
  static TWorkerPool pool(2);
  TErrorRanking::Sort(errors, order, count, &pool);
}
BENCHMARK(Ranking<RankOnTwoThreads>)
    ->Name("RankingSortTwoThreads")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Ranking<RankOnCaller>)
    ->Name("RankingSort")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

// One Evaluate and NextGeneration on the 100 sine samples, progressive off, after a few
// generations have set a cut-off. Arguments: population, instructions, registers, threads.
void Generation(benchmark::State& state) {
  SetSeed(5);
  TSampleData samples(100);
  samples.GenerateSine();
  TMovar search(static_cast<std::int32_t>(state.range(1)),
                static_cast<std::int32_t>(state.range(0)),
                static_cast<std::int32_t>(state.range(2)));
  search.SetProgressive(false);
  search.SetThreads(static_cast<std::int32_t>(state.range(3)));
  search.SetSamples(samples);
  for (int g = 0; g < 3; ++g) {
    search.Evaluate();
    search.NextGeneration();
  }
  for (auto _ : state) {
    search.Evaluate();
    search.NextGeneration();
  }
}
BENCHMARK(Generation)
    ->ArgNames({"population", "instructions", "registers", "threads"})
    ->Args({1000, 20, 4, 1})
    ->Args({1000, 20, 4, 2})
    ->Args({32000, 100, 20, 1})
    ->Args({32000, 100, 20, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
