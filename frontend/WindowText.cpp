#include "frontend/WindowText.h"

#include <charconv>
#include <optional>

namespace {

std::optional<std::int32_t> ReadDecimal(std::string_view text) {
  // One sign at most: after "+" the digits must follow ("+-5" is no integer).
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

TSearchParameters ReadSearchParameters(std::string_view population, std::string_view instructions,
                                       std::string_view registers, std::int32_t marginPercent,
                                       bool progressive) {
  TSearchParameters parameters;
  const auto p = ReadDecimal(population);
  const auto i = ReadDecimal(instructions);
  const auto r = ReadDecimal(registers);
  if (p && i && r) {
    parameters.PopulationSize = *p;
    parameters.InstructionCount = *i;
    parameters.RegisterCount = *r;
  } else {
    parameters.PopulationSize = 100;
    parameters.InstructionCount = 5;
    parameters.RegisterCount = 1;
  }
  parameters.Margin = marginPercent / 100.0;
  parameters.Progressive = progressive;
  return parameters;
}

std::optional<std::uint32_t> ReadSeed(std::string_view text) {
  // Digits only: no sign, no blanks, so that what is typed is what seeds the search.
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string MarginHint(std::int32_t percent) {
  return std::to_string(percent) + "%";
}

std::string ErrorBoxText(std::string text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string UnreadableNote(std::int32_t unreadable, std::int32_t total, std::string_view rows,
                           std::string_view done) {
  if (unreadable <= 0) return {};
  return std::to_string(unreadable) + " of " + std::to_string(total) + " " + std::string(rows) +
         " could not be read and were " + std::string(done) + " as (0, 0).";
}
