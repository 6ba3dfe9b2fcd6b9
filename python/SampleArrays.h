#pragma once
// A sample set from the arrays a Python caller hands over: X as rows of inputs, y beside
// it, and the columns' names where the caller has them. Whatever a search cannot take is
// refused with a sentence for the caller, before a set exists.

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/InputLimit.h"
#include "core/model/SD.h"

inline constexpr std::int64_t MaxArrayInputs = MaxInputs;

// x: rows × columns doubles, row after row; y: yRows doubles; names: the inputs' then y's,
// or none. Throws std::invalid_argument for no rows, rows of X and y that differ in number,
// a column count outside 1 .. MaxArrayInputs, NaN or infinite values (naming the first
// one's row and column), and names that are not one per column, each given once.
[[nodiscard]] TSampleData SamplesOf(const double* x, std::int64_t rows, std::int64_t columns,
                                    const double* y, std::int64_t yRows,
                                    std::vector<std::string> names = {});

// The same checks for X alone, as predictions take it.
void CheckInputs(const double* x, std::int64_t rows, std::int64_t columns);
