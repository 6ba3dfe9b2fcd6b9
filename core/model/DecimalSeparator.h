#pragma once
// The user's decimal separator: one process-wide setting that every number text
// reads at the moment it is made or parsed. The window follows the system locale,
// the headless tool LC_NUMERIC.

#include <string_view>

[[nodiscard]] char DecimalSeparator() noexcept;

// The first character of the symbol (",." gives ","); "." when the symbol is empty or
// its first character takes more than one byte (U+066B in UTF-8).
void SetDecimalSeparator(std::string_view separator) noexcept;
