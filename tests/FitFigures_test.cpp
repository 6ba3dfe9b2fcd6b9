#include "watch/FitFigures.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/model/Random.h"
#include "core/search/SearchRun.h"
#include "tests/ProgramTesting.h"

namespace {

TSampleData Set(const std::vector<double>& ys) {
  TSampleData samples(static_cast<std::int32_t>(ys.size()));
  for (std::size_t i = 0; i < ys.size(); ++i) {
    samples.SetX(static_cast<std::int32_t>(i), static_cast<double>(i));
    samples.SetY(static_cast<std::int32_t>(i), ys[i]);
  }
  return samples;
}

}  // namespace

TEST(FitFigures, ErrorRmseAndRSquaredOfKnownPredictions) {
  // y = 1, 2, 3, 4 (mean 2.5, squared deviations 5); errors 0, 1, -1, 2.
  const TFitFigures fit = Fit({1, 3, 2, 6}, Set({1, 2, 3, 4}));
  EXPECT_EQ(4, fit.Count);
  EXPECT_EQ(4.0, fit.Error);
  EXPECT_DOUBLE_EQ(std::sqrt(6.0 / 4), fit.Rmse);
  EXPECT_DOUBLE_EQ(1 - 6.0 / 5, fit.RSquared);
}

TEST(FitFigures, ConstantYAndNoSamples) {
  EXPECT_EQ(1.0, Fit({7, 7}, Set({7, 7})).RSquared);
  EXPECT_EQ(0.0, Fit({7, 8}, Set({7, 7})).RSquared);
  const TFitFigures none = Fit(std::vector<double>{}, Set({}));
  EXPECT_EQ(0, none.Count);
  EXPECT_TRUE(std::isnan(none.Rmse));
  EXPECT_TRUE(std::isnan(none.RSquared));
}

TEST(FitFigures, TheErrorOfAModelIsTheOneTheSearchShows) {
  SetSeed(3);
  TSampleData samples(100);
  samples.GenerateSine();
  TSearchParameters parameters;
  parameters.RegisterCount = 2;
  parameters.MarginPercent = 0;
  parameters.GenerationLimit = 30;
  parameters.Seed = 3;
  TSearchRun run(samples, parameters);
  const TSearchResult result = run.Run({});
  ASSERT_TRUE(result.Model);
  const TFitFigures fit = ModelFit(*result.Model, samples);
  EXPECT_EQ(result.Error, fit.Error);
  EXPECT_EQ(100, fit.Count);
}

TEST(FitFigures, AModelOfTwoInputsReadsBothOfEachSample) {
  // R[0] := x1 - x2 on rows (3, 1, 2), (5, 2, 3): both exact.
  TSampleData samples(2, 2);
  const double rows[2][3] = {{3, 1, 2}, {5, 2, 3}};
  for (std::int32_t i = 0; i < 2; ++i) {
    samples.SetX(i, 0, rows[i][0]);
    samples.SetX(i, 1, rows[i][1]);
    samples.SetY(i, rows[i][2]);
  }
  const TTuringEvaluator model = Program(2, {{0, opSub, 1, 0}}, 2);
  const TFitFigures fit = ModelFit(model, samples);
  EXPECT_EQ(0.0, fit.Error);
  EXPECT_EQ(1.0, fit.RSquared);
}
