#include "exchange/SampleRead.h"

#include <gtest/gtest.h>

#include "tests/SampleTesting.h"

namespace {

// Rows 1 and 2 read, then two lines that do not, a third row, and one more that does not.
TSampleRead Mixed() {
  TSampleRead read;
  read.Add({1, 10});
  read.Add({2, 20});
  read.AddUnreadable(3);
  read.AddUnreadable(4);
  read.Add({-5, 50});
  read.AddUnreadable(7);
  return read;
}

}  // namespace

TEST(SampleRead, EachChoiceKeepsTheOrderAndTightBounds) {
  TSampleData left = MakeSet({{-100, -100}, {100, 100}});
  left.SetMargin(0.25);
  Mixed().MoveInto(left, TUnreadableChoice::Leave);
  ExpectRows({{1, 10}, {2, 20}, {-5, 50}}, left);
  EXPECT_EQ(-5, left.MinX());
  EXPECT_EQ(10, left.MinY());
  EXPECT_EQ(0.25, left.GetMargin());

  TSampleData zeros = MakeSet({{-100, -100}});
  Mixed().MoveInto(zeros, TUnreadableChoice::AsZero);
  ExpectRows({{1, 10}, {2, 20}, {0, 0}, {0, 0}, {-5, 50}, {0, 0}}, zeros);
  EXPECT_EQ(0, zeros.MinY());  // the (0, 0) rows count in the bounds
  EXPECT_EQ(2, zeros.MaxX());
}

TEST(SampleRead, UnreadableRowsFirstAndOnlyAsZero) {
  TSampleRead read;
  read.AddUnreadable(1);
  read.Add({3, 4});
  TSampleData samples;
  std::move(read).MoveInto(samples, TUnreadableChoice::AsZero);
  ExpectRows({{0, 0}, {3, 4}}, samples);

  TSampleRead none;
  none.AddUnreadable(1);
  none.AddUnreadable(2);
  std::move(none).MoveInto(samples, TUnreadableChoice::AsZero);
  ExpectRows({{0, 0}, {0, 0}}, samples);
}

// Rows added without a reserve grow the set as they come; a reserve is used, not exceeded.
TEST(SampleRead, ManyRowsGrowAndKeepTheirValues) {
  for (const std::int32_t reserve : {0, 1000}) {
    TSampleRead read;
    read.Reserve(reserve);
    for (int i = 0; i < 1000; ++i)
      read.Add({i * 1.0, -i * 2.0});
    EXPECT_EQ(1000, read.Readable());
    TSampleData samples;
    std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
    ASSERT_EQ(1000, samples.Count());
    EXPECT_EQ(999, samples.GetX(999));
    EXPECT_EQ(-1998, samples.MinY());
    EXPECT_EQ(0, samples.MaxY());
  }
}

TEST(SampleRead, SummaryCountsAndListsTheFirstLines) {
  EXPECT_EQ("", UnreadableSummary(TSampleRead()));
  EXPECT_EQ("3 of 6 lines could not be read as two numbers (lines 3, 4 and 7)",
            UnreadableSummary(Mixed()));
  EXPECT_EQ("3 of 6 lines could not be read as two numbers and were left out (lines 3, 4 and 7)",
            UnreadableSummary(Mixed(), ChoiceOutcome(TUnreadableChoice::Leave)));
  TSampleRead one("pairs");
  one.AddUnreadable(12);
  EXPECT_EQ("1 of 1 pair could not be read as two numbers and was loaded as (0, 0) (line 12)",
            UnreadableSummary(one, ChoiceOutcome(TUnreadableChoice::AsZero)));
  TSampleRead many;
  for (int line = 1; line <= 9; ++line)
    many.AddUnreadable(line * 2);
  many.Add({1, 1});
  EXPECT_EQ("9 of 10 lines could not be read as two numbers (lines 2, 4, 6, 8, 10 and more)",
            UnreadableSummary(many));
}

TEST(SampleRead, HeaderNamesNeedTwoNamesAndNoNumber) {
  using TNames = std::vector<std::string>;
  EXPECT_EQ((TNames{"x", "y"}), HeaderNames("x,y", ','));
  EXPECT_EQ((TNames{"time [s]", "level, m", "note"}),
            HeaderNames(" time [s] ,\"level, m\", note", ','));
  EXPECT_EQ((TNames{"time s", "value"}), HeaderNames("time s\tvalue", ';'));
  EXPECT_EQ((TNames{"x", "y", "z"}), HeaderNames("x y  z", ';'));
  EXPECT_EQ((TNames{"say \"hi\"", "b"}), HeaderNames("\"say \"\"hi\"\"\",b", ','));
  EXPECT_EQ((TNames{"\xCE\x94t", "y"}), HeaderNames("\xCE\x94t,y", ','));  // UTF-8 letters
  for (const char* line : {"x", "x,", "x,1.5", "1,2", "x,,y", "", "   ", "x,1e5", "\"1,5\",\"2,5\"",
                           "#,-", "x;y", "1E400,-1E400", "5E,m", "x,1e"})
    EXPECT_TRUE(HeaderNames(line, ',').empty()) << line;
  // A letter alone is a name, an exponent's E too.
  EXPECT_EQ((TNames{"e", "E"}), HeaderNames("e,E", ','));
  EXPECT_EQ((TNames{"E", "m", "E1"}), HeaderNames("E,m,E1", ','));
}

TEST(SampleRead, BlankOnlyWithoutAnything) {
  TSampleRead read;
  EXPECT_TRUE(read.Blank());
  read.MarkContent();
  EXPECT_FALSE(read.Blank());
  TSampleRead header;
  header.SetHeader({"x", "y"});
  EXPECT_FALSE(header.Blank());
  EXPECT_EQ(0, header.Rows());
}

// Items left over and numbers cut short are said with their lines, after the rows left out.
TEST(SampleRead, NotesSayWhatWasNotUsedOrReadLeniently) {
  TSampleRead read = Mixed();
  EXPECT_EQ("", UnusedSummary(read));
  EXPECT_EQ("", CutShortSummary(read));
  read.AddUnused(2);
  read.AddCutShort(1);
  read.AddCutShort(8);
  EXPECT_EQ("1 of 6 lines held more than 2 items; those after the 2nd were not used (line 2)",
            UnusedSummary(read));
  EXPECT_EQ(
      "2 of 6 lines held a number cut short (\"2.5e\", \"1e+\" or \".\"), read as if the missing "
      "digits were 0 (lines 1 and 8)",
      CutShortSummary(read));
  EXPECT_EQ((std::vector<std::string>{
                "3 of 6 lines could not be read as two numbers and were left out (lines 3, 4 "
                "and 7)",
                UnusedSummary(read), CutShortSummary(read)}),
            ReadNotes(read, TUnreadableChoice::Leave));
  TSampleRead pairs("pairs");
  pairs.Add({1, 2});
  pairs.SetUnpaired(3);
  EXPECT_EQ("the last item, on line 3, has no pair and was not used", UnusedSummary(pairs));
  EXPECT_EQ((std::vector<std::string>{UnusedSummary(pairs)}),
            ReadNotes(pairs, TUnreadableChoice::AsZero));
  // A refused text has nothing to say but its refusal.
  read.Refuse("No.");
  EXPECT_TRUE(ReadNotes(read, TUnreadableChoice::Leave).empty());
}
