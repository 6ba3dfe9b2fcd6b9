#include "watch/ProgressHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TSearchProgress Figures(std::int32_t attempt, std::int32_t generation, double error) {
  TSearchProgress progress;
  progress.Attempt = attempt;
  progress.Seed = 100u + static_cast<std::uint32_t>(attempt);
  progress.Generation = generation;
  progress.BestError = error;
  return progress;
}

}  // namespace

TEST(ProgressHistory, KeepsTheChangesAndTheLatestGenerationOfEachRun) {
  TProgressHistory history;
  for (std::int32_t g = 1; g <= 5; ++g)
    history.Add(Figures(0, g, 8));
  history.Add(Figures(0, 6, 2));
  history.Add(Figures(0, 7, 2));
  ASSERT_EQ(1u, history.Lines().size());
  const std::vector<TSamplePoint>& points = history.Lines()[0].Points;
  ASSERT_EQ(4u, points.size());
  EXPECT_EQ(1, points[0].X);
  EXPECT_EQ(5, points[1].X);  // the run of 8 ends here
  EXPECT_EQ(8, points[1].Y);
  EXPECT_EQ(6, points[2].X);
  EXPECT_EQ(7, points[3].X);
  EXPECT_EQ(2, points[3].Y);
  EXPECT_EQ(7, history.Generations());
  EXPECT_EQ(7, history.LastGeneration());
}

TEST(ProgressHistory, OneLinePerAttemptInTheOrderTheyFirstReport) {
  TProgressHistory history;
  history.Add(Figures(1, 1, 5));
  history.Add(Figures(0, 1, 9));
  history.Add(Figures(1, 2, 4));
  history.Add(Figures(2, 1, 7));
  history.Add(Figures(0, 2, 3));
  ASSERT_EQ(3u, history.Lines().size());
  EXPECT_EQ(1, history.Lines()[0].Attempt);
  EXPECT_EQ(101u, history.Lines()[0].Seed);
  EXPECT_EQ(0, history.Lines()[1].Attempt);
  EXPECT_EQ(2, history.Lines()[2].Attempt);
  EXPECT_EQ(2u, history.Lines()[1].Points.size());
  EXPECT_EQ(3, history.Lines()[1].Points[1].Y);
  EXPECT_EQ(5, history.Generations());
  EXPECT_EQ(2, history.LastGeneration());

  history.Clear();
  EXPECT_TRUE(history.Lines().empty());
  EXPECT_EQ(0, history.Generations());
  EXPECT_FALSE(history.ErrorRange());
}

TEST(ProgressHistory, ErrorsThatAreNotFiniteAreCountedButNotDrawn) {
  TProgressHistory history;
  history.Add(Figures(0, 1, std::numeric_limits<double>::infinity()));
  history.Add(Figures(0, 2, std::numeric_limits<double>::quiet_NaN()));
  history.Add(Figures(0, 3, 0.5));
  EXPECT_EQ(3, history.Generations());
  ASSERT_EQ(1u, history.Lines()[0].Points.size());
  ASSERT_TRUE(history.ErrorRange());
  EXPECT_EQ(0.5, history.ErrorRange()->Max);
}

TEST(ProgressHistory, ZeroErrorsSitAtTheBottomOfTheLogAxis) {
  TProgressHistory history;
  history.Add(Figures(0, 1, 0));
  EXPECT_FALSE(history.ErrorRange());  // no positive error to set the decades yet
  history.Add(Figures(0, 2, 350));
  history.Add(Figures(0, 3, 0.02));
  history.Add(Figures(0, 4, 0));
  const TErrorRange range = *history.ErrorRange();
  EXPECT_EQ(0.02, range.Min);
  EXPECT_EQ(350, range.Max);
  const TErrorRange axis = LogAxisRange(range);
  EXPECT_DOUBLE_EQ(1e-3, axis.Min);  // one decade under 0.02's
  EXPECT_DOUBLE_EQ(1e3, axis.Max);
  EXPECT_EQ(axis.Min, LogAxisValue(0, range));
  EXPECT_EQ(0.02, LogAxisValue(0.02, range));
}

TEST(ProgressHistory, LogAxisRangeStaysPositiveAndFinite) {
  const TErrorRange one = LogAxisRange({1, 1});
  EXPECT_DOUBLE_EQ(0.1, one.Min);
  EXPECT_DOUBLE_EQ(10, one.Max);
  const TErrorRange extreme =
      LogAxisRange({std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max()});
  EXPECT_GT(extreme.Min, 0);
  EXPECT_TRUE(std::isfinite(extreme.Max));
  EXPECT_LT(extreme.Min, extreme.Max);
  // An exact model's error: the axis still reaches above 1e-12, which a chart would take for
  // zero (and then keep the labels it had).
  const TErrorRange exact = LogAxisRange({3e-13, 3e-13});
  EXPECT_LE(exact.Min, 3e-13);
  EXPECT_GT(exact.Max, 1e-12);
  const TErrorRange tiny = LogAxisRange({1e-300, 1e-290});
  EXPECT_DOUBLE_EQ(1e-301, tiny.Min);
  EXPECT_GT(tiny.Max, 1e-12);
}

// The decades a log axis of this base labels within range.
std::vector<double> LabelledDecades(const TErrorRange& range, double base) {
  const double k = std::round(std::log10(base));
  std::vector<double> decades;
  for (double d = std::ceil(std::log10(range.Min) - 1e-9); d <= std::log10(range.Max) + 1e-9; ++d) {
    if (std::fmod(d, k) == 0) decades.push_back(d);
  }
  return decades;
}

TEST(ProgressHistory, LogAxisBaseLeavesFewLabelsAndStepsNoFurtherThanNeeded) {
  const TErrorRange ranges[] = {{1e-3, 1e3},
                                {0.1, 10},
                                {1e-14, 1e4},
                                {1e-300, 1e300},
                                LogAxisRange({std::numeric_limits<double>::denorm_min(),
                                              std::numeric_limits<double>::max()})};
  for (const TErrorRange& range : ranges) {
    for (const int most : {2, 3, 5}) {
      const double base = LogAxisBase(range, most);
      ASSERT_TRUE(std::isfinite(base));
      const std::vector<double> labels = LabelledDecades(range, base);
      EXPECT_LE(labels.size(), static_cast<std::size_t>(most)) << range.Min << " " << most;
      EXPECT_GE(labels.size(), 1U) << range.Min << " " << most;
      if (base > 10) {  // a finer step would have left too many
        EXPECT_GT(LabelledDecades(range, base / 10).size(), static_cast<std::size_t>(most));
      }
    }
  }
  EXPECT_EQ(10, LogAxisBase({0.1, 10}, 3));      // -1, 0, 1: every decade
  EXPECT_EQ(1e5, LogAxisBase({1e-14, 1e4}, 3));  // -10, -5, 0
}

TEST(ProgressHistory, GenerationAxisEndsAtANiceNumber) {
  EXPECT_EQ(1, NiceCeiling(0));
  EXPECT_EQ(1, NiceCeiling(1));
  EXPECT_EQ(2, NiceCeiling(2));
  EXPECT_EQ(5, NiceCeiling(3));
  EXPECT_EQ(100, NiceCeiling(78));
  EXPECT_EQ(200, NiceCeiling(101));
  EXPECT_EQ(5e9, NiceCeiling(4294967296));
}
