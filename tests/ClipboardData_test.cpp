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

TEST(ClipboardData, SeveralInputsCopyUnderTheirNamesAndPasteBack) {
  TSampleData samples(2, 3);
  for (std::int32_t i = 0; i < 2; ++i) {
    for (std::int32_t k = 0; k < 3; ++k)
      samples.SetX(i, k, i + k * 0.5);
    samples.SetY(i, -i);
  }
  EXPECT_EQ(
      "x1\tx2\tx3\ty\r\n0.00000000\t0.50000000\t1.00000000\t0.00000000\r\n"
      "1.00000000\t1.50000000\t2.00000000\t-1.00000000\r\n",
      FormatClipboardData(samples));
  for (const std::int32_t inputs : {2, 3, 8, 16}) {
    TSampleData wide(5, inputs);
    std::vector<std::string> names;
    for (std::int32_t k = 0; k < inputs; ++k) {
      names.push_back(k == 1 ? "mass \"kg\"; dry" : "in" + std::to_string(k));
      for (std::int32_t i = 0; i < 5; ++i)
        wide.SetX(i, k, i * 100 + k);
    }
    names.emplace_back("out");
    wide.SetNames(names);
    for (std::int32_t i = 0; i < 5; ++i)
      wide.SetY(i, 0.25 * i);
    TSampleData pasted;
    const TClipboardPaste paste = ParseClipboardData(FormatClipboardData(wide), pasted);
    ASSERT_TRUE(paste.Pasted) << paste.Refusal;
    ASSERT_EQ(inputs, pasted.InputCount());
    EXPECT_EQ(names, pasted.Names());
    for (std::int32_t i = 0; i < 5; ++i) {
      for (std::int32_t k = 0; k < inputs; ++k)
        EXPECT_EQ(i * 100 + k, pasted.GetX(i, k));
      EXPECT_EQ(0.25 * i, pasted.GetY(i));
    }
  }
  // One input with names keeps them; its rows are still read as pairs.
  TSampleData named = MakeSet({{1, 2}});
  named.SetNames({"t", "v"});
  EXPECT_EQ("t\tv\r\n1.00000000\t2.00000000\r\n", FormatClipboardData(named));
  TSampleData back;
  ASSERT_TRUE(ParseClipboardData(FormatClipboardData(named), back).Pasted);
  EXPECT_EQ(named.Names(), back.Names());
}

TEST(ClipboardData, RowsThatCannotMakeOneSetChangeNothingAndSayWhy) {
  const struct {
    const char* Text;
    const char* Refusal;
  } rows[] = {
      {"a\tb\tc\r\n1\t2\t3\r\n4\t5\r\n",
       "Line 3 has 2 items where every line has 3 (2 inputs and y)."},
      {"a\tb\ta\r\n1\t2\t3\r\n", "Columns 1 and 3 have the same name, \"a\"."},
      {"a\t\tc\r\n1\t2\t3\r\n", "The header gives column 2 no name."},
  };
  for (const auto& row : rows) {
    TSampleData samples = MakeSet({{1, 5}});
    const TClipboardPaste paste = ParseClipboardData(row.Text, samples);
    EXPECT_FALSE(paste.Pasted) << row.Text;
    EXPECT_EQ(row.Refusal, paste.Refusal);
    ExpectRows({{1, 5}}, samples);
  }
  std::string header;
  for (int k = 0; k < 18; ++k)
    header += (k > 0 ? "\tc" : "c") + std::to_string(k);
  EXPECT_EQ("The samples have 17 inputs; a sample set takes at most 16.",
            ReadClipboardData(header + "\r\n").Refusal());
  // A row whose items are not all numbers is left out and counted, as a pair is.
  TSampleRead read = ReadClipboardData("a\tb\tc\r\n1\t2\t3\r\n4\tx\t6\r\n");
  EXPECT_EQ(1, read.Readable());
  EXPECT_EQ((std::vector<std::int64_t>{3}), read.UnreadableLines());
}

// An odd last item is said to be left over; a number cut short is read in bare pairs and
// counted, and refused in pairs and rows under a header.
TEST(ClipboardData, LeftOverItemsAndNumbersCutShortAreTold) {
  const TSampleRead odd = ReadClipboardData("1 2\r\n3 2.5e\r\n5");
  EXPECT_EQ(3, odd.UnpairedLine());
  EXPECT_EQ((std::vector<std::int64_t>{2}), odd.CutShort().Lines);
  EXPECT_EQ(2, odd.Readable());
  EXPECT_EQ(0, ReadClipboardData("1 2 3 4").UnpairedLine());

  const TSampleRead named = ReadClipboardData("t\tv\r\n1\t2.5e\r\n3\t4\r\n");
  EXPECT_EQ((std::vector<std::int64_t>{2}), named.UnreadableLines());
  EXPECT_EQ(0, named.CutShort().Count);
  const TSampleRead rows = ReadClipboardData("a\tb\ty\r\n1\t2\t.\r\n1\t2\t3\r\n");
  EXPECT_EQ(1, rows.Readable());
  EXPECT_EQ((std::vector<std::int64_t>{2}), rows.UnreadableLines());
}
