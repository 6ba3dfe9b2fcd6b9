#pragma once
// TGuard: why an instruction of the interpreter did not do what plain arithmetic says, one
// bit per kind, for whoever watches the arithmetic (the formula's check).

#include <cstdint>

enum TGuard : std::uint32_t {
  GuardNone = 0,
  GuardDivisionByZero = 1u << 0,
  GuardPowerExponent = 1u << 1,  // exponent above 10
  GuardPowerDomain = 1u << 2,    // negative base, non-integral exponent; zero to a negative power
  GuardTrigLimit = 1u << 3,      // sine, cosine or tangent of 2^63 or more
  GuardExpDomain = 1u << 4,      // exponential outside [0, 1)
  GuardSqrtDomain = 1u << 5,     // square root of a negative number
  GuardLnDomain = 1u << 6,       // logarithm of zero or a negative number
  GuardOverflow = 1u << 7,       // a result beyond the largest double
  GuardUnderflow = 1u << 8,      // no guard, but a result below the normal doubles loses digits
};
inline constexpr int ArithmeticGuardCount = 9;
