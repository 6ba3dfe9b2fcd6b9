#pragma once
// TSampleData: the sample points a model has to reproduce, their bounds, and the
// margin of error within which a prediction counts as a match.

#include <cstdint>
#include <string>
#include <vector>

struct TSamplePoint {
  double X = 0;
  double Y = 0;
};

class TSampleData {
 public:
  explicit TSampleData(std::int32_t count = 0);

  [[nodiscard]] std::int32_t Count() const noexcept { return count_; }
  // Keeps the leading rows, adds (0, 0) rows, recomputes the bounds.
  // A negative count throws std::out_of_range("Range check error") and changes nothing.
  void SetCount(std::int32_t count);
  void UpdateBounds() noexcept;

  [[nodiscard]] double GetX(std::int32_t i) const noexcept { return points_[i].X; }
  [[nodiscard]] double GetY(std::int32_t i) const noexcept { return points_[i].Y; }
  // Points 0 .. Count() - 1, for loops that walk them without an index.
  [[nodiscard]] const TSamplePoint* Points() const noexcept { return points_.data(); }
  // Widen the bounds to take the value in; they never shrink here.
  void SetX(std::int32_t i, double value) noexcept;
  void SetY(std::int32_t i, double value) noexcept;

  // A prediction within RangeTolerance of the y range plus UlpTolerance units in the last
  // place of the sample's y always matches; beyond that the margin decides.
  [[nodiscard]] bool WithinMargin(std::int32_t i, double value) const noexcept;
  [[nodiscard]] long double RoundingTolerance(double y) const noexcept;
  static constexpr long double RangeTolerance = 1e-8L;
  static constexpr int UlpTolerance = 4;
  [[nodiscard]] double GetMargin() const noexcept { return margin_; }
  void SetMargin(double margin) noexcept;
  [[nodiscard]] double MarginComplement() const noexcept { return marginComplement_; }

  [[nodiscard]] double MinX() const noexcept { return minX_; }
  [[nodiscard]] double MinY() const noexcept { return minY_; }
  [[nodiscard]] double MaxX() const noexcept { return maxX_; }
  [[nodiscard]] double MaxY() const noexcept { return maxY_; }

  void SortPoints() noexcept;
  void GenerateSine();
  void GenerateRandom();

 private:
  std::vector<TSamplePoint> points_;
  double margin_ = 0;
  double marginComplement_ = 1;
  std::int32_t count_ = 0;
  double minX_ = 0;
  double minY_ = 0;
  double maxX_ = 0;
  double maxY_ = 0;
};
