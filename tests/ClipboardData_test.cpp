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

TEST(ClipboardData, CountsUnreadablePairsAndKeepsTheirRows) {
  TSampleData samples;
  const TClipboardPaste paste = ParseClipboardData("x y 1 2 3 oops 4 5;;6", samples);
  EXPECT_TRUE(paste.Pasted);
  EXPECT_EQ(3, paste.Unreadable);
  ExpectRows({{0, 0}, {1, 2}, {0, 0}, {4, 5}, {0, 0}}, samples);
}

TEST(ClipboardData, FewerThanTwoItemsLeaveTheSetAlone) {
  for (const char* text : {"", " \r\n\t ", "42", "\"\""}) {
    TSampleData samples = MakeSet({{1, 5}, {2, -4}});
    EXPECT_FALSE(ParseClipboardData(text, samples).Pasted) << text;
    ExpectRows({{1, 5}, {2, -4}}, samples);
    EXPECT_EQ(-4, samples.MinY());
  }
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
