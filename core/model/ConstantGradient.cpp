#include "core/model/ConstantGradient.h"

#include <algorithm>
#include <cmath>

#include "core/model/Arithmetic.h"

namespace {

using Extended = long double;

// Hears which guard acted, so that a failed instruction keeps its derivatives too.
struct TGuardSink {
  static constexpr bool Watching = true;
  std::uint32_t* Guards;
  void operator()(std::uint32_t guard) const noexcept { *Guards |= guard; }
};

constexpr std::uint32_t FailureGuards = ~static_cast<std::uint32_t>(GuardUnderflow);

// A derivative that is exactly zero stays zero whatever it is multiplied by, so that an
// infinite factor (the power's at a base of 0) spoils only the constants it depends on.
[[nodiscard]] Extended Scaled(Extended factor, Extended derivative) noexcept {
  return derivative == 0 ? Extended{0} : factor * derivative;
}

[[nodiscard]] bool IsFitted(const TInstruction& in) noexcept {
  if (in.Src != ConstantOperand || IsComparison(in.Op)) return false;
  return !(in.Op == opPow && in.Value == std::trunc(in.Value));
}

}  // namespace

TConstantGradient::TConstantGradient(const TTuringEvaluator& program)
    : program_(program),
      parameterOf_(static_cast<std::size_t>(std::max(program.InstructionCount(), 0)), -1),
      values_(static_cast<std::size_t>(program.RegisterCount())) {
  for (std::int32_t i = 0; i <= program_.ExecEnd(); ++i) {
    if (!IsFitted(program_.GetInstruction(i))) continue;
    parameterOf_[i] = static_cast<std::int32_t>(fitted_.size());
    fitted_.push_back(i);
  }
  derivatives_.resize(values_.size() * fitted_.size());
  operand_.resize(fitted_.size());
}

std::vector<double> TConstantGradient::Constants() const {
  std::vector<double> constants;
  constants.reserve(fitted_.size());
  for (const std::int32_t i : fitted_)
    constants.push_back(program_.GetInstruction(i).Value);
  return constants;
}

void TConstantGradient::SetConstants(std::span<const double> constants) noexcept {
  const std::size_t count = std::min(constants.size(), fitted_.size());
  for (std::size_t k = 0; k < count; ++k) {
    TInstruction in = program_.GetInstruction(fitted_[k]);
    in.Value = constants[k];
    program_.SetInstruction(fitted_[k], in);
  }
  program_.UpdateExecEnd();
}

void TConstantGradient::Step(const TInstruction& in, std::int32_t parameter) noexcept {
  const std::size_t n = fitted_.size();
  double o;
  if (in.Src == ConstantOperand) {
    o = in.Value;
    std::fill(operand_.begin(), operand_.end(), Extended{0});
    if (parameter >= 0) operand_[static_cast<std::size_t>(parameter)] = 1;
  } else {
    o = values_[in.Src];
    const Extended* source = derivatives_.data() + in.Src * n;
    std::copy(source, source + n, operand_.begin());
  }
  double& d = values_[in.Dest];
  Extended* dd = derivatives_.data() + in.Dest * n;
  const Extended before = d;
  std::uint32_t guards = 0;
  const TGuardSink sink{&guards};
  if (IsFunction(in.Op)) {
    arithmetic::ApplyFunction(in.Op, d, o, sink);
  } else {
    arithmetic::ApplyTwoOperand(in.Op, d, o, sink);
  }
  const bool trigZero = (in.Op == opSin || in.Op == opCos) && (guards & GuardTrigLimit) != 0;
  if ((guards & FailureGuards) != 0 && !trigZero) return;  // the register is as it was

  const Extended x = o;
  // d(new) = onOld * d(old) + onOperand * d(operand)
  Extended onOld = 0;
  Extended onOperand = 0;
  switch (in.Op) {
    case opAdd:
      onOld = 1;
      onOperand = 1;
      break;
    case opSub:
      onOld = 1;
      onOperand = -1;
      break;
    case opMul:
      onOld = x;
      onOperand = before;
      break;
    case opDiv:
      onOld = 1 / x;
      onOperand = -before / (x * x);
      break;
    case opPow:
      if (x == 0) {
        onOperand = before > 0 ? std::log(before) : 0;
      } else if (before == 0) {
        onOld = x > 1 ? 0 : x == 1 ? 1 : HUGE_VALL;
      } else {
        onOld = x * std::pow(before, x - 1);
        // Off the integers the power of a negative base is not defined.
        onOperand = before > 0 ? static_cast<Extended>(d) * std::log(before) : 0;
      }
      break;
    case opSin:
      onOperand = trigZero ? 0 : std::cos(x);
      break;
    case opCos:
      onOperand = trigZero ? 0 : -std::sin(x);
      break;
    case opTan: {
      const Extended t = std::tan(x);
      onOperand = 1 + t * t;
      break;
    }
    case opExp:
      onOperand = std::exp(x);
      break;
    case opSqrt:
      onOperand = 1 / (2 * std::sqrt(x));
      break;
    case opLn:
      onOperand = 1 / x;
      break;
    default:
      return;
  }
  for (std::size_t k = 0; k < n; ++k)
    dd[k] = Scaled(onOld, dd[k]) + Scaled(onOperand, operand_[k]);
}

double TConstantGradient::Run(std::span<const double> inputs, std::span<double> gradient) noexcept {
  const std::size_t given =
      std::min<std::size_t>(inputs.size(), static_cast<std::size_t>(program_.InputCount()));
  std::fill(values_.begin(), values_.end(), 0.0);
  std::copy_n(inputs.begin(), given, values_.begin());
  std::fill(derivatives_.begin(), derivatives_.end(), Extended{0});
  bool condition = true;
  for (std::int32_t i = 0; i <= program_.ExecEnd(); ++i) {
    const TInstruction& in = program_.Code()[static_cast<std::size_t>(i)];
    if (!condition) {
      // A skipped comparison keeps the skip going to the next non-comparison.
      if (!IsComparison(in.Op)) condition = true;
      continue;
    }
    if (IsComparison(in.Op)) {
      const double o = in.Src == ConstantOperand ? in.Value : values_[in.Src];
      const bool greater = values_[in.Dest] > o;
      condition = in.Op == opIfGreater ? greater : !greater;
      continue;
    }
    Step(in, parameterOf_[static_cast<std::size_t>(i)]);
  }
  const std::size_t count = std::min(gradient.size(), fitted_.size());
  for (std::size_t k = 0; k < count; ++k)
    gradient[k] = static_cast<double>(derivatives_[k]);
  return values_[0];
}
