#include "core/search/Refiner.h"

#include <gtest/gtest.h>

#include "core/search/Movar.h"
#include "tests/ProgramTesting.h"
#include "core/model/Random.h"

namespace {

// y = 3.7 x on x = 0 .. 19.
TSampleData Line() {
  TSampleData samples(20);
  for (int i = 0; i < 20; ++i) {
    samples.SetX(i, i);
    samples.SetY(i, 3.7 * i);
  }
  samples.UpdateBounds();
  return samples;
}

}  // namespace

TEST(Refiner, NudgesTheBestProgramsConstantAndNeverRaisesItsError) {
  TSampleData samples = Line();
  SetSeed(11);
  TMovar search(1, 50, 1);
  search.SetProgressive(false);
  search.SetSamples(samples);
  // Program 7: x * 3.5, near the right constant; the others keep their random code.
  search.GetProgram(7).SetInstruction(0, {0, opMul, ConstantOperand, 3.5});
  search.GetProgram(7).UpdateExecEnd();
  search.Evaluate();
  std::int32_t best = 0;
  for (std::int32_t i = 1; i < 50; ++i) {
    if (search.GetError(i) < search.GetError(best)) best = i;
  }
  ASSERT_EQ(7, best);
  const double before = search.GetError(7);
  const TInstruction untouched = search.GetProgram(8).GetInstruction(0);

  TRefiner refiner(5, 200, false);
  ASSERT_TRUE(refiner.Refine(search));
  const double after = search.GetError(7);
  EXPECT_LT(after, before / 10);
  // The recorded error is the program's error on the samples.
  EXPECT_EQ(TMovar::Score(search.GetProgram(7), samples, 19, 1e300), after);
  EXPECT_EQ(untouched.Value, search.GetProgram(8).GetInstruction(0).Value);
  // The ranking takes the refined program as the best.
  search.NextGeneration();
  EXPECT_EQ(after, search.Threshold());
}

TEST(Refiner, SameSeedSameChangesAndAPerfectProgramIsLeftAlone) {
  auto refined = [](std::uint32_t seed) {
    TSampleData samples = Line();
    SetSeed(3);
    TMovar search(3, 20, 2);
    search.SetProgressive(false);
    search.SetSamples(samples);
    search.Evaluate();
    TRefiner refiner(seed, 50, true);
    (void)refiner.Refine(search);
    std::vector<double> errors;
    for (std::int32_t i = 0; i < 20; ++i)
      errors.push_back(search.GetError(i));
    return errors;
  };
  EXPECT_EQ(refined(1), refined(1));

  TSampleData samples = Line();
  SetSeed(3);
  TMovar search(1, 4, 1);
  search.SetProgressive(false);
  search.SetSamples(samples);
  for (std::int32_t i = 0; i < 4; ++i) {
    search.GetProgram(i).SetInstruction(0, {0, opMul, ConstantOperand, 3.7});
    search.GetProgram(i).UpdateExecEnd();
  }
  search.Evaluate();
  ASSERT_EQ(0, search.GetError(0));
  TRefiner refiner(1, 100, true);
  EXPECT_FALSE(refiner.Refine(search));
  EXPECT_EQ(3.7, search.GetProgram(0).GetInstruction(0).Value);
}

TEST(Refiner, MinimumWindowStartsTheProgressiveWindowLarger) {
  for (const auto& [count, minimum, expected] : std::vector<std::tuple<int, int, int>>{
           {20, 0, 2}, {20, 10, 10}, {5, 10, 5}, {100, 10, 10}, {300, 10, 30}, {0, 10, 0}}) {
    TSampleData samples(count);
    TMovar search(2, 4, 1);
    search.SetMinimumWindow(minimum);
    search.SetSamples(samples);
    EXPECT_EQ(expected, search.Window()) << count << " " << minimum;
  }
}
