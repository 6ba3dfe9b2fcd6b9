#include "import/CsvReader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using TRecords = std::vector<std::vector<std::string>>;

TRecords ReadAll(std::string_view text, char delimiter = ',') {
  TCsvReader reader(text, delimiter);
  TCsvRecord record;
  TRecords records;
  while (reader.Next(record))
    records.emplace_back(record.Fields.begin(), record.Fields.end());
  return records;
}

std::vector<std::int64_t> Lines(std::string_view text) {
  TCsvReader reader(text, ',');
  TCsvRecord record;
  std::vector<std::int64_t> lines;
  while (reader.Next(record))
    lines.push_back(record.Line);
  return lines;
}

}  // namespace

TEST(CsvReader, SplitsFieldsAndRecords) {
  const struct {
    std::string Text;
    TRecords Records;
  } rows[] = {
      {"", {}},
      {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
      {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
      {"a,b\rc,d\r", {{"a", "b"}, {"c", "d"}}},
      {"a,,b", {{"a", "", "b"}}},
      {",a", {{"", "a"}}},
      {"a,", {{"a", ""}}},
      {"a,\r\n", {{"a", ""}}},
      {" 1.5 , 2.5 ", {{" 1.5 ", " 2.5 "}}},
      {"1;2,5", {{"1;2", "5"}}},
      {"\xe9t\xe9,\x80", {{"\xe9t\xe9", "\x80"}}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Records, ReadAll(row.Text)) << row.Text;
}

TEST(CsvReader, QuotedFieldsHoldDelimitersBreaksAndQuotes) {
  const struct {
    std::string Text;
    TRecords Records;
  } rows[] = {
      {R"("1,5","2,5")", {{"1,5", "2,5"}}},
      {R"("")", {{""}}},
      {R"("",x)", {{"", "x"}}},
      {R"("a ""b"" c",d)", {{R"(a "b" c)", "d"}}},
      {R"("""")", {{R"(")"}}},
      {R"("""a""","b""")", {{R"("a")", R"(b")"}}},
      {"\"line\r\nbreak\",2\r\n3,4", {{"line\r\nbreak", "2"}, {"3", "4"}}},
      {"\"a\nb\nc\"", {{"a\nb\nc"}}},
      {"\"two\r\n\r\nbreaks\"", {{"two\r\n\r\nbreaks"}}},
      {R"(1, "2,5")", {{"1", "2,5"}}},   // blanks before the opening quote
      {R"("2,5"  ,1)", {{"2,5", "1"}}},  // blanks after the closing quote
      {R"("a"b,c)", {{"ab", "c"}}},      // text after the closing quote is kept
      {R"("a""b"c""d,e)", {{R"(a"bc""d)", "e"}}},
      {R"(x"y",z)", {{R"(x"y")", "z"}}},  // a quote inside a field is plain text
      {R"("unclosed, to the end)", {{"unclosed, to the end"}}},
      {"\"unclosed\nstill\"\"open", {{"unclosed\nstill\"open"}}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Records, ReadAll(row.Text)) << row.Text;
}

TEST(CsvReader, EmptyLinesAreNoRecords) {
  EXPECT_EQ((TRecords{{"1", "2"}, {"3", "4"}}), ReadAll("\r\n\r\n1,2\r\n\r\n\n\r3,4\r\n\r\n"));
  EXPECT_EQ((TRecords{{"  "}}), ReadAll("\n  \n"));  // blanks are a record, a blank one
}

TEST(CsvReader, RaggedRowsKeepTheirLength) {
  EXPECT_EQ((TRecords{{"a", "b", "c"}, {"1"}, {"1", "2", "3", "4"}, {"", ""}}),
            ReadAll("a,b,c\n1\n1,2,3,4\n,\n"));
}

TEST(CsvReader, OtherDelimiters) {
  EXPECT_EQ((TRecords{{"1,5", "2,5"}, {"x y", "\"q\""}}),
            ReadAll("1,5;2,5\nx y;\"\"\"q\"\"\"\n", ';'));
  EXPECT_EQ((TRecords{{"1.5", "2.5", ""}, {" a", "b,c"}}), ReadAll("1.5\t2.5\t\n a\tb,c", '\t'));
  // A tab delimits even before a quote: it is not a blank to pass over.
  EXPECT_EQ((TRecords{{"a", "", "b"}}), ReadAll("a\t\t\"b\"", '\t'));
}

TEST(CsvReader, LinesCountBreaksInsideQuotes) {
  EXPECT_EQ((std::vector<std::int64_t>{1, 2, 6, 7}), Lines("a\r\nb,\"x\r\ny\r\nz\"\r\n\r\nc\rd"));
}

TEST(CsvReader, BlankRecord) {
  TCsvRecord record;
  record.Fields = {"", " \t", ""};
  EXPECT_TRUE(record.Blank());
  record.Fields.push_back("0");
  EXPECT_FALSE(record.Blank());
}

TEST(CsvReader, FieldsOfManyRecordsStayApart) {
  // The copy buffer grows across fields of one record; every view must still be right.
  std::string text;
  TRecords expected;
  for (int i = 0; i < 50; ++i) {
    std::vector<std::string> fields;
    std::string line;
    for (int j = 0; j < 20; ++j) {
      const std::string value = std::to_string(i) + "\"" + std::to_string(j);
      fields.push_back(value);
      line += (j > 0 ? "," : "") + ("\"" + std::to_string(i) + "\"\"" + std::to_string(j) + "\"");
    }
    expected.push_back(fields);
    text += line + "\r\n";
  }
  EXPECT_EQ(expected, ReadAll(text));
}
