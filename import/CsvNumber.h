#pragma once
// The numbers of imported cells, read strictly: blanks around an optional sign, digits with
// at most one decimal separator (the one chosen for the file), an optional exponent with
// digits. No digit grouping, no "inf" or "nan", no hexadecimal, nothing else in the cell.

#include <optional>
#include <string_view>

// The nearest double, or nothing when the cell is not such a number or its value is too
// large for a double; a value too small becomes 0 or a subnormal.
[[nodiscard]] std::optional<double> ParseCsvNumber(std::string_view cell, char decimalSeparator);
