#include "core/search/Movar.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "core/model/Random.h"

namespace {

std::uint32_t Advance(std::uint32_t seed, long long steps) {
  for (long long i = 0; i < steps; ++i)
    seed = seed * 134775813u + 1u;
  return seed;
}

TSampleData Sine(int count) {
  TSampleData s(count);
  s.GenerateSine();
  return s;
}

// A program that returns the constant c whatever x is.
void MakeConstant(TTuringEvaluator& p, double c) {
  p.SetInstruction(0, {0, opMul, ConstantOperand, 0});
  p.SetInstruction(1, {0, opAdd, ConstantOperand, c});
  for (int i = 2; i < p.InstructionCount(); ++i)
    p.SetInstruction(i, {1, opAdd, 1, 0});
  p.UpdateExecEnd();
}

}  // namespace

TEST(Movar, CreateAndSetSamplesDrawTwoFullPopulations) {
  SetSeed(11);
  TMovar search(5, 100, 2);
  EXPECT_EQ(Advance(11, 4 * 5 * 100), Seed());
  EXPECT_EQ(100, search.PopulationSize());
  EXPECT_EQ(20, search.CrossCount());
  EXPECT_EQ(0, search.Generation());
  EXPECT_EQ(9999999999.0, search.Threshold());
  EXPECT_EQ(0, search.Window());
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(5, search.GetProgram(i).InstructionCount());
    EXPECT_EQ(2, search.GetProgram(i).RegisterCount());
  }
  SetSeed(11);
  TSampleData samples = Sine(100);
  const std::uint32_t before = Seed();
  search.SetSamples(samples);
  EXPECT_EQ(Advance(before, 4 * 5 * 100), Seed());
  EXPECT_EQ(10, search.Window());
}

TEST(Movar, CrossRateIsClampedAndCountTruncated) {
  TMovar search(2, 32000, 1);
  EXPECT_EQ(6400, search.CrossCount());
  search.SetCrossRate(-0.5);
  EXPECT_EQ(0, search.CrossCount());
  search.SetCrossRate(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(0.0, search.CrossRate());
  search.SetCrossRate(2);
  EXPECT_EQ(1.0, search.CrossRate());
  EXPECT_EQ(32000, search.CrossCount());
  for (int n : {0, 1, 4, 5, 9, 10, 99, 101, 12345}) {
    EXPECT_EQ(n / 5, TMovar(1, n, 1).CrossCount()) << n;
  }
}

TEST(Movar, NextGenerationKeepsTheBestCrossesRunnersUpAndRegeneratesTheRest) {
  SetSeed(5);
  TMovar search(6, 10, 3);
  TSampleData samples = Sine(100);
  search.SetProgressive(false);
  search.SetSamples(samples);
  search.Evaluate();
  // Predict what breeding does from the ranked order and the draws.
  std::vector<double> errors;
  for (int i = 0; i < 10; ++i)
    errors.push_back(search.GetError(i));
  // The ranking by the exchange sort, carried out on the identities.
  std::vector<int> index(10);
  for (int i = 0; i < 10; ++i)
    index[i] = i;
  for (int i = 0; i < 9; ++i) {
    for (int j = i + 1; j < 10; ++j) {
      if (errors[j] < errors[i]) {
        std::swap(errors[i], errors[j]);
        std::swap(index[i], index[j]);
      }
    }
  }
  std::vector<const TTuringEvaluator*> order;
  for (int i = 0; i < 10; ++i)
    order.push_back(&search.GetProgram(index[i]));
  const std::vector<TInstruction> bestCode = order[0]->Code();
  const std::uint32_t seed = Seed();
  search.NextGeneration();
  EXPECT_EQ(1, search.Generation());
  EXPECT_EQ(errors[0], search.Threshold());
  EXPECT_EQ(order[0], &search.GetProgram(0));
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(bestCode[i].Op, search.GetProgram(0).Code()[i].Op);
  // Breeding works in place: the best and the crossed runners-up keep their rank, the
  // programs drawn anew are the other seven, in slots of no particular order.
  std::vector<const TTuringEvaluator*> drawn;
  for (int i = 0; i < 10; ++i) {
    if (i <= search.CrossCount()) {
      EXPECT_EQ(order[i], &search.GetProgram(i)) << i;
    } else {
      drawn.push_back(&search.GetProgram(i));
    }
    EXPECT_EQ(0.0, search.GetError(i));
  }
  EXPECT_EQ(2, search.CrossCount());
  std::sort(drawn.begin(), drawn.end());
  std::vector<const TTuringEvaluator*> rest(order.begin() + 3, order.end());
  std::sort(rest.begin(), rest.end());
  EXPECT_EQ(rest, drawn);
  // Two crossings of 6 draws each, then seven new programs of 24 draws each.
  EXPECT_EQ(Advance(seed, 2 * 6 + 7 * 24), Seed());
}

TEST(Movar, CutOffStopsOnlyAboveTheThreshold) {
  TSampleData samples(3);
  for (int i = 0; i < 3; ++i) {
    samples.SetX(i, i);
    samples.SetY(i, 1);
  }
  TTuringEvaluator p(3, 2);
  MakeConstant(p, 2);  // error 1 per sample
  EXPECT_EQ(3.0, TMovar::Score(p, samples, 2, 3.0)) << "a sum equal to the threshold goes on";
  EXPECT_EQ(2.0, TMovar::Score(p, samples, 2, 1.5));
  EXPECT_EQ(0.0, TMovar::Score(p, samples, -1, 0.0));
}

TEST(Movar, ErrorsAreExactSumsOfAbsoluteDifferences) {
  TSampleData samples(2);
  samples.SetY(0, 1e200);
  samples.SetY(1, 0);
  TTuringEvaluator p(3, 2);
  MakeConstant(p, 0);
  EXPECT_EQ(1e200, TMovar::Score(p, samples, 1, 1e300));
  samples.SetY(0, 1e-200);
  EXPECT_EQ(1e-200, TMovar::Score(p, samples, 1, 1e300));
  // A difference beyond the largest double ranks behind everything finite.
  samples.SetY(0, -1.7e308);
  MakeConstant(p, 0);
  p.SetInstruction(1, {0, opAdd, ConstantOperand, 9999});
  p.SetInstruction(2, {0, opPow, ConstantOperand, 10});  // 9999^10 overflows: fails, stays 9999
  p.UpdateExecEnd();
  EXPECT_EQ(9999 + 1.7e308, TMovar::Score(p, samples, 0, 1e300 * 1e8));
}

TEST(Movar, ProgressiveWindowGrowsByATenthOnlyBelowTheLimit) {
  for (const auto& [count, steps] : std::vector<std::pair<int, std::vector<int>>>{
           {100, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 100}},
           {25, {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 25, 25}},
           {7, {0, 0, 0}}}) {
    SetSeed(1);
    TSampleData samples = Sine(count);
    TMovar search(2, 3, 1);
    search.SetSamples(samples);
    for (int expected : steps) {
      EXPECT_EQ(expected, search.Window()) << count;
      for (int i = 0; i < 3; ++i)
        search.SetError(i, 0);
      search.NextGeneration();
    }
  }
  SetSeed(1);
  TSampleData samples = Sine(100);
  TMovar search(2, 3, 1);
  search.SetSamples(samples);
  for (int i = 0; i < 3; ++i)
    search.SetError(i, 0.0001);
  search.NextGeneration();
  EXPECT_EQ(10, search.Window()) << "exactly the limit does not widen";
  for (int i = 0; i < 3; ++i)
    search.SetError(i, 0.00009);
  search.NextGeneration();
  EXPECT_EQ(20, search.Window());

  search.SetProgressive(false);
  for (int i = 0; i < 3; ++i)
    search.SetError(i, 0);
  search.NextGeneration();
  EXPECT_EQ(20, search.Window()) << "not used and not changed without progressive mode";
}

TEST(Movar, ClonesAreWithinThirtyPercentOfTheBest) {
  TMovar search(2, 5, 1);
  const double errors[] = {13.001, 10, 13, 20, 12};
  for (int i = 0; i < 5; ++i)
    search.SetError(i, errors[i]);
  search.NextGeneration();
  EXPECT_EQ(10, search.Threshold());
  EXPECT_EQ(2, search.Clones()) << "12 and 13 count, 13.001 does not";

  const double zeros[] = {0, 1e-300, 0, 0, 5};
  for (int i = 0; i < 5; ++i)
    search.SetError(i, zeros[i]);
  search.NextGeneration();
  EXPECT_EQ(2, search.Clones());
}

TEST(Movar, TiesKeepTheReigningBestAndTheExchangeOrder) {
  TMovar search(2, 6, 1);
  std::vector<const TTuringEvaluator*> before;
  for (int i = 0; i < 6; ++i)
    before.push_back(&search.GetProgram(i));
  const double errors[] = {1, 1, 0.5, 0.5, 1, 0.5};
  for (int i = 0; i < 6; ++i)
    search.SetError(i, errors[i]);
  search.SortByError();
  // The exchange sort is not stable: programs 0 and 1 end up reversed here.
  const int expected[] = {2, 3, 5, 1, 4, 0};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(before[expected[i]], &search.GetProgram(i)) << i;

  const double tie[] = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
  for (int i = 0; i < 6; ++i)
    search.SetError(i, tie[i]);
  const TTuringEvaluator* best = &search.GetProgram(0);
  search.NextGeneration();
  EXPECT_EQ(best, &search.GetProgram(0));
}

TEST(Movar, SmallSetsAndSinglePrograms) {
  SetSeed(3);
  TSampleData few = Sine(9);
  TMovar search(3, 10, 2);
  search.SetSamples(few);
  const TTuringEvaluator* best = &search.GetProgram(0);
  for (int g = 0; g < 3; ++g) {
    search.Evaluate();
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(0.0, search.GetError(i));
    search.NextGeneration();
    EXPECT_EQ(best, &search.GetProgram(0));
    EXPECT_EQ(0.0, search.Threshold());
    EXPECT_EQ(9, search.Clones());
  }

  TSampleData samples = Sine(100);
  TMovar single(3, 1, 2);
  single.SetProgressive(false);
  single.SetSamples(samples);
  const std::uint32_t seed = Seed();
  single.Evaluate();
  const double error = single.GetError(0);
  EXPECT_GT(error, 0);
  single.NextGeneration();
  EXPECT_EQ(seed, Seed()) << "nothing to breed";
  EXPECT_EQ(0, single.Clones());
  EXPECT_EQ(error, single.Threshold());
}

TEST(Movar, ReleasingTheSearchLeavesTheLentSetIntact) {
  TSampleData samples = Sine(30);
  {
    TMovar search(4, 20, 2);
    search.SetSamples(samples);
    search.Evaluate();
    search.NextGeneration();
  }
  EXPECT_EQ(30, samples.Count());
  EXPECT_EQ(29, samples.GetX(29));
}

TEST(Movar, BreedingOnSeveralThreadsDrawsAsOneThreadDoes) {
  auto generation = [](std::int32_t threads, std::int32_t mutations) {
    SetSeed(21);
    TSampleData samples = Sine(100);
    TMovar search(30, 3000, 5);
    search.SetThreads(threads);
    search.SetPointMutations(mutations);
    search.SetSamples(samples);
    search.Evaluate();
    const std::uint32_t before = Seed();
    search.NextGeneration();
    // 600 crossings of 30 draws, 2399 new programs of 120.
    if (mutations == 0) {
      EXPECT_EQ(Advance(before, 600 * 30 + 2399 * 120), Seed());
    }
    std::vector<TInstruction> code;
    for (int i = 0; i < 3000; ++i) {
      for (const TInstruction& in : search.GetProgram(i).Code())
        code.push_back(in);
    }
    return code;
  };
  for (const std::int32_t mutations : {0, 50}) {
    SCOPED_TRACE(mutations);
    const std::vector<TInstruction> one = generation(1, mutations);
    const std::vector<TInstruction> two = generation(2, mutations);
    ASSERT_EQ(one.size(), two.size());
    for (std::size_t i = 0; i < one.size(); ++i) {
      ASSERT_EQ(one[i].Dest, two[i].Dest) << i;
      ASSERT_EQ(one[i].Op, two[i].Op) << i;
      ASSERT_EQ(one[i].Src, two[i].Src) << i;
      ASSERT_EQ(one[i].Value, two[i].Value) << i;
    }
  }
}

TEST(Movar, PointMutationsFillTheLastSlotsWithOneChangeOfAGoodProgram) {
  SetSeed(9);
  TSampleData samples = Sine(100);
  TMovar search(6, 40, 3);
  search.SetProgressive(false);
  search.SetPointMutations(50);
  search.SetSamples(samples);
  // Half of the 31 programs drawn anew besides the best and its 8 crossings.
  ASSERT_EQ(15, search.MutantCount());
  search.Evaluate();
  std::vector<std::vector<TInstruction>> codes;
  std::vector<double> errors;
  for (int i = 0; i < 40; ++i) {
    codes.push_back(search.GetProgram(i).Code());
    errors.push_back(search.GetError(i));
  }
  std::vector<double> sorted = errors;
  std::sort(sorted.begin(), sorted.end());
  const double worstParent = sorted[40 - 15 - 1];
  search.NextGeneration();
  EXPECT_EQ(sorted[0], search.Threshold());
  std::set<std::size_t> parents;
  for (int i = 25; i < 40; ++i) {
    const std::vector<TInstruction>& child = search.GetProgram(i).Code();
    // A parent: a program of the ranks above the mutants', one instruction away.
    std::vector<std::size_t> candidates;
    for (std::size_t j = 0; j < codes.size(); ++j) {
      int differing = 0;
      for (int k = 0; k < 6; ++k) {
        const TInstruction& a = codes[j][k];
        const TInstruction& b = child[k];
        if (a.Op != b.Op || a.Dest != b.Dest || a.Src != b.Src || a.Value != b.Value) ++differing;
      }
      if (differing == 1 && errors[j] <= worstParent) candidates.push_back(j);
    }
    EXPECT_FALSE(candidates.empty()) << i;
    if (candidates.size() == 1) parents.insert(candidates[0]);
  }
  EXPECT_GT(parents.size(), 2u) << "tournaments spread the parents";

  // The count follows the cross rate and the share, which is clamped.
  search.SetCrossRate(0.5);
  EXPECT_EQ(9, search.MutantCount());
  search.SetPointMutations(150);
  EXPECT_EQ(19, search.MutantCount());
  search.SetPointMutations(0);
  EXPECT_EQ(0, search.MutantCount());
}

TEST(Movar, EveryProgramGetsItsOwnErrorThoughManyDecodeAlike) {
  SetSeed(8);
  TSampleData samples = Sine(60);
  TMovar search(12, 400, 3);
  search.SetProgressive(false);
  search.SetSamples(samples);
  auto expectReferenceErrors = [&](const char* when) {
    for (int i = 0; i < search.PopulationSize(); ++i) {
      TTuringEvaluator copy = search.GetProgram(i);
      ASSERT_EQ(TMovar::Score(copy, samples, samples.Count() - 1, search.Threshold()),
                search.GetError(i))
          << when << ", program " << i;
    }
  };
  for (int generation = 0; generation < 15; ++generation) {
    search.Evaluate();
    expectReferenceErrors("whole generation");
    search.NextGeneration();
  }
  // The same cut-off and set, changed in place: nothing scored before may be reused.
  search.Evaluate();
  for (int j = 0; j < samples.Count(); ++j)
    samples.SetY(j, samples.GetY(j) * 0.5 + 0.25);
  search.EvaluateRange(0, 150);
  search.EvaluateRange(150, search.PopulationSize());
  expectReferenceErrors("in slices, after a change of the samples");
}

TEST(Movar, SamplesOfSeveralInputsGetProgramsForThemAndTheSameDraws) {
  TSampleData samples(40, 3);
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    for (std::int32_t k = 0; k < 3; ++k)
      samples.SetX(j, k, std::sin(j * (k + 1.5)));
    samples.SetY(j, samples.GetX(j, 0) * samples.GetX(j, 2));
  }
  SetSeed(9);
  TMovar search(12, 400, 2);
  search.SetProgressive(false);
  search.SetThreads(2);
  const std::uint32_t before = Seed();
  search.SetSamples(samples);
  EXPECT_EQ(Advance(before, 4 * 12 * 400), Seed());
  EXPECT_EQ(3, search.InputCount());
  EXPECT_EQ(2, search.RegisterCount());
  for (int i = 0; i < search.PopulationSize(); ++i) {
    ASSERT_EQ(3, search.GetProgram(i).InputCount());
    ASSERT_EQ(3, search.GetProgram(i).RegisterCount());
  }
  for (int generation = 0; generation < 10; ++generation) {
    search.Evaluate();
    for (int i = 0; i < search.PopulationSize(); ++i) {
      TTuringEvaluator copy = search.GetProgram(i);
      ASSERT_EQ(TMovar::Score(copy, samples, samples.Count() - 1, search.Threshold()),
                search.GetError(i))
          << "generation " << generation << ", program " << i;
    }
    search.NextGeneration();
  }
  // Lent a one-input set, the search makes one-input programs again.
  TSampleData sine = Sine(20);
  search.SetSamples(sine);
  EXPECT_EQ(1, search.GetProgram(7).InputCount());
  EXPECT_EQ(2, search.GetProgram(7).RegisterCount());
}
