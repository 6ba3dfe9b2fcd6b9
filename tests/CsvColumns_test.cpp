#include "import/CsvColumns.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/ImportError.h"

namespace {
const std::vector<std::string> Header{"time", " Value ", "x", "value"};
}  // namespace

TEST(CsvColumns, ParsesNumbersAndNames) {
  EXPECT_EQ(TColumnChoice::ByNumber(2), ParseColumnChoice("2"));
  EXPECT_EQ(TColumnChoice::ByNumber(12), ParseColumnChoice("012"));
  EXPECT_EQ(TColumnChoice::ByNumber(0), ParseColumnChoice("0"));
  EXPECT_EQ(TColumnChoice::ByNumber(INT32_MAX), ParseColumnChoice("99999999999"));
  EXPECT_EQ(TColumnChoice::ByName("time"), ParseColumnChoice("time"));
  EXPECT_EQ(TColumnChoice::ByName("2a"), ParseColumnChoice("2a"));
  EXPECT_EQ(TColumnChoice::ByName(" 2"), ParseColumnChoice(" 2"));
}

TEST(CsvColumns, ResolvesByNumber) {
  EXPECT_EQ(0u, ResolveColumn(TColumnChoice::ByNumber(1), Header, true));
  EXPECT_EQ(9u, ResolveColumn(TColumnChoice::ByNumber(10), {}, false));  // rows decide
  EXPECT_THROW((void)ResolveColumn(TColumnChoice::ByNumber(0), Header, true), TImportError);
}

TEST(CsvColumns, ResolvesByNameExactThenLoosely) {
  EXPECT_EQ(0u, ResolveColumn(TColumnChoice::ByName("time"), Header, true));
  EXPECT_EQ(3u, ResolveColumn(TColumnChoice::ByName("value"), Header, true));
  EXPECT_EQ(0u, ResolveColumn(TColumnChoice::ByName(" Time"), Header, true));
  EXPECT_EQ(2u, ResolveColumn(TColumnChoice::ByName("X "), Header, true));
  // Loosely, "VALUE" is " Value " and "value" both: it chooses neither.
  EXPECT_THROW((void)ResolveColumn(TColumnChoice::ByName("VALUE"), Header, true), TImportError);
}

TEST(CsvColumns, MissingNamesSayWhatThereIs) {
  try {
    (void)ResolveColumn(TColumnChoice::ByName("speed"), Header, true);
    FAIL();
  } catch (const TImportError& error) {
    EXPECT_STREQ(
        "No column is named \"speed\". The header holds \"time\", \"Value\", \"x\", \"value\".",
        error.what());
  }
  EXPECT_THROW((void)ResolveColumn(TColumnChoice::ByName("time"), {}, false), TImportError);
}

TEST(CsvColumns, DescribesChoices) {
  EXPECT_EQ("column 3", DescribeColumn(TColumnChoice::ByNumber(3)));
  EXPECT_EQ("column \"time\"", DescribeColumn(TColumnChoice::ByName("time")));
}

TEST(CsvColumns, SuggestsNamedOrNumericColumns) {
  const std::vector<std::vector<std::string>> rows{{"a", "1", "b", "2,5", "3"},
                                                   {"c", "4", "d", "5", "6"}};
  using TColumns = std::vector<std::int32_t>;
  // Three columns of numbers: the last is y, the others inputs.
  EXPECT_EQ((TColumns{2, 4}), SuggestColumns({}, rows, ',').X);
  EXPECT_EQ(5, SuggestColumns({}, rows, ',').Y);
  EXPECT_EQ((TColumns{2, 4, 5}), SuggestColumns({}, rows, ',').Numeric);
  EXPECT_EQ((TColumns{2}), SuggestColumns({}, rows, '.').X);  // "2,5" is no number under "."
  EXPECT_EQ(5, SuggestColumns({}, rows, '.').Y);
  // Names decide between two columns of numbers; of more, "y" is y and "x" one input of many.
  const std::vector<std::string> named{"id", "Y", "X "};
  EXPECT_EQ((TColumns{3}), SuggestColumns(named, rows, '.').X);
  EXPECT_EQ(2, SuggestColumns(named, rows, '.').Y);
  EXPECT_EQ((TColumns{4, 5}), SuggestColumns(named, rows, ',').X);
  EXPECT_EQ(2, SuggestColumns(named, rows, ',').Y);
  const std::vector<std::vector<std::string>> spring{{"2", "3", "9"}, {"1", "4", "8"}};
  EXPECT_EQ((TColumns{1, 2}),
            SuggestColumns(std::vector<std::string>{"k", "x", "y"}, spring, '.').X);
  EXPECT_EQ(3, SuggestColumns(std::vector<std::string>{"k", "x", "y"}, spring, '.').Y);
  // Young's modulus "Y" before the "y" of the result stays an input.
  EXPECT_EQ((TColumns{1, 2}),
            SuggestColumns(std::vector<std::string>{"Y", "x", "y"}, spring, '.').X);
  EXPECT_EQ(3, SuggestColumns(std::vector<std::string>{"Y", "x", "y"}, spring, '.').Y);
  // A row index goes when there are two other columns of numbers, not otherwise; under a
  // header only when its name says it is one.
  const std::vector<std::vector<std::string>> indexed{{"1", "0.5", "7"}, {"2", "1.5", "8"}};
  EXPECT_EQ((TColumns{2}), SuggestColumns({}, indexed, '.').X);
  EXPECT_EQ(3, SuggestColumns({}, indexed, '.').Y);
  EXPECT_EQ((TColumns{2}),
            SuggestColumns(std::vector<std::string>{"No", "a", "b"}, indexed, '.').X);
  EXPECT_EQ((TColumns{1, 2}),
            SuggestColumns(std::vector<std::string>{"t", "a", "b"}, indexed, '.').X);
  const std::vector<std::vector<std::string>> sine{{"0", "0.1"}, {"1", "0.2"}, {"2", "0.3"}};
  EXPECT_EQ((TColumns{1}), SuggestColumns({}, sine, '.').X);
  EXPECT_EQ((TColumns{1}), SuggestColumns({}, {{"a", "b"}}, '.').X);
  EXPECT_EQ(2, SuggestColumns({}, {{"a", "b"}}, '.').Y);
}

TEST(CsvColumns, ParsesListsOfChoices) {
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByName("time"), TColumnChoice::ByNumber(3)}),
            ParseColumnChoices("time, 3"));
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByName("a b")}), ParseColumnChoices("a b"));
  EXPECT_THROW((void)ParseColumnChoices("a,,b"), TImportError);
  EXPECT_THROW((void)ParseColumnChoices("a,"), TImportError);
}

// A name given twice in the header, or matched loosely by two, chooses no column; quotes
// choose a name that holds a comma or reads as a number.
TEST(CsvColumns, NamesChooseOneColumnOrSayWhyNot) {
  const std::vector<std::string> twice{"a", "b", "a", "B "};
  const auto messageOf = [&](const std::string& name) -> std::string {
    try {
      (void)ResolveColumn(TColumnChoice::ByName(name), twice, true);
    } catch (const TImportError& error) {
      return error.what();
    }
    return "no error";
  };
  EXPECT_EQ("Columns 1 and 3 are both named \"a\": choose one by its number.", messageOf("a"));
  EXPECT_EQ("Columns 2 and 4 are both named \"b\": choose one by its number.", messageOf(" b"));
  EXPECT_EQ(1u, ResolveColumn(TColumnChoice::ByName("b"), twice, true));
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByName("a,b"), TColumnChoice::ByNumber(2)}),
            ParseColumnChoices("\"a,b\",2"));
  EXPECT_EQ((std::vector<TColumnChoice>{TColumnChoice::ByName("400"), TColumnChoice::ByName("x")}),
            ParseColumnChoices(" \"400\" , x"));
  EXPECT_EQ(TColumnChoice::ByName("say \"hi\", a"), ParseColumnChoice("\"say \"\"hi\"\", a\""));
  EXPECT_EQ(TColumnChoice::ByName("a,b"), ParseColumnChoice("a,b"));
  EXPECT_THROW((void)ParseColumnChoices("\"a,b"), TImportError);
  EXPECT_THROW((void)ParseColumnChoices("\"a\"b"), TImportError);
}
