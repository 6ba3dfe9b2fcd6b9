#include "exchange/SampleValue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

#include "exchange/DecimalDigits.h"
#include "core/model/DecimalSeparator.h"

namespace {

// Writes the text at out and returns its end.
char* WriteZero(char* out, int decimals) noexcept {
  *out++ = '0';
  *out++ = DecimalSeparator();
  for (int i = 0; i < decimals; ++i)
    *out++ = '0';
  return out;
}

char* WriteText(char* out, const char* text) noexcept {
  while (*text != '\0')
    *out++ = *text++;
  return out;
}

// The first count of the 18 digits, half up on the next one; a carry out of the first digit
// leaves "1" one place higher. Kept is 0 when the value rounds to nothing.
struct TRounded {
  std::uint64_t Kept = 0;
  int Count = 0;
  int Exponent = 0;
  bool Lossy = true;  // the text moves the value by more than 1e-5 of its magnitude
};

constexpr std::uint64_t LossySlack = 1000;

TRounded Round(const TDecimal& decimal, int count) noexcept {
  if (count < 0) return {};
  TRounded rounded{decimal.Digits / PowerOfTen(TDecimal::Count - count), count, decimal.Exponent};
  if (decimal.Digits / PowerOfTen(TDecimal::Count - 1 - count) % 10 >= 5) ++rounded.Kept;
  // Both below 10^18 in units of the last of the 18 digits; a carry gives 10^18 exactly.
  const std::uint64_t text = rounded.Kept * PowerOfTen(TDecimal::Count - count);
  const std::uint64_t change =
      text > decimal.Digits ? text - decimal.Digits : decimal.Digits - text;
  // The 18 digits and the double read back from the text each stand a few units off the value;
  // a change within a thousand units of the limit counts as too far, so the text never moves a
  // value by more than 1e-5 of it.
  rounded.Lossy = change + LossySlack > decimal.Digits / 100000;
  if (rounded.Kept == PowerOfTen(count)) {
    rounded.Kept = 1;
    rounded.Count = 1;
    ++rounded.Exponent;
  }
  return rounded;
}

// The sample text's rounding: 8 decimals, at most 16 digits.
constexpr int SampleDecimals = 8;
constexpr int SampleDigits = 16;
// A small value in the grid: enough digits to tell values apart at a glance, few enough
// for a column of ordinary width; the file keeps every digit.
constexpr int GridSmallDigits = 7;

TRounded SampleRounding(const TDecimal& decimal) noexcept {
  return Round(decimal, std::min(decimal.Exponent + SampleDecimals, SampleDigits));
}

// The digits of a mantissa as "d", "d.ddd", then "E" and the exponent without sign or zeros.
char* WriteScientific(char* out, const char* digits, int count, int exponent) noexcept {
  *out++ = digits[0];
  if (count > 1) {
    *out++ = DecimalSeparator();
    out = std::copy(digits + 1, digits + count, out);
  }
  *out++ = 'E';
  return std::to_chars(out, out + 8, exponent).ptr;
}

// The fewest digits that read back to the same double.
char* WriteShortest(char* out, double value) noexcept {
  char text[32];  // "d.dddddddddddddddde-308"
  const char* const end =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific).ptr;
  const char* const mark = std::find(static_cast<const char*>(text), end, 'e');
  char digits[TDecimal::Count];
  int count = 0;
  for (const char* c = text; c != mark; ++c) {
    if (*c != '.') digits[count++] = *c;
  }
  int exponent = 0;
  std::from_chars(mark + 1 + (mark[1] == '+'), end, exponent);
  if (value < 0) *out++ = '-';
  return WriteScientific(out, digits, count, exponent);
}

char* WriteRoundedScientific(char* out, bool negative, TRounded rounded) noexcept {
  while (rounded.Kept % 10 == 0) {
    rounded.Kept /= 10;
    --rounded.Count;
  }
  char digits[TDecimal::Count];
  WriteFixedWidth(digits, rounded.Kept, rounded.Count);
  if (negative) *out++ = '-';
  return WriteScientific(out, digits, rounded.Count, rounded.Exponent - 1);
}

// Fixed: kept × 10^(exponent - count), as the integer part and exactly `decimals` digits.
char* WriteFixed(char* out, bool negative, TRounded rounded, int decimals) noexcept {
  if (negative) *out++ = '-';
  int fraction = rounded.Count - rounded.Exponent;
  if (fraction < 0) {
    rounded.Kept *= PowerOfTen(-fraction);
    fraction = 0;
  }
  const std::uint64_t unit = PowerOfTen(fraction);
  out = std::to_chars(out, out + 20, rounded.Kept / unit).ptr;
  *out++ = DecimalSeparator();
  out = WriteFixedWidth(out, rounded.Kept % unit, fraction);
  return std::fill_n(out, decimals - fraction, '0');
}

enum class TValueText { Sample, Grid };

char* WriteValue(char* out, double value, TValueText kind) noexcept {
  const bool sample = kind == TValueText::Sample;
  const int decimals = sample ? SampleDecimals : 6;
  const int maxDigits = sample ? SampleDigits : 15;
  if (value == 0) {
    // A file keeps the sign of a zero, which 1/x and atan2 tell apart.
    if (sample && std::signbit(value)) *out++ = '-';
    return WriteZero(out, decimals);
  }
  if (std::isnan(value)) return WriteText(out, "NAN");
  if (std::isinf(value)) return WriteText(out, value < 0 ? "-INF" : "INF");

  const TDecimal decimal = DecimalDigits(std::fabs(value));
  const TRounded rounded =
      sample ? SampleRounding(decimal) : Round(decimal, std::min(decimal.Exponent + 6, 15));
  const bool lossy = sample ? rounded.Lossy : SampleRounding(decimal).Lossy;
  if (lossy || rounded.Kept == 0) {
    // A small value: a file keeps the value itself; the grid shows a few significant digits,
    // never a zero for a value that is none.
    if (sample) return WriteShortest(out, value);
    return WriteRoundedScientific(out, value < 0, Round(decimal, GridSmallDigits));
  }
  if (rounded.Exponent > maxDigits) return WriteRoundedScientific(out, value < 0, rounded);
  return WriteFixed(out, value < 0, rounded, decimals);
}

std::string FormatValue(double value, TValueText kind) {
  char buffer[MaxValueText];
  return std::string(buffer, WriteValue(buffer, value, kind));
}

// Beyond this many significant digits the rest only matters as "not zero": no
// rounding boundary between doubles needs more than 767 digits.
constexpr std::size_t KeptDigits = 800;

constexpr int ExponentDigitCap = 500;

class TValueReader {
 public:
  explicit TValueReader(std::string_view text) noexcept : text_(text) {}

  std::optional<double> Read() {
    SkipBlanks();
    const bool negative = At('-');
    if (negative || At('+')) ++pos_;
    if (!ReadMantissa()) return std::nullopt;
    cutShort_ = size_ == 0 && !zeros_;
    if (At('E') || At('e')) {
      ++pos_;
      if (!ReadExponent()) return std::nullopt;
    }
    SkipBlanks();
    if (pos_ != text_.size()) return std::nullopt;
    const std::optional<double> magnitude = Convert();
    if (!magnitude) return std::nullopt;
    return negative ? -*magnitude : *magnitude;
  }

  // After Read: the text lacked a digit the CSV reader requires.
  [[nodiscard]] bool CutShort() const noexcept { return cutShort_; }

 private:
  bool At(char c) const noexcept { return pos_ < text_.size() && text_[pos_] == c; }
  bool AtDigit() const noexcept {
    return pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9';
  }
  void SkipBlanks() noexcept {
    while (At(' '))
      ++pos_;
  }

  void AddDigit(char digit, bool fraction) {
    if (fraction) --scale_;
    if (size_ == 0 && digit == '0') {
      zeros_ = true;
      return;
    }
    if (size_ < KeptDigits) {
      digits_[size_++] = digit;
      if (digit != '0') significant_ = size_;
    } else {
      ++scale_;
      if (digit != '0') sticky_ = true;
    }
  }

  bool ReadMantissa() {
    const std::size_t start = pos_;
    while (AtDigit())
      AddDigit(text_[pos_++], false);
    if (At(DecimalSeparator())) {
      ++pos_;
      while (AtDigit())
        AddDigit(text_[pos_++], true);
    }
    return pos_ != start;
  }

  bool ReadExponent() {
    const bool negative = At('-');
    if (negative || At('+')) ++pos_;
    if (!AtDigit()) cutShort_ = true;
    int exponent = 0;
    while (AtDigit() && exponent < ExponentDigitCap)
      exponent = exponent * 10 + (text_[pos_++] - '0');
    if (AtDigit()) return false;
    scale_ += negative ? -exponent : exponent;
    return true;
  }

  // digits_[0..significant_) × 10^(scale_ + trailing zeros), to the nearest double.
  // Writes the normalized text into digits_ itself: no allocation per number.
  std::optional<double> Convert() {
    if (significant_ == 0) return 0.0;
    // A dropped non-zero digit stands behind every kept digit, zeros included.
    std::size_t length = sticky_ ? size_ : significant_;
    std::int64_t scale = scale_ + static_cast<std::int64_t>(size_ - length);
    if (sticky_) {
      digits_[length++] = '1';
      --scale;
    }
    // Where the leading digit sits: 10^lead <= value < 10^(lead + 1).
    const std::int64_t lead = scale + static_cast<std::int64_t>(length) - 1;
    if (lead > 309) return std::nullopt;
    if (lead < -400) return 0.0;
    char* const end = digits_.data() + length;
    *end = 'e';
    const auto exponent = std::to_chars(end + 1, digits_.data() + digits_.size(), scale);
    double value = 0;
    const auto result = std::from_chars(digits_.data(), exponent.ptr, value);
    if (result.ec == std::errc::result_out_of_range) {
      // from_chars leaves the value untouched both ways; the leading digit tells which.
      if (lead >= 0) return std::nullopt;
      return 0.0;
    }
    return value;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  // Significant digits kept, leading zeros dropped; room for a sticky digit and exponent.
  std::array<char, KeptDigits + 32> digits_;
  std::size_t size_ = 0;
  std::size_t significant_ = 0;  // digits_ up to its last non-zero digit
  std::int64_t scale_ = 0;       // power of ten of the last digit in digits_
  bool sticky_ = false;          // a non-zero digit was dropped past KeptDigits
  bool zeros_ = false;           // leading zeros were read, which digits_ does not keep
  bool cutShort_ = false;        // a mantissa or an exponent without a digit
};

constexpr std::array<double, 23> ExactPowersOfTen = [] {
  std::array<double, 23> powers{};
  double power = 1;
  for (double& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

// Plain digits with at most one separator, the form sample files hold, read with one call
// of the library's correctly rounded reader; false when the text needs the full reader.
// Both round to the nearest double, so the value is the same either way.
bool ReadPlain(std::string_view text, double& value) noexcept {
  constexpr std::size_t MaxPlain = 40;  // no such text can overflow or underflow a double
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  const char separator = DecimalSeparator();
  if (separator != '.' && separator != ',') return false;  // a sign or digit as separator
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || text.size() > MaxPlain) return false;
  char buffer[MaxPlain];
  bool digit = false;
  bool point = false;
  std::uint64_t mantissa = 0;  // the digits as an integer while they fit 19 digits
  int kept = 0;
  int fractionDigits = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
      buffer[i] = c;
      if (kept < 19) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        kept += mantissa != 0 ? 1 : 0;
        fractionDigits += point ? 1 : 0;
      } else {
        kept = 20;  // too many digits for the quick division
      }
    } else if (c == separator && !point) {
      point = true;
      buffer[i] = '.';
    } else if (c == '-' && i == 0 && !plus) {
      buffer[i] = c;
    } else {
      return false;
    }
  }
  if (!digit) return false;
  // An integer below 2^53 and a power of ten up to 10^22 are exact doubles, so one
  // division rounds correctly (Clinger's fast path).
  if (kept <= 19 && mantissa <= (std::uint64_t{1} << 53) && fractionDigits <= 22) {
    value =
        static_cast<double>(mantissa) / ExactPowersOfTen[static_cast<std::size_t>(fractionDigits)];
    if (text.front() == '-') value = -value;
    return true;
  }
  const auto [end, error] = std::from_chars(buffer, buffer + text.size(), value);
  return error == std::errc{} && end == buffer + text.size();
}

}  // namespace

std::string FormatSampleValue(double value) {
  return FormatValue(value, TValueText::Sample);
}

char* WriteSampleValue(char* out, double value) noexcept {
  return WriteValue(out, value, TValueText::Sample);
}

std::string FormatGridValue(double value) {
  return FormatValue(value, TValueText::Grid);
}

std::optional<double> ParseSampleValue(std::string_view text) {
  if (double value = 0; ReadPlain(text, value)) return value;
  return TValueReader(text).Read();
}

TSampleValueRead ReadSampleValue(std::string_view text) {
  // Plain text always has a digit and no exponent.
  if (double value = 0; ReadPlain(text, value)) return {value, false};
  TValueReader reader(text);
  const std::optional<double> value = reader.Read();
  return {value, value.has_value() && reader.CutShort()};
}

std::optional<double> ParseWholeSampleValue(std::string_view text) {
  const TSampleValueRead read = ReadSampleValue(text);
  if (read.CutShort) return std::nullopt;
  return read.Value;
}
