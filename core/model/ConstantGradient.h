#pragma once
// TConstantGradient: a program run on one sample the way the interpreter runs it, with each
// register carrying, beside its value, its derivatives with respect to the program's fitted
// constants (forward mode). Local constant fitting needs them: the value is bit for bit what
// TTuringEvaluator::Execute returns, and an instruction that fails or is skipped leaves its
// destination's derivatives as it leaves its value.
//
// The fitted constants are those of the instructions that run (0 .. ExecEnd) except the
// comparisons' (a threshold has no derivative) and integral exponents: x^2 of a negative x is
// defined only while the exponent stays integral, so moving it would change the function.

#include <cstdint>
#include <span>
#include <vector>

#include "core/model/TE.h"

class TConstantGradient {
 public:
  explicit TConstantGradient(const TTuringEvaluator& program);

  // The program with the constants last set.
  [[nodiscard]] const TTuringEvaluator& Program() const noexcept { return program_; }
  // Indexes of the instructions whose constant is fitted, in program order.
  [[nodiscard]] const std::vector<std::int32_t>& Fitted() const noexcept { return fitted_; }
  [[nodiscard]] std::int32_t ParameterCount() const noexcept {
    return static_cast<std::int32_t>(fitted_.size());
  }
  // The fitted constants, in the order of Fitted().
  [[nodiscard]] std::vector<double> Constants() const;
  // Gives the fitted instructions these constants, one for each of Fitted().
  void SetConstants(std::span<const double> constants) noexcept;

  // Runs the program on one sample's inputs (missing ones are 0) and returns register 0 as
  // Execute does; gradient (ParameterCount() entries) receives its derivatives. A derivative
  // may be infinite or NaN where the function has none (a square root at 0).
  double Run(std::span<const double> inputs, std::span<double> gradient) noexcept;
  // The value alone, as Run gives it, at the interpreter's cost.
  double Value(std::span<const double> inputs) noexcept { return program_.Execute(inputs); }

 private:
  using Extended = long double;

  TTuringEvaluator program_;
  std::vector<std::int32_t> fitted_;
  std::vector<std::int32_t> parameterOf_;  // per instruction: its parameter, or -1
  std::vector<double> values_;             // the registers
  std::vector<Extended> derivatives_;      // register r's at r * ParameterCount()
  std::vector<Extended> operand_;          // the operand's, apart: it may be the destination

  void Step(const TInstruction& in, std::int32_t parameter) noexcept;
};
