#pragma once
// The interpreter's arithmetic, shared by the reference interpreter (TTuringEvaluator) and
// the fast one (TFastScorer): every operation is evaluated in extended precision and
// rounded once to a double when it is stored; a result that is infinite or NaN as a
// double is a failed instruction and leaves the register unchanged.

#include <cmath>
#include <cstdint>

#include "TE.h"

namespace arithmetic {

using Extended = long double;

// 2^63: beyond it the trigonometric functions have no meaningful argument reduction.
inline constexpr Extended TrigLimit = 9223372036854775808.0L;

inline void Store(double& reg, Extended value) noexcept {
  const double rounded = static_cast<double>(value);
  if (std::isfinite(rounded)) reg = rounded;
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
inline void Power(double& reg, double exponent) noexcept {
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
      Store(reg, power);
    } else if (power != 0 && std::isfinite(power)) {
      Store(reg, 1 / power);
    }
    return;
  }
  if (base <= 0) return;  // the logarithm of a base that is not positive fails
  Store(reg, std::exp(static_cast<Extended>(exponent) * std::log(static_cast<Extended>(base))));
}

// The two-operand opcodes (opAdd .. opPow) on reg, their operand tests included.
inline void ApplyTwoOperand(std::uint8_t op, double& reg, double operand) noexcept {
  switch (op) {
    case opAdd:
      Store(reg, static_cast<Extended>(reg) + operand);
      break;
    case opSub:
      Store(reg, static_cast<Extended>(reg) - operand);
      break;
    case opMul:
      Store(reg, static_cast<Extended>(reg) * operand);
      break;
    case opDiv:
      if (operand != 0) Store(reg, static_cast<Extended>(reg) / operand);
      break;
    case opPow:
      if (operand <= 10) Power(reg, operand);
      break;
    default:
      break;
  }
}

}  // namespace arithmetic
