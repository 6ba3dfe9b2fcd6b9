#include "exchange/DecimalDigits.h"

#include <array>
#include <bit>
#include <charconv>

namespace {

constexpr std::uint64_t TenTo17 = 100000000000000000u;
constexpr std::uint64_t TenTo18 = 1000000000000000000u;

constexpr std::array<std::uint64_t, 20> PowersOfTen = [] {
  std::array<std::uint64_t, 20> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

// "00" to "99", so that digits go out two at a time.
constexpr std::array<char, 200> DigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

enum class TScaled { Digits, TooLarge, Unfit };

// mantissa × 2^binaryExponent × 10^shift rounded to an integer (to nearest, ties to even),
// when that integer is below 10^18 before rounding; Unfit when the product would not fit
// the 128-bit arithmetic.
TScaled ScaledDigits(std::uint64_t mantissa, int binaryExponent, int shift,
                     std::uint64_t& digits) noexcept {
  __extension__ using U128 = unsigned __int128;  // GCC and Clang have it on 64-bit targets
  // 10^shift × 2^53 stays below 2^128 for shifts up to 22.
  if (shift < 0 || shift > 22 || binaryExponent > 10 || binaryExponent <= -128) {
    return TScaled::Unfit;
  }
  const U128 scale =
      shift <= 19 ? U128{PowersOfTen[static_cast<std::size_t>(shift)]}
                  : U128{PowersOfTen[19]} * PowersOfTen[static_cast<std::size_t>(shift - 19)];
  const U128 product = U128{mantissa} * scale;
  if (binaryExponent >= 0) {
    const U128 whole = product << binaryExponent;
    if (whole >= TenTo18) return TScaled::TooLarge;
    digits = static_cast<std::uint64_t>(whole);
    return TScaled::Digits;
  }
  const int drop = -binaryExponent;
  const U128 whole = product >> drop;
  if (whole >= TenTo18) return TScaled::TooLarge;
  const U128 rest = product & ((U128{1} << drop) - 1);
  const U128 half = U128{1} << (drop - 1);
  digits = static_cast<std::uint64_t>(whole);
  if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
  return TScaled::Digits;
}

}  // namespace

std::uint64_t PowerOfTen(int n) noexcept {
  return PowersOfTen[static_cast<std::size_t>(n)];
}

char* WriteFixedWidth(char* out, std::uint64_t value, int count) noexcept {
  char* const end = out + count;
  char* digit = end;
  for (; count >= 2; count -= 2) {
    const auto pair = static_cast<std::size_t>(value % 100);
    value /= 100;
    *--digit = DigitPairs[2 * pair + 1];
    *--digit = DigitPairs[2 * pair];
  }
  if (count == 1) *--digit = static_cast<char>('0' + value % 10);
  return end;
}

void WriteDigits(const TDecimal& decimal, char* out) noexcept {
  WriteFixedWidth(out, decimal.Digits, TDecimal::Count);
}

TDecimal LibraryDecimalDigits(double magnitude) noexcept {
  // "d.ddddddddddddddddde+XXX": to_chars rounds these 18 digits correctly.
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific, TDecimal::Count - 1);
  TDecimal decimal{};
  decimal.Digits = static_cast<std::uint64_t>(buffer[0] - '0');
  for (int i = 1; i < TDecimal::Count; ++i)
    decimal.Digits = decimal.Digits * 10 + static_cast<std::uint64_t>(buffer[i + 1] - '0');
  int exponent = 0;
  const char* exponentText = buffer + TDecimal::Count + 2;
  std::from_chars(exponentText + (*exponentText == '+'), result.ptr, exponent);
  decimal.Exponent = exponent + 1;
  return decimal;
}

TDecimal DecimalDigits(double magnitude) noexcept {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  if (biased == 0 || biased >= 0x7ff) return LibraryDecimalDigits(magnitude);  // subnormal
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int binaryExponent = biased - 1075;
  // 10^lead <= magnitude < 10^(lead + 2), from the binary exponent alone.
  // floor(b × log10 2) as 78913 / 2^18 gives it for every binary exponent of a double.
  const int lead = ((binaryExponent + 52) * 78913) >> 18;
  int exponent = lead + 1;
  std::uint64_t digits = 0;
  TScaled scaled = ScaledDigits(mantissa, binaryExponent, TDecimal::Count - exponent, digits);
  if (scaled == TScaled::TooLarge) {
    ++exponent;
    scaled = ScaledDigits(mantissa, binaryExponent, TDecimal::Count - exponent, digits);
  }
  if (scaled == TScaled::Digits && digits >= TenTo17) {
    TDecimal decimal{};
    decimal.Exponent = exponent;
    if (digits == TenTo18) {  // rounded up to a power of ten
      digits = TenTo17;
      ++decimal.Exponent;
    }
    decimal.Digits = digits;
    return decimal;
  }
  return LibraryDecimalDigits(magnitude);
}
