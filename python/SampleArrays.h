#pragma once
// A sample set from the arrays a Python caller hands over: X as rows of inputs, y beside
// it. Whatever a search cannot take is refused with a sentence for the caller, before a
// set exists.

#include <cstdint>

#include "core/model/SD.h"

// The inputs a set takes in this build.
inline constexpr std::int64_t MaxArrayInputs = 1;

// x: rows × columns doubles, row after row; y: yRows doubles. Throws std::invalid_argument
// for no rows, rows of X and y that differ in number, a column count outside 1 ..
// MaxArrayInputs, and NaN or infinite values (naming the first one's row and column).
[[nodiscard]] TSampleData SamplesOf(const double* x, std::int64_t rows, std::int64_t columns,
                                    const double* y, std::int64_t yRows);

// The same checks for X alone, as predictions take it.
void CheckInputs(const double* x, std::int64_t rows, std::int64_t columns);
