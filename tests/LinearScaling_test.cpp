#include "core/model/LinearScaling.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/ProgramTesting.h"

namespace {

std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

TSampleData Samples(const std::vector<double>& xs, const std::vector<double>& ys) {
  TSampleData samples(static_cast<std::int32_t>(xs.size()));
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    samples.SetX(j, xs[j]);
    samples.SetY(j, ys[j]);
  }
  return samples;
}

}  // namespace

// The search finds x² and the fit supplies the amplitude and the offset, negative ones too.
TEST(LinearScaling, FindsTheAmplitudeAndOffsetOfAProgram) {
  std::vector<double> xs, ys;
  for (int j = 0; j < 20; ++j) {
    xs.push_back(j * 0.25 - 2);
    ys.push_back(-0.3 * xs.back() * xs.back() + 2.5);
  }
  const TSampleData samples = Samples(xs, ys);
  const TTuringEvaluator square = Program(1, {{0, opMul, 0, 0}});
  TTuringEvaluator scaled = WithLinearScaling(square, samples, 19);
  ASSERT_EQ(3, scaled.InstructionCount());
  EXPECT_NEAR(-0.3, scaled.GetInstruction(1).Value, 1e-15);
  EXPECT_NEAR(2.5, scaled.GetInstruction(2).Value, 1e-15);
  for (int j = 0; j < 20; ++j)
    EXPECT_NEAR(ys[j], scaled.Execute(xs[j]), 1e-14) << "x " << xs[j];
  // Only the samples in use: a fit on the first five ignores a wild sixth.
  TSampleData wild = samples;
  wild.SetY(5, 1e6);
  const TTuringEvaluator early = WithLinearScaling(square, wild, 4);
  EXPECT_NEAR(-0.3, early.GetInstruction(1).Value, 1e-13);
}

TEST(LinearScaling, AConstantProgramGetsOnlyTheOffsetAndAFitBeyondDoublesNone) {
  const TSampleData samples = Samples({1, 2, 3, 4}, {1, 2, 3, 6});
  const std::vector<double> constant(4, 2.0);
  const TLinearScaling shift = FitLinearScaling(constant, samples);
  EXPECT_EQ(1.0, shift.Scale);
  EXPECT_EQ(1.0, shift.Offset);  // the mean of y, 3, less 2
  // A slope of 1e600 has no double.
  const TSampleData steep = Samples({0, 1}, {0, 1e300});
  const std::vector<double> tiny = {0, 1e-300};
  const TLinearScaling none = FitLinearScaling(tiny, steep);
  EXPECT_EQ(1.0, none.Scale);
  EXPECT_EQ(0.0, none.Offset);
  EXPECT_EQ(1.0, FitLinearScaling({}, samples).Scale);
}

// The two instructions come right after the last one that can change the result: a trailing
// comparison, or one past it, would otherwise decide whether the product runs.
TEST(LinearScaling, TheScaledProgramRunsItsScalingWhateverItsComparisonsSay) {
  const TLinearScaling scaling{-2.5, 0.75};
  const std::vector<TTuringEvaluator> programs = {
      Program(2, {{0, opAdd, ConstantOperand, 1}, {0, opIfGreater, ConstantOperand, 0}}),
      Program(2, {{0, opMul, ConstantOperand, 2},
                  {1, opAdd, ConstantOperand, 1},
                  {1, opIfLessEqual, ConstantOperand, 0.5},
                  {1, opAdd, 0, 0}}),
      Program(2, {{1, opIfGreater, 0, 0}, {0, opIfGreater, ConstantOperand, 0}}),
  };
  for (const TTuringEvaluator& program : programs) {
    TTuringEvaluator scaled = WithScaling(program, scaling);
    TTuringEvaluator plain = program;
    EXPECT_EQ(opAdd, scaled.GetInstruction(scaled.ExecEnd()).Op);
    for (const double x : {-3.0, 0.0, 0.5, 4.0, 7.0}) {
      EXPECT_EQ(Bits(ApplyLinearScaling(plain.Execute(x), scaling)), Bits(scaled.Execute(x)))
          << "x " << x << "\n"
          << scaled.EmitSource();
    }
  }
}

// A product that overflows leaves the register, as any instruction that fails does.
TEST(LinearScaling, AnOverflowingProductLeavesThePredictionAsTheInterpreterDoes) {
  const TLinearScaling scaling{1e10, -1e300};
  EXPECT_EQ(0.0, ApplyLinearScaling(1e300, scaling));
  EXPECT_EQ(Bits(1e10 * 3 - 1e300), Bits(ApplyLinearScaling(3, scaling)));
  TTuringEvaluator scaled = WithScaling(Program(1, {{0, opMul, ConstantOperand, 1}}), scaling);
  EXPECT_EQ(0.0, scaled.Execute(1e300));
}
