#include "frontend/WindowText.h"

#include <gtest/gtest.h>

#include "exchange/ClipboardData.h"

TEST(WindowText, ParametersReadAsDecimalIntegers) {
  const TSearchParameters p = ReadSearchParameters("32000", "100", "20", 25, false);
  EXPECT_EQ(32000, p.PopulationSize);
  EXPECT_EQ(100, p.InstructionCount);
  EXPECT_EQ(20, p.RegisterCount);
  EXPECT_EQ(0.25, p.Margin());
  EXPECT_FALSE(p.Progressive);
}

TEST(WindowText, OneUnreadableParameterSendsAllThreeToTheirFallbacks) {
  for (const char* bad :
       {"", "1,000", "1 000", "12a", "1e3", "99999999999", " 7", "+-5", "++5", "+"}) {
    const TSearchParameters p = ReadSearchParameters("200", "7", bad, 10, true);
    EXPECT_EQ(100, p.PopulationSize) << bad;
    EXPECT_EQ(5, p.InstructionCount) << bad;
    EXPECT_EQ(1, p.RegisterCount) << bad;
    EXPECT_EQ(0.1, p.Margin()) << bad;
    EXPECT_TRUE(p.Progressive) << bad;
  }
}

TEST(WindowText, SignedParametersAreDecimalIntegers) {
  const TSearchParameters p = ReadSearchParameters("+300", "-5", "+2", 10, true);
  EXPECT_EQ(300, p.PopulationSize);
  EXPECT_EQ(-5, p.InstructionCount);
  EXPECT_EQ(2, p.RegisterCount);
}

TEST(WindowText, MarginPercentOfZeroAndForty) {
  EXPECT_EQ(0.0, ReadSearchParameters("100", "5", "1", 0, true).Margin());
  EXPECT_EQ(0.4, ReadSearchParameters("100", "5", "1", 40, true).Margin());
  EXPECT_EQ("0%", MarginHint(0));
  EXPECT_EQ("40%", MarginHint(40));
}

TEST(WindowText, ErrorBoxAddsAPeriodOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ("Stream write error.", ErrorBoxText("Stream write error"));
  EXPECT_EQ("Cannot open file \"a.mvs\". No such file.",
            ErrorBoxText("Cannot open file \"a.mvs\". No such file."));
  EXPECT_EQ("Done!", ErrorBoxText("Done!"));     // '!' sorts before '.'
  EXPECT_EQ("Path /.", ErrorBoxText("Path /"));  // '/' sorts after it
  EXPECT_EQ("", ErrorBoxText(""));
}

TEST(WindowText, UnreadableQuestionOnlyWhenRowsWereLost) {
  TSampleRead read;
  read.Add({1, 2});
  EXPECT_EQ("", UnreadableQuestion(read));
  read.AddUnreadable(4);
  EXPECT_EQ(
      "1 of 2 lines could not be read as two numbers (line 4). Load the test data "
      "without it, or with it as the sample (0, 0)?",
      UnreadableQuestion(read));
  read.AddUnreadable(9);
  EXPECT_EQ(
      "2 of 3 lines could not be read as two numbers (lines 4 and 9). Load the test "
      "data without them, or with each as the sample (0, 0)?",
      UnreadableQuestion(read));
}

TEST(WindowText, NothingPastedNoteOnlyWhenSomethingWasThere) {
  EXPECT_EQ("", NothingPastedNote(ReadClipboardData(" \r\n")));
  EXPECT_EQ("", NothingPastedNote(ReadClipboardData("1 2 x y")));
  EXPECT_EQ("Nothing was pasted: the clipboard holds no pair of numbers.",
            NothingPastedNote(ReadClipboardData("42")));
  EXPECT_EQ(
      "Nothing was pasted: the one pair on the clipboard could not be read as two numbers "
      "(line 2).",
      NothingPastedNote(ReadClipboardData("\n1 y\n")));
  EXPECT_EQ(
      "Nothing was pasted: none of the 3 pairs on the clipboard could be read as two numbers "
      "(lines 1, 2 and 3).",
      NothingPastedNote(ReadClipboardData("a 1\nb 2\nc 3")));
}

TEST(WindowText, SeedIsPlainDigitsWithinThirtyTwoBits) {
  EXPECT_EQ(0u, ReadSeed("0"));
  EXPECT_EQ(4711u, ReadSeed("4711"));
  EXPECT_EQ(4294967295u, ReadSeed("4294967295"));
  EXPECT_EQ(7u, ReadSeed("007"));
  for (const char* bad : {"", "4294967296", "99999999999", "-1", "+5", " 5", "5 ", "1e3", "0x10"}) {
    EXPECT_FALSE(ReadSeed(bad)) << bad;
  }
}

TEST(WindowText, TheStatusLineSaysWhyTheSearchEnded) {
  EXPECT_EQ("Ended by the time limit: 37 of 100 samples matched.",
            SearchEndStatus(TSearchEnd::TimeLimit, 37, 100));
  EXPECT_EQ("Ended by the generation limit: 0 of 1 sample matched.",
            SearchEndStatus(TSearchEnd::GenerationLimit, 0, 1));
  EXPECT_EQ("Every sample matched (20).", SearchEndStatus(TSearchEnd::Matched, 20, 20));
  EXPECT_EQ("Stopped: 3 of 20 samples matched.", SearchEndStatus(TSearchEnd::Stopped, 3, 20));
  EXPECT_EQ("Stopped: 3 of 4 samples matched. Nothing held out: too few samples.",
            SearchEndStatus(TSearchEnd::Stopped, 3, 4, true));
}

TEST(WindowText, NothingPastedNoteGivesTheReasonOfARefusal) {
  EXPECT_EQ("Nothing was pasted. Line 3 has 2 items where every line has 3 (2 inputs and y).",
            NothingPastedNote(ReadClipboardData("a b c\n1 2 3\n4 5\n")));
}

TEST(WindowText, ALimitBoxIsEmptyForNoLimitAndKeepsToItsRange) {
  using Limit = std::optional<std::int64_t>;
  EXPECT_EQ(Limit(), ReadLimit("", TimeLimitSetting));
  EXPECT_EQ(Limit(), ReadLimit("0", TimeLimitSetting)) << "0 seconds would end at once";
  EXPECT_EQ(Limit(), ReadLimit("000", GenerationsSetting));
  EXPECT_EQ(Limit(30), ReadLimit("30", TimeLimitSetting));
  EXPECT_EQ(Limit(7), ReadLimit("007", GenerationsSetting));
  EXPECT_EQ(Limit(TimeLimitSetting.Range.Maximum), ReadLimit("999999999", TimeLimitSetting));
  EXPECT_EQ(Limit(GenerationsSetting.Range.Maximum),
            ReadLimit("99999999999999999999999", GenerationsSetting));
  for (const char* text : {"-5", "+5", " 5", "5 ", "1e3", "5s"}) {
    EXPECT_EQ(Limit(), ReadLimit(text, GenerationsSetting)) << text;
  }
}

TEST(WindowText, SettingTipsGiveTheWindowsRangeAndTheNote) {
  EXPECT_EQ("Registers per program, from 1 to 20.", SettingTip(RegistersSetting));
  // The window offers less than the command line.
  EXPECT_EQ("Population size, from 100 to 32000.", SettingTip(PopulationSetting));
  EXPECT_EQ("Progressive search: the samples scored grow by a tenth of the set whenever the best "
            "error falls below 0.0001.",
            SettingTip(ProgressiveSetting));
}
