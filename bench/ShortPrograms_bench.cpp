// Trying every short program: a whole pass where nothing matches, in time per pass and per
// instruction run on the probes. One input and two registers (programs of 1 to 5
// instructions), three inputs and registers (1 to 4), and one part of four of the programs of 5
// that read all of four inputs, as the best mode's attempts run them; the first also with the
// margin's line, whose probe test lets more programs through.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "core/model/Random.h"
#include "core/search/ShortPrograms.h"

namespace {

// 0.3 x sin(2 pi x) needs constants, so no short program matches it: every one is tried.
TSampleData Unreachable(std::int32_t inputs) {
  TRandomStream random(7);
  TSampleData samples(20, inputs);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    double sum = 0;
    for (std::int32_t j = 0; j < inputs; ++j) {
      const double x = 2 * random.Real() - 1;
      samples.SetX(i, j, x);
      sum += x;
    }
    samples.SetY(i, 0.3 * sum * std::sin(6.283185307179586 * sum));
  }
  samples.UpdateBounds();
  samples.SetMargin(0.1);
  return samples;
}

void BM_ShortPrograms(benchmark::State& state) {
  const auto inputs = static_cast<std::int32_t>(state.range(0));
  const TSampleData samples = Unreachable(inputs);
  TShortProgramLimits limits;
  limits.Registers = 2;
  limits.MaxLength = static_cast<std::int32_t>(state.range(1));
  if (state.range(2) != 0) {
    limits.MinLength = limits.MaxLength;
    limits.EveryInput = true;
    limits.Parts = 4;
  }
  limits.MarginLine = state.range(3) != 0;
  TShortPrograms programs(samples, limits);
  std::int64_t work = 0;
  for (auto _ : state) {
    const TShortProgramResult result = programs.Find();
    if (result.Model) state.SkipWithError("a short program matched");
    work += result.Work;
  }
  state.counters["ns/instruction"] = benchmark::Counter(
      static_cast<double>(work), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["instructions"] = static_cast<double>(work) / state.iterations();
}

}  // namespace

BENCHMARK(BM_ShortPrograms)
    ->Args({1, 5, 0, 0})
    ->Args({1, 5, 0, 1})
    ->Args({3, 4, 0, 0})
    ->Args({4, 5, 1, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
