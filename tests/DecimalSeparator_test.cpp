#include "core/model/DecimalSeparator.h"

#include <gtest/gtest.h>

TEST(DecimalSeparator, FirstCharacterOfTheSymbol) {
  const struct {
    const char* Symbol;
    char Separator;
  } rows[] = {
      {".", '.'},
      {",", ','},
      {",.", ','},
      {"'x", '\''},
      {"", '.'},
      {"\xd9\xab", '.'},      // U+066B ARABIC DECIMAL SEPARATOR: two bytes
      {"\xd9\xab,", '.'},     // a first character of two bytes, then a comma
      {"\xe2\x80\xa4", '.'},  // U+2024 ONE DOT LEADER: three bytes
  };
  for (const auto& row : rows) {
    SetDecimalSeparator(",");  // a state the next row must replace
    SetDecimalSeparator(row.Symbol);
    EXPECT_EQ(row.Separator, DecimalSeparator()) << row.Symbol;
  }
  SetDecimalSeparator(".");
}
