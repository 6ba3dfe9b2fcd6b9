#include "exchange/ColumnMatch.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// One row (1, 2, 3) under the names given.
TSampleData Row(std::vector<std::string> names) {
  TSampleData rows(1, static_cast<std::int32_t>(names.size()) - 1);
  for (std::int32_t k = 0; k < rows.InputCount(); ++k)
    rows.SetX(0, k, k + 1.0);
  rows.SetY(0, static_cast<double>(names.size()));
  rows.SetNames(std::move(names));
  return rows;
}

std::string ErrorOf(const TSampleData& rows, const std::vector<std::string>& names) {
  try {
    (void)ColumnsByName(rows, names);
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST(ColumnMatch, ColumnsFollowTheNamesWhateverTheirOrder) {
  const std::vector<std::string> names{"p", "q", "r", "y"};
  const TSampleData matched = ColumnsByName(Row({"r", "q", "p", "y"}), names);
  EXPECT_EQ(3, matched.GetX(0, 0));
  EXPECT_EQ(2, matched.GetX(0, 1));
  EXPECT_EQ(1, matched.GetX(0, 2));
  EXPECT_EQ(4, matched.GetY(0));
  EXPECT_EQ(names, matched.Names());
  EXPECT_EQ(3, matched.MinX(0));  // bounds of the columns where they now stand
  EXPECT_EQ(1, matched.MaxX(2));
  // y may stand among the inputs too.
  const TSampleData moved = ColumnsByName(Row({"y", "p", "q", "r"}), names);
  EXPECT_EQ(1, moved.GetY(0));
  EXPECT_EQ(4, moved.GetX(0, 2));
}

TEST(ColumnMatch, NamesThatAreNotThereSayWhatIs) {
  EXPECT_EQ("No column is named \"p\". Its columns are \"a\", \"b\", \"c\", \"y\".",
            ErrorOf(Row({"a", "b", "c", "y"}), {"p", "q", "r", "y"}));
  EXPECT_EQ("It has 3 columns where the samples have 4.",
            ErrorOf(Row({"p", "q", "y"}), {"p", "q", "r", "y"}));
}
