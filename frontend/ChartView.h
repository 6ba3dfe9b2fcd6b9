#pragma once
// The views the sample chart offers of a set of several inputs, y over one input or the
// measured y against the model's prediction, and the titles of their axes. A set of one
// input has the one view it always had, y over x.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/SD.h"

inline constexpr std::string_view MeasuredViewName = "measured against predicted";

// The names the chart's choice offers: each input's column name, then MeasuredViewName.
// None for one input: there is nothing to choose.
[[nodiscard]] std::vector<std::string> ChartViewNames(const TSampleData& samples);

// The view past the inputs; a set of one input has none.
[[nodiscard]] bool IsMeasuredView(const TSampleData& samples, std::int32_t view) noexcept;

// A view the set has: the one given, or the first when the set has no such view.
[[nodiscard]] std::int32_t ValidView(const TSampleData& samples, std::int32_t view) noexcept;

struct TAxisTitles {
  std::string X;
  std::string Y;
};

// The column names of the view's input and of y ("predicted period" and "measured period"
// for measured against predicted). Both empty for one input without names of its own
// (HasOwnNames): that chart has never carried titles.
[[nodiscard]] TAxisTitles ChartAxisTitles(const TSampleData& samples, std::int32_t view);
