#pragma once
// The user's decimal separator: one process-wide setting that every number text
// reads at the moment it is made or parsed. The window follows the system locale,
// the headless tool LC_NUMERIC.

#include <string_view>

[[nodiscard]] char DecimalSeparator() noexcept;

// Anything but a single byte falls back to ".".
void SetDecimalSeparator(std::string_view separator) noexcept;
