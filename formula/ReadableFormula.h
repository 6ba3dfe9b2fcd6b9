#pragma once
// A formula made for reading: what does not depend on x is folded into one number
// (3.81e-06*sqrt(575314314590265) becomes 0.0913854) and every number written as a decimal
// is rounded to a few significant digits. Small integers and fractions stay exact.
//
// Uses GiNaC: call from one thread at a time.

#include <ginac/ginac.h>

// Significant digits of the numbers in a formula shown to the user.
inline constexpr int ShownDigits = 6;

// The nearest double to value written with at most digits significant digits.
[[nodiscard]] double RoundToDigits(double value, int digits) noexcept;

// The expression with its constant parts folded and its numbers rounded.
[[nodiscard]] GiNaC::ex Readable(const GiNaC::ex& e, int digits = ShownDigits);
