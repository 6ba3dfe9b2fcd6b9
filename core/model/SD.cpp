#include "core/model/SD.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/model/Random.h"

void CheckInputCount(std::int64_t inputCount) {
  if (inputCount >= 1 && inputCount <= MaxInputs) return;
  throw std::invalid_argument("A sample set takes 1 to " + std::to_string(MaxInputs) +
                              " inputs, not " + std::to_string(inputCount) + ".");
}

TSampleData::TSampleData(std::int32_t count, std::int32_t inputCount) {
  Reshape(count, inputCount);
  SetMargin(0.1);
}

void TSampleData::SetCount(std::int32_t count) {
  Reshape(count, inputCount_);
}

void TSampleData::Reshape(std::int32_t count, std::int32_t inputCount) {
  if (count < 0) throw std::out_of_range("Range check error");
  CheckInputCount(inputCount);
  const auto rowSize = static_cast<std::size_t>(inputCount) + 1;
  if (inputCount == inputCount_) {
    values_.resize(static_cast<std::size_t>(count) * rowSize);
  } else {
    std::vector<double> values(static_cast<std::size_t>(count) * rowSize);
    const std::int32_t kept = std::min(count, count_);
    const std::int32_t inputs = std::min(inputCount, inputCount_);
    for (std::int32_t i = 0; i < kept; ++i) {
      double* const row = values.data() + static_cast<std::size_t>(i) * rowSize;
      std::copy_n(values_.data() + Offset(i), inputs, row);
      row[inputCount] = GetY(i);
    }
    values_ = std::move(values);
    inputCount_ = inputCount;
    names_.clear();
  }
  count_ = count;
  UpdateBounds();
}

void TSampleData::UpdateBounds() noexcept {
  minX_.fill(0);
  maxX_.fill(0);
  if (count_ <= 0) {
    minY_ = maxY_ = 0;
    return;
  }
  const double* row = values_.data();
  std::copy_n(row, inputCount_, minX_.begin());
  std::copy_n(row, inputCount_, maxX_.begin());
  minY_ = maxY_ = row[inputCount_];
  for (std::int32_t i = 1; i < count_; ++i) {
    row += inputCount_ + 1;
    for (std::int32_t k = 0; k < inputCount_; ++k) {
      if (row[k] > maxX_[k]) maxX_[k] = row[k];
      if (row[k] < minX_[k]) minX_[k] = row[k];
    }
    const double y = row[inputCount_];
    if (y > maxY_) maxY_ = y;
    if (y < minY_) minY_ = y;
  }
}

void TSampleData::SetX(std::int32_t i, std::int32_t input, double value) noexcept {
  if (value > maxX_[input]) maxX_[input] = value;
  if (value < minX_[input]) minX_[input] = value;
  values_[Offset(i) + static_cast<std::size_t>(input)] = value;
}

void TSampleData::SetY(std::int32_t i, double value) noexcept {
  if (value > maxY_) maxY_ = value;
  if (value < minY_) minY_ = value;
  values_[Offset(i) + static_cast<std::size_t>(inputCount_)] = value;
}

void TSampleData::SetNames(std::vector<std::string> names) {
  if (!names.empty()) {
    const std::size_t columns = static_cast<std::size_t>(inputCount_) + 1;
    if (names.size() != columns) {
      throw std::invalid_argument(std::to_string(names.size()) + " column names for " +
                                  std::to_string(columns) + " columns (" +
                                  std::to_string(inputCount_) +
                                  (inputCount_ == 1 ? " input" : " inputs") + " and y).");
    }
    if (std::string fault = ColumnNamesFault(names); !fault.empty()) {
      throw std::invalid_argument(fault);
    }
  }
  names_ = std::move(names);
}

std::string ColumnNamesFault(std::span<const std::string> names) {
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (names[k].empty()) return "Column " + std::to_string(k + 1) + " has no name.";
    for (std::size_t j = 0; j < k; ++j) {
      if (names[j] == names[k]) {
        return "Columns " + std::to_string(j + 1) + " and " + std::to_string(k + 1) +
               " have the same name, \"" + names[k] + "\".";
      }
    }
  }
  return {};
}

std::vector<std::string> ColumnNames(const TSampleData& samples) {
  if (!samples.Names().empty()) return samples.Names();
  const std::int32_t inputs = samples.InputCount();
  std::vector<std::string> names;
  for (std::int32_t k = 1; k <= inputs; ++k)
    names.push_back(inputs == 1 ? "x" : "x" + std::to_string(k));
  names.emplace_back("y");
  return names;
}

long double TSampleData::RoundingTolerance(double y) const noexcept {
  const double magnitude = std::fabs(y);
  const long double unit =
      static_cast<long double>(std::nextafter(magnitude, HUGE_VAL)) - magnitude;
  return RangeTolerance * (static_cast<long double>(maxY_) - minY_) + UlpTolerance * unit;
}

bool TSampleData::WithinMargin(std::int32_t i, double value) const noexcept {
  const double y = GetY(i);
  const long double v = value;
  const long double sample = y;
  // Data written with 15 or 17 digits differs from what a model computes by rounding,
  // and at a bound the band below has no width; such a prediction still matches.
  if (std::fabs(v - sample) <= RoundingTolerance(y)) return true;
  return Band(i).Holds(value);
}

void TSampleData::SortPoints() noexcept {
  if (count_ < 2) return;
  const std::int32_t inputs = inputCount_;
  // This exact exchange sort: equal inputs order by y, but only the y values move then.
  for (std::int32_t i = 0; i < count_ - 1; ++i) {
    for (std::int32_t j = i + 1; j < count_; ++j) {
      double* const a = values_.data() + Offset(i);
      double* const b = values_.data() + Offset(j);
      const auto [ai, bi] = std::mismatch(a, a + inputs, b);
      if (ai != a + inputs) {
        if (*ai > *bi) std::swap_ranges(a, a + inputs + 1, b);
      } else if (a[inputs] > b[inputs]) {
        std::swap(a[inputs], b[inputs]);
      }
    }
  }
}

void TSampleData::GenerateSine() {
  Reshape(count_, 1);
  const int m = RandomInt(50) + 1;
  for (std::int32_t i = 0; i < count_; ++i) {
    values_[Offset(i)] = i;
    // The extended-precision sine, rounded once.
    values_[Offset(i) + 1] = static_cast<double>(std::sin(static_cast<long double>(m) * i));
  }
  names_.clear();
  UpdateBounds();
}

void TSampleData::GenerateRandom() {
  Reshape(count_, 1);
  for (std::int32_t i = 0; i < count_; ++i) {
    values_[Offset(i)] = RandomReal();
    values_[Offset(i) + 1] = RandomReal();
  }
  names_.clear();
  UpdateBounds();
  SortPoints();
}
