#include "exchange/Delimited.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
using TItems = std::vector<std::string>;
}  // namespace

TEST(Delimited, SplitsAtDelimiterAndBlanks) {
  const struct {
    std::string Text;
    TItems Items;
  } rows[] = {
      {"", {}},
      {" \t\r\n", {}},
      {"1.5,2.5", {"1.5", "2.5"}},
      {"1.5 2.5", {"1.5", "2.5"}},
      {"1.5\t2.5", {"1.5", "2.5"}},
      {" 1.5 , 2.5 ", {"1.5", "2.5"}},
      {"1.5;2.5", {"1.5;2.5"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a", ""}},
      {"a, ", {"a"}},
      {",", {"", ""}},
      {"x,y,z", {"x", "y", "z"}},
      {"\xe9t\xe9,\x80", {"\xe9t\xe9", "\x80"}},
      {std::string("a,b\0,c", 6), {"a", "b"}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Items, SplitDelimited(row.Text, ',')) << row.Text;
}

TEST(Delimited, ReadsQuotedItems) {
  const struct {
    std::string Text;
    TItems Items;
  } rows[] = {
      {R"("1,5","2,5")", {"1,5", "2,5"}},
      {R"("")", {""}},
      {R"("a ""b"" c",d)", {R"(a "b" c)", "d"}},
      {R"("""")", {R"(")"}},
      {R"("a"b)", {"a", "b"}},
      {R"("unclosed, to the end)", {"unclosed, to the end"}},
      {R"("ends on doubled"")", {R"(ends on doubled")"}},
      {"\"a\r\nb\"", {"a\r\nb"}},
      {R"(x"y",z)", {R"(x"y")", "z"}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Items, SplitDelimited(row.Text, ',')) << row.Text;
}

TEST(Delimited, JoinQuotesWhereReadingNeedsIt) {
  const struct {
    TItems Items;
    std::string Text;
  } rows[] = {
      {{}, ""},
      {{""}, R"("")"},
      {{"1.5", "2.5"}, "1.5,2.5"},
      {{"1,5", "2,5"}, R"("1,5","2,5")"},
      {{"a b", "t\tab", "q\"q"}, R"("a b","t	ab","q""q")"},
      {{"", ""}, ","},
      {{"a;b"}, "a;b"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.Text, JoinDelimited(row.Items, ',')) << row.Text;
    EXPECT_EQ(row.Items, SplitDelimited(row.Text, ',')) << row.Text;
  }
}

TEST(Delimited, ReaderLeavesTheRestUnread) {
  TDelimitedReader reader("\"a\"\"b\" c ; d", ';');
  std::string_view item;
  ASSERT_TRUE(reader.Next(item));
  EXPECT_EQ("a\"b", item);
  ASSERT_TRUE(reader.Next(item));
  EXPECT_EQ("c", item);
  ASSERT_TRUE(reader.Next(item));
  EXPECT_EQ("d", item);
  EXPECT_FALSE(reader.Next(item));
}
