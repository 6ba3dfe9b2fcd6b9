#include "formula/ModelFormula.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "formula/GuardedRun.h"
#include "tests/ModelTesting.h"
#include "tests/ProgramTesting.h"

namespace {

TInstruction Reg(std::uint8_t dest, std::uint8_t op, std::uint8_t src) {
  return {dest, op, src, 0};
}
TInstruction Const(std::uint8_t dest, std::uint8_t op, double value) {
  return {dest, op, ConstantOperand, value};
}

// The 100-point sine sample's x: 0 .. 99.
const TSampleData& Sine() {
  static const TSampleData samples = [] {
    TSampleData s(100);
    SetSeed(1);
    s.GenerateSine();
    return s;
  }();
  return samples;
}

TModelFormula Formula(std::int32_t registers, const std::vector<TInstruction>& code) {
  return MakeFormula(Program(registers, code), Sine());
}

}  // namespace

TEST(ModelFormula, WritesTheProgramAsAPersonWould) {
  struct TCase {
    std::int32_t Registers;
    std::vector<TInstruction> Code;
    const char* Plain;
    const char* Latex;
  };
  const TCase cases[] = {
      {1,
       {Reg(0, opAdd, 0), Reg(0, opAdd, 0), Reg(0, opSin, 0)},
       "sin(4*x)",
       "\\sin\\left(4 x\\right)"},
      // x * (x * x + x) + x, expanded and ordered by falling power
      {2,
       {Reg(1, opAdd, 0), Reg(0, opMul, 0), Reg(0, opAdd, 1), Reg(0, opMul, 1), Reg(0, opAdd, 1)},
       "x^3 + x^2 + x",
       "x^{3} + x^{2} + x"},
      {1, {Const(0, opSub, 2.5), Const(0, opDiv, 3)}, "x/3 - 5/6", "\\frac{x}{3} - \\frac{5}{6}"},
      {2, {Reg(1, opSqrt, 0), Reg(0, opLn, 1)}, "ln(sqrt(x))", "\\ln\\left(\\sqrt{x}\\right)"},
      {2, {Reg(1, opCos, 0), Reg(0, opDiv, 1)}, "x/cos(x)", "\\frac{x}{\\cos\\left(x\\right)}"},
      {1, {Const(0, opMul, 3213.0186), Reg(0, opExp, 0)}, "exp(3213.02*x)", "e^{3213.02 x}"},
      {1,
       {Const(0, opIfGreater, 3), Const(0, opMul, 2)},
       "(x > 3 ? 2*x : x)",
       "\\begin{cases} 2 x & \\text{if } x > 3 \\\\ x & \\text{otherwise} \\end{cases}"},
      // The chain of two comparisons holds only when both do.
      {1,
       {Const(0, opIfLessEqual, 1), Const(0, opIfGreater, 0), Const(0, opAdd, 1)},
       "(x <= 1 ? (x > 0 ? x + 1 : x) : x)",
       nullptr},
  };
  for (const TCase& c : cases) {
    const TModelFormula f = Formula(c.Registers, c.Code);
    ASSERT_TRUE(f.Available) << c.Plain;
    EXPECT_EQ(c.Plain, f.Plain);
    if (c.Latex != nullptr) {
      EXPECT_EQ(c.Latex, f.Latex);
    }
  }
}

TEST(ModelFormula, FoldsWhatDoesNotDependOnXAsTheInterpreterDoes) {
  // ln 2 as the interpreter rounds it; 10 to the power 12 is never taken (exponent above 10);
  // a division by the zero of an untouched register does nothing.
  const TModelFormula f = Formula(3, {Const(1, opAdd, 2), Reg(1, opLn, 1), Reg(0, opAdd, 1),
                                      Const(0, opPow, 12), Reg(0, opDiv, 2)});
  EXPECT_EQ("x + 0.693147", f.Plain);
  EXPECT_EQ("x + 0.6931471805599453", f.Exact);
  // Decided once for every x, these guards are part of the formula, not a difference.
  EXPECT_EQ(0, f.Check.Guarded);

  // The logarithm of a negative constant fails and leaves the register: the sine stays.
  const TModelFormula kept = Formula(2, {Reg(0, opSin, 0), Const(1, opSub, 1), Reg(0, opLn, 1)});
  EXPECT_EQ("sin(x)", kept.Plain);
  // A comparison of constants is decided; the skipped multiplication leaves no trace.
  const TModelFormula decided = Formula(
      2, {Const(1, opAdd, 4), Const(1, opIfGreater, 5), Const(0, opMul, 7), Reg(0, opAdd, 1)});
  EXPECT_EQ("x + 4", decided.Plain);
  // x - x cancels to 0 and 0 to the power 0 is 1 in the interpreter, base 0 or not.
  const TModelFormula zeroPower =
      Formula(2, {Reg(1, opAdd, 0), Reg(1, opSub, 0), Reg(1, opPow, 1), Reg(0, opAdd, 1)});
  EXPECT_EQ("x + 1", zeroPower.Plain);
  EXPECT_EQ(0.0, zeroPower.Check.LargestDifference);
  // 0 to a negative power fails and leaves the 0; the sanitizer build would catch GiNaC
  // leaking the power it gives up on.
  const TModelFormula pole =
      Formula(2, {Reg(1, opAdd, 0), Reg(1, opSub, 0), Const(1, opPow, -2), Reg(0, opAdd, 1)});
  EXPECT_EQ("x", pole.Plain);
}

TEST(ModelFormula, DropsWhatCannotReachTheResult) {
  const TModelFormula f = Formula(3, {Reg(1, opTan, 0), Reg(2, opExp, 1), Reg(0, opCos, 0),
                                      Reg(1, opIfGreater, 2), Const(2, opAdd, 1)});
  EXPECT_EQ("cos(x)", f.Plain);
  // Register 1's tangent fails at no sample that matters: it is not part of the result.
  EXPECT_EQ(0, f.Check.Guarded);
}

TEST(ModelFormula, CountsTheSamplesWhereAGuardActsAndChecksTheRest) {
  // ln x at x = 0 .. 99: the logarithm of 0 fails at one sample and leaves 0 there.
  const TModelFormula f = Formula(1, {Reg(0, opLn, 0)});
  EXPECT_EQ("ln(x)", f.Plain);
  EXPECT_EQ(100, f.Check.Samples);
  EXPECT_EQ(1, f.Check.Guarded);
  EXPECT_EQ(GuardLnDomain, f.Check.Guards);
  EXPECT_LE(f.Check.LargestRelativeDifference, 1e-15);
  const std::vector<std::string> note = FormulaNote(f);
  ASSERT_EQ(2u, note.size());
  EXPECT_EQ(
      "The model's guards act at 1 of 100 samples (logarithm of zero or a negative "
      "number): there the formula and the model differ.",
      note[0]);
  EXPECT_EQ(0u, note[1].find("Checked against the model at 99 samples: largest difference "));

  // x / (x - 50): a division by zero at x = 50, an overflow nowhere.
  const TModelFormula d = Formula(2, {Reg(1, opAdd, 0), Const(1, opSub, 50), Reg(0, opDiv, 1)});
  EXPECT_EQ(1, d.Check.Guarded);
  EXPECT_EQ(GuardDivisionByZero, d.Check.Guards);

  // Only a guard that runs counts: the logarithm is skipped where x <= 0.
  const TModelFormula skipped = Formula(1, {Const(0, opIfGreater, 0), Reg(0, opLn, 0)});
  EXPECT_EQ(0, skipped.Check.Guarded);
  EXPECT_EQ("(x > 0 ? ln(x) : x)", skipped.Plain);
}

TEST(ModelFormula, CountsTheSamplesWhereRoundingDecidesAComparisonTheFormulaSettled) {
  // x + 1 > x holds for every x, and x + 1 <= x for none; where x + 1 rounds to x the
  // program decides both the other way.
  const struct {
    std::uint8_t Op;
    const char* Plain;
  } cases[] = {{opIfGreater, "2*x"}, {opIfLessEqual, "x"}};
  const std::vector<double> xs = {3, 1e17, -1e17, 0.5};
  for (const auto& c : cases) {
    const TTuringEvaluator p =
        Program(2, {Reg(1, opAdd, 0), Const(1, opAdd, 1), Reg(1, c.Op, 0), Const(0, opMul, 2)});
    const TModelFormula f = MakeFormula(p, Sine());
    EXPECT_EQ(c.Plain, f.Plain);
    EXPECT_EQ(0, f.Check.Guarded) << "0 .. 99 are far from rounding";
    const TFormulaCheck check = CheckFormula(p, f, xs);
    EXPECT_EQ(2, check.Guarded) << c.Plain;
    EXPECT_EQ(GuardComparison, check.Guards) << c.Plain;
    EXPECT_EQ(0.0, check.LargestDifference) << c.Plain;
  }
  TModelFormula f = Formula(
      2, {Reg(1, opAdd, 0), Const(1, opAdd, 1), Reg(1, opIfGreater, 0), Const(0, opMul, 2)});
  f.Check.Guarded = 2;
  f.Check.Guards = GuardComparison;
  EXPECT_EQ(
      "The model's guards act at 2 of 100 samples (comparison that rounding decides "
      "otherwise): there the formula and the model differ.",
      FormulaNote(f).at(0));
}

TEST(ModelFormula, SaysWhatTheFormulaAsShownIsCheckedAgainst) {
  // 1.23457 * x against 1.23456789 * x: 2.11e-06 * 99 apart at x = 99.
  const TModelFormula f = Formula(1, {Const(0, opMul, 1.23456789)});
  EXPECT_TRUE(f.Rounded);
  EXPECT_EQ("1.23457*x", f.Plain);
  EXPECT_EQ("1.23456789*x", f.Exact);
  EXPECT_NEAR(2.0889e-4, f.Check.ShownLargestDifference, 1e-8);
  EXPECT_NEAR(1.7091e-6, f.Check.ShownLargestRelativeDifference, 1e-10);
  EXPECT_LE(f.Check.LargestRelativeDifference, 1e-15);
  const std::string shown = FormulaNote(f).at(0);
  EXPECT_EQ(0u, shown.find("Checked against the model at 100 samples: as shown, with numbers "
                           "rounded to 6 digits, largest difference 0.00021 (relative 1.7e-06); "
                           "with every digit, "))
      << shown;
  const std::string exact = FormulaNote(f, TFormulaDigits::Exact).at(0);
  EXPECT_EQ(0u, exact.find("Checked against the model at 100 samples: largest difference "))
      << exact;

  // Nothing rounded: one measure, as before.
  const TModelFormula sine = Formula(1, {Reg(0, opSin, 0)});
  EXPECT_FALSE(sine.Rounded);
  EXPECT_EQ(sine.Exact, sine.Plain);
  EXPECT_EQ(FormulaNote(sine, TFormulaDigits::Exact), FormulaNote(sine));
}

TEST(ModelFormula, MeasuresAgainstTheRoundingThatReachesTheResult) {
  // (x + 5000 - 5000) * 1e10 keeps 1e10 times the rounding of x + 5000; measured against
  // 5000 * 1e10 it is within a few last places.
  const std::vector<double> small = {1e-6, 3e-7, 0.1};
  const TTuringEvaluator cancels =
      Program(1, {Const(0, opAdd, 5000), Const(0, opSub, 5000), Const(0, opMul, 1e10)});
  const TModelFormula product = MakeFormula(cancels, Sine());
  EXPECT_EQ("1e+10*x", product.Plain);
  const TFormulaCheck check = CheckFormula(cancels, product, small);
  EXPECT_GT(check.LargestRelativeDifference, 1e-9) << "the rounding is there";
  EXPECT_LE(check.LargestStableRelativeDifference, 1e-15);

  // A large x that only passes through a sine carries no rounding: a wrong formula stays
  // wrong there.
  const TModelFormula sine = Formula(1, {Reg(0, opSin, 0)});
  const TFormulaCheck wrong = CheckFormula(Program(1, {Reg(0, opCos, 0)}), sine, {1e18, 1e15});
  EXPECT_EQ(0, wrong.Unstable);
  EXPECT_GT(wrong.LargestStableRelativeDifference, 0.1);
}

TEST(ModelFormula, GivesUpOnAnExpressionThatGrowsBeyondItsLimit) {
  // x + sin(x), then that plus its sine, and so on: the tree doubles at every step.
  std::vector<TInstruction> code;
  for (int i = 0; i < 40; ++i) {
    code.push_back(Reg(1, opSin, 0));
    code.push_back(Reg(0, opAdd, 1));
  }
  const auto start = std::chrono::steady_clock::now();
  const TModelFormula f = Formula(2, code);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(f.Available);
  EXPECT_EQ(0u, FormulaNote(f).at(0).find("The formula is too large to show"));

  // Eight steps stay within it.
  code.resize(16);
  EXPECT_TRUE(Formula(2, code).Available);
}

TEST(ModelFormula, GuardedRunComputesExactlyWhatTheInterpreterComputes) {
  const std::vector<double> xs = EdgeAndRandomXs(500);
  for (TTuringEvaluator& p : RandomPrograms(1000)) {
    const TGuardedRun run(p, {});
    for (const double x : xs) {
      const double expected = p.Execute(x);
      const double actual = run.Run(x).Value;
      ASSERT_EQ(0, std::memcmp(&expected, &actual, sizeof(double))) << "x = " << x << "\n"
                                                                    << p.EmitSource();
    }
  }
}

TEST(ModelFormula, GuardedRunNamesTheGuardThatActs) {
  struct TCase {
    TInstruction In;
    double X;
    std::uint32_t Guard;
  };
  const TCase cases[] = {
      {Const(0, opAdd, 1), 1, GuardNone},
      {Reg(0, opDiv, 1), 3, GuardDivisionByZero},
      {Const(0, opPow, 11), 2, GuardPowerExponent},
      {Const(0, opPow, 0.5), -4, GuardPowerDomain},
      {Const(0, opPow, -1), 0, GuardPowerDomain},
      {Const(0, opPow, 10), 1e100, GuardOverflow},
      {Reg(0, opSin, 0), 1e19, GuardTrigLimit},
      {Reg(0, opTan, 0), -1e19, GuardTrigLimit},
      {Reg(0, opExp, 0), 1, GuardExpDomain},
      {Reg(0, opSqrt, 0), -1, GuardSqrtDomain},
      {Reg(0, opLn, 0), 0, GuardLnDomain},
      {Const(0, opMul, 1e300), 1e10, GuardOverflow},
      {Const(0, opMul, 1e-300), 1e-10, GuardUnderflow},
  };
  for (const TCase& c : cases) {
    const TTuringEvaluator p = Program(2, {c.In});
    EXPECT_EQ(c.Guard, TGuardedRun(p, {}).Run(c.X).Guards) << p.EmitSource() << "x = " << c.X;
  }
}

TEST(ModelFormula, ReferenceModels) {
  if (!HaveReferenceRuns()) GTEST_SKIP() << "no reference runs at " << ReferenceFolder();
  for (const std::string& name : ReferenceNames()) {
    TReferenceModel reference = ReferenceModel(name);
    ASSERT_EQ(reference.ExpectedOut, reference.Lines) << "the search of " << name;
    const TModelFormula f = MakeFormula(reference.Program, reference.Samples);
    ASSERT_TRUE(f.Available) << name;
    EXPECT_EQ(0, f.Check.Guarded) << name;
    EXPECT_LE(f.Check.LargestRelativeDifference, 1e-9) << name;
    // var[0] += var[0]; var[0] = SIN(var[0]);
    if (name == "sine-seed1") {
      EXPECT_EQ("sin(2*x)", f.Plain);
    }
  }
}

TEST(ModelFormula, AgreesWithTheInterpreterWhereNoGuardActs) {
  std::vector<double> xs = SampleXs();
  const std::vector<double> more = EdgeAndRandomXs(10000);
  xs.insert(xs.end(), more.begin(), more.end());
  int available = 0;
  long checked = 0;
  long unstable = 0;
  std::vector<std::string> apart;
  for (const TTuringEvaluator& p : RandomPrograms(1000)) {
    const TModelFormula f = MakeFormula(p, Sine());
    if (!f.Available) continue;
    ++available;
    const TFormulaCheck check = CheckFormula(p, f, xs);
    // Where rounding alone moves the formula's value, no formula can promise 1e-9.
    if (!(check.LargestStableRelativeDifference <= 1e-9)) {
      apart.push_back(f.Plain.substr(0, 200) + "  (" +
                      std::to_string(check.LargestStableRelativeDifference) + ")");
    }
    checked += check.Samples - check.Guarded;
    unstable += check.Unstable;
  }
  EXPECT_GE(available, 950);
  EXPECT_LT(unstable, checked / 50) << "too few samples left to check";
  std::string list;
  for (const std::string& formula : apart)
    list += formula + "\n";
  EXPECT_TRUE(apart.empty()) << list;
}

TEST(ModelFormula, SeveralInputsAreWrittenUnderTheirColumnNames) {
  // R0 := theta, R1 := sigma: R0 := theta * sigma + 2.5.
  const TTuringEvaluator p = Program(2, {Reg(0, opMul, 1), Const(0, opAdd, 2.5)}, 2);
  TSampleData samples(50, 2);
  for (std::int32_t i = 0; i < 50; ++i) {
    samples.SetX(i, 0, i * 0.5);
    samples.SetX(i, 1, 3 - i);
  }
  // The order of a product's factors is GiNaC's.
  const auto either = [](const std::string& text, const std::string& a, const std::string& b) {
    return text == a || text == b;
  };
  const TModelFormula unnamed = MakeFormula(p, samples);
  EXPECT_TRUE(either(unnamed.Plain, "x1*x2 + 5/2", "x2*x1 + 5/2")) << unnamed.Plain;
  EXPECT_NE(std::string::npos, unnamed.Latex.find("x_{2}")) << unnamed.Latex;
  samples.SetNames({"theta", "mass kg", "y"});
  const TModelFormula named = MakeFormula(p, samples);
  EXPECT_TRUE(either(named.Plain, "theta*mass_kg + 5/2", "mass_kg*theta + 5/2")) << named.Plain;
  EXPECT_NE(std::string::npos, named.Latex.find("\\mathit{mass\\_kg}")) << named.Latex;
  EXPECT_EQ(50, named.Check.Samples);
  EXPECT_EQ(0, named.Check.Guarded);
  EXPECT_EQ(0.0, named.Check.LargestDifference);
}

TEST(ModelFormula, AgreesWithTheInterpreterOnSeveralInputs) {
  for (std::int32_t inputs : {2, 3, 8, 16}) {
    TSampleData samples(200, inputs);
    TRandomStream values(static_cast<std::uint32_t>(inputs));
    for (std::int32_t i = 0; i < samples.Count(); ++i)
      for (std::int32_t k = 0; k < inputs; ++k)
        samples.SetX(i, k, values.Real() * 20 - 10);
    int available = 0;
    for (int n = 0; n < 100; ++n) {
      TTuringEvaluator p(1 + n % 20, inputs + n % 3, inputs);
      TRandomStream random(0xf0000u + static_cast<std::uint32_t>(inputs * 100 + n));
      p.RandomizeAll(random);
      const TModelFormula f = MakeFormula(p, samples);
      if (!f.Available) continue;
      ++available;
      // An input read from the wrong place would be far apart on random rows.
      EXPECT_LE(f.Check.LargestStableRelativeDifference, 1e-9) << inputs << " inputs: " << f.Plain;
      EXPECT_EQ(200, f.Check.Samples);
    }
    EXPECT_GE(available, 90) << inputs << " inputs";
  }
}
