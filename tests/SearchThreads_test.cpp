// The search gives the same report for every thread count: scoring in parallel and the
// lean interpreter must not change a single bit of any result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/Random.h"
#include "core/model/SD.h"
#include "core/search/SearchRun.h"

namespace {

struct TCase {
  std::uint32_t Seed;
  bool Progressive;
  bool RandomSample;
  std::int32_t Population;
  std::int32_t Registers;
  std::int32_t Instructions;
  std::int64_t Generations;
};

TSearchResult RunSearch(const TCase& c, std::int32_t threads, bool pump, std::int32_t fitting = 0) {
  SetSeed(c.Seed);
  TSampleData samples(100);
  if (c.RandomSample) {
    samples.GenerateRandom();
  } else {
    samples.GenerateSine();
  }
  TSearchParameters parameters;
  parameters.InstructionCount = c.Instructions;
  parameters.PopulationSize = c.Population;
  parameters.RegisterCount = c.Registers;
  parameters.Progressive = c.Progressive;
  parameters.GenerationLimit = c.Generations;
  parameters.Threads = threads;
  parameters.ConstantFitting = fitting;
  if (fitting > 0) parameters.RefineTrials = 20;
  parameters.Seed = Seed();
  TSearchRun run(samples, parameters);
  TSearchObserver observer;
  if (pump) observer.Pump = [] {};  // scores in slices, as the window does
  return run.Run(observer);
}

}  // namespace

TEST(SearchThreads, EveryThreadCountGivesTheSameSearch) {
  const TCase cases[] = {
      {1, true, false, 100, 2, 5, 300},   {3, false, false, 1000, 4, 20, 40},
      {7, true, true, 1, 1, 2, 200},      {11, false, true, 2000, 20, 100, 6},
      {13, true, false, 500, 6, 40, 80},  {17, false, false, 37, 3, 7, 400},
      {19, true, true, 1200, 10, 60, 30}, {23, false, false, 2, 1, 3, 300},
  };
  for (const TCase& c : cases) {
    const TSearchResult one = RunSearch(c, 1, false);
    for (std::int32_t threads : {2, 4}) {
      for (bool pump : {false, true}) {
        const TSearchResult other = RunSearch(c, threads, pump);
        EXPECT_EQ(one.Lines, other.Lines) << "seed " << c.Seed << ", " << threads << " threads";
        EXPECT_EQ(one.Generations, other.Generations) << "seed " << c.Seed;
        EXPECT_EQ(one.Matched, other.Matched) << "seed " << c.Seed;
      }
    }
  }
}

TEST(SearchThreads, ConstantFittingGivesTheSameSearchOnEveryThreadCount) {
  const TCase cases[] = {{5, true, false, 100, 2, 5, 150}, {29, false, true, 300, 4, 20, 25}};
  for (const TCase& c : cases) {
    const TSearchResult one = RunSearch(c, 1, false, 3);
    EXPECT_NE(RunSearch(c, 1, false).Lines, one.Lines) << "seed " << c.Seed << ": fitting acts";
    for (std::int32_t threads : {2, 4}) {
      const TSearchResult other = RunSearch(c, threads, true, 3);
      EXPECT_EQ(one.Lines, other.Lines) << "seed " << c.Seed << ", " << threads << " threads";
      EXPECT_EQ(one.Generations, other.Generations) << "seed " << c.Seed;
    }
  }
}
