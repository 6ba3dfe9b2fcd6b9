#include "SeriesPoints.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
TSampleData Rows(std::initializer_list<TSamplePoint> rows) {
  TSampleData s(static_cast<std::int32_t>(rows.size()));
  std::int32_t i = 0;
  for (const TSamplePoint& p : rows) {
    s.SetX(i, p.X);
    s.SetY(i++, p.Y);
  }
  return s;
}

std::vector<double> Xs(const std::vector<TSamplePoint>& points) {
  std::vector<double> xs;
  for (const TSamplePoint& p : points)
    xs.push_back(p.X);
  return xs;
}
std::vector<double> Ys(const std::vector<TSamplePoint>& points) {
  std::vector<double> ys;
  for (const TSamplePoint& p : points)
    ys.push_back(p.Y);
  return ys;
}
}  // namespace

TEST(SeriesPoints, AscendingXWithEqualXInTheOrderOfTheSet) {
  const TSampleData s = Rows({{3, 1}, {1, 9}, {2, 5}, {1, 4}, {1, 7}});
  const auto points = SeriesPoints(s);
  EXPECT_EQ((std::vector<double>{1, 1, 1, 2, 3}), Xs(points));
  // Unlike SortPoints, equal x keep their insertion order, not ascending y.
  EXPECT_EQ((std::vector<double>{9, 4, 7, 5, 1}), Ys(points));
}

TEST(SeriesPoints, PredictionsFollowTheirSamplesX) {
  const TSampleData s = Rows({{2, 0}, {0, 0}, {1, 0}, {0, 0}});
  const std::vector<double> predictions{20, 0.5, 10, 0.25};
  const auto points = SeriesPoints(s, predictions);
  EXPECT_EQ((std::vector<double>{0, 0, 1, 2}), Xs(points));
  EXPECT_EQ((std::vector<double>{0.5, 0.25, 10, 20}), Ys(points));
}

TEST(SeriesPoints, EmptySetGivesNoPointsAndNoRange) {
  const TSampleData s(0);
  EXPECT_TRUE(SeriesPoints(s).empty());
  EXPECT_FALSE(SeriesRange({}, {}).has_value());
}

TEST(SeriesPoints, RangeCoversBothSeries) {
  const std::vector<TSamplePoint> samples{{0, -1}, {99, 1}};
  const std::vector<TSamplePoint> model{{0, 5}, {99, -3}};
  const auto range = SeriesRange(samples, model);
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(0, range->MinX);
  EXPECT_EQ(99, range->MaxX);
  EXPECT_EQ(-3, range->MinY);
  EXPECT_EQ(5, range->MaxY);
}

TEST(SeriesPoints, ASinglePointStillGetsAnAxisSpan) {
  const std::vector<TSamplePoint> one{{4, 2}};
  const auto range = SeriesRange(one, {});
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(3, range->MinX);
  EXPECT_EQ(5, range->MaxX);
  EXPECT_EQ(1, range->MinY);
  EXPECT_EQ(3, range->MaxY);
}
