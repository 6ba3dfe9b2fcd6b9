#include "core/search/ShortPrograms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <span>

#include "core/model/Random.h"

namespace {

// count rows of inputs drawn from [1, 5), y the law of them, at the given margin.
TSampleData Law(std::int32_t count, std::int32_t inputs, double margin,
                const std::function<double(std::span<const double>)>& law) {
  TRandomStream random(11);
  TSampleData samples(count, inputs);
  double row[MaxInputs] = {};
  for (std::int32_t i = 0; i < count; ++i) {
    for (std::int32_t j = 0; j < inputs; ++j) {
      row[j] = 1 + 4 * random.Real();
      samples.SetX(i, j, row[j]);
    }
    samples.SetY(i, law({row, static_cast<std::size_t>(inputs)}));
  }
  samples.UpdateBounds();
  samples.SetMargin(margin);
  return samples;
}

// 20 samples of law at x drawn from [-1, 1) with the seed, at the given margin.
TSampleData OnUnitInterval(std::uint32_t seed, double margin,
                           const std::function<double(double)>& law) {
  TSampleData samples(20);
  TRandomStream random(seed);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    const double x = 2 * random.Real() - 1;
    samples.SetX(i, x);
    samples.SetY(i, law(x));
  }
  samples.UpdateBounds();
  samples.SetMargin(margin);
  return samples;
}

void ExpectEveryMatch(const TTuringEvaluator& found, const TSampleData& samples) {
  TTuringEvaluator program = found;
  for (std::int32_t i = 0; i < samples.Count(); ++i)
    EXPECT_TRUE(samples.WithinMargin(i, program.Execute(samples.Inputs(i)))) << "sample " << i;
}

TShortProgramLimits Limits(std::int32_t registers, std::int32_t length, std::int64_t budget = 0) {
  TShortProgramLimits limits;
  limits.Registers = registers;
  limits.MaxLength = length;
  limits.Budget = budget;
  return limits;
}

}  // namespace

TEST(ShortPrograms, FindTheShortestProgramOfALawOfSeveralInputs) {
  // d1 d2 / (d2 + n d1): four instructions, no constant.
  const TSampleData lens = Law(
      200, 3, 0.01, [](std::span<const double> v) { return v[0] * v[1] / (v[1] + v[2] * v[0]); });
  TShortPrograms programs(lens, Limits(2, 5));
  const TShortProgramResult result = programs.Find();
  ASSERT_TRUE(result.Model);
  EXPECT_TRUE(result.Complete);
  EXPECT_EQ(3, result.Model->RegisterCount()) << "one register for each input at least";
  EXPECT_EQ(3, result.Model->InputCount());
  EXPECT_EQ(4, result.Model->InstructionCount()) << "no scaling: the plain law matched";
  ExpectEveryMatch(*result.Model, lens);
  EXPECT_GT(result.Work, 0);
  // The same order of trial, the same answer and work.
  const TShortProgramResult again = programs.Find();
  ASSERT_TRUE(again.Model);
  EXPECT_EQ(result.Model->EmitSource(), again.Model->EmitSource());
  EXPECT_EQ(result.Work, again.Work);

  // A product of two inputs is one instruction.
  const TSampleData product =
      Law(50, 2, 0.01, [](std::span<const double> v) { return v[0] * v[1]; });
  const TShortProgramResult one = TShortPrograms(product, Limits(2, 5)).Find();
  ASSERT_TRUE(one.Model);
  EXPECT_EQ(1, one.Model->InstructionCount());
  ExpectEveryMatch(*one.Model, product);
  // From two instructions on, a longer program of the same law.
  TShortProgramLimits longer = Limits(2, 5);
  longer.MinLength = 2;
  const TShortProgramResult two = TShortPrograms(product, longer).Find();
  ASSERT_TRUE(two.Model);
  EXPECT_GE(two.Model->InstructionCount(), 2);
  ExpectEveryMatch(*two.Model, product);
}

TEST(ShortPrograms, AnAmplitudeAndOffsetComeFromTheScalingInstructions) {
  const TSampleData samples =
      Law(100, 2, 0.01, [](std::span<const double> v) { return 3.5 * v[0] * v[1] - 2; });
  const TShortProgramResult result = TShortPrograms(samples, Limits(2, 3)).Find();
  ASSERT_TRUE(result.Model);
  ASSERT_EQ(3, result.Model->InstructionCount());
  const TInstruction scale = result.Model->GetInstruction(1);
  const TInstruction offset = result.Model->GetInstruction(2);
  EXPECT_EQ(opMul, scale.Op);
  EXPECT_EQ(ConstantOperand, scale.Src);
  EXPECT_NEAR(3.5, scale.Value, 1e-9);
  EXPECT_EQ(opAdd, offset.Op);
  EXPECT_EQ(ConstantOperand, offset.Src);
  EXPECT_NEAR(-2, offset.Value, 1e-9);
  ExpectEveryMatch(*result.Model, samples);

  // Without scaling no program of registers alone comes within 1 %.
  TShortProgramLimits plain = Limits(2, 3);
  plain.LinearScaling = false;
  const TShortProgramResult none = TShortPrograms(samples, plain).Find();
  EXPECT_FALSE(none.Model);
  EXPECT_TRUE(none.Complete);
}

// The rational (x + 1)³ / (x² − x + 1) on [−1, 1]: no line of least squares brings a program of
// three instructions within 10 % of every sample, where a line of the margin rule does. The pass
// with such lines tries everything the other tries, and stops no later.
TEST(ShortPrograms, TheMarginLineFindsWhatLeastSquaresMisses) {
  const TSampleData samples =
      OnUnitInterval(5, 0.1, [](double x) { return std::pow(x + 1, 3) / (x * x - x + 1); });
  const TShortProgramResult squares = TShortPrograms(samples, Limits(2, 3)).Find();
  EXPECT_FALSE(squares.Model);
  EXPECT_TRUE(squares.Complete);
  TShortProgramLimits limits = Limits(2, 3);
  limits.MarginLine = true;
  const TShortProgramResult lined = TShortPrograms(samples, limits).Find();
  ASSERT_TRUE(lined.Model);
  EXPECT_LT(lined.Work, squares.Work);
  ExpectEveryMatch(*lined.Model, samples);
  const std::int32_t last = lined.Model->InstructionCount() - 1;
  EXPECT_EQ(opMul, lined.Model->GetInstruction(last - 1).Op);
  EXPECT_EQ(opAdd, lined.Model->GetInstruction(last).Op);

  // Where least squares matches, the same program comes first either way.
  const TSampleData product =
      Law(100, 2, 0.01, [](std::span<const double> v) { return 3.5 * v[0] * v[1] - 2; });
  limits = Limits(2, 3);
  const TShortProgramResult plain = TShortPrograms(product, limits).Find();
  limits.MarginLine = true;
  const TShortProgramResult both = TShortPrograms(product, limits).Find();
  ASSERT_TRUE(plain.Model);
  ASSERT_TRUE(both.Model);
  EXPECT_EQ(plain.Model->EmitSource(), both.Model->EmitSource());
}

TEST(ShortPrograms, AtMarginZeroTheLawMatchesExactly) {
  // x^6 - 2x^4 + x^2 = x^2 (1 - x^2)^2, where cos of the empty register makes the 1.
  const TSampleData samples =
      OnUnitInterval(3, 0, [](double x) { return std::pow(x, 6) - 2 * std::pow(x, 4) + x * x; });
  const TShortProgramResult result = TShortPrograms(samples, Limits(2, 5)).Find();
  ASSERT_TRUE(result.Model);
  EXPECT_EQ(5, result.Model->InstructionCount());
  ExpectEveryMatch(*result.Model, samples);
}

TEST(ShortPrograms, WorkEndsAtTheBudgetOrAStopWithoutAModel) {
  // Noise: no law to find.
  TRandomStream noise(5);
  const TSampleData samples =
      Law(40, 3, 0.01, [&](std::span<const double>) { return noise.Real(); });
  const TShortProgramResult budgeted = TShortPrograms(samples, Limits(3, 5, 100000)).Find();
  EXPECT_FALSE(budgeted.Model);
  EXPECT_FALSE(budgeted.Complete);
  EXPECT_GT(budgeted.Work, 100000);
  EXPECT_LT(budgeted.Work, 100000 + 64) << "the work of one program past the budget at most";

  std::int32_t asked = 0;
  const TShortProgramResult stopped = TShortPrograms(samples, Limits(3, 5)).Find([&] {
    ++asked;
    return true;
  });
  EXPECT_FALSE(stopped.Model);
  EXPECT_FALSE(stopped.Complete);
  EXPECT_EQ(1, asked);
  EXPECT_LT(stopped.Work, budgeted.Work);

  const TShortProgramResult whole = TShortPrograms(samples, Limits(3, 2)).Find();
  EXPECT_FALSE(whole.Model);
  EXPECT_TRUE(whole.Complete) << "every program of two instructions tried";
}

TEST(ShortPrograms, SetsSmallerThanTheProbesAreAllProbes) {
  const TSampleData two = Law(2, 1, 0.1, [](std::span<const double> v) { return std::sqrt(v[0]); });
  const TShortProgramResult result = TShortPrograms(two, Limits(2, 3)).Find();
  ASSERT_TRUE(result.Model);
  ExpectEveryMatch(*result.Model, two);

  const TSampleData empty(0, 2);
  const TShortProgramResult none = TShortPrograms(empty, Limits(2, 3)).Find();
  EXPECT_FALSE(none.Model);
  EXPECT_EQ(0, none.Work);
}

TEST(ShortPrograms, EveryInputPassesTryOnlyProgramsThatReadThemAll) {
  // The lens law reads all three inputs: found as by the whole pass, with a fraction of its work.
  const TSampleData lens = Law(
      200, 3, 0.01, [](std::span<const double> v) { return v[0] * v[1] / (v[1] + v[2] * v[0]); });
  TShortProgramLimits all = Limits(3, 4);
  all.MinLength = 4;
  const TShortProgramResult whole = TShortPrograms(lens, all).Find();
  all.EveryInput = true;
  const TShortProgramResult every = TShortPrograms(lens, all).Find();
  ASSERT_TRUE(whole.Model);
  ASSERT_TRUE(every.Model);
  ExpectEveryMatch(*every.Model, lens);
  EXPECT_EQ(4, every.Model->InstructionCount());
  EXPECT_LT(every.Work, whole.Work / 4);

  // x0·x1 leaves x2 out: the whole pass finds it, the one of every input finds nothing, as no
  // program of two reads three inputs and matches.
  const TSampleData product =
      Law(100, 3, 0.01, [](std::span<const double> v) { return v[0] * v[1]; });
  TShortProgramLimits two = Limits(3, 2);
  ASSERT_TRUE(TShortPrograms(product, two).Find().Model);
  two.EveryInput = true;
  const TShortProgramResult none = TShortPrograms(product, two).Find();
  EXPECT_FALSE(none.Model);
  EXPECT_TRUE(none.Complete);
}

TEST(ShortPrograms, PartsTogetherTryWhatTheWholePassTries) {
  // No law of three instructions: every part runs to its end, and their work adds up to the
  // whole pass's, each program tried in exactly one part.
  const TSampleData noise = Law(60, 3, 0.01, [](std::span<const double> v) {
    return std::sin(31 * v[0]) + std::cos(17 * v[1] * v[2]);
  });
  for (const bool everyInput : {false, true}) {
    SCOPED_TRACE(everyInput);
    TShortProgramLimits limits = Limits(3, 3);
    limits.EveryInput = everyInput;
    const TShortProgramResult whole = TShortPrograms(noise, limits).Find();
    ASSERT_FALSE(whole.Model);
    ASSERT_TRUE(whole.Complete);
    std::int64_t work = 0;
    limits.Parts = 4;
    for (limits.Part = 0; limits.Part < limits.Parts; ++limits.Part) {
      const TShortProgramResult part = TShortPrograms(noise, limits).Find();
      EXPECT_FALSE(part.Model);
      EXPECT_TRUE(part.Complete);
      EXPECT_GT(part.Work, 0);
      EXPECT_LT(part.Work, whole.Work);
      work += part.Work;
    }
    EXPECT_EQ(whole.Work, work);
  }
  // The part with the law's first instruction finds it, the same program as the whole pass.
  const TSampleData lens = Law(
      200, 3, 0.01, [](std::span<const double> v) { return v[0] * v[1] / (v[1] + v[2] * v[0]); });
  TShortProgramLimits limits = Limits(3, 4);
  limits.MinLength = 4;
  const TShortProgramResult whole = TShortPrograms(lens, limits).Find();
  ASSERT_TRUE(whole.Model);
  // Other parts may find the law written otherwise, from another first instruction.
  std::int32_t same = 0;
  limits.Parts = 4;
  for (limits.Part = 0; limits.Part < limits.Parts; ++limits.Part) {
    const TShortProgramResult part = TShortPrograms(lens, limits).Find();
    if (!part.Model) continue;
    ExpectEveryMatch(*part.Model, lens);
    same += part.Model->EmitSource() == whole.Model->EmitSource();
  }
  EXPECT_EQ(1, same);
}

TEST(ShortPrograms, AConstantIsSolvedFromTheProbes) {
  // 0.3·x·sin(2πx) on [1, 5): 2π loaded first, then three instructions; 0.3 from the scaling.
  const TSampleData wave = Law(100, 1, 0.01, [](std::span<const double> v) {
    return 0.3 * v[0] * std::sin(2 * M_PI * v[0]);
  });
  TShortProgramLimits limits = Limits(2, 4);
  limits.Constant = true;
  const TShortProgramResult found = TShortPrograms(wave, limits).Find();
  ASSERT_TRUE(found.Model);
  ExpectEveryMatch(*found.Model, wave);
  const TInstruction load = found.Model->GetInstruction(0);
  EXPECT_EQ(1, load.Dest) << "the register that holds no input";
  EXPECT_EQ(opAdd, load.Op);
  EXPECT_EQ(ConstantOperand, load.Src);
  // The constant is 2π to a few ulps, or −2π with the scaling's sign turned.
  EXPECT_NEAR(2 * M_PI, std::fabs(load.Value), 1e-12);

  // e^(−x²/2) needs a constant base, e^x being defined on [0, 1) only: sqrt((1/e)^(x²)).
  const TSampleData gauss =
      Law(200, 1, 0.01, [](std::span<const double> v) { return std::exp(-v[0] * v[0] / 2); });
  const TShortProgramResult bell = TShortPrograms(gauss, limits).Find();
  ASSERT_TRUE(bell.Model);
  ExpectEveryMatch(*bell.Model, gauss);
  EXPECT_LE(bell.Model->InstructionCount(), 6) << "four and the scaling's two at most";

  // Without a register to spare, or without scaling, no constant pass runs.
  const TSampleData product =
      Law(50, 2, 0.01, [](std::span<const double> v) { return 2.5 * v[0] * v[1]; });
  const TShortProgramResult full = TShortPrograms(product, limits).Find();
  EXPECT_FALSE(full.Model);
  EXPECT_EQ(0, full.Work);
  TShortProgramLimits unscaled = limits;
  unscaled.LinearScaling = false;
  EXPECT_EQ(0, TShortPrograms(wave, unscaled).Find().Work);

  // A budget ends the pass without a model, as the other passes.
  TShortProgramLimits small = limits;
  small.Budget = 1000;
  const TShortProgramResult cut = TShortPrograms(gauss, small).Find();
  EXPECT_FALSE(cut.Model);
  EXPECT_FALSE(cut.Complete);
}
