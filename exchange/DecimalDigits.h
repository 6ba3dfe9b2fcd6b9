#pragma once
// The 18 significant decimal digits of a double, rounded to nearest (ties to even), that
// every number text starts from.

#include <cstdint>

struct TDecimal {
  static constexpr int Count = 18;
  std::uint64_t Digits;  // d1..d18 as an integer, 10^17 <= Digits < 10^18
  int Exponent;          // the value is 0.d1..d18 × 10^Exponent
};

// The powers of ten that fit 64 bits, 10^0 to 10^19.
[[nodiscard]] std::uint64_t PowerOfTen(int n) noexcept;

// The last count digits of value, with leading zeros, at out; returns their end.
char* WriteFixedWidth(char* out, std::uint64_t value, int count) noexcept;

// The 18 digits as characters.
void WriteDigits(const TDecimal& decimal, char* out) noexcept;

// For a finite magnitude above 0. Exact integer arithmetic for the magnitudes of everyday
// samples, the library's conversion for the rest; both give the same digits.
[[nodiscard]] TDecimal DecimalDigits(double magnitude) noexcept;

// The library's conversion alone, to check the quick one against.
[[nodiscard]] TDecimal LibraryDecimalDigits(double magnitude) noexcept;
