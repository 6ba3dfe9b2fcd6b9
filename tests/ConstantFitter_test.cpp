#include "core/search/ConstantFitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "core/search/Movar.h"
#include "tests/ProgramTesting.h"

namespace {

TSampleData Samples(std::int32_t count, double from, double to,
                    const std::function<double(double)>& law) {
  TSampleData samples(count);
  for (std::int32_t i = 0; i < count; ++i) {
    const double x = from + (to - from) * i / (count - 1);
    samples.SetX(i, x);
    samples.SetY(i, law(x));
  }
  samples.UpdateBounds();
  return samples;
}

double Error(TTuringEvaluator program, const TSampleData& samples) {
  return TMovar::Score(program, samples, samples.Count() - 1, 1e300);
}

}  // namespace

TEST(ConstantFitter, RecoversAmplitudeAndFrequencyOfTheRightShape) {
  // 0.3 x sin(2 pi x) on [-1, 1], from the shape with 0.25 and 6.
  const TSampleData samples =
      Samples(20, -1, 1, [](double x) { return 0.3 * x * std::sin(2 * std::numbers::pi * x); });
  TTuringEvaluator program = Program(2, {{1, opAdd, 0, 0},
                                         {1, opMul, ConstantOperand, 6},
                                         {1, opSin, 1, 0},
                                         {0, opMul, 1, 0},
                                         {0, opMul, ConstantOperand, 0.25}});
  const double before = Error(program, samples);
  TConstantFitter fitter(50);
  const double after = fitter.Fit(program, samples, 19, before);
  EXPECT_NEAR(2 * std::numbers::pi, program.GetInstruction(1).Value, 1e-9);
  EXPECT_NEAR(0.3, program.GetInstruction(4).Value, 1e-9);
  EXPECT_LT(after, 1e-12);
  // The error given back is the exact one of the program as it now is.
  EXPECT_EQ(Error(program, samples), after);
  EXPECT_EQ(1, fitter.Fits());
  EXPECT_EQ(1, fitter.Improved());
  // Only the constants changed.
  EXPECT_EQ(opSin, program.GetInstruction(2).Op);
  EXPECT_EQ(ConstantOperand, program.GetInstruction(4).Src);
}

TEST(ConstantFitter, FitsOnTheWindowAndMayMakeAConstantNegative) {
  // y = 2x - 0.7 on the first 10 samples only; the rest lie elsewhere.
  TSampleData samples = Samples(20, 0, 3, [](double x) { return 2 * x - 0.7; });
  for (std::int32_t i = 10; i < 20; ++i)
    samples.SetY(i, 100);
  TTuringEvaluator program =
      Program(1, {{0, opMul, ConstantOperand, 1.5}, {0, opAdd, ConstantOperand, 0.2}});
  TTuringEvaluator copy = program;
  const double before = TMovar::Score(copy, samples, 9, 1e300);
  TConstantFitter fitter(30);
  const double after = fitter.Fit(program, samples, 9, before);
  EXPECT_NEAR(2, program.GetInstruction(0).Value, 1e-12);
  EXPECT_NEAR(-0.7, program.GetInstruction(1).Value, 1e-12);
  EXPECT_LT(after, 1e-12);
  // The model text writes the negative constant, and runs as the interpreter does.
  EXPECT_NE(std::string::npos, program.EmitSource().find("var[0] += -0.7"));
}

TEST(ConstantFitter, LeavesWhatItCannotFit) {
  const TSampleData samples = Samples(10, 0, 1, [](double x) { return std::sin(3 * x); });
  TConstantFitter fitter(30);
  // No constant: sin(x).
  TTuringEvaluator noConstant = Program(1, {{0, opSin, 0, 0}});
  const double sinError = Error(noConstant, samples);
  EXPECT_EQ(sinError, fitter.Fit(noConstant, samples, 9, sinError));
  // Two constants and one sample.
  TTuringEvaluator two = Program(
      1, {{0, opMul, ConstantOperand, 2}, {0, opSin, 0, 0}, {0, opMul, ConstantOperand, 2}});
  const TTuringEvaluator twoBefore = two;
  EXPECT_EQ(0.5, fitter.Fit(two, samples, 0, 0.5));
  EXPECT_EQ(twoBefore.GetInstruction(0).Value, two.GetInstruction(0).Value);
  // A comparison's constant and an integral exponent are not fitted.
  TTuringEvaluator frozen =
      Program(1, {{0, opIfGreater, ConstantOperand, 0.5}, {0, opPow, ConstantOperand, 2}});
  const double frozenError = Error(frozen, samples);
  EXPECT_EQ(frozenError, fitter.Fit(frozen, samples, 9, frozenError));
  EXPECT_EQ(0.5, frozen.GetInstruction(0).Value);
  EXPECT_EQ(2, frozen.GetInstruction(1).Value);
  EXPECT_EQ(0, fitter.Fits());

  // An infinite y: every residual is refused, the program stays and so does its error.
  TSampleData infinite = samples;
  infinite.SetY(4, std::numeric_limits<double>::infinity());
  TTuringEvaluator scaled = Program(1, {{0, opMul, ConstantOperand, 2}});
  const double infiniteError = Error(scaled, infinite);
  EXPECT_EQ(infiniteError, fitter.Fit(scaled, infinite, 9, infiniteError));
  EXPECT_EQ(2, scaled.GetInstruction(0).Value);
}

TEST(ConstantFitter, ASampleWithoutDerivativeDoesNotStopTheFit) {
  // 2 sqrt(x - 0.5) on x = 0.5 .. 2.4: at x = 0.5 the derivative in the shift is infinite.
  const TSampleData samples =
      Samples(20, 0.5, 2.4, [](double x) { return 2 * std::sqrt(x - 0.5); });
  TTuringEvaluator program = Program(
      1, {{0, opSub, ConstantOperand, 0.45}, {0, opSqrt, 0, 0}, {0, opMul, ConstantOperand, 1.5}});
  const double before = Error(program, samples);
  TConstantFitter fitter(50);
  const double after = fitter.Fit(program, samples, 19, before);
  EXPECT_LT(after, before / 10);
  EXPECT_EQ(Error(program, samples), after);
  EXPECT_TRUE(std::isfinite(program.GetInstruction(0).Value));
  EXPECT_TRUE(std::isfinite(program.GetInstruction(2).Value));
}

TEST(ConstantFitter, FitBestFitsTheProgramsOfLowestErrorAndRecordsTheirErrors) {
  // y = 2.5 x + 1 on 20 points; programs 3, 8 and 9 have the shape with other constants, 9
  // the farthest. Every other program is sin(x), far off.
  const TSampleData samples = Samples(20, 0, 4, [](double x) { return 2.5 * x + 1; });
  TMovar search(2, 12, 1);
  search.SetProgressive(false);
  search.SetSamples(samples);
  const auto line = [](double a, double b) {
    return Program(1, {{0, opMul, ConstantOperand, a}, {0, opAdd, ConstantOperand, b}});
  };
  for (std::int32_t i = 0; i < 12; ++i) {
    const TTuringEvaluator program = i == 3   ? line(2.4, 1.1)
                                     : i == 8 ? line(2.3, 1.2)
                                     : i == 9 ? line(2, 2)
                                              : Program(1, {{0, opSin, 0, 0}, {0, opSin, 0, 0}});
    for (std::int32_t k = 0; k < 2; ++k)
      search.GetProgram(i).SetInstruction(k, program.GetInstruction(k));
    search.GetProgram(i).UpdateExecEnd();
  }
  search.Evaluate();
  const double farthest = search.GetError(9);
  const double sine = search.GetError(0);

  TConstantFitter fitter(30);
  const std::vector<const TTuringEvaluator*> improved = fitter.FitBest(search, 2);
  EXPECT_EQ((std::vector<const TTuringEvaluator*>{&search.GetProgram(3), &search.GetProgram(8)}),
            improved);
  for (const std::int32_t i : {3, 8}) {
    EXPECT_LT(search.GetError(i), 1e-9);
    EXPECT_EQ(Error(search.GetProgram(i), samples), search.GetError(i));
  }
  EXPECT_EQ(farthest, search.GetError(9)) << "only the two best are fitted";
  EXPECT_EQ(2, search.GetProgram(9).GetInstruction(0).Value);
  EXPECT_EQ(sine, search.GetError(0));
  // Nothing left to gain: the same fits change nothing.
  EXPECT_TRUE(fitter.FitBest(search, 2).empty());
  EXPECT_TRUE(fitter.FitBest(search, 0).empty());
}

TEST(ConstantFitter, FitBestKeepsAFitOnlyByTheScoreTheSearchRanksBy) {
  // With linear scaling the search ranks c sin(a x) by its error after the best scale and
  // offset; the fit cannot reach the offset, so its unscaled error stays near 1 a sample while
  // the scaled one falls. The fit must be kept and recorded by the scaled error.
  const TSampleData samples = Samples(20, 0, 3, [](double x) { return 3 * std::sin(2 * x) + 1; });
  TMovar search(3, 6, 1);
  search.SetProgressive(false);
  search.SetLinearScaling(true);
  search.SetSamples(samples);
  for (std::int32_t i = 0; i < 6; ++i) {
    const TTuringEvaluator program =
        i == 2 ? Program(1, {{0, opMul, ConstantOperand, 1.9},
                             {0, opSin, 0, 0},
                             {0, opMul, ConstantOperand, 2}})
               : Program(1, {{0, opSin, 0, 0}, {0, opSin, 0, 0}, {0, opSin, 0, 0}});
    for (std::int32_t k = 0; k < 3; ++k)
      search.GetProgram(i).SetInstruction(k, program.GetInstruction(k));
    search.GetProgram(i).UpdateExecEnd();
  }
  search.Evaluate();
  const double before = search.GetError(2);

  TConstantFitter fitter(30);
  EXPECT_EQ(std::vector<const TTuringEvaluator*>{&search.GetProgram(2)}, fitter.FitBest(search, 1));
  EXPECT_LT(search.GetError(2), before / 2);
  TTuringEvaluator fitted = search.GetProgram(2);
  EXPECT_EQ(search.ScoreProgram(fitted, 19, 1e300), search.GetError(2));
  EXPECT_LT(search.GetError(2), Error(fitted, samples)) << "ranked by the scaled error";
}
