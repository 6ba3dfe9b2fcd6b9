#pragma once
// Rows checked against a set of named columns take their columns by those names, so that a
// file whose columns stand in another order is not read by position.

#include <span>
#include <string>

#include "core/model/SD.h"

// The rows' columns in the order of names (the inputs', then y's), each found by its own
// name in the rows' names. Throws std::invalid_argument with a sentence when a name is not
// there or the rows have another number of columns.
[[nodiscard]] TSampleData ColumnsByName(const TSampleData& rows,
                                        std::span<const std::string> names);
