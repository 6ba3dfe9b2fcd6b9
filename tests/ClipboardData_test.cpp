#include "exchange/ClipboardData.h"

#include <gtest/gtest.h>

#include "tests/SampleTesting.h"

TEST(ClipboardData, FormatsTabSeparatedLines) {
  EXPECT_EQ("", FormatClipboardData(TSampleData()));
  EXPECT_EQ("1.00000000\t0.84147098\r\n-2.00000000\t1E16\r\n",
            FormatClipboardData(MakeSet({{1, 0.8414709848078965}, {-2, 1e16}})));
  const TSeparator comma(",");
  EXPECT_EQ("1,50000000\t2,50000000\r\n", FormatClipboardData(MakeSet({{1.5, 2.5}})));
}

TEST(ClipboardData, PastesItemsInPairs) {
  TSampleData samples;
  const TClipboardPaste paste = ParseClipboardData("1 2 3\r\n4;5", samples);
  EXPECT_TRUE(paste.Pasted);
  EXPECT_EQ(0, paste.Unreadable);
  ExpectRows({{1, 2}, {3, 4}}, samples);
}

TEST(ClipboardData, LeavesOutUnreadablePairsAndSaysWhere) {
  TSampleData samples;
  const TClipboardPaste paste = ParseClipboardData("x y 1 2 3 oops 4 5;;6", samples);
  EXPECT_TRUE(paste.Pasted);
  EXPECT_EQ(3, paste.Unreadable);
  ExpectRows({{1, 2}, {4, 5}}, samples);

  // Each pair on the line of its first item; the choice can still bring them back as (0, 0).
  TSampleRead read = ReadClipboardData("1\t2\r\n3\toops\r\n\r\n5\t6\n7;\r\n8\r9 x");
  EXPECT_EQ((std::vector<std::int64_t>{2, 7}), read.UnreadableLines());
  std::move(read).MoveInto(samples, TUnreadableChoice::AsZero);
  ExpectRows({{1, 2}, {0, 0}, {5, 6}, {7, 8}, {0, 0}}, samples);
}

// A first line of names is the header: its items are no pair, whatever their number.
TEST(ClipboardData, FirstLineOfNamesIsTheHeader) {
  TSampleRead read = ReadClipboardData("\r\ntime\tlevel m\r\n1\t2\r\n3\t4\r\n");
  EXPECT_EQ((std::vector<std::string>{"time", "level m"}), read.Header());
  EXPECT_EQ(0, read.Unreadable());
  TSampleData samples;
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  ExpectRows({{1, 2}, {3, 4}}, samples);
  EXPECT_EQ((std::vector<std::string>{"t", "x", "y"}), ReadClipboardData("t x y\n1 2\n").Header());
  EXPECT_TRUE(ReadClipboardData("1 x\n1 2\n").Header().empty());
}

// Nothing that reads as a pair leaves the set as it was: no pair at all, or none readable.
TEST(ClipboardData, NothingReadLeavesTheSetAlone) {
  for (const char* text : {"", " \r\n\t ", "42", "\"\"", "a b\r\nc d", "x y\r\n", "1;x;y;2"}) {
    TSampleData samples = MakeSet({{1, 5}, {2, -4}});
    EXPECT_FALSE(ParseClipboardData(text, samples).Pasted) << text;
    ExpectRows({{1, 5}, {2, -4}}, samples);
    EXPECT_EQ(-4, samples.MinY());
  }
  EXPECT_TRUE(ReadClipboardData(" \r\n\t ").Blank());
  EXPECT_FALSE(ReadClipboardData("42").Blank());
}

TEST(ClipboardData, BoundsFitThePastedValuesOnly) {
  TSampleData samples = MakeSet({{-100, -100}, {100, 100}, {0, 0}});
  ASSERT_TRUE(ParseClipboardData("10 20 11 21", samples).Pasted);
  EXPECT_EQ(10, samples.MinX());
  EXPECT_EQ(11, samples.MaxX());
  EXPECT_EQ(20, samples.MinY());
  EXPECT_EQ(21, samples.MaxY());
}

TEST(ClipboardData, CopyThenPasteReproducesTheRoundedSet) {
  for (const char* separator : {".", ","}) {
    const TSeparator guard(separator);
    const TSampleData original =
        MakeSet({{0.1, 2.0 / 3}, {-1e20, 123456789.123456789}, {0, -0.5}, {1.25e-9, -7.0 / 3e6}});
    TSampleData pasted;
    const TClipboardPaste paste = ParseClipboardData(FormatClipboardData(original), pasted);
    EXPECT_EQ(0, paste.Unreadable) << separator;
    ExpectRows({{0.1, 0.66666667}, {-1e20, 123456789.1234568}, {0, -0.5}, {1.25e-9, -7.0 / 3e6}},
               pasted);
  }
  // Under "," the comma is part of a number, never a separator.
  const TSeparator comma(",");
  TSampleData samples;
  ASSERT_TRUE(ParseClipboardData("1,5\t2,5", samples).Pasted);
  ExpectRows({{1.5, 2.5}}, samples);
}
