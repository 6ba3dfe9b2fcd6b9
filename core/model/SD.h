#pragma once
// TSampleData: the sample points a model has to reproduce, each one or more inputs and a
// y, their bounds, the margin of error within which a prediction counts as a match, and
// the names of the columns when the samples came with names.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/model/InputLimit.h"
#include "core/model/MarginBand.h"

// A point of a chart or a one-input sample.
struct TSamplePoint {
  double X = 0;
  double Y = 0;
};

class TSampleData {
 public:
  // Throws std::invalid_argument for an input count outside 1 .. MaxInputs.
  explicit TSampleData(std::int32_t count = 0, std::int32_t inputCount = 1);

  [[nodiscard]] std::int32_t Count() const noexcept { return count_; }
  [[nodiscard]] std::int32_t InputCount() const noexcept { return inputCount_; }
  // Doubles per row: the inputs, then y.
  [[nodiscard]] std::int32_t RowSize() const noexcept { return inputCount_ + 1; }

  // Keeps the leading rows, adds zero rows, recomputes the bounds.
  // A negative count throws std::out_of_range("Range check error") and changes nothing.
  void SetCount(std::int32_t count);
  // SetCount, and each kept row keeps its y and the inputs both shapes have; new inputs
  // are 0. A new input count drops the names. Throws as SetCount, or std::invalid_argument
  // for an input count outside 1 .. MaxInputs; nothing changes then.
  void Reshape(std::int32_t count, std::int32_t inputCount);
  void UpdateBounds() noexcept;

  // x is input 0.
  [[nodiscard]] double GetX(std::int32_t i) const noexcept { return values_[Offset(i)]; }
  [[nodiscard]] double GetX(std::int32_t i, std::int32_t input) const noexcept {
    return values_[Offset(i) + static_cast<std::size_t>(input)];
  }
  [[nodiscard]] double GetY(std::int32_t i) const noexcept {
    return values_[Offset(i) + static_cast<std::size_t>(inputCount_)];
  }
  [[nodiscard]] std::span<const double> Inputs(std::int32_t i) const noexcept {
    return {values_.data() + Offset(i), static_cast<std::size_t>(inputCount_)};
  }
  // Row 0; row i starts RowSize() * i doubles on, its y last.
  [[nodiscard]] const double* Rows() const noexcept { return values_.data(); }
  // Widen the bounds to take the value in; they never shrink here.
  void SetX(std::int32_t i, double value) noexcept { SetX(i, 0, value); }
  void SetX(std::int32_t i, std::int32_t input, double value) noexcept;
  void SetY(std::int32_t i, double value) noexcept;

  // A prediction within RangeTolerance of the y range plus UlpTolerance units in the last
  // place of the sample's y always matches; beyond that the margin decides.
  [[nodiscard]] bool WithinMargin(std::int32_t i, double value) const noexcept;
  [[nodiscard]] long double RoundingTolerance(double y) const noexcept;
  // Sample i's band under the margin, before the tolerance.
  [[nodiscard]] TMarginBand Band(std::int32_t i) const noexcept {
    return {GetY(i), minY_, maxY_, margin_};
  }
  static constexpr long double RangeTolerance = 1e-8L;
  static constexpr int UlpTolerance = 4;
  [[nodiscard]] double GetMargin() const noexcept { return margin_; }
  void SetMargin(double margin) noexcept { margin_ = margin; }

  [[nodiscard]] double MinX(std::int32_t input = 0) const noexcept { return minX_[input]; }
  [[nodiscard]] double MinY() const noexcept { return minY_; }
  [[nodiscard]] double MaxX(std::int32_t input = 0) const noexcept { return maxX_[input]; }
  [[nodiscard]] double MaxY() const noexcept { return maxY_; }

  // The column names, the inputs' then y's, or none.
  [[nodiscard]] const std::vector<std::string>& Names() const noexcept { return names_; }
  // Takes InputCount() + 1 names, each one not empty and no two alike, or none. Anything
  // else throws std::invalid_argument with a sentence for the user and changes nothing.
  void SetNames(std::vector<std::string> names);

  // Ascending by the inputs, compared in order, then by y.
  void SortPoints() noexcept;
  // Both make a one-input set of Count() rows.
  void GenerateSine();
  void GenerateRandom();

 private:
  [[nodiscard]] std::size_t Offset(std::int32_t i) const noexcept {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(inputCount_ + 1);
  }

  std::vector<double> values_;  // Count() rows of RowSize()
  std::vector<std::string> names_;
  double margin_ = 0;
  std::int32_t count_ = 0;
  std::int32_t inputCount_ = 1;
  std::array<double, MaxInputs> minX_{};
  std::array<double, MaxInputs> maxX_{};
  double minY_ = 0;
  double maxY_ = 0;
};

// Throws std::invalid_argument unless 1 <= inputCount <= MaxInputs.
void CheckInputCount(std::int64_t inputCount);

// Why these cannot be column names, a sentence for the user: an empty one ("Column 2 has
// no name."), or two alike; empty when they can.
[[nodiscard]] std::string ColumnNamesFault(std::span<const std::string> names);

// The set's column names, or those it is shown and written with without: x and y for one
// input, x1 ... xn and y for several.
[[nodiscard]] std::vector<std::string> ColumnNames(const TSampleData& samples);
