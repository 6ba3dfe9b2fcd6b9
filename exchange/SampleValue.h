#pragma once
// The number text of samples: what sample files, clipboard data and the grid write,
// and what they read back. Both directions use the process-wide decimal separator
// at the moment they run.

#include <optional>
#include <string>
#include <string_view>

// Fixed notation with 8 decimals and at most 16 significant digits, rounded half up, with
// the sign of a negative zero;
// scientific ("1.5E20") from 10^16 up. A value that the fixed text would move by more than
// 1e-5 of its magnitude (2.5E-8, 1.234567E-5) is written scientific with the fewest digits
// that read back to the same double, so that no sample is lost to the rounding. Values from
// 0.0005 up are always written fixed, so that a file of ordinary data is the same text
// whichever build wrote it.
// Infinities and NaN, which no sample text produces, are written "INF", "-INF", "NAN".
[[nodiscard]] std::string FormatSampleValue(double value);

// The longest number text: sign, 16 digits, separator and 8 decimals.
inline constexpr std::size_t MaxValueText = 32;
// FormatSampleValue written at out, which has room for MaxValueText; returns the text's end.
char* WriteSampleValue(char* out, double value) noexcept;

// The grid's number text: the same rules with 6 decimals and 15 significant digits; the
// values the sample text writes scientific, and those 6 decimals would show as zero, are
// shown scientific with at most 7 significant digits (1.234568E-5), so that they fit a
// column as wide as the fixed texts.
[[nodiscard]] std::string FormatGridValue(double value);

// Reads the whole text as one number: blanks (code 32 only) around an optional sign,
// digits with the decimal separator, an optional exponent. The nearest double, or
// nothing when the text does not read or the value is too large for a double; a value
// too small becomes 0 or a subnormal.
[[nodiscard]] std::optional<double> ParseSampleValue(std::string_view text);

// ParseSampleValue's reading, and whether the text was cut short of digits the CSV reader
// requires: a mantissa without a digit (".", "-.") or an exponent without one ("2.5e",
// "1e+"), read as if the missing digits were 0.
struct TSampleValueRead {
  std::optional<double> Value;
  bool CutShort = false;
};
[[nodiscard]] TSampleValueRead ReadSampleValue(std::string_view text);

// The value only when the text is not cut short: what the CSV reader would read too.
[[nodiscard]] std::optional<double> ParseWholeSampleValue(std::string_view text);
