#pragma once
// The 18 significant decimal digits of a double, rounded to nearest (ties to even), that
// every number text starts from.

#include <cstdint>

struct TDecimal {
  static constexpr int Count = 18;
  char Digits[Count];  // d1 .. d18 of 0.d1..d18 × 10^Exponent, d1 not 0
  int Exponent;
};

// For a finite magnitude above 0. Exact integer arithmetic for the magnitudes of everyday
// samples, the library's conversion for the rest; both give the same digits.
[[nodiscard]] TDecimal DecimalDigits(double magnitude) noexcept;

// The library's conversion alone, to check the quick one against.
[[nodiscard]] TDecimal LibraryDecimalDigits(double magnitude) noexcept;
