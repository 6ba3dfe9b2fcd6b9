#include "import/CsvDialect.h"

#include <string>

#include <gtest/gtest.h>

namespace {

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i)
    text += line;
  return text;
}

}  // namespace

TEST(CsvDialect, DetectsDelimiterSeparatorAndHeader) {
  const struct {
    const char* Name;
    std::string Text;
    TCsvDialect Dialect;
  } rows[] = {
      {"comma with header", "x,y\r\n1.5,2.5\r\n3,4\r\n", {',', '.', true}},
      {"comma without header", "1.5,2.5\n3,4\n", {',', '.', false}},
      {"semicolon with decimal comma", "zeit;wert\n1,5;2,5\n3,25;4\n", {';', ',', true}},
      {"semicolon with decimal point", "1.5;2.5\n3.5;4.5\n", {';', '.', false}},
      {"semicolon with integers", "1;2\n3;4\n", {';', ',', false}},
      {"tab", "a\tb\tc\n1\t2.5\t3\n4\t5\t6\n", {'\t', '.', true}},
      {"tab with decimal comma", "1,5\t2,5\n3,5\t4\n", {'\t', ',', false}},
      {"quoted decimal commas", "\"x\",\"y\"\n\"1,5\",\"2,5\"\n\"3,5\",\"4\"\n", {',', ',', true}},
      {"text with commas in a semicolon file",
       "name;value\nSmith, John;1,5\nDoe, Jane;2\n",
       {';', ',', true}},
      {"text with semicolons in a comma file", "a,b\n1.5,\"x;y\"\n2.5,\"u;v\"\n", {',', '.', true}},
      {"more columns", "id,time,value,unit\n1,0.5,3,m\n2,1.5,4,m\n", {',', '.', true}},
      {"header with a number in it", "t,2\n0.5,1\n1.5,2\n", {',', '.', true}},
      {"ragged rows", "1,2\n3,4,5\n6,7\n8,9\n", {',', '.', false}},
      {"no numbers at all", "a,b\nc,d\n", {',', '.', false}},
      {"only a header", "x;y\n", {';', ',', true}},
      {"single column", "1.5\n2.5\n", {',', '.', false}},
      {"empty", "", {',', '.', false}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Dialect, DetectCsvDialect(row.Text)) << row.Name;
}

TEST(CsvDialect, JudgesOnlyTheStartOfLongFiles) {
  // 200 rows decide; what comes after them does not.
  const std::string text = "x;y\n" + Repeat("1,5;2,5\n", 300) + Repeat("1.5,2.5,3.5\n", 10000);
  EXPECT_EQ((TCsvDialect{';', ',', true}), DetectCsvDialect(text));
}

TEST(CsvDialect, CutRecordAtTheEndOfTheSampleIsLeftOut) {
  // The sample ends inside a quoted field that holds many line breaks.
  const std::string text = "1,2\n3,4\n\"" + Repeat(";\n", 40000) + "\",5\n";
  EXPECT_EQ((TCsvDialect{',', '.', false}), DetectCsvDialect(text));
}

TEST(CsvDialect, HeaderForAChosenDelimiter) {
  EXPECT_TRUE(DetectCsvHeader("a;b\n1,5;2\n", ';', ','));
  EXPECT_FALSE(DetectCsvHeader("1;2\n3;4\n", ';', ','));
}
