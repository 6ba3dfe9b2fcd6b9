#include "core/model/TE.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

#include "tests/ProgramTesting.h"
#include "core/model/Random.h"

namespace {

TInstruction Reg(std::uint8_t dest, std::uint8_t op, std::uint8_t src) {
  return {dest, op, src, 0};
}
TInstruction Const(std::uint8_t dest, std::uint8_t op, double value) {
  return {dest, op, ConstantOperand, value};
}

// Register 0 := x, then one instruction with a constant operand.
double Apply(double x, std::uint8_t op, double operand) {
  return Program(1, {Const(0, op, operand)}).Execute(x);
}
// Register 1 := operand (via opAdd), then register 0 := f(register 1).
double Function(std::uint8_t op, double operand, double x = 1234) {
  return Program(2, {Const(1, opAdd, operand), Reg(0, op, 1)}).Execute(x);
}

}  // namespace

TEST(TuringEvaluator, CreateClampsRegistersAndClearsTheCode) {
  EXPECT_EQ(1, TTuringEvaluator(3, 0).RegisterCount());
  EXPECT_EQ(1, TTuringEvaluator(3, -5).RegisterCount());
  EXPECT_EQ(20, TTuringEvaluator(3, 25).RegisterCount());
  EXPECT_EQ(20, TTuringEvaluator(3, 20).RegisterCount());
  TTuringEvaluator p(4, 3);
  EXPECT_EQ(0, p.ExecEnd());
  for (const TInstruction& in : p.Code()) {
    EXPECT_EQ(0, in.Dest + in.Op + in.Src);
    EXPECT_EQ(0.0, in.Value);
  }
}

TEST(TuringEvaluator, ExecEndIsTheLastWriteOfRegisterZero) {
  TTuringEvaluator none = Program(2, {Const(1, opAdd, 3), Const(1, opMul, 2)});
  EXPECT_EQ(1, none.ExecEnd());
  EXPECT_EQ(7.5, none.Execute(7.5));

  SetSeed(3);
  TTuringEvaluator empty(0, 4);
  empty.RandomizeAll();
  EXPECT_EQ(-1, empty.ExecEnd());
  EXPECT_EQ(-2.25, empty.Execute(-2.25));
  EXPECT_EQ(3u, Seed()) << "no instructions, no draws";

  // A trailing comparison of register 0 ends the run; what follows cannot matter.
  TTuringEvaluator cmp =
      Program(2, {Const(0, opAdd, 1), Const(0, opIfGreater, 0), Const(1, opAdd, 5)});
  EXPECT_EQ(1, cmp.ExecEnd());
  EXPECT_EQ(3, cmp.Execute(2));
}

TEST(TuringEvaluator, RandomInstructionsKeepTheInvariantsAndDrawFourTimes) {
  SetSeed(2024);
  TTuringEvaluator p(500, 3);
  p.RandomizeAll();
  std::uint32_t expected = 2024;
  for (int i = 0; i < 4 * 500; ++i)
    expected = expected * 134775813u + 1u;
  EXPECT_EQ(expected, Seed());
  int constants = 0;
  for (const TInstruction& in : p.Code()) {
    EXPECT_LT(in.Dest, 3);
    EXPECT_LT(in.Op, OpcodeCount);
    if (in.Src == ConstantOperand) {
      ++constants;
      EXPECT_FALSE(IsFunction(in.Op));
      const double k = in.Value * 10000;
      EXPECT_EQ(std::round(k) / 10000.0, in.Value);
      EXPECT_GE(in.Value, 0);
      EXPECT_LE(in.Value, 9999.9998);
    } else {
      EXPECT_LT(in.Src, 3);
    }
  }
  EXPECT_GT(constants, 100);

  TTuringEvaluator single(50, 1);
  single.RandomizeAll();
  for (const TInstruction& in : single.Code()) {
    EXPECT_EQ(0, in.Dest);
    EXPECT_TRUE(in.Src == 0 || in.Src == ConstantOperand);
  }
}

TEST(TuringEvaluator, CrossWithDrawsOncePerPositionAndKeepsTheDonor) {
  SetSeed(9);
  TTuringEvaluator a(40, 4), b(40, 4);
  a.RandomizeAll();
  b.RandomizeAll();
  const std::vector<TInstruction> before = a.Code();
  const std::vector<TInstruction> donor = b.Code();
  const std::uint32_t seed = Seed();
  a.CrossWith(b);
  std::uint32_t expected = seed;
  SetSeed(seed);
  int taken = 0;
  for (int i = 0; i < 40; ++i) {
    const bool take = RandomInt(100) < 50;
    const TInstruction& want = take ? donor[i] : before[i];
    taken += take;
    EXPECT_EQ(want.Dest, a.Code()[i].Dest);
    EXPECT_EQ(want.Op, a.Code()[i].Op);
    EXPECT_EQ(want.Src, a.Code()[i].Src);
    EXPECT_EQ(want.Value, a.Code()[i].Value);
    expected = expected * 134775813u + 1u;
  }
  EXPECT_EQ(expected, Seed());
  EXPECT_GT(taken, 0);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(donor[i].Value, b.Code()[i].Value);

  TTuringEvaluator copy = a;
  a.CrossWith(copy);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(copy.Code()[i].Op, a.Code()[i].Op);
}

TEST(TuringEvaluator, ArithmeticRoundsOnceFromExtendedPrecision) {
  EXPECT_EQ(27.795893815846028, Apply(7.2411066606832231, opMul, 3.8386251050227438));
  EXPECT_EQ(1.4717787777862705, Apply(2.282313579824899, opDiv, 1.5507178213683506));
  EXPECT_EQ(0.0, Apply(1e-300, opMul, 1e-300)) << "underflow succeeds";
  EXPECT_EQ(1e308, Apply(1e308, opMul, 10)) << "overflow fails";
  EXPECT_EQ(DBL_MAX, Apply(DBL_MAX, opAdd, DBL_MAX));
  EXPECT_EQ(-DBL_MAX, Apply(-DBL_MAX, opSub, DBL_MAX));
  EXPECT_EQ(5, Apply(5, opDiv, 0)) << "division by zero is skipped";
  EXPECT_EQ(1e300, Apply(1e300, opDiv, 1e-300));
}

TEST(TuringEvaluator, PowerFollowsItsRulesAndGuards) {
  EXPECT_EQ(1024, Apply(2, opPow, 10));
  EXPECT_EQ(2, Apply(2, opPow, 10.0001)) << "exponents above 10 are skipped";
  EXPECT_EQ(0.125, Apply(2, opPow, -3));
  EXPECT_EQ(-8, Apply(-2, opPow, 3));
  EXPECT_EQ(16, Apply(-2, opPow, 4));
  EXPECT_EQ(-2, Apply(-2, opPow, 0.5)) << "negative base, fractional exponent fails";
  EXPECT_EQ(1, Apply(0, opPow, 0));
  EXPECT_EQ(1, Apply(-7, opPow, 0));
  EXPECT_EQ(0, Apply(0, opPow, 2.5));
  EXPECT_EQ(0, Apply(0, opPow, -1)) << "0 to a negative power fails and keeps 0";
  EXPECT_EQ(0, Apply(0, opPow, -1.5));
  EXPECT_EQ(0, Apply(2, opPow, -1100)) << "2^1100 fits the extended range";
  EXPECT_EQ(2, Apply(2, opPow, -20000)) << "2^20000 does not";
  EXPECT_EQ(0.5, Apply(0.5, opPow, -20000)) << "0.5^20000 is 0 in extended, no reciprocal";
  EXPECT_EQ(1e300, Apply(1e300, opPow, 2)) << "overflow fails";
  EXPECT_EQ(static_cast<double>(std::exp(2.5L * std::log(3.0L))), Apply(3, opPow, 2.5));
  EXPECT_EQ(-2, Apply(-2, opPow, -3e9)) << "a huge integral exponent takes the logarithm";
  // Repeated squaring in extended: 1.1^7 rounded once.
  const long double b = 1.1, b2 = b * b, b4 = b2 * b2;
  EXPECT_EQ(static_cast<double>(b * b2 * b4), Apply(1.1, opPow, 7));
}

TEST(TuringEvaluator, FunctionsRespectTheirDomains) {
  EXPECT_EQ(1, Function(opExp, 0));
  EXPECT_NEAR(1.6487212707, Function(opExp, 0.5), 1e-10);
  EXPECT_EQ(1234, Function(opExp, 1));
  EXPECT_EQ(1234, Function(opExp, -0.1, 1234));
  EXPECT_EQ(0, Function(opSqrt, 0));
  EXPECT_EQ(3, Function(opSqrt, 9));
  EXPECT_EQ(-4, Program(1, {Reg(0, opSqrt, 0)}).Execute(-4));
  EXPECT_EQ(0, Function(opLn, 1));
  EXPECT_EQ(1234, Function(opLn, 0));
  EXPECT_EQ(-1, Program(1, {Reg(0, opLn, 0)}).Execute(-1));
  EXPECT_EQ(0, Program(1, {Reg(0, opSin, 0)}).Execute(1e19));
  EXPECT_EQ(0, Program(1, {Reg(0, opCos, 0)}).Execute(1e19));
  EXPECT_EQ(1e19, Program(1, {Reg(0, opTan, 0)}).Execute(1e19));
  EXPECT_EQ(-9223372036854775808.0, Program(1, {Reg(0, opTan, 0)}).Execute(-9223372036854775808.0));
  const double below = std::nextafter(9223372036854775808.0, 0.0);
  EXPECT_EQ(static_cast<double>(std::sin(static_cast<long double>(below))),
            Program(1, {Reg(0, opSin, 0)}).Execute(below));
  EXPECT_EQ(static_cast<double>(std::cos(3.0L)), Program(1, {Reg(0, opCos, 0)}).Execute(3));
  EXPECT_EQ(static_cast<double>(std::tan(3.0L)), Program(1, {Reg(0, opTan, 0)}).Execute(3));
}

TEST(TuringEvaluator, ComparisonsSkipTheNextInstructionAndChains) {
  // Equal values: greater is false, less-or-equal is true.
  EXPECT_EQ(5, Program(1, {Const(0, opIfGreater, 5), Const(0, opAdd, 1)}).Execute(5));
  EXPECT_EQ(6, Program(1, {Const(0, opIfLessEqual, 5), Const(0, opAdd, 1)}).Execute(5));

  // False, then a comparison, an add and another add: the chain and the first add go.
  TTuringEvaluator falseChain =
      Program(1, {Const(0, opIfGreater, 100), Const(0, opIfLessEqual, 100), Const(0, opAdd, 1),
                  Const(0, opAdd, 10)});
  EXPECT_EQ(10, falseChain.Execute(0));
  // True, then false, then two adds: only the first add is skipped.
  TTuringEvaluator trueThenFalse =
      Program(1, {Const(0, opIfLessEqual, 100), Const(0, opIfGreater, 100), Const(0, opAdd, 1),
                  Const(0, opAdd, 10)});
  EXPECT_EQ(10, trueThenFalse.Execute(0));
  // Both true: a conjunction lets the add run.
  TTuringEvaluator bothTrue = Program(1, {Const(0, opIfLessEqual, 100), Const(0, opIfLessEqual, 50),
                                          Const(0, opAdd, 1), Const(0, opAdd, 10)});
  EXPECT_EQ(11, bothTrue.Execute(0));
  // Runs are independent: the condition and registers start afresh.
  TTuringEvaluator p = Program(2, {Const(1, opAdd, 2), Reg(0, opIfGreater, 1), Reg(0, opMul, 1)});
  EXPECT_EQ(1, p.Execute(1));
  EXPECT_EQ(6, p.Execute(3));
  EXPECT_EQ(1, p.Execute(1));
}

TEST(TuringEvaluator, RandomProgramsNeverProduceInfinityOrNaN) {
  SetSeed(77);
  const double inputs[] = {0, -1, 1, 1e308, -1e308, 1e-300, 4.9e-324, 9.3e18, -9.3e18, 0.5};
  for (int n = 0; n < 2000; ++n) {
    TTuringEvaluator p(12, 4);
    p.RandomizeAll();
    for (double x : inputs)
      ASSERT_TRUE(std::isfinite(p.Execute(x)));
  }
}

namespace {
// The four draws of one random instruction as the rules order them, made on a copy.
struct TDraws {
  int Dest, Op, Choice, Last;
};
TDraws Predict(std::uint32_t seed, std::int32_t registers) {
  TRandomStream random(seed);
  TDraws d{};
  d.Dest = random.Int(registers);
  d.Op = random.Int(OpcodeCount);
  d.Choice = random.Int(100);
  const bool constant = d.Choice <= 50 && !IsFunction(static_cast<std::uint8_t>(d.Op));
  d.Last = random.Int(constant ? 99999999 : registers);
  return d;
}
// The first seed from 1 on whose draws satisfy the condition.
template <typename Condition>
std::uint32_t FirstSeed(std::int32_t registers, Condition condition) {
  std::uint32_t seed = 1;
  while (!condition(Predict(seed, registers)))
    ++seed;
  return seed;
}
}  // namespace

// Dest, Op, the operand choice r, then the constant k or the source register; r = 50 still
// takes a constant, r = 51 a register, and a function takes a register whatever r is.
TEST(TuringEvaluator, RandomInstructionDrawsInOrderWithTheChoiceBoundaryAt50) {
  constexpr std::int32_t Registers = 20;
  const auto operandTakes = [](int choice, bool function) {
    return [=](const TDraws& d) {
      return d.Choice == choice && IsFunction(static_cast<std::uint8_t>(d.Op)) == function;
    };
  };
  const struct {
    std::uint32_t Seed;
    bool Constant;
  } rows[] = {
      {FirstSeed(Registers, operandTakes(50, false)), true},
      {FirstSeed(Registers, operandTakes(51, false)), false},
      {FirstSeed(Registers, operandTakes(0, true)), false},
  };
  for (const auto& row : rows) {
    const TDraws d = Predict(row.Seed, Registers);
    TTuringEvaluator p(1, Registers);
    p.SetInstruction(0, {0, opAdd, 0, 7.25});
    TRandomStream random(row.Seed);
    p.RandomizeInstruction(0, random);
    const TInstruction in = p.GetInstruction(0);
    EXPECT_EQ(d.Dest, in.Dest) << row.Seed;
    EXPECT_EQ(d.Op, in.Op) << row.Seed;
    if (row.Constant) {
      EXPECT_EQ(ConstantOperand, in.Src) << row.Seed;
      EXPECT_EQ(d.Last / 10000.0, in.Value) << row.Seed;
    } else {
      EXPECT_EQ(d.Last, in.Src) << row.Seed;
      EXPECT_EQ(7.25, in.Value) << "a register operand keeps the old constant";
    }
    EXPECT_EQ(SeedAfter(row.Seed, 4), random.Seed()) << "four draws, no more";
  }
}

// A failed instruction changes neither its register nor the condition: the next one runs.
TEST(TuringEvaluator, FailedInstructionLeavesRegisterAndConditionAlone) {
  const TInstruction failing[] = {
      Const(1, opMul, 1e308),                 // overflow
      Const(1, opPow, 0.5),                   // negative base, fractional exponent
      Const(1, opPow, -20000),                // the positive power leaves the extended range
      Reg(1, opLn, 1),                        // logarithm of a negative register
      Const(1, opTan, 9223372036854775808.0)  // tangent at 2^63
  };
  for (const TInstruction& fail : failing) {
    // r1 := -2e300 after a true comparison; the failure; then r0 += r1.
    TTuringEvaluator p =
        Program(2, {Const(1, opAdd, -2e300), Const(0, opIfLessEqual, 5), fail, Reg(0, opAdd, 1)});
    EXPECT_EQ(static_cast<double>(3 + -2e300L), p.Execute(3)) << int{fail.Op};
  }
}

// Rule 3 reaches 2147483647 in magnitude and keeps a negative base's sign by parity;
// -2147483648 is past it, so the logarithm is taken and a negative base fails.
TEST(TuringEvaluator, PowerAtTheEndsOfTheIntegralExponents) {
  const double base = -(1 + 0x1p-52);
  const double odd = Apply(base, opPow, -2147483647.0);
  EXPECT_NEAR(-1 / std::exp(2147483647 * 0x1p-52), odd, 1e-12);
  EXPECT_EQ(base, Apply(base, opPow, -2147483648.0));
  EXPECT_NEAR(1 / std::exp(2147483648 * 0x1p-52), Apply(-base, opPow, -2147483648.0), 1e-12);
  EXPECT_EQ(-1, Apply(-1, opPow, -2147483647.0));
  EXPECT_EQ(-1, Apply(-1, opPow, -2147483648.0)) << "the logarithm of -1 fails";
}

TEST(TuringEvaluator, SineAndCosineAreZeroFromExactlyTwoToThe63) {
  for (const double x : {9223372036854775808.0, -9223372036854775808.0}) {
    EXPECT_EQ(0, Program(1, {Reg(0, opSin, 0)}).Execute(x)) << x;
    EXPECT_EQ(0, Program(1, {Reg(0, opCos, 0)}).Execute(x)) << x;
  }
}

TEST(TuringEvaluator, RegistersHoldEveryInput) {
  // Raised to the input count, and still 1 to 20.
  EXPECT_EQ(3, TTuringEvaluator(3, 2, 3).RegisterCount());
  EXPECT_EQ(16, TTuringEvaluator(3, 0, 16).RegisterCount());
  EXPECT_EQ(20, TTuringEvaluator(3, 25, 16).RegisterCount());
  EXPECT_EQ(5, TTuringEvaluator(3, 5, 2).RegisterCount());
  EXPECT_EQ(16, TTuringEvaluator(3, 1, 40).InputCount());
  EXPECT_EQ(1, TTuringEvaluator(3, 1, 0).InputCount());
  // Random code draws its registers from all of them.
  SetSeed(5);
  TTuringEvaluator p(200, 1, 8);
  p.RandomizeAll();
  bool high = false;
  for (const TInstruction& in : p.Code())
    high = high || in.Dest == 7;
  EXPECT_TRUE(high);
}

TEST(TuringEvaluator, InputsStartInTheLowRegistersAndTheRestAtZero) {
  for (const std::int32_t n : {2, 3, 8, 16}) {
    // R0 := (R0 + R1) * R[n-1] + R[n]: the register after the inputs holds 0.
    const auto last = static_cast<std::uint8_t>(n - 1);
    TTuringEvaluator p = Program(
        n + 1, {Reg(0, opAdd, 1), Reg(0, opMul, last), Reg(0, opAdd, static_cast<std::uint8_t>(n))},
        n);
    std::vector<double> x(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i)
      x[static_cast<std::size_t>(i)] = 0.1 * (i + 1) + 1;
    const double sum = static_cast<double>(static_cast<long double>(x[0]) + x[1]);
    const double expected = static_cast<double>(static_cast<long double>(sum) * x.back());
    EXPECT_EQ(expected, p.Execute(x)) << n << " inputs";
    // Missing inputs are 0, here every one after the first.
    EXPECT_EQ(0.0, p.Execute(std::vector<double>{x[0]})) << n << " inputs";
    EXPECT_EQ(0.0, p.Execute(x[0])) << n << " inputs";
  }
  // Inputs beyond the program's count are not read.
  TTuringEvaluator one = Program(2, {Reg(0, opAdd, 1)});
  EXPECT_EQ(5.0, one.Execute(std::vector<double>{5, 7}));
}
