#include "formula/GuardedRun.h"

#include <algorithm>

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/model/Arithmetic.h"
#include "core/model/Liveness.h"

using arithmetic::Extended;

namespace {

// Hears the guards of the shared arithmetic.
struct TGuardRecorder {
  static constexpr bool Watching = true;
  std::uint32_t* Guards;
  void operator()(std::uint32_t guard) const noexcept { *Guards |= guard; }
};

// Half a double's last place at 1: the most one rounding to double moves a value, relative.
constexpr Extended HalfUlp = DBL_EPSILON / 2;

// A first-order bound of the error that the program's rounding leaves in r = d op o, from
// the bounds ed and eo that d and o carry and the rounding of r itself.
Extended Propagate(std::uint8_t op, Extended d, Extended ed, Extended o, Extended eo, Extended r) {
  Extended e = 0;
  switch (op) {
    case opAdd:
    case opSub:
      e = ed + eo;
      break;
    case opMul:
      e = std::fabs(o) * ed + std::fabs(d) * eo;
      break;
    case opDiv:
      e = (ed + std::fabs(r) * eo) / std::fabs(o);
      break;
    case opPow:
      // d^o = exp(o ln d); a zero base has no such slope, its own error stands.
      e = d == 0 ? ed
                 : std::fabs(r) *
                       (std::fabs(o) * ed / std::fabs(d) + std::fabs(std::log(std::fabs(d))) * eo);
      break;
    case opSin:
    case opCos:
      e = eo;
      break;
    case opTan:
      e = eo * (1 + r * r);
      break;
    case opExp:
      e = std::fabs(r) * eo;
      break;
    case opSqrt:
      e = r > 0 ? eo / (2 * r) : std::sqrt(eo);
      break;
    case opLn:
      e = eo / std::fabs(o);
      break;
    default:
      break;
  }
  e += HalfUlp * std::fabs(r);
  // 0 times an infinite bound: rounding decides everything there.
  return std::isnan(e) ? std::numeric_limits<Extended>::infinity() : e;
}

}  // namespace

TGuardedRun::TGuardedRun(const TTuringEvaluator& program, std::vector<std::uint32_t> watch,
                         std::vector<TDecided> decided)
    : code_(program.Code().begin(), program.Code().begin() + (LastRun(program) + 1)),
      watch_(std::move(watch)),
      decided_(std::move(decided)) {
  if (watch_.empty()) watch_.assign(code_.size(), ~std::uint32_t{0});
  decided_.resize(code_.size(), TDecided::Open);
}

TGuardedResult TGuardedRun::Run(double x) const noexcept {
  return Run(std::span<const double>(&x, 1));
}

TGuardedResult TGuardedRun::Run(std::span<const double> inputs) const noexcept {
  double r[MaxRegisters] = {};
  Extended error[MaxRegisters] = {};  // the inputs and the zeros are exact
  std::copy_n(inputs.begin(), std::min<std::size_t>(inputs.size(), MaxInputs), r);
  bool condition = true;
  std::uint32_t all = GuardNone;
  for (std::size_t i = 0; i < code_.size(); ++i) {
    const TInstruction& in = code_[i];
    if (!condition) {
      if (!IsComparison(in.Op)) condition = true;
      continue;
    }
    const double o = in.Src == ConstantOperand ? in.Value : r[in.Src];
    double& d = r[in.Dest];
    const double before = d;
    std::uint32_t guards = GuardNone;
    if (IsComparison(in.Op)) {
      condition = in.Op == opIfGreater ? d > o : !(d > o);
    } else if (IsFunction(in.Op)) {
      arithmetic::ApplyFunction(in.Op, d, o, TGuardRecorder{&guards});
    } else {
      arithmetic::ApplyTwoOperand(in.Op, d, o, TGuardRecorder{&guards});
    }
    if (decided_[i] != TDecided::Open && condition != (decided_[i] == TDecided::Holds))
      all |= GuardComparison;
    all |= guards & watch_[i];
    // A result that failed leaves the register and its error; one the formula holds exactly
    // (folded, or not reaching the result) carries none.
    const bool written = (guards & ~GuardUnderflow) == 0 || in.Op == opSin || in.Op == opCos;
    if (IsComparison(in.Op) || !written) continue;
    const Extended operandError = in.Src == ConstantOperand ? 0 : error[in.Src];
    error[in.Dest] =
        watch_[i] == GuardNone ? 0 : Propagate(in.Op, before, error[in.Dest], o, operandError, d);
  }
  return {r[0], all, static_cast<double>(error[0] / HalfUlp)};
}

const char* GuardName(std::uint32_t guard) noexcept {
  switch (guard) {
    case GuardDivisionByZero:
      return "division by zero";
    case GuardPowerExponent:
      return "power with an exponent above 10";
    case GuardPowerDomain:
      return "power of a negative number or of zero";
    case GuardTrigLimit:
      return "trigonometric function of 2^63 or more";
    case GuardExpDomain:
      return "exponential outside [0, 1)";
    case GuardSqrtDomain:
      return "square root of a negative number";
    case GuardLnDomain:
      return "logarithm of zero or a negative number";
    case GuardOverflow:
      return "overflow";
    case GuardUnderflow:
      return "underflow";
    case GuardComparison:
      return "comparison that rounding decides otherwise";
    default:
      return "guard";
  }
}
