#include "core/model/LinearScaling.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "core/model/Predictions.h"
#include "core/model/Random.h"

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

TSampleData Banded(const std::vector<double>& xs, const std::vector<double>& ys, double margin) {
  TSampleData samples = Samples(xs, ys);
  samples.UpdateBounds();
  samples.SetMargin(margin);
  return samples;
}

// The pairwise test of SomeLineFits on every sample's band.
bool PairwiseFits(const std::vector<double>& f, const TSampleData& samples) {
  std::vector<double> low, high;
  const long double m = samples.GetMargin();
  for (int i = 0; i < samples.Count(); ++i) {
    const long double y = samples.GetY(i);
    low.push_back(static_cast<double>(y - m * (y - samples.MinY())));
    high.push_back(static_cast<double>(y + m * (samples.MaxY() - y)));
  }
  const TLineFit fit = SomeLineFits(f.data(), low.data(), high.data(), samples.Count());
  return fit.Fits && fit.Spread;
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

// y = x on 0 .. 10 but 7 at x = 5: the least-squares line of x rises by 2/11 and passes above
// the highest y, which no value beyond matches; a line of the margin rule matches everywhere.
TEST(MarginLine, HoldsWhereTheLeastSquaresLineLeavesTheBandAtABound) {
  std::vector<double> xs, ys;
  for (int j = 0; j <= 10; ++j) {
    xs.push_back(j);
    ys.push_back(j == 5 ? 7 : j);
  }
  const TSampleData samples = Banded(xs, ys, 0.3);
  const TTuringEvaluator identity = Program(1, {{0, opAdd, ConstantOperand, 0}});
  EXPECT_FALSE(MatchesEverySample(WithLinearScaling(identity, samples, 10), samples));
  const std::optional<TTuringEvaluator> lined = WithMarginLine(identity, samples);
  ASSERT_TRUE(lined);
  EXPECT_TRUE(MatchesEverySample(*lined, samples));
  ASSERT_EQ(3, lined->InstructionCount());
  EXPECT_EQ(opMul, lined->GetInstruction(1).Op);
  EXPECT_EQ(opAdd, lined->GetInstruction(2).Op);
}

// Two samples at the bounds of y with half their distance as margin: y 0 accepts [0, 1/2] and
// y 1 accepts [1/2, 1], so slopes 0 to 1 fit. Least squares, a = 1 and b = 0, lies on an edge;
// the line keeps a 64th of the room: a = 63/64, where offsets 0 to 1/64 fit, and least squares'
// offset there, 1/2 - 63/64 · 1/2 = 1/128, lies inside.
TEST(MarginLine, IsTheLineNearestLeastSquaresClearOfTheEdges) {
  const TSampleData samples = Banded({0, 1}, {0, 1}, 0.5);
  const std::optional<TLinearScaling> line = FitMarginLine(std::vector<double>{0, 1}, samples);
  ASSERT_TRUE(line);
  EXPECT_EQ(63.0 / 64, line->Scale);
  EXPECT_EQ(1.0 / 128, line->Offset);
  // Falling predictions take a falling line: slopes -1 to 0 fit, -63/64 is kept, offsets 63/64
  // to 1 fit there, and least squares' 1/2 + 63/64 · 1/2 = 127/128 is inside.
  const std::optional<TLinearScaling> falling = FitMarginLine(std::vector<double>{1, 0}, samples);
  ASSERT_TRUE(falling);
  EXPECT_EQ(-63.0 / 64, falling->Scale);
  EXPECT_EQ(127.0 / 128, falling->Offset);
  // y = f / 2 exactly, at half the distance to the bounds: slopes 0 to 1/2 fit, and the line
  // keeps a 64th of that from least squares' 1/2, with the offset least squares gives there.
  const TSampleData halves = Banded({0, 1, 2}, {0, 1, 2}, 0.5);
  const std::optional<TLinearScaling> near = FitMarginLine(std::vector<double>{0, 2, 4}, halves);
  ASSERT_TRUE(near);
  EXPECT_EQ(0.5 - 0.5 / 64, near->Scale);
  EXPECT_EQ(2 * (0.5 / 64), near->Offset);
}

TEST(MarginLine, NoneWhereNoLineFitsOrThePredictionsAreAlike) {
  // y rises and falls again, 0 1 0, at a tenth of the range.
  const TSampleData peak = Banded({0, 1, 2}, {0, 1, 0}, 0.1);
  EXPECT_FALSE(FitMarginLine(std::vector<double>{0, 1, 2}, peak));
  EXPECT_TRUE(FitMarginLine(std::vector<double>{-4, 6, -4.2}, peak));
  // A constant is no law: an offset alone would have to match y of 0 and of 1.
  EXPECT_FALSE(FitMarginLine(std::vector<double>{3, 3, 3}, peak));
  EXPECT_FALSE(FitMarginLine({}, peak));
  // The pairwise test says the same of a few values, and that the constant's do not differ.
  EXPECT_FALSE(PairwiseFits({0, 1, 2}, peak));
  EXPECT_TRUE(PairwiseFits({-4, 6, -4.2}, peak));
  const double same[] = {3, 3, 3};
  const double low[] = {2, 2, 2};
  const double high[] = {4, 4, 4};
  const TLineFit flat = SomeLineFits(same, low, high, 3);
  EXPECT_TRUE(flat.Fits);
  EXPECT_FALSE(flat.Spread);
}

// Over many random sets the search for a line agrees with the pairwise test of every two
// samples, and the line it gives puts every prediction within its sample's margin.
TEST(MarginLine, AgreesWithThePairwiseTestOnRandomSets) {
  TRandomStream random(7);
  int fitting = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int count = 2 + trial % 9;
    std::vector<double> xs, ys, f;
    const double slope = 4 * random.Real() - 2;
    for (int i = 0; i < count; ++i) {
      xs.push_back(i);
      f.push_back(10 * random.Real() - 5);
      // Near a line of f, and off it by up to a third of the range.
      ys.push_back(slope * f.back() + random.Real() * (trial % 3));
    }
    const double margin = 0.05 * (1 + trial % 4);
    const TSampleData samples = Banded(xs, ys, margin);
    const std::optional<TLinearScaling> line = FitMarginLine(f, samples);
    ASSERT_EQ(PairwiseFits(f, samples), line.has_value()) << "trial " << trial;
    if (!line) continue;
    ++fitting;
    for (int i = 0; i < count; ++i)
      EXPECT_TRUE(samples.WithinMargin(i, ApplyLinearScaling(f[i], *line)))
          << "trial " << trial << " sample " << i;
  }
  EXPECT_GT(fitting, 500);
  EXPECT_LT(fitting, 2500);
}
