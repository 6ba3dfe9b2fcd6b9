#include "core/scoring/FastScorer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/search/Movar.h"
#include "core/model/LinearScaling.h"
#include "core/model/Random.h"

namespace {

// Operands and inputs that reach every guard and failure of the interpreter.
const std::vector<double> Edges = {0.0,
                                   -0.0,
                                   1.0,
                                   -1.0,
                                   -2.0,
                                   0.5,
                                   -3.0,
                                   10.0,
                                   10.0001,
                                   2.5,
                                   -0.1,
                                   1e308,
                                   -1e308,
                                   DBL_MAX,
                                   1e-300,
                                   -1e-300,
                                   4.9e-324,
                                   2.2250738585072014e-308,
                                   1e19,
                                   9223372036854775808.0,
                                   -9223372036854775808.0,
                                   std::nextafter(9223372036854775808.0, 0.0),
                                   1.5707963267948966,
                                   3.141592653589793,
                                   -20000.0,
                                   2147483647.0,
                                   2147483648.0,
                                   -3e9,
                                   9999.9998};

std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

double Pick(const std::vector<double>& values) {
  return values[static_cast<std::size_t>(RandomInt(static_cast<std::int32_t>(values.size())))];
}

// Any opcode with any operand, unlike RandomizeAll: constants on functions, edge values.
TTuringEvaluator AnyProgram(std::int32_t instructions, std::int32_t registers,
                            std::int32_t inputs = 1) {
  TTuringEvaluator program(instructions, registers, inputs);
  program.RandomizeAll();
  for (std::int32_t i = 0; i < instructions; ++i) {
    TInstruction in = program.GetInstruction(i);
    if (RandomInt(4) == 0) in.Op = static_cast<std::uint8_t>(RandomInt(OpcodeCount));
    if (RandomInt(3) == 0) {
      in.Src = ConstantOperand;
      in.Value = Pick(Edges);
    }
    program.SetInstruction(i, in);
  }
  program.UpdateExecEnd();
  return program;
}

}  // namespace

TEST(FastScorer, PredictsExactlyWhatExecuteGives) {
  SetSeed(11);
  TFastScorer scorer;
  for (int n = 0; n < 20000; ++n) {
    const std::int32_t registers = 1 + RandomInt(MaxRegisters);
    TTuringEvaluator program = AnyProgram(1 + RandomInt(30), registers);
    scorer.Load(program);
    for (int k = 0; k < 12; ++k) {
      const double x = RandomInt(3) == 0 ? (RandomReal() - 0.5) * 20 : Pick(Edges);
      const double expected = program.Execute(x);
      const double actual = scorer.Predict(x);
      ASSERT_EQ(Bits(expected), Bits(actual))
          << "program " << n << " x " << x << ": " << expected << " vs " << actual << "\n"
          << program.EmitSource();
    }
  }
}

TEST(FastScorer, ScoresExactlyWhatTheSearchScores) {
  SetSeed(12);
  TSampleData samples(40);
  samples.GenerateRandom();
  samples.SetX(3, 1e308);  // differences beyond the double range
  samples.SetY(5, -1e308);
  samples.SetX(7, 4.9e-324);
  TFastScorer scorer;
  for (int n = 0; n < 3000; ++n) {
    TTuringEvaluator program = AnyProgram(1 + RandomInt(20), 1 + RandomInt(6));
    scorer.Load(program);
    const double threshold = n % 4 == 0 ? 9999999999.0 : RandomReal() * 50;
    const std::int32_t last = RandomInt(41) - 1;
    const double expected = TMovar::Score(program, samples, last, threshold);
    ASSERT_EQ(Bits(expected), Bits(scorer.Score(samples, last, threshold))) << "program " << n;
  }
}

// Score runs sample after sample without leaving the interpreter: the registers a
// previous run left, and thresholds just under a partial sum, must not change where it
// stops or what it sums.
TEST(FastScorer, StopsAtTheSameSampleAfterAnyEarlierRun) {
  SetSeed(13);
  TSampleData samples(30);
  samples.GenerateRandom();
  TFastScorer scorer;
  const double none = std::numeric_limits<double>::infinity();
  for (int n = 0; n < 3000; ++n) {
    TTuringEvaluator program = AnyProgram(1 + RandomInt(20), 1 + RandomInt(MaxRegisters));
    scorer.Load(program);
    (void)scorer.Predict(Pick(Edges));
    const std::int32_t k = RandomInt(30);
    const double partial = TMovar::Score(program, samples, k, none);
    for (const double threshold : {std::nextafter(partial, -none), partial}) {
      const double expected = TMovar::Score(program, samples, 29, threshold);
      ASSERT_EQ(Bits(expected), Bits(scorer.Score(samples, 29, threshold)))
          << "program " << n << " cut at " << k;
    }
  }
}

// Several samples go through each step side by side: neighbours whose comparisons go
// different ways, guards that fail on some of them, and a set whose size is no multiple of
// the lanes must each give what one sample at a time gives.
TEST(FastScorer, SamplesSideBySideScoreAsOneAtATime) {
  SetSeed(14);
  TFastScorer scorer;
  for (int n = 0; n < 4000; ++n) {
    TSampleData samples(1 + RandomInt(23));
    for (std::int32_t j = 0; j < samples.Count(); ++j) {
      samples.SetX(j, RandomInt(2) == 0 ? Pick(Edges) : (RandomReal() - 0.5) * 8);
      samples.SetY(j, RandomInt(4) == 0 ? Pick(Edges) : RandomReal());
    }
    TTuringEvaluator program = AnyProgram(1 + RandomInt(25), 1 + RandomInt(5));
    scorer.Load(program);
    const double threshold = n % 3 == 0 ? 1e300 : RandomReal() * 30;
    const std::int32_t last = RandomInt(samples.Count());
    const double expected = TMovar::Score(program, samples, last, threshold);
    ASSERT_EQ(Bits(expected), Bits(scorer.Score(samples, last, threshold)))
        << "program " << n << "\n"
        << program.EmitSource();
  }
}

namespace {
double AnyInput() {
  return RandomInt(3) == 0 ? Pick(Edges) : (RandomReal() - 0.5) * 20;
}
}  // namespace

// With several inputs the registers below the input count are unknown to decoding, and
// scoring loads only the inputs the residual program reads.
TEST(FastScorer, SeveralInputsPredictAndScoreAsExecute) {
  SetSeed(15);
  TFastScorer scorer;
  for (const std::int32_t inputs : {2, 3, 8, 16}) {
    for (int n = 0; n < 1500; ++n) {
      TSampleData samples(1 + RandomInt(23), inputs);
      for (std::int32_t j = 0; j < samples.Count(); ++j) {
        for (std::int32_t k = 0; k < inputs; ++k)
          samples.SetX(j, k, AnyInput());
        samples.SetY(j, RandomInt(4) == 0 ? Pick(Edges) : RandomReal());
      }
      TTuringEvaluator program = AnyProgram(1 + RandomInt(25), 1 + RandomInt(MaxRegisters), inputs);
      scorer.Load(program);
      for (std::int32_t j = 0; j < samples.Count(); ++j) {
        const double expected = program.Execute(samples.Inputs(j));
        ASSERT_EQ(Bits(expected), Bits(scorer.Predict(samples.Inputs(j))))
            << inputs << " inputs, program " << n << ", sample " << j << "\n"
            << program.EmitSource();
      }
      const double threshold = n % 3 == 0 ? 1e300 : RandomReal() * 30;
      const std::int32_t last = RandomInt(samples.Count());
      const double expected = TMovar::Score(program, samples, last, threshold);
      ASSERT_EQ(Bits(expected), Bits(scorer.Score(samples, last, threshold)))
          << inputs << " inputs, program " << n << "\n"
          << program.EmitSource();
    }
  }
}

TEST(FastScorer, KnownProgramOfSeveralInputsScoresZeroOnItsOwnValues) {
  for (const std::int32_t inputs : {2, 3, 8, 16}) {
    // R0 := (R0 - R[n-1]) * R1 + 0.5
    const auto last = static_cast<std::uint8_t>(inputs - 1);
    TTuringEvaluator program(3, 1, inputs);
    program.SetInstruction(0, {0, opSub, last, 0});
    program.SetInstruction(1, {0, opMul, 1, 0});
    program.SetInstruction(2, {0, opAdd, ConstantOperand, 0.5});
    program.UpdateExecEnd();
    TSampleData samples(7, inputs);
    for (std::int32_t j = 0; j < samples.Count(); ++j) {
      for (std::int32_t k = 0; k < inputs; ++k)
        samples.SetX(j, k, j * 1.5 - k);
      const double difference =
          static_cast<double>(static_cast<long double>(samples.GetX(j, 0)) - samples.GetX(j, last));
      const double product =
          static_cast<double>(static_cast<long double>(difference) * samples.GetX(j, 1));
      samples.SetY(j, static_cast<double>(static_cast<long double>(product) + 0.5));
    }
    TFastScorer scorer;
    scorer.Load(program);
    EXPECT_EQ(0.0, scorer.Score(samples, samples.Count() - 1, 1e300)) << inputs;
    EXPECT_EQ(samples.Count(), scorer.ScoredSamples());
    // One sample off by 1: the sum is 1, and the cut-off still stops where it exceeds.
    samples.SetY(5, samples.GetY(5) + 1);
    EXPECT_EQ(1.0, scorer.Score(samples, samples.Count() - 1, 1e300)) << inputs;
    EXPECT_EQ(1.0, scorer.Score(samples, samples.Count() - 1, 0.5)) << inputs;
    EXPECT_EQ(6, scorer.ScoredSamples()) << inputs;
  }
}

// Up to 23 samples of any inputs, one y in edgeOdds an edge value.
TSampleData AnySamples(std::int32_t inputs, int edgeOdds) {
  TSampleData samples(1 + RandomInt(23), inputs);
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    for (std::int32_t k = 0; k < inputs; ++k)
      samples.SetX(j, k, AnyInput());
    samples.SetY(j, RandomInt(edgeOdds) == 0 ? Pick(Edges) : RandomReal() * 3 - 1);
  }
  return samples;
}

// With linear scaling every sample runs before the fit, then the scaled predictions are
// summed and cut off: the result must be the plain score of the program with its two
// scaling instructions, for one input and several, whatever the samples' edges make of the
// fit (overflowing products, constant predictions).
TEST(FastScorer, ScaledScoreIsTheScoreOfTheScaledProgram) {
  SetSeed(16);
  TFastScorer scorer;
  for (const std::int32_t inputs : {1, 3}) {
    for (int n = 0; n < 3000; ++n) {
      TSampleData samples = AnySamples(inputs, 6);
      TTuringEvaluator program = AnyProgram(1 + RandomInt(20), 1 + RandomInt(6), inputs);
      scorer.Load(program);
      const double threshold = n % 3 == 0 ? 1e300 : RandomReal() * 10;
      const std::int32_t last = RandomInt(samples.Count());
      TTuringEvaluator scaled = WithLinearScaling(program, samples, last);
      const double expected = TMovar::Score(scaled, samples, last, threshold);
      ASSERT_EQ(Bits(expected), Bits(scorer.ScoreScaled(samples, last, threshold)))
          << inputs << " inputs, program " << n << "\n"
          << scaled.EmitSource();
    }
  }
}

// The margin's fitness from collected predictions, scaled or not, must be what the interpreter
// path (the refiner's) finds from the program's own predictions: the same fitness and the
// same samples summed, or a search would rank a program two ways.
TEST(FastScorer, CollectedFitnessIsTheFitnessOfTheInterpretersPredictions) {
  SetSeed(23);
  TFastScorer scorer;
  for (const std::int32_t inputs : {1, 2}) {
    for (int n = 0; n < 2000; ++n) {
      TSampleData samples = AnySamples(inputs, 8);
      samples.SetMargin(RandomInt(4) == 0 ? 0 : 0.01 * (1 + RandomInt(20)));
      TMarginFitness fitness;
      fitness.Prepare(samples, {RandomInt(2) == 0, RandomInt(2) == 0});
      const bool scaled = RandomInt(2) == 0;
      TTuringEvaluator program = AnyProgram(1 + RandomInt(20), 1 + RandomInt(6), inputs);
      scorer.Load(program);
      const double threshold = n % 3 == 0 ? 1e300 : RandomReal() * 10;
      const std::int32_t last = RandomInt(samples.Count());
      TTuringEvaluator run = scaled ? WithLinearScaling(program, samples, last) : program;
      std::vector<double> predictions;
      for (std::int32_t j = 0; j <= last; ++j)
        predictions.push_back(run.Execute(samples.Inputs(j)));
      std::int32_t summed = 0;
      const double expected = fitness.Sum(predictions, samples, threshold, summed);
      ASSERT_EQ(Bits(expected),
                Bits(scorer.ScoreCollected(samples, last, threshold, scaled, fitness)))
          << inputs << " inputs, program " << n << "\n"
          << run.EmitSource();
      EXPECT_EQ(summed, scorer.ScoredSamples());
    }
  }
}
