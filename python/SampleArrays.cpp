#include "python/SampleArrays.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

std::string Count(std::int64_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// Rows and columns counted from 1, as a reader of the sentence counts them; y has no columns.
void CheckFinite(const std::string& name, const double* values, std::int64_t rows,
                 std::int64_t columns) {
  for (std::int64_t i = 0; i < rows * columns; ++i) {
    const double value = values[i];
    if (std::isfinite(value)) continue;
    std::string where = "row " + std::to_string(i / columns + 1);
    if (name == "X") where += ", column " + std::to_string(i % columns + 1);
    throw std::invalid_argument(name + " holds " +
                                (std::isnan(value) ? "NaN"
                                 : value > 0       ? "inf"
                                                   : "-inf") +
                                " at " + where + "; a search takes finite numbers only");
  }
}

void CheckShape(std::int64_t rows, std::int64_t columns) {
  if (columns < 1 || columns > MaxArrayInputs) {
    throw std::invalid_argument("X has " + Count(columns, "column") + "; a model takes 1 to " +
                                std::to_string(MaxArrayInputs) + " input columns");
  }
  if (rows < 1) throw std::invalid_argument("no samples: X has 0 rows");
  if (rows > std::numeric_limits<std::int32_t>::max()) {
    throw std::invalid_argument("X has " + Count(rows, "row") + "; a sample set holds at most " +
                                std::to_string(std::numeric_limits<std::int32_t>::max()));
  }
}

}  // namespace

void CheckInputs(const double* x, std::int64_t rows, std::int64_t columns) {
  CheckShape(rows, columns);
  CheckFinite("X", x, rows, columns);
}

TSampleData SamplesOf(const double* x, std::int64_t rows, std::int64_t columns, const double* y,
                      std::int64_t yRows, std::vector<std::string> names) {
  if (rows != yRows) {
    throw std::invalid_argument("X has " + Count(rows, "row") + " and y " + Count(yRows, "value") +
                                "; each row of X needs its y");
  }
  CheckInputs(x, rows, columns);
  CheckFinite("y", y, rows, 1);
  const auto count = static_cast<std::int32_t>(rows);
  const auto inputs = static_cast<std::int32_t>(columns);
  TSampleData samples(count, inputs);
  samples.SetNames(std::move(names));
  for (std::int32_t i = 0; i < count; ++i) {
    for (std::int32_t k = 0; k < inputs; ++k)
      samples.SetX(i, k, x[static_cast<std::int64_t>(i) * columns + k]);
    samples.SetY(i, y[i]);
  }
  // SetX and SetY only widen bounds, and the set started from rows of zeros.
  samples.UpdateBounds();
  return samples;
}
