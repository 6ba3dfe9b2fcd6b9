#include "core/model/ConstantGradient.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/model/Random.h"
#include "tests/ProgramTesting.h"

namespace {

// The program's value on x with fitted constant k replaced by value.
double WithConstant(const TConstantGradient& gradient, std::size_t k, double value, double x) {
  TTuringEvaluator program = gradient.Program();
  TInstruction in = program.GetInstruction(gradient.Fitted()[k]);
  in.Value = value;
  program.SetInstruction(gradient.Fitted()[k], in);
  program.UpdateExecEnd();
  return program.Execute(x);
}

double CentralDifference(const TConstantGradient& gradient, std::size_t k, double h, double x) {
  const double c = gradient.Program().GetInstruction(gradient.Fitted()[k]).Value;
  return (WithConstant(gradient, k, c + h, x) - WithConstant(gradient, k, c - h, x)) / (2 * h);
}

// Random programs whose constants lie in -5 .. 5, where the functions are smooth enough for
// differences to check against.
TTuringEvaluator RandomProgram(TRandomStream& random) {
  TTuringEvaluator program(10, 3);
  program.RandomizeAll(random);
  for (std::int32_t i = 0; i < program.InstructionCount(); ++i) {
    TInstruction in = program.GetInstruction(i);
    if (in.Src == ConstantOperand) in.Value = in.Value / 1000 - 5;
    program.SetInstruction(i, in);
  }
  program.UpdateExecEnd();
  return program;
}

}  // namespace

TEST(ConstantGradient, ValuesAreTheInterpretersAndDerivativesMatchDifferences) {
  TRandomStream random(2024);
  std::int32_t compared = 0;
  std::int32_t nonZero = 0;
  for (int p = 0; p < 400; ++p) {
    TTuringEvaluator program = RandomProgram(random);
    TConstantGradient gradient(program);
    std::vector<double> derivatives(gradient.Fitted().size());
    for (const double x : {-1.7, -0.3, 0.45, 1.0, 2.6}) {
      const double value = gradient.Run(std::span<const double>(&x, 1), derivatives);
      ASSERT_EQ(std::bit_cast<std::uint64_t>(program.Execute(x)),
                std::bit_cast<std::uint64_t>(value));
      ASSERT_EQ(value, gradient.Value(std::span<const double>(&x, 1)));
      for (std::size_t k = 0; k < derivatives.size(); ++k) {
        const double c = gradient.Program().GetInstruction(gradient.Fitted()[k]).Value;
        const double h = 1e-5 * std::fmax(1.0, std::fabs(c));
        const double coarse = CentralDifference(gradient, k, h, x);
        const double fine = CentralDifference(gradient, k, h / 4, x);
        const double scale = std::fmax(1.0, std::fabs(fine)) + 1e-9 * std::fabs(value) / h;
        // A guard or a comparison that flips near c: no derivative to compare with.
        if (!std::isfinite(coarse) || !std::isfinite(fine) ||
            std::fabs(coarse - fine) > 1e-4 * scale)
          continue;
        ++compared;
        if (fine != 0) ++nonZero;
        EXPECT_NEAR(fine, derivatives[k], 1e-4 * scale)
            << "program " << p << " x " << x << " constant " << k << "\n"
            << program.EmitSource();
      }
    }
  }
  // The comparison ran on most derivatives, and not only on zero ones.
  EXPECT_GT(compared, 1500);
  EXPECT_GT(nonZero, 700);
}

TEST(ConstantGradient, FailedAndSkippedInstructionsKeepTheirDerivatives) {
  // r1 = c0; r0 *= r1; r0 /= r2 (r2 is 0: fails); r0 = LN(r2) (fails); if (r0 > 1e6) r0 *= c1;
  // r0 ^= 2 (integral: not fitted); r0 += c2 ... the comparison's 1e6 is not fitted either.
  TTuringEvaluator program = Program(3, {{1, opAdd, ConstantOperand, 2.5},
                                         {0, opMul, 1, 0},
                                         {0, opDiv, 2, 0},
                                         {0, opLn, 2, 0},
                                         {0, opIfGreater, ConstantOperand, 1e6},
                                         {0, opMul, ConstantOperand, 3},
                                         {0, opPow, ConstantOperand, 2},
                                         {0, opSub, ConstantOperand, 0.5}});
  TConstantGradient gradient(program);
  ASSERT_EQ((std::vector<std::int32_t>{0, 5, 7}), gradient.Fitted());
  EXPECT_EQ((std::vector<double>{2.5, 3, 0.5}), gradient.Constants());

  std::vector<double> d(3);
  // x = 2: r0 = 5, the product is skipped; then 25 - 0.5.
  double x = 2;
  EXPECT_EQ(24.5, gradient.Run(std::span<const double>(&x, 1), d));
  EXPECT_EQ(2 * 5 * x, d[0]);
  EXPECT_EQ(0, d[1]);
  EXPECT_EQ(-1, d[2]);
  // x = 1e6: the product runs; r0 = (3 * 2.5e6)^2 - 0.5.
  x = 1e6;
  const double value = gradient.Run(std::span<const double>(&x, 1), d);
  EXPECT_EQ(program.Execute(x), value);
  EXPECT_DOUBLE_EQ(2 * 7.5e6 * 3 * x, d[0]);
  EXPECT_DOUBLE_EQ(2 * 7.5e6 * 2.5e6, d[1]);

  // New constants reach the program and its derivatives.
  const std::vector<double> constants{-1.5, 3, 2};
  gradient.SetConstants(constants);
  EXPECT_EQ(constants, gradient.Constants());
  x = 2;
  EXPECT_EQ(9 - 2, gradient.Run(std::span<const double>(&x, 1), d));
  EXPECT_EQ(2 * -3 * x, d[0]);
  EXPECT_EQ(program.InstructionCount(), gradient.Program().InstructionCount());
}

TEST(ConstantGradient, ADestinationThatIsItsOwnOperandAndSeveralInputs) {
  // r0 *= c0; r0 *= r0; r0 += r1 with inputs (x1, x2): (c0 x1)^2 + x2.
  const TTuringEvaluator program =
      Program(2, {{0, opMul, ConstantOperand, 1.5}, {0, opMul, 0, 0}, {0, opAdd, 1, 0}}, 2);
  TConstantGradient gradient(program);
  std::vector<double> d(1);
  const std::vector<double> inputs{2, 10};
  EXPECT_EQ(9 + 10, gradient.Run(inputs, d));
  EXPECT_EQ(2 * 1.5 * 2 * 2, d[0]);
}
