#include "core/model/SD.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/Random.h"

namespace {
void ExpectBounds(const TSampleData& s, double minX, double maxX, double minY, double maxY) {
  EXPECT_EQ(minX, s.MinX());
  EXPECT_EQ(maxX, s.MaxX());
  EXPECT_EQ(minY, s.MinY());
  EXPECT_EQ(maxY, s.MaxY());
}

TSampleData Rows(std::initializer_list<TSamplePoint> rows) {
  TSampleData s(static_cast<std::int32_t>(rows.size()));
  std::int32_t i = 0;
  for (const TSamplePoint& p : rows) {
    s.SetX(i, p.X);
    s.SetY(i, p.Y);
    ++i;
  }
  s.UpdateBounds();
  return s;
}
}  // namespace

TEST(SampleData, NewSetsHaveZeroRowsAndTheDefaultMargin) {
  TSampleData empty(0);
  EXPECT_EQ(0, empty.Count());
  ExpectBounds(empty, 0, 0, 0, 0);
  EXPECT_EQ(0.1, empty.GetMargin());

  TSampleData three(3);
  EXPECT_EQ(3, three.Count());
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(0.0, three.GetX(i) + three.GetY(i));
  ExpectBounds(three, 0, 0, 0, 0);
}

TEST(SampleData, ResizeKeepsRowsAndRecomputesBounds) {
  TSampleData s = Rows({{1, 5}, {2, -4}, {3, 9}});
  s.SetCount(2);
  EXPECT_EQ(1, s.GetX(0));
  EXPECT_EQ(-4, s.GetY(1));
  ExpectBounds(s, 1, 2, -4, 5);

  s.SetCount(4);
  EXPECT_EQ(0, s.GetX(3));
  EXPECT_EQ(0, s.GetY(2));
  ExpectBounds(s, 0, 2, -4, 5);

  // Bounds only widen on a store.
  s.SetY(1, 0);
  EXPECT_EQ(-4, s.MinY());
  s.SetY(1, 7);
  EXPECT_EQ(7, s.MaxY());

  EXPECT_THROW(s.SetCount(-1), std::out_of_range);
  EXPECT_EQ(4, s.Count());
}

TEST(SampleData, MarginBandIsLopsidedAndNeverLeavesTheRange) {
  TSampleData s = Rows({{0, -1}, {1, 1}, {2, 0}, {3, 0.8}});
  s.SetMargin(0.1);
  for (double v : {0.0, 0.05, -0.05}) {
    EXPECT_TRUE(s.WithinMargin(2, v)) << v;
  }
  for (double v : {0.15, -0.15, 1.5})
    EXPECT_FALSE(s.WithinMargin(2, v)) << v;
  for (double v : {0.81, 0.7})
    EXPECT_TRUE(s.WithinMargin(3, v)) << v;
  for (double v : {0.85, 0.9, 0.6})
    EXPECT_FALSE(s.WithinMargin(3, v)) << v;
  // A sample at the upper bound accepts nothing above it.
  s.SetMargin(1);
  EXPECT_FALSE(s.WithinMargin(1, 1.0000001));
  for (double v : {-1.0, -0.3, 0.99, 1.0})
    EXPECT_TRUE(s.WithinMargin(2, v)) << v;
  // Margin 0 leaves only the rounding tolerance: 1e-8 of the range 2, plus 4 ulp of y.
  s.SetMargin(0);
  EXPECT_TRUE(s.WithinMargin(2, 0));
  EXPECT_TRUE(s.WithinMargin(2, 1e-10));
  EXPECT_TRUE(s.WithinMargin(2, -1.99e-8));
  EXPECT_FALSE(s.WithinMargin(2, 2.0001e-8));
  EXPECT_FALSE(s.WithinMargin(2, -2.0001e-8));
  EXPECT_FALSE(s.WithinMargin(2, 0.01));
}

TEST(SampleData, MarginAtEachBoundAcceptsRoundingOnBothSides) {
  // Samples that are the bounds: the band on the outside had no width before.
  TSampleData s = Rows({{0, -1}, {1, 1}, {2, 0}});
  s.SetMargin(0.1);
  const double tolerance = 2e-8;
  EXPECT_TRUE(s.WithinMargin(1, 1 + tolerance * 0.99));
  EXPECT_TRUE(s.WithinMargin(0, -1 - tolerance * 0.99));
  EXPECT_FALSE(s.WithinMargin(1, 1 + tolerance * 1.01));
  EXPECT_FALSE(s.WithinMargin(0, -1 - tolerance * 1.01));
  // Inside the range the margin still decides beyond the tolerance.
  EXPECT_TRUE(s.WithinMargin(1, 0.9));
  EXPECT_FALSE(s.WithinMargin(1, 0.79));
  // NaN never matches.
  EXPECT_FALSE(s.WithinMargin(1, std::nan("")));
}

TEST(SampleData, MarginOnEqualValuesAcceptsOnlyRoundingOfThatValue) {
  TSampleData s = Rows({{0, 3}, {1, 3}});
  s.SetMargin(0.4);
  EXPECT_TRUE(s.WithinMargin(0, 3));
  // The range is 0, so only 4 units in the last place of 3 remain.
  double above = 3.0;
  double below = 3.0;
  for (int step = 0; step < 4; ++step) {
    above = std::nextafter(above, 4.0);
    below = std::nextafter(below, 2.0);
  }
  EXPECT_TRUE(s.WithinMargin(0, above));
  EXPECT_TRUE(s.WithinMargin(0, below));
  EXPECT_FALSE(s.WithinMargin(0, std::nextafter(above, 4.0)));
  EXPECT_FALSE(s.WithinMargin(0, std::nextafter(std::nextafter(below, 2.0), 2.0)));
}

TEST(SampleData, ExternalSineDataMatchesTheExactSine) {
  // y = sin(x) written with 15 significant digits, as data from elsewhere often is.
  TSampleData s(100);
  for (int i = 0; i < 100; ++i) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", std::sin(static_cast<double>(i)));
    s.SetX(i, i);
    s.SetY(i, std::strtod(text, nullptr));
  }
  s.UpdateBounds();
  s.SetMargin(0.1);
  int matches = 0;
  for (int i = 0; i < 100; ++i)
    matches += s.WithinMargin(i, static_cast<double>(std::sin(static_cast<long double>(i))));
  EXPECT_EQ(100, matches);
}

TEST(SampleData, MarginQuotientIsFormedInExtendedPrecision) {
  // (0.03 - 0.01) / (1 - 0.01) formed in double equals this margin; formed exactly it is larger.
  TSampleData s = Rows({{0, 0}, {1, 1}, {2, 0.01}});
  const double doubleQuotient = (0.03 - 0.01) / (1 - 0.01);
  s.SetMargin(doubleQuotient);
  EXPECT_FALSE(s.WithinMargin(2, 0.03));
  s.SetMargin(std::nextafter(doubleQuotient, 1.0));
  EXPECT_TRUE(s.WithinMargin(2, 0.03));
}

TEST(SampleData, SortPointsOrdersByXThenY) {
  TSampleData s = Rows({{2, 1}, {1, 3}, {1, 2}});
  s.SortPoints();
  EXPECT_EQ(1, s.GetX(0));
  EXPECT_EQ(2, s.GetY(0));
  EXPECT_EQ(1, s.GetX(1));
  EXPECT_EQ(3, s.GetY(1));
  EXPECT_EQ(2, s.GetX(2));
  EXPECT_EQ(1, s.GetY(2));
}

TEST(SampleData, GenerateSineUsesTheExtendedSineOfOneDraw) {
  SetSeed(1);
  TSampleData s(100);
  s.GenerateSine();
  SetSeed(1);
  const int m = RandomInt(50) + 1;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(i, s.GetX(i));
    EXPECT_EQ(static_cast<double>(std::sin(static_cast<long double>(m * i))), s.GetY(i)) << i;
  }
  EXPECT_EQ(0, s.GetY(0));
  EXPECT_EQ(99, s.MaxX());

  // An empty set still draws once.
  SetSeed(5);
  TSampleData empty(0);
  empty.GenerateSine();
  EXPECT_EQ(5u * 134775813u + 1u, Seed());
}

TEST(SampleData, SineOfTheExtendedFunctionDiffersFromPlainSineSomewhere) {
  // m = 10 is one of the pairs where the double sine is off by one unit.
  int differences = 0;
  for (int i = 0; i < 100; ++i) {
    const double extended = static_cast<double>(std::sin(10.0L * i));
    differences += extended != std::sin(10.0 * i);
  }
  EXPECT_GT(differences, 0);
}

TEST(SampleData, GenerateRandomDrawsXThenYAndSorts) {
  SetSeed(42);
  TSampleData s(50);
  s.GenerateRandom();
  SetSeed(42);
  TSampleData expected(50);
  for (int i = 0; i < 50; ++i) {
    expected.SetX(i, RandomReal());
    expected.SetY(i, RandomReal());
  }
  expected.SortPoints();
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(expected.GetX(i), s.GetX(i));
    EXPECT_EQ(expected.GetY(i), s.GetY(i));
    if (i > 0) {
      EXPECT_LE(s.GetX(i - 1), s.GetX(i));
    }
  }
  TSampleData tight = s;
  tight.UpdateBounds();
  ExpectBounds(s, tight.MinX(), tight.MaxX(), tight.MinY(), tight.MaxY());
}

TEST(SampleData, SetXWidensTheXBoundsAndNeverNarrowsThem) {
  TSampleData s = Rows({{1, 5}, {4, 6}});
  s.SetX(0, 2);  // the row that set MinX moves inward: MinX stays
  ExpectBounds(s, 1, 4, 5, 6);
  s.SetX(1, 9);
  ExpectBounds(s, 1, 9, 5, 6);
  s.SetX(1, -3);
  ExpectBounds(s, -3, 9, 5, 6);
  EXPECT_EQ(-3, s.GetX(1));
}

TEST(SampleData, NegativeCountIsARangeCheckError) {
  TSampleData s = Rows({{1, 5}});
  try {
    s.SetCount(-1);
    FAIL() << "no error";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ("Range check error", error.what());
  }
  ExpectBounds(s, 1, 1, 5, 5);
}

// A quotient exactly equal to Margin above the sample, or to its complement below it,
// matches; the next double beyond does not. The distances are far wider than the rounding
// tolerance, so the quotient decides.
TEST(SampleData, MarginQuotientExactlyAtMarginAndComplementMatches) {
  const struct {
    double Margin, Above, Below;  // predictions whose quotient is exactly the limit
  } rows[] = {
      {0.25, 2, -2},  // (2 - 0) / (8 - 0) = 0.25; (-2 + 8) / (0 + 8) = 0.75
      {0.1, 0.8, -8 + 8 * (1 - 0.1)},
  };
  for (const auto& row : rows) {
    TSampleData s = Rows({{0, -8}, {1, 0}, {2, 8}});
    s.SetMargin(row.Margin);
    ASSERT_EQ(row.Margin, (static_cast<long double>(row.Above) - 0) / (8 - 0));
    ASSERT_EQ(s.Band(1).Complement(), (static_cast<long double>(row.Below) + 8) / (0 + 8));
    EXPECT_TRUE(s.WithinMargin(1, row.Above)) << row.Margin;
    EXPECT_FALSE(s.WithinMargin(1, std::nextafter(row.Above, 10.0))) << row.Margin;
    EXPECT_TRUE(s.WithinMargin(1, row.Below)) << row.Margin;
    EXPECT_FALSE(s.WithinMargin(1, std::nextafter(row.Below, -10.0))) << row.Margin;
  }
}

namespace {
// Rows of inputs then y.
TSampleData InputRows(std::int32_t inputs, std::initializer_list<std::vector<double>> rows) {
  TSampleData s(static_cast<std::int32_t>(rows.size()), inputs);
  std::int32_t i = 0;
  for (const std::vector<double>& row : rows) {
    for (std::int32_t k = 0; k < inputs; ++k)
      s.SetX(i, k, row[static_cast<std::size_t>(k)]);
    s.SetY(i++, row.back());
  }
  s.UpdateBounds();
  return s;
}
}  // namespace

TEST(SampleData, HoldsOneToSixteenInputsAndRefusesMore) {
  for (const std::int32_t inputs : {1, 2, 3, 8, 16}) {
    TSampleData s(5, inputs);
    EXPECT_EQ(inputs, s.InputCount());
    EXPECT_EQ(inputs + 1, s.RowSize());
    EXPECT_EQ(static_cast<std::size_t>(inputs), s.Inputs(4).size());
  }
  for (const std::int32_t inputs : {0, -1, 17}) {
    try {
      TSampleData s(1, inputs);
      ADD_FAILURE() << inputs << " inputs were taken";
    } catch (const std::invalid_argument& error) {
      EXPECT_EQ("A sample set takes 1 to 16 inputs, not " + std::to_string(inputs) + ".",
                std::string(error.what()));
    }
  }
  TSampleData s = InputRows(2, {{1, 2, 3}});
  EXPECT_THROW(s.Reshape(4, 17), std::invalid_argument);
  EXPECT_THROW(s.Reshape(-1, 3), std::out_of_range);
  EXPECT_EQ(1, s.Count());
  EXPECT_EQ(2, s.InputCount());
  EXPECT_EQ(3, s.GetY(0));
}

TEST(SampleData, BoundsArePerInput) {
  TSampleData s = InputRows(3, {{1, -5, 100, 7}, {4, 2, 50, -1}, {-2, 0, 75, 3}});
  const double minX[] = {-2, -5, 50};
  const double maxX[] = {4, 2, 100};
  for (std::int32_t k = 0; k < 3; ++k) {
    EXPECT_EQ(minX[k], s.MinX(k)) << k;
    EXPECT_EQ(maxX[k], s.MaxX(k)) << k;
  }
  EXPECT_EQ(-1, s.MinY());
  EXPECT_EQ(7, s.MaxY());
  // A store widens its own input's bounds only.
  s.SetX(0, 1, 9);
  EXPECT_EQ(9, s.MaxX(1));
  EXPECT_EQ(4, s.MaxX(0));
  EXPECT_EQ(100, s.MaxX(2));
  EXPECT_EQ(7, s.MaxY());
  EXPECT_EQ(9, s.GetX(0, 1));
  EXPECT_EQ(1, s.GetX(0));
}

TEST(SampleData, ReshapeKeepsYAndTheInputsBothShapesHave) {
  TSampleData s = InputRows(3, {{1, 2, 3, 10}, {4, 5, 6, 20}, {7, 8, 9, 30}});
  s.SetNames({"a", "b", "c", "y"});
  s.SetCount(2);
  EXPECT_EQ(4u, s.Names().size()) << "a new count keeps the names";
  s.Reshape(3, 2);
  EXPECT_TRUE(s.Names().empty()) << "a new input count drops them";
  const std::vector<std::vector<double>> expected = {{1, 2, 10}, {4, 5, 20}, {0, 0, 0}};
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(expected[i][0], s.GetX(i, 0));
    EXPECT_EQ(expected[i][1], s.GetX(i, 1));
    EXPECT_EQ(expected[i][2], s.GetY(i));
  }
  EXPECT_EQ(0, s.MinY());
  s.Reshape(3, 4);
  EXPECT_EQ(2, s.GetX(0, 1));
  EXPECT_EQ(0, s.GetX(0, 3));
  EXPECT_EQ(10, s.GetY(0));
}

TEST(SampleData, SortsByTheInputsInOrderThenByY) {
  TSampleData s = InputRows(2, {{2, 0, 1}, {1, 5, 3}, {1, 5, 2}, {1, 4, 9}});
  s.SortPoints();
  const std::vector<std::vector<double>> expected = {{1, 4, 9}, {1, 5, 2}, {1, 5, 3}, {2, 0, 1}};
  for (std::int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i][0], s.GetX(i, 0)) << i;
    EXPECT_EQ(expected[i][1], s.GetX(i, 1)) << i;
    EXPECT_EQ(expected[i][2], s.GetY(i)) << i;
  }
}

TEST(SampleData, NamesAreOnePerColumnNotEmptyAndDistinct) {
  TSampleData s(2, 2);
  s.SetNames({"theta", "sigma", "f"});
  const std::vector<std::string> kept = s.Names();
  struct TCase {
    std::vector<std::string> Names;
    std::string Error;
  };
  const std::vector<TCase> cases = {
      {{"a", "b"}, "2 column names for 3 columns (2 inputs and y)."},
      {{"a", "", "c"}, "Column 2 has no name."},
      {{"a", "b", "a"}, "Columns 1 and 3 have the same name, \"a\"."},
  };
  for (const TCase& c : cases) {
    try {
      s.SetNames(c.Names);
      ADD_FAILURE() << c.Error;
    } catch (const std::invalid_argument& error) {
      EXPECT_EQ(c.Error, std::string(error.what()));
    }
    EXPECT_EQ(kept, s.Names()) << "a refused name changes nothing";
  }
  s.SetNames({});
  EXPECT_TRUE(s.Names().empty());
}

TEST(SampleData, GeneratedSamplesHaveOneInput) {
  TSampleData s = InputRows(3, {{1, 2, 3, 4}, {5, 6, 7, 8}});
  s.SetNames({"a", "b", "c", "d"});
  SetSeed(1);
  s.GenerateSine();
  EXPECT_EQ(1, s.InputCount());
  EXPECT_EQ(2, s.Count());
  EXPECT_TRUE(s.Names().empty());
  EXPECT_EQ(1, s.GetX(1));
  s.SetNames({"x", "y"});
  s.GenerateRandom();
  EXPECT_TRUE(s.Names().empty());
}

TEST(SampleData, ColumnNamesAreTheNamesOrXAndY) {
  EXPECT_EQ((std::vector<std::string>{"x", "y"}), ColumnNames(TSampleData(2)));
  TSampleData wide(2, 3);
  EXPECT_EQ((std::vector<std::string>{"x1", "x2", "x3", "y"}), ColumnNames(wide));
  wide.SetNames({"a", "b", "c", "d"});
  EXPECT_EQ(wide.Names(), ColumnNames(wide));
  EXPECT_EQ("", ColumnNamesFault(std::vector<std::string>{"a", "A"}));
  EXPECT_EQ("Column 2 has no name.", ColumnNamesFault(std::vector<std::string>{"a", ""}));
  EXPECT_EQ("Columns 1 and 3 have the same name, \"a\".",
            ColumnNamesFault(std::vector<std::string>{"a", "b", "a"}));
}
