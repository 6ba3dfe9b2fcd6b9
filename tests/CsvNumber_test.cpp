#include "import/CsvNumber.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

TEST(CsvNumber, ReadsNumbers) {
  const struct {
    std::string Text;
    char Separator;
    double Value;
  } rows[] = {
      {"1.5", '.', 1.5},
      {"+1.5", '.', 1.5},
      {"-1.5", '.', -1.5},
      {" \t-1.5 \t", '.', -1.5},
      {"1,5", ',', 1.5},
      {"-0,25", ',', -0.25},
      {"1.5e3", '.', 1500},
      {"1,5E-3", ',', 0.0015},
      {"1.5E+03", '.', 1500},
      {".5", '.', 0.5},
      {"5.", '.', 5},
      {"007", '.', 7},
      {"0.1", '.', 0.1},
      {"0,84147098", ',', 0.84147098},
      {"123456789012345678901234567890", '.', 1.2345678901234568e29},
      {"1e-400", '.', 0},
      {"4e-320", '.', 4e-320},
      {"0.000e999999999999", '.', 0},
      {"1.7976931348623157e308", '.', std::numeric_limits<double>::max()},
  };
  for (const auto& row : rows) {
    const std::optional<double> value = ParseCsvNumber(row.Text, row.Separator);
    ASSERT_TRUE(value.has_value()) << row.Text;
    EXPECT_EQ(row.Value, *value) << row.Text;
  }
  EXPECT_TRUE(std::signbit(*ParseCsvNumber("-0", '.')));
}

TEST(CsvNumber, RefusesEverythingElse) {
  const struct {
    std::string Text;
    char Separator;
  } rows[] = {
      {"", '.'},
      {"  ", '.'},
      {"-", '.'},
      {"+", '.'},
      {".", '.'},
      {",", ','},
      {"1,5", '.'},
      {"1.5", ','},
      {"1.5.2", '.'},
      {"1,000.5", '.'},
      {"1 000", '.'},
      {"1'000", '.'},
      {"1.5x", '.'},
      {"x1.5", '.'},
      {"5E", '.'},
      {"5e+", '.'},
      {"E5", '.'},
      {"1e5.5", '.'},
      {"+-1", '.'},
      {"--1", '.'},
      {"inf", '.'},
      {"-inf", '.'},
      {"nan", '.'},
      {"NaN", '.'},
      {"infinity", '.'},
      {"0x1p3", '.'},
      {"0x10", '.'},
      {"1e400", '.'},
      {"-1e400", '.'},
      {"5%", '.'},
      {"$5", '.'},
      {"1\xc2\xa0"
       "000",
       '.'},
      {std::string("1\0", 2), '.'},
      {"\"1\"", '.'},
      {"1 .5", '.'},
  };
  for (const auto& row : rows)
    EXPECT_FALSE(ParseCsvNumber(row.Text, row.Separator).has_value()) << row.Text;
}

TEST(CsvNumber, LongCellsWithCommaSeparator) {
  const std::string digits(100, '3');
  const std::optional<double> value = ParseCsvNumber("0," + digits, ',');
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*ParseCsvNumber("0." + digits, '.'), *value);
}
