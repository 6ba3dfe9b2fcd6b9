#include "exchange/DecimalDigits.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/model/Random.h"

namespace {

std::string Text(const TDecimal& decimal) {
  char digits[TDecimal::Count];
  WriteDigits(decimal, digits);
  return std::string(digits, TDecimal::Count) + "e" + std::to_string(decimal.Exponent);
}

void ExpectLibraryDigits(double magnitude) {
  ASSERT_EQ(Text(LibraryDecimalDigits(magnitude)), Text(DecimalDigits(magnitude)))
      << std::hexfloat << magnitude;
}

}  // namespace

TEST(DecimalDigits, KnownValues) {
  EXPECT_EQ("100000000000000000e1", Text(DecimalDigits(1)));
  EXPECT_EQ("100000000000000006e0", Text(DecimalDigits(0.1)));
  EXPECT_EQ("299999999999999989e0", Text(DecimalDigits(0.3)));
  EXPECT_EQ("745058059692382812e-8", Text(DecimalDigits(0x1p-27))) << "a tie goes to even";
  EXPECT_EQ("100000000000000000e17", Text(DecimalDigits(1e16)));
}

// The quick conversion agrees with the library's on every binade, at powers of ten and
// their neighbours, on exact ties, and on random bit patterns.
TEST(DecimalDigits, SameDigitsAsTheLibrary) {
  for (int e = -1074; e <= 1023; ++e) {
    const double power = std::ldexp(1.0, e);
    ExpectLibraryDigits(power);
    ExpectLibraryDigits(std::nextafter(power, 0.0));
    ExpectLibraryDigits(std::nextafter(power, HUGE_VAL));
  }
  for (int e = -30; e <= 30; ++e) {
    const double power = std::pow(10.0, e);
    ExpectLibraryDigits(power);
    ExpectLibraryDigits(std::nextafter(power, 0.0));
    ExpectLibraryDigits(std::nextafter(power, HUGE_VAL));
  }
  // Odd multiples of small powers of two end in a 5 in their 19th digit and beyond.
  for (std::uint64_t odd = 1; odd < 4000; odd += 2) {
    for (int e = -70; e <= -20; ++e)
      ExpectLibraryDigits(std::ldexp(static_cast<double>(odd), e));
  }
  TRandomStream random(2718);
  for (int n = 0; n < 300000; ++n) {
    const std::uint64_t bits =
        (std::uint64_t{static_cast<std::uint32_t>(random.Int(0x7fe) + 1)} << 52) |
        (std::uint64_t(static_cast<std::uint32_t>(random.Int(1 << 26))) << 26) |
        static_cast<std::uint32_t>(random.Int(1 << 26));
    ExpectLibraryDigits(std::bit_cast<double>(bits));
    // And the magnitudes of everyday samples, where the quick road is taken.
    ExpectLibraryDigits(std::ldexp(1.0 + random.Real(), random.Int(80) - 20));
  }
}
