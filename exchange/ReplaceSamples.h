#pragma once
// Puts read samples into a set with bounds tight around them, as loading and pasting need.

#include <span>

#include "core/model/SD.h"

// The rows become points, in order; the bounds enclose exactly these values, whatever the
// set held before. Throws std::out_of_range for more rows than a set can count.
void ReplaceSamples(TSampleData& samples, std::span<const TSamplePoint> points);

// The set takes the rows' samples, their inputs and names, with tight bounds; it keeps its
// margin.
void ReplaceSamples(TSampleData& samples, const TSampleData& rows);
// The same without a copy of the rows.
void ReplaceSamples(TSampleData& samples, TSampleData&& rows);
