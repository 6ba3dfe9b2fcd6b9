#include "exchange/Lines.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
using TLines = std::vector<std::string_view>;
}  // namespace

TEST(Lines, SplitsAtEveryKindOfBreak) {
  const struct {
    std::string Text;
    TLines Lines;
  } rows[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
      {std::string("\0a", 2), {}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Lines, SplitLines(row.Text)) << row.Text;
}

TEST(Lines, JoinEndsEveryLineWithCrLf) {
  EXPECT_EQ("", JoinLines({}));
  const std::vector<std::string> lines{"1,2", "", "3"};
  const std::string text = JoinLines(lines);
  EXPECT_EQ("1,2\r\n\r\n3\r\n", text);
  EXPECT_EQ((TLines{"1,2", "", "3"}), SplitLines(text));
}
