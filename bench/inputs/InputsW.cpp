// Workload W on samples of n inputs, one process per run, for bench/inputs/table.py: the
// search of `movar-search --seed 3 --population 1000 --instructions 20 --registers 4
// --no-progressive --generations 100` on 100 samples. With one input the samples are W's
// own sine; with n the first input is 0 .. 99 as there, input k is the same values in
// another order, and y is the sine of the first plus a hundredth of each other input. Inputs
// of the same values as W's keep the function caches' hit rate comparable.
//
//   inputs-w N [THREADS]
//
// Prints the elapsed milliseconds of the search, and in a build with
// MOVAR_COUNT_INSTRUCTIONS the instructions it interpreted.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/model/Random.h"
#include "core/model/SD.h"
#include "core/search/SearchRun.h"

namespace {

TSampleData Samples(std::int32_t inputs) {
  SetSeed(3);
  TSampleData samples(100);
  samples.GenerateSine();
  if (inputs == 1) return samples;
  // Multipliers prime to 100: each input is a permutation of 0 .. 99.
  constexpr std::int32_t Orders[] = {1, 3, 7, 9, 11, 13, 17, 19, 21, 23, 27, 29, 31, 33, 37, 39};
  TSampleData wide(100, inputs);
  for (std::int32_t i = 0; i < wide.Count(); ++i) {
    long double y = samples.GetY(i);
    for (std::int32_t k = 0; k < inputs; ++k) {
      const double x = i * Orders[k] % 100;
      wide.SetX(i, k, x);
      if (k > 0) y += 0.01L * x;
    }
    wide.SetY(i, static_cast<double>(y));
  }
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: inputs-w INPUTS [THREADS]\n");
    return 2;
  }
  const auto inputs = static_cast<std::int32_t>(std::atoi(argv[1]));
  if (inputs < 1 || inputs > MaxInputs) {
    std::fprintf(stderr, "inputs-w: 1 to %d inputs\n", MaxInputs);
    return 2;
  }
  TSampleData samples = Samples(inputs);
  TSearchParameters parameters;
  parameters.InstructionCount = 20;
  parameters.PopulationSize = 1000;
  parameters.RegisterCount = 4;
  parameters.Progressive = false;
  parameters.GenerationLimit = 100;
  parameters.Threads = argc > 2 ? std::atoi(argv[2]) : 1;
  // The search goes on from the sample's draws, as movar-search's does.
  parameters.Seed = Seed();
  const auto start = std::chrono::steady_clock::now();
  TSearchRun run(samples, parameters);
  const TSearchResult result = run.Run({});
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  std::printf("generations: %d\nmilliseconds: %.1f\n", result.Generations, took.count());
#ifdef MOVAR_COUNT_INSTRUCTIONS
  std::printf("interpreted instructions: %llu\nresidual steps run: %llu\n",
              static_cast<unsigned long long>(run.Search().Interpreted()),
              static_cast<unsigned long long>(run.Search().StepsRun()));
#endif
  return 0;
}
