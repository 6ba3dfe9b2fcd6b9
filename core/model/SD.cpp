#include "core/model/SD.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/model/Random.h"

TSampleData::TSampleData(std::int32_t count) {
  SetCount(count);
  SetMargin(0.1);
}

void TSampleData::SetCount(std::int32_t count) {
  if (count < 0) throw std::out_of_range("Range check error");
  points_.resize(static_cast<std::size_t>(count));
  count_ = count;
  UpdateBounds();
}

void TSampleData::UpdateBounds() noexcept {
  if (count_ <= 0) {
    minX_ = minY_ = maxX_ = maxY_ = 0;
    return;
  }
  minX_ = maxX_ = points_[0].X;
  minY_ = maxY_ = points_[0].Y;
  for (std::int32_t i = 1; i < count_; ++i) {
    const TSamplePoint& p = points_[i];
    if (p.X > maxX_) maxX_ = p.X;
    if (p.X < minX_) minX_ = p.X;
    if (p.Y > maxY_) maxY_ = p.Y;
    if (p.Y < minY_) minY_ = p.Y;
  }
}

void TSampleData::SetX(std::int32_t i, double value) noexcept {
  if (value > maxX_) maxX_ = value;
  if (value < minX_) minX_ = value;
  points_[i].X = value;
}

void TSampleData::SetY(std::int32_t i, double value) noexcept {
  if (value > maxY_) maxY_ = value;
  if (value < minY_) minY_ = value;
  points_[i].Y = value;
}

long double TSampleData::RoundingTolerance(double y) const noexcept {
  const double magnitude = std::fabs(y);
  const long double unit =
      static_cast<long double>(std::nextafter(magnitude, HUGE_VAL)) - magnitude;
  return RangeTolerance * (static_cast<long double>(maxY_) - minY_) + UlpTolerance * unit;
}

bool TSampleData::WithinMargin(std::int32_t i, double value) const noexcept {
  const double y = points_[i].Y;
  const long double v = value;
  const long double sample = y;
  // Data written with 15 or 17 digits differs from what a model computes by rounding,
  // and at a bound the band below has no width; such a prediction still matches.
  if (std::fabs(v - sample) <= RoundingTolerance(y)) return true;
  if (value < minY_ || value > maxY_) return false;
  if (value == y) return true;
  // The band reaches Margin times the distance from the sample to the bound on that side.
  if (value > y) return (v - sample) / (maxY_ - sample) <= margin_;
  return (v - minY_) / (sample - minY_) >= marginComplement_;
}

void TSampleData::SetMargin(double margin) noexcept {
  margin_ = margin;
  marginComplement_ = 1 - margin;
}

void TSampleData::SortPoints() noexcept {
  if (count_ < 2) return;
  // This exact exchange sort: equal x order by y, but only the y values move then.
  for (std::int32_t i = 0; i < count_ - 1; ++i) {
    for (std::int32_t j = i + 1; j < count_; ++j) {
      TSamplePoint& a = points_[i];
      TSamplePoint& b = points_[j];
      if (a.X > b.X) {
        std::swap(a, b);
      } else if (a.X == b.X && a.Y > b.Y) {
        std::swap(a.Y, b.Y);
      }
    }
  }
}

void TSampleData::GenerateSine() {
  const int m = RandomInt(50) + 1;
  for (std::int32_t i = 0; i < count_; ++i) {
    points_[i].X = i;
    // The extended-precision sine, rounded once.
    points_[i].Y = static_cast<double>(std::sin(static_cast<long double>(m) * i));
  }
  UpdateBounds();
}

void TSampleData::GenerateRandom() {
  for (std::int32_t i = 0; i < count_; ++i) {
    points_[i].X = RandomReal();
    points_[i].Y = RandomReal();
  }
  UpdateBounds();
  SortPoints();
}
