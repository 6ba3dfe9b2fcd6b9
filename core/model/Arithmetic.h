#pragma once
// The interpreter's arithmetic, shared by the reference interpreter (TTuringEvaluator), the
// fast one (TFastScorer) and the formula's guarded run: every operation is evaluated in
// extended precision and rounded once to a double when it is stored; a result that is
// infinite or NaN as a double is a failed instruction and leaves the register unchanged.
//
// Each operation tells a sink which guard acted (TGuard). The interpreters' sink, TNoGuards,
// hears nothing and compiles away; a sink with Watching set also hears of underflow.

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "core/model/Guard.h"
#include "core/model/TE.h"

namespace arithmetic {

using Extended = long double;

// 2^63: beyond it the trigonometric functions have no meaningful argument reduction.
inline constexpr Extended TrigLimit = 9223372036854775808.0L;

struct TNoGuards {
  static constexpr bool Watching = false;
  constexpr void operator()(std::uint32_t /*guard*/) const noexcept {}
};

template <typename Sink = TNoGuards>
inline void Store(double& reg, Extended value, const Sink& sink = Sink{}) noexcept {
  const double rounded = static_cast<double>(value);
  if (std::isfinite(rounded)) {
    if constexpr (Sink::Watching) {
      if (value != 0 && std::fabs(rounded) < DBL_MIN) sink(GuardUnderflow);
    }
    reg = rounded;
  } else if constexpr (Sink::Watching) {
    sink(GuardOverflow);
  }
}

// Base to an integral power by repeated squaring, in extended precision.
inline Extended IntegerPower(Extended base, std::uint32_t n) noexcept {
  Extended result = 1;
  while (n > 0) {
    if (n & 1u) result *= base;
    n >>= 1;
    if (n > 0) base *= base;
  }
  return result;
}

// reg to the power exponent; the caller has checked exponent <= 10.
template <typename Sink = TNoGuards>
inline void Power(double& reg, double exponent, const Sink& sink = Sink{}) noexcept {
  const double base = reg;
  if (exponent == 0) {
    reg = 1;
    return;
  }
  if (base == 0 && exponent > 0) {
    reg = 0;
    return;
  }
  if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0) {
    const Extended power = IntegerPower(base, static_cast<std::uint32_t>(std::fabs(exponent)));
    if (exponent > 0) {
      Store(reg, power, sink);
    } else if (power != 0 && std::isfinite(power)) {
      Store(reg, 1 / power, sink);
    } else if constexpr (Sink::Watching) {
      sink(power == 0 ? GuardPowerDomain : GuardOverflow);
    }
    return;
  }
  if (base <= 0) {  // the logarithm of a base that is not positive fails
    if constexpr (Sink::Watching) sink(GuardPowerDomain);
    return;
  }
  Store(reg, std::exp(static_cast<Extended>(exponent) * std::log(static_cast<Extended>(base))),
        sink);
}

// The two-operand opcodes (opAdd .. opPow) on reg, their operand tests included.
template <typename Sink = TNoGuards>
inline void ApplyTwoOperand(std::uint8_t op, double& reg, double operand,
                            const Sink& sink = Sink{}) noexcept {
  switch (op) {
    case opAdd:
      Store(reg, static_cast<Extended>(reg) + operand, sink);
      break;
    case opSub:
      Store(reg, static_cast<Extended>(reg) - operand, sink);
      break;
    case opMul:
      Store(reg, static_cast<Extended>(reg) * operand, sink);
      break;
    case opDiv:
      if (operand != 0) {
        Store(reg, static_cast<Extended>(reg) / operand, sink);
      } else if constexpr (Sink::Watching) {
        sink(GuardDivisionByZero);
      }
      break;
    case opPow:
      if (operand <= 10) {
        Power(reg, operand, sink);
      } else if constexpr (Sink::Watching) {
        sink(GuardPowerExponent);
      }
      break;
    default:
      break;
  }
}

// The one-operand functions, their operand tests included. A sine or cosine of 2^63 or more
// is 0; the others leave the register.
template <typename Sink = TNoGuards>
inline void Sine(double& reg, double operand, const Sink& sink = Sink{}) noexcept {
  if constexpr (Sink::Watching) {
    if (std::fabs(operand) >= TrigLimit) sink(GuardTrigLimit);
  }
  reg = std::fabs(operand) >= TrigLimit ? 0.0 : static_cast<double>(std::sin(Extended{operand}));
}

template <typename Sink = TNoGuards>
inline void Cosine(double& reg, double operand, const Sink& sink = Sink{}) noexcept {
  if constexpr (Sink::Watching) {
    if (std::fabs(operand) >= TrigLimit) sink(GuardTrigLimit);
  }
  reg = std::fabs(operand) >= TrigLimit ? 0.0 : static_cast<double>(std::cos(Extended{operand}));
}

template <typename Sink = TNoGuards>
inline void Tangent(double& reg, double operand, const Sink& sink = Sink{}) noexcept {
  if (std::fabs(operand) < TrigLimit) {
    Store(reg, std::tan(Extended{operand}), sink);
  } else if constexpr (Sink::Watching) {
    sink(GuardTrigLimit);
  }
}

template <typename Sink = TNoGuards>
inline void Exponential(double& reg, double operand, const Sink& sink = Sink{}) noexcept {
  if (operand >= 0 && operand < 1) {
    Store(reg, std::exp(Extended{operand}), sink);
  } else if constexpr (Sink::Watching) {
    sink(GuardExpDomain);
  }
}

template <typename Sink = TNoGuards>
inline void SquareRoot(double& reg, double operand, const Sink& sink = Sink{}) noexcept {
  if (operand >= 0) {
    Store(reg, std::sqrt(Extended{operand}), sink);
  } else if constexpr (Sink::Watching) {
    sink(GuardSqrtDomain);
  }
}

template <typename Sink = TNoGuards>
inline void Logarithm(double& reg, double operand, const Sink& sink = Sink{}) noexcept {
  if (operand > 0) {
    Store(reg, std::log(Extended{operand}), sink);
  } else if constexpr (Sink::Watching) {
    sink(GuardLnDomain);
  }
}

// The one-operand opcodes (opSin .. opLn) on reg.
template <typename Sink = TNoGuards>
inline void ApplyFunction(std::uint8_t op, double& reg, double operand,
                          const Sink& sink = Sink{}) noexcept {
  switch (op) {
    case opSin:
      Sine(reg, operand, sink);
      break;
    case opCos:
      Cosine(reg, operand, sink);
      break;
    case opTan:
      Tangent(reg, operand, sink);
      break;
    case opExp:
      Exponential(reg, operand, sink);
      break;
    case opSqrt:
      SquareRoot(reg, operand, sink);
      break;
    case opLn:
      Logarithm(reg, operand, sink);
      break;
    default:
      break;
  }
}

}  // namespace arithmetic
