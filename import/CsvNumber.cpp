#include "import/CsvNumber.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

namespace {

[[nodiscard]] bool IsDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

[[nodiscard]] std::string_view Trim(std::string_view text) noexcept {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Where the value's leading digit sits, roughly: only its sign is used, to tell a value
// too small for a double from one too large.
struct TShape {
  bool Valid = false;
  std::int64_t Magnitude = 0;
};

TShape CheckShape(std::string_view text, char separator) noexcept {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::int64_t integerDigits = 0;  // significant digits before the separator
  std::int64_t leadingZeros = 0;   // zeros after the separator before the first other digit
  bool digits = false;
  bool significant = false;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    digits = true;
    significant = significant || text[i] != '0';
    if (significant) ++integerDigits;
  }
  if (i < text.size() && text[i] == separator) {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      digits = true;
      if (!significant && text[i] == '0') ++leadingZeros;
      significant = significant || text[i] != '0';
    }
  }
  if (!digits) return {};
  std::int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i >= text.size() || !IsDigit(text[i])) return {};
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  if (i != text.size()) return {};
  return {true, (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent};
}

}  // namespace

std::optional<double> ParseCsvNumber(std::string_view cell, char decimalSeparator) {
  std::string_view text = Trim(cell);
  const TShape shape = CheckShape(text, decimalSeparator);
  if (!shape.Valid) return std::nullopt;
  // from_chars reads "." and no "+"; it rounds correctly.
  const bool negative = text.front() == '-';
  if (text.front() == '+' || negative) text.remove_prefix(1);
  // A cell of another separator is read from a copy with "."; short ones stay on the stack.
  char buffer[64];
  std::string longCopy;
  if (decimalSeparator != '.') {
    char* copy = buffer;
    if (text.size() > sizeof buffer) {
      longCopy.resize(text.size());
      copy = longCopy.data();
    }
    for (std::size_t i = 0; i < text.size(); ++i)
      copy[i] = text[i] == decimalSeparator ? '.' : text[i];
    text = std::string_view(copy, text.size());
  }
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (shape.Magnitude > 0) return std::nullopt;
    value = 0;
  } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}
