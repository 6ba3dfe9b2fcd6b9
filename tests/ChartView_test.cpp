#include "frontend/ChartView.h"

#include <gtest/gtest.h>

namespace {

TSampleData Inputs(std::int32_t inputs, std::vector<std::string> names = {}) {
  TSampleData samples(2, inputs);
  samples.SetNames(std::move(names));
  return samples;
}

}  // namespace

TEST(ChartView, OneInputHasNoChoiceAndTitlesOnlyWithNames) {
  const TSampleData plain = Inputs(1);
  EXPECT_TRUE(ChartViewNames(plain).empty());
  EXPECT_FALSE(IsMeasuredView(plain, 1));
  EXPECT_EQ(0, ValidView(plain, 1));
  const TAxisTitles none = ChartAxisTitles(plain, 0);
  EXPECT_EQ("", none.X);
  EXPECT_EQ("", none.Y);
  EXPECT_EQ("", ChartAxisTitles(Inputs(1, {"x", "y"}), 0).X);  // a header "x;y" says nothing
  const TAxisTitles named = ChartAxisTitles(Inputs(1, {"time", "value"}), 0);
  EXPECT_EQ("time", named.X);
  EXPECT_EQ("value", named.Y);
}

TEST(ChartView, SeveralInputsOfferEachInputThenMeasuredAgainstPredicted) {
  const TSampleData plain = Inputs(3);
  EXPECT_EQ((std::vector<std::string>{"x1", "x2", "x3", "measured against predicted"}),
            ChartViewNames(plain));
  EXPECT_EQ("x2", ChartAxisTitles(plain, 1).X);
  EXPECT_EQ("y", ChartAxisTitles(plain, 1).Y);
  EXPECT_TRUE(IsMeasuredView(plain, 3));
  EXPECT_FALSE(IsMeasuredView(plain, 2));

  const TSampleData named = Inputs(2, {"theta", "sigma", "period"});
  EXPECT_EQ((std::vector<std::string>{"theta", "sigma", "measured against predicted"}),
            ChartViewNames(named));
  EXPECT_EQ("sigma", ChartAxisTitles(named, 1).X);
  EXPECT_EQ("predicted period", ChartAxisTitles(named, 2).X);
  EXPECT_EQ("measured period", ChartAxisTitles(named, 2).Y);
}

TEST(ChartView, AViewTheSetLacksFallsBackToTheFirst) {
  const TSampleData three = Inputs(3);
  EXPECT_EQ(3, ValidView(three, 3));
  EXPECT_EQ(0, ValidView(three, 4));
  EXPECT_EQ(0, ValidView(three, -1));
  // Titles of a view past the set are the first input's, never a name read past the end.
  EXPECT_EQ("x1", ChartAxisTitles(three, 7).X);
}
