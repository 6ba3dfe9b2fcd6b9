#include "restart/SizeLadder.h"

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

TEST(SizeLadder, EachLevelRunsALubySequenceOfItsOwnInTurn) {
  std::vector<std::int32_t> levels;
  std::vector<std::int64_t> steps;
  for (std::int64_t k = 0; k < 9; ++k) {
    levels.push_back(LadderLevel(k));
    steps.push_back(LadderStep(k));
  }
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2, 0, 1, 2, 0, 1, 2}), levels);
  EXPECT_EQ((std::vector<std::int64_t>{0, 0, 0, 1, 1, 1, 2, 2, 2}), steps);
  // Far attempts, as a long run or an MPI rank reaches them.
  EXPECT_EQ(2, LadderLevel(3'000'000'002));
  EXPECT_EQ(1'000'000'000, LadderStep(3'000'000'002));
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
