#include "core/scoring/MarginFitness.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// y = 0, 1, ..., 10 at x = y, margin 10 %: the band above y is (10 - y) / 10 wide, below y / 10.
TSampleData Ramp(double margin = 0.1) {
  TSampleData samples(11);
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    samples.SetX(j, j);
    samples.SetY(j, j);
  }
  samples.SetMargin(margin);
  return samples;
}

std::vector<double> Exact(const TSampleData& samples) {
  std::vector<double> predictions;
  for (std::int32_t j = 0; j < samples.Count(); ++j)
    predictions.push_back(samples.GetY(j));
  return predictions;
}

double SumOf(const TMarginFitness& fitness, const std::vector<double>& predictions,
             const TSampleData& samples, double threshold = 1e300) {
  std::int32_t scored = 0;
  return fitness.Sum(predictions, samples, threshold, scored);
}

}  // namespace

// Without a rule, and with either rule at margin 0 where the band has no width, the fitness
// is the error sum of every scorer, to the bit.
TEST(MarginFitness, IsThePlainErrorWithoutARuleOrAtMarginZero) {
  const TSampleData strict = Ramp(0);
  std::vector<double> predictions = Exact(strict);
  predictions[3] += 0.7;
  predictions[10] -= 1e-9;
  predictions[0] = -0.1;
  double expected = 0;
  for (std::int32_t j = 0; j < strict.Count(); ++j)
    expected = static_cast<double>(
        std::fabs(static_cast<long double>(predictions[j]) - strict.GetY(j)) + expected);
  for (const TFitnessRule rule : {TFitnessRule{}, TFitnessRule{true, true}}) {
    TMarginFitness fitness;
    fitness.Prepare(strict, rule);
    EXPECT_FALSE(fitness.Active());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected),
              std::bit_cast<std::uint64_t>(SumOf(fitness, predictions, strict)));
  }
  TMarginFitness unruled;
  unruled.Prepare(Ramp(), {});
  EXPECT_FALSE(unruled.Active());
  EXPECT_EQ(expected, SumOf(unruled, predictions, Ramp()));
}

// An error weighs by the inverse of the band on its side: above y = 9 the band is a tenth of
// the width below it, so the same miss costs nine times as much; at a bound, where the band
// has no width, the weight stops at the range over its nearest share.
TEST(MarginFitness, WeightsAnErrorByTheBandOnTheSideItMisses) {
  const TSampleData samples = Ramp();
  TMarginFitness fitness;
  fitness.Prepare(samples, {false, true});
  ASSERT_TRUE(fitness.Active());
  std::vector<double> above = Exact(samples);
  std::vector<double> below = above;
  above[9] += 0.25;
  below[9] -= 0.25;
  const double up = SumOf(fitness, above, samples);
  const double down = SumOf(fitness, below, samples);
  EXPECT_DOUBLE_EQ(0.25 * 10 / 1, up);
  EXPECT_DOUBLE_EQ(0.25 * 10 / 9, down);
  std::vector<double> beyond = Exact(samples);
  beyond[10] += 0.5;
  EXPECT_DOUBLE_EQ(0.5 / TMarginFitness::NearestShare, SumOf(fitness, beyond, samples));
  // Where the sample sits mid-range both sides weigh alike, twice a plain error.
  std::vector<double> middle = Exact(samples);
  middle[5] -= 0.5;
  EXPECT_DOUBLE_EQ(1.0, SumOf(fitness, middle, samples));
}

// Ranking by matches: a model that misses one sample by a hair ranks behind one that matches
// every sample with a larger error, and within the same misses the error decides.
TEST(MarginFitness, FewerMissesRankFirstAndTheErrorDecidesTies) {
  const TSampleData samples = Ramp();
  TMarginFitness fitness;
  fitness.Prepare(samples, {true, false});
  ASSERT_TRUE(fitness.Active());
  std::vector<double> inside = Exact(samples);
  for (std::int32_t j = 1; j < 10; ++j)
    inside[j] += 0.09 * (10 - j) / 10;  // within every band above
  std::vector<double> oneMiss = Exact(samples);
  oneMiss[9] += 0.2;  // the band above 9 is 0.1 wide
  std::vector<double> oneMissWorse = oneMiss;
  oneMissWorse[2] += 0.01;
  const double matched = SumOf(fitness, inside, samples);
  const double missed = SumOf(fitness, oneMiss, samples);
  EXPECT_LT(matched, 1.0);
  EXPECT_GT(matched, 0.0);
  EXPECT_GE(missed, 1.0);
  EXPECT_LT(missed, 2.0);
  EXPECT_LT(missed, SumOf(fitness, oneMissWorse, samples));
  // Both rules: the misses still come first.
  TMarginFitness both;
  both.Prepare(samples, {true, true});
  EXPECT_LT(SumOf(both, inside, samples), SumOf(both, oneMiss, samples));
}

// The cut-off: the sum stops at the first sample that takes it above the threshold, which
// the scorers rely on to stop early and agree on the samples run; an infinite error ranks
// behind every finite fitness.
TEST(MarginFitness, StopsAboveTheThresholdAndRanksInfiniteErrorsLast) {
  const TSampleData samples = Ramp();
  for (const TFitnessRule rule : {TFitnessRule{true, false}, TFitnessRule{false, true}}) {
    TMarginFitness fitness;
    fitness.Prepare(samples, rule);
    std::vector<double> predictions = Exact(samples);
    predictions[4] += 3;  // a miss, and the only error
    const double whole = SumOf(fitness, predictions, samples);
    std::int32_t scored = 0;
    const double cut = fitness.Sum(predictions, samples, whole / 2, scored);
    EXPECT_EQ(5, scored);
    EXPECT_EQ(whole, cut);
    EXPECT_EQ(whole, fitness.Sum(predictions, samples, whole, scored));
    EXPECT_EQ(11, scored);
    predictions[7] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(std::numeric_limits<double>::infinity(), SumOf(fitness, predictions, samples));
  }
}
