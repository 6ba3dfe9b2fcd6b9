#include "restart/AttemptKind.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TSearchParameters Sized(std::int32_t registers, std::int32_t instructions,
                        std::int32_t population) {
  TSearchParameters parameters;
  parameters.RegisterCount = registers;
  parameters.InstructionCount = instructions;
  parameters.PopulationSize = population;
  parameters.MarginPercent = 1;
  parameters.RefineTrials = 20;
  return parameters;
}

struct TSizes {
  std::int32_t Registers, Instructions, Population;
  bool operator==(const TSizes&) const = default;
};

TSizes SizesOf(const TSearchParameters& parameters) {
  return {parameters.RegisterCount, parameters.InstructionCount, parameters.PopulationSize};
}

}  // namespace

TEST(AttemptKind, EachKindRunsALubySequenceOfItsOwnInTurn) {
  struct TSeen {
    std::vector<std::int32_t> Levels;
    std::vector<bool> Unscaled;
    std::vector<std::int64_t> Steps;
  };
  const auto kinds = [](bool ladder, bool unscaledToo) {
    TSeen seen;
    for (std::int64_t k = 0; k < 12; ++k) {
      const TAttemptKind kind = AttemptKind(k, ladder, unscaledToo);
      seen.Levels.push_back(kind.Level);
      seen.Unscaled.push_back(kind.Unscaled);
      seen.Steps.push_back(kind.Step);
    }
    return seen;
  };
  const TSeen plain = kinds(false, false);
  EXPECT_EQ(std::vector<std::int32_t>(12, 0), plain.Levels);
  EXPECT_EQ(std::vector<bool>(12, false), plain.Unscaled);
  EXPECT_EQ((std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), plain.Steps);

  const TSeen ladder = kinds(true, false);
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}), ladder.Levels);
  EXPECT_EQ(std::vector<bool>(12, false), ladder.Unscaled);
  EXPECT_EQ((std::vector<std::int64_t>{0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}), ladder.Steps);

  const TSeen unscaled = kinds(false, true);
  EXPECT_EQ(std::vector<std::int32_t>(12, 0), unscaled.Levels);
  EXPECT_EQ((std::vector<bool>{false, true, false, true, false, true, false, true, false, true,
                               false, true}),
            unscaled.Unscaled);
  EXPECT_EQ((std::vector<std::int64_t>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5}), unscaled.Steps);

  // Both: every size scaled, then every size unscaled.
  const TSeen both = kinds(true, true);
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}), both.Levels);
  EXPECT_EQ((std::vector<bool>{false, false, false, true, true, true, false, false, false, true,
                               true, true}),
            both.Unscaled);
  EXPECT_EQ((std::vector<std::int64_t>{0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}), both.Steps);

  // Far attempts, as a long run or an MPI rank reaches them.
  const TAttemptKind far = AttemptKind(6'000'000'005, true, true);
  EXPECT_EQ(2, far.Level);
  EXPECT_TRUE(far.Unscaled);
  EXPECT_EQ(1'000'000'000, far.Step);
}

TEST(SizeLadder, LevelsGrowTheSizesWithinTheirRangesAndKeepEverythingElse) {
  const TSearchParameters given = Sized(2, 5, 100);
  EXPECT_EQ(given, LadderSizes(given, 1, 0)) << "level 0 is the user's search";
  EXPECT_EQ((TSizes{3, 10, 300}), SizesOf(LadderSizes(given, 1, 1)));
  EXPECT_EQ((TSizes{4, 20, 1000}), SizesOf(LadderSizes(given, 1, 2)));

  // Registers grow from those the search uses: raised to the inputs first.
  EXPECT_EQ(4, LadderSizes(given, 3, 1).RegisterCount);
  EXPECT_EQ(5, LadderSizes(given, 3, 2).RegisterCount);

  // Near the ends of the ranges each size stops at the largest the options accept.
  EXPECT_EQ((TSizes{20, 1000, 1000000}), SizesOf(LadderSizes(Sized(19, 600, 500000), 1, 2)));
  EXPECT_EQ((TSizes{20, 1000, 1000000}), SizesOf(LadderSizes(Sized(20, 1000, 1000000), 16, 2)));

  TSearchParameters grown = LadderSizes(given, 1, 2);
  grown.RegisterCount = given.RegisterCount;
  grown.InstructionCount = given.InstructionCount;
  grown.PopulationSize = given.PopulationSize;
  EXPECT_EQ(given, grown) << "the margin, the additions and the rest stay";
}

TEST(SizeLadder, AUnitIsShortenedByThePopulationsFactor) {
  EXPECT_EQ(200, LadderUnit(200, 100, 100));
  EXPECT_EQ(66, LadderUnit(200, 100, 300));
  EXPECT_EQ(20, LadderUnit(200, 100, 1000));
  // Never below one generation, and a capped population shortens the unit only by what
  // it grew.
  EXPECT_EQ(1, LadderUnit(2, 100, 1000));
  EXPECT_EQ(100, LadderUnit(200, 500000, 1000000));
  // The largest unit and population do not overflow.
  EXPECT_EQ(INT32_MAX, LadderUnit(INT32_MAX, 1000000, 1000000));
}
