#include "frontend/SeriesPoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "tests/SampleTesting.h"

namespace {
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
  const TSampleData s = MakeSet({{3, 1}, {1, 9}, {2, 5}, {1, 4}, {1, 7}});
  const auto points = SeriesPoints(s);
  EXPECT_EQ((std::vector<double>{1, 1, 1, 2, 3}), Xs(points));
  // Unlike SortPoints, equal x keep their insertion order, not ascending y.
  EXPECT_EQ((std::vector<double>{9, 4, 7, 5, 1}), Ys(points));
}

TEST(SeriesPoints, PredictionsFollowTheirSamplesX) {
  const TSampleData s = MakeSet({{2, 0}, {0, 0}, {1, 0}, {0, 0}});
  const std::vector<double> predictions{20, 0.5, 10, 0.25};
  const auto points = SeriesPoints(s, predictions);
  EXPECT_EQ((std::vector<double>{0, 0, 1, 2}), Xs(points));
  EXPECT_EQ((std::vector<double>{0.5, 0.25, 10, 20}), Ys(points));
}

TEST(SeriesPoints, AnyInputCanBeTheXOfBothSeries) {
  TSampleData s(3, 2);
  const double rows[3][3] = {{1, 30, 5}, {2, 10, 6}, {3, 20, 7}};
  for (std::int32_t i = 0; i < 3; ++i) {
    s.SetX(i, 0, rows[i][0]);
    s.SetX(i, 1, rows[i][1]);
    s.SetY(i, rows[i][2]);
  }
  EXPECT_EQ((std::vector<double>{1, 2, 3}), Xs(SeriesPoints(s)));
  const auto second = SeriesPoints(s, 1);
  EXPECT_EQ((std::vector<double>{10, 20, 30}), Xs(second));
  EXPECT_EQ((std::vector<double>{6, 7, 5}), Ys(second));
  const std::vector<double> predictions{-5, -6, -7};
  EXPECT_EQ((std::vector<double>{-6, -7, -5}), Ys(SeriesPoints(s, predictions, 1)));
}

TEST(SeriesPoints, MeasuredAgainstPredictedWithTheDiagonalOverBoth) {
  const TSampleData s = MakeSet({{0, 4}, {1, 1}, {2, 9}, {3, 2}});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> predictions{3, 0.5, nan, std::numeric_limits<double>::infinity()};
  const auto measured = MeasuredPoints(s, predictions);
  // A prediction no axis can show is left out; the rest ordered by prediction.
  EXPECT_EQ((std::vector<double>{0.5, 3}), Xs(measured));
  EXPECT_EQ((std::vector<double>{1, 4}), Ys(measured));
  const auto diagonal = DiagonalPoints(measured);
  EXPECT_EQ((std::vector<double>{0.5, 4}), Xs(diagonal));
  EXPECT_EQ((std::vector<double>{0.5, 4}), Ys(diagonal));
  // Without a model there is nothing to measure against.
  EXPECT_TRUE(MeasuredPoints(s, {}).empty());
  EXPECT_TRUE(DiagonalPoints({}).empty());
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

TEST(SeriesPoints, ExtremeValuesStillGiveADrawableSpan) {
  const double max = std::numeric_limits<double>::max();
  const std::vector<std::vector<TSamplePoint>> cases = {
      {{1e20, 1e16}},               // flat where adding one changes nothing
      {{-max, -max}, {max, max}},   // a span beyond the largest double
      {{max, -max}},                // flat at the ends of the range
      {{0, 1e-300}, {0, 2e-300}}};  // tiny but not empty
  for (const auto& points : cases) {
    const auto range = SeriesRange(points, {});
    ASSERT_TRUE(range.has_value());
    EXPECT_LT(range->MinX, range->MaxX);
    EXPECT_LT(range->MinY, range->MaxY);
    EXPECT_TRUE(std::isfinite(range->MaxX - range->MinX));
    EXPECT_TRUE(std::isfinite(range->MaxY - range->MinY));
  }
}

TEST(SeriesPoints, AxesGetRoundStepsAndFewEnoughTicksForTheirLabels) {
  // The sine sample keeps the axes it always had.
  const auto x = ReadableScale(0, 99, MostXTicks);
  ASSERT_TRUE(x.has_value());
  EXPECT_EQ(0, x->Min);
  EXPECT_EQ(100, x->Max);
  EXPECT_EQ(6, x->TickCount);
  const auto y = ReadableScale(-0.9999, 0.9999, MostYTicks);
  ASSERT_TRUE(y.has_value());
  EXPECT_EQ(-1, y->Min);
  EXPECT_EQ(1, y->Max);
  EXPECT_EQ(5, y->TickCount);
  // Steps of 0.2 would give six labels on y, too many for the chart's first height.
  const auto small = ReadableScale(0, 0.91, MostYTicks);
  ASSERT_TRUE(small.has_value());
  EXPECT_EQ(0, small->Min);
  EXPECT_EQ(1, small->Max);
  EXPECT_EQ(3, small->TickCount);

  std::uint32_t state = 12345;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state) / 4294967296.0;
  };
  for (int i = 0; i < 2000; ++i) {
    const double scale = std::pow(10.0, std::floor(next() * 40) - 20);
    const double a = (next() - 0.5) * scale;
    const double b = a + next() * scale + scale * 1e-9;
    const int most = 3 + i % 5;
    const auto axis = ReadableScale(a, b, most);
    ASSERT_TRUE(axis.has_value()) << a << ' ' << b;
    EXPECT_LE(axis->Min, a);
    EXPECT_GE(axis->Max, b);
    EXPECT_GE(axis->TickCount, 2);
    EXPECT_LE(axis->TickCount, most);
    // The step is 1, 2 or 5 times a power of ten.
    const double step = (axis->Max - axis->Min) / (axis->TickCount - 1);
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                std::abs(mantissa - 5) < 1e-6)
        << a << ' ' << b << ": step " << step;
  }

  // No scale for an empty span or one beyond the doubles; the chart then keeps its range.
  const double max = std::numeric_limits<double>::max();
  EXPECT_FALSE(ReadableScale(1, 1, MostYTicks).has_value());
  EXPECT_FALSE(ReadableScale(2, 1, MostYTicks).has_value());
  EXPECT_FALSE(ReadableScale(-max, max, MostYTicks).has_value());
  EXPECT_FALSE(ReadableScale(0, 1, 2).has_value());  // fewer than three ticks: none
  const auto wide = ReadableScale(-max / 4, max / 4, MostYTicks);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(-5e307, wide->Min);
  EXPECT_EQ(5e307, wide->Max);
}

TEST(SeriesPoints, TinyValuesGetAUnitOfTheirPowerOfTen) {
  EXPECT_EQ((TChartUnits{0, 0}), ChartUnits({0, 99, -1, 1}));
  EXPECT_EQ((TChartUnits{0, 0}), ChartUnits({0, 0, -SmallestPlainValue, 0}));
  EXPECT_EQ((TChartUnits{-14, -13}), ChartUnits({0, 4.9e-14, -3e-13, 3e-13}));
  EXPECT_EQ((TChartUnits{-12, 0}), ChartUnits({-1e-12, 0, 0, 0}));  // zero alone stays plain
  const TChartUnits nan = ChartUnits({0, std::nan(""), 0, 0});
  EXPECT_EQ(0, nan.ExponentX);

  const std::vector<TSamplePoint> drawn = InUnits({{2e-14, -3e-13}, {0, 5e-13}}, {-14, -13});
  EXPECT_DOUBLE_EQ(2, drawn[0].X);
  EXPECT_DOUBLE_EQ(-3, drawn[0].Y);
  EXPECT_DOUBLE_EQ(5, drawn[1].Y);
  const TSeriesRange range = InUnits(TSeriesRange{0, 4.9e-14, -3e-13, 3e-13}, {-14, -13});
  EXPECT_DOUBLE_EQ(4.9, range.MaxX);
  EXPECT_DOUBLE_EQ(-3, range.MinY);

  // The smallest doubles: a unit beyond 10^-300 still gives finite numbers of ordinary size.
  const double least = std::numeric_limits<double>::denorm_min();
  const TChartUnits units = ChartUnits({0, least, 0, 0});
  EXPECT_EQ(-324, units.ExponentX);
  const TSeriesRange smallest = InUnits(TSeriesRange{0, least, 0, 0}, units);
  EXPECT_GT(smallest.MaxX, 1);
  EXPECT_LT(smallest.MaxX, 10);

  EXPECT_EQ("y", TitleInUnits("y", 0));
  EXPECT_EQ("y (\u00d71e-13)", TitleInUnits("y", -13));
  EXPECT_EQ("\u00d71e-14", TitleInUnits("", -14));
}

TEST(SeriesPoints, TicksFitTheLengthOfTheAxisFromThreeUpToTheMost) {
  EXPECT_EQ(6, TicksThatFit(250, XTickRoom, MostXTicks));  // the window's first size
  EXPECT_EQ(3, TicksThatFit(110, XTickRoom, MostXTicks));
  EXPECT_EQ(3, TicksThatFit(10, XTickRoom, MostXTicks));  // never fewer than three
  EXPECT_EQ(5, TicksThatFit(65, YTickRoom, MostYTicks));
  EXPECT_EQ(4, TicksThatFit(50, YTickRoom, MostYTicks));
  EXPECT_EQ(MostYTicks, TicksThatFit(2000, YTickRoom, MostYTicks));
  EXPECT_EQ(MostXTicks, TicksThatFit(0, XTickRoom, MostXTicks));  // not laid out yet
  EXPECT_EQ(MostXTicks, TicksThatFit(std::nan(""), XTickRoom, MostXTicks));
}

TEST(SeriesPoints, ShortSeriesAreShownWhole) {
  std::vector<TSamplePoint> points(DisplayLimit, TSamplePoint{1, 2});
  EXPECT_EQ(DisplayLimit, DisplayPoints(points).size());
}

TEST(SeriesPoints, LongSeriesKeepEachSlicesEnvelopeInOrder) {
  // A saw tooth with a spike in the middle: every slice has its own lowest and highest.
  constexpr std::size_t Count = 1000000;
  std::vector<TSamplePoint> points(Count);
  for (std::size_t i = 0; i < Count; ++i) {
    points[i] = {static_cast<double>(i), static_cast<double>(i % 97)};
  }
  points[Count / 2].Y = 1000;
  points[Count / 2 + 1].Y = -1000;

  const auto shown = DisplayPoints(points);
  EXPECT_LE(shown.size(), 4 * DisplaySlices);
  EXPECT_GE(shown.size(), 2 * DisplaySlices);
  EXPECT_EQ(0, shown.front().X);
  EXPECT_EQ(Count - 1, shown.back().X);
  for (std::size_t i = 1; i < shown.size(); ++i)
    ASSERT_LT(shown[i - 1].X, shown[i].X);

  const auto full = SeriesRange(points, {});
  const auto thin = SeriesRange(shown, {});
  EXPECT_EQ(full->MinY, thin->MinY);
  EXPECT_EQ(full->MaxY, thin->MaxY);
  EXPECT_EQ(full->MaxX, thin->MaxX);
  // The spike and the dip sit in one slice; both stay, in the order of the series.
  std::vector<double> extremes;
  for (const TSamplePoint& p : shown) {
    if (p.Y == 1000 || p.Y == -1000) extremes.push_back(p.Y);
  }
  EXPECT_EQ((std::vector<double>{1000, -1000}), extremes);
}

TEST(SeriesPoints, LongSeriesOnOneXStayOneSlice) {
  std::vector<TSamplePoint> points(DisplayLimit + 1, TSamplePoint{5, 0});
  points[7].Y = -3;
  points[9].Y = 4;
  points.back().Y = 1;
  const auto shown = DisplayPoints(points);
  EXPECT_EQ((std::vector<double>{0, -3, 4, 1}), Ys(shown));
}

TEST(SeriesPoints, SamplesOutOfOrderOrManyAreDrawnAsPoints) {
  const auto rows = [](std::initializer_list<double> xs) {
    TSampleData samples(static_cast<std::int32_t>(xs.size()));
    std::int32_t i = 0;
    for (const double x : xs)
      samples.SetX(i++, x);
    return samples;
  };
  EXPECT_FALSE(DrawAsPoints(rows({})));
  EXPECT_FALSE(DrawAsPoints(rows({1})));
  EXPECT_FALSE(DrawAsPoints(rows({-1, 0, 2.5})));
  EXPECT_TRUE(DrawAsPoints(rows({0, 2, 1})));
  EXPECT_TRUE(DrawAsPoints(rows({3, 2, 1})));
  EXPECT_TRUE(DrawAsPoints(rows({0, 1, 1, 2})));  // repeated measurements at one x

  TSampleData many(LineLimit);
  for (std::int32_t i = 0; i < LineLimit; ++i)
    many.SetX(i, i);
  EXPECT_FALSE(DrawAsPoints(many));
  many.SetCount(LineLimit + 1);
  many.SetX(LineLimit, LineLimit);
  EXPECT_TRUE(DrawAsPoints(many));
}

TEST(SeriesPoints, ManyMarkersKeepOnePerCellOfTheCloud) {
  std::vector<TSamplePoint> few(DisplayLimit, TSamplePoint{1, 2});
  EXPECT_EQ(DisplayLimit, ScatterPoints(few).size());

  // A cloud of a million points over [0, 1000) x [0, 10), ordered by x.
  std::vector<TSamplePoint> cloud;
  std::uint32_t state = 12345;
  for (int i = 0; i < 1000000; ++i) {
    state = state * 1664525u + 1013904223u;
    cloud.push_back({i / 1000.0, (state >> 8) % 10000 / 1000.0});
  }
  cloud.push_back({400, 1e6});  // one outlier stretches the range
  std::sort(cloud.begin(), cloud.end(),
            [](const TSamplePoint& a, const TSamplePoint& b) { return a.X < b.X; });
  const auto shown = ScatterPoints(cloud);
  EXPECT_LE(shown.size(), ScatterCells * ScatterCells);
  EXPECT_GE(shown.size(), ScatterCells);  // every column of cells holds a point
  for (std::size_t i = 1; i < shown.size(); ++i)
    ASSERT_LE(shown[i - 1].X, shown[i].X);
  EXPECT_EQ(cloud.front().X, shown.front().X);
  EXPECT_EQ(1, std::count_if(shown.begin(), shown.end(),
                             [](const TSamplePoint& p) { return p.Y == 1e6; }));
}

TEST(SeriesPoints, MarkersOfExtremeValuesStayApart) {
  constexpr double Max = std::numeric_limits<double>::max();
  std::vector<TSamplePoint> points(DisplayLimit + 1, TSamplePoint{0, 0});
  points.front() = {-Max, -Max};
  points.back() = {Max, Max};
  const auto shown = ScatterPoints(points);
  EXPECT_EQ((std::vector<double>{-Max, 0, Max}), Xs(shown));
}
