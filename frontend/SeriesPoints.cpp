#include "frontend/SeriesPoints.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

std::vector<TSamplePoint> OrderedByX(std::vector<TSamplePoint> points) {
  const auto byX = [](const TSamplePoint& a, const TSamplePoint& b) { return a.X < b.X; };
  // Generated and most loaded sets are sorted already; then this is one pass.
  if (!std::is_sorted(points.begin(), points.end(), byX)) {
    std::stable_sort(points.begin(), points.end(), byX);
  }
  return points;
}

}  // namespace

std::vector<TSamplePoint> SeriesPoints(const TSampleData& samples, std::int32_t input) {
  std::vector<TSamplePoint> points(static_cast<std::size_t>(samples.Count()));
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    points[static_cast<std::size_t>(i)] = {samples.GetX(i, input), samples.GetY(i)};
  }
  return OrderedByX(std::move(points));
}

std::vector<TSamplePoint> SeriesPoints(const TSampleData& samples, std::span<const double> values,
                                       std::int32_t input) {
  const std::size_t count = std::min(static_cast<std::size_t>(samples.Count()), values.size());
  std::vector<TSamplePoint> points(count);
  for (std::size_t i = 0; i < count; ++i) {
    points[i] = {samples.GetX(static_cast<std::int32_t>(i), input), values[i]};
  }
  return OrderedByX(std::move(points));
}

std::vector<TSamplePoint> MeasuredPoints(const TSampleData& samples,
                                         std::span<const double> predictions) {
  const std::size_t count = std::min(static_cast<std::size_t>(samples.Count()), predictions.size());
  std::vector<TSamplePoint> points;
  points.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (std::isfinite(predictions[i]))
      points.push_back({predictions[i], samples.GetY(static_cast<std::int32_t>(i))});
  }
  return OrderedByX(std::move(points));
}

std::vector<TSamplePoint> DiagonalPoints(std::span<const TSamplePoint> points) {
  if (points.empty()) return {};
  double low = points.front().X;
  double high = low;
  for (const TSamplePoint& p : points) {
    low = std::min({low, p.X, p.Y});
    high = std::max({high, p.X, p.Y});
  }
  return {{low, low}, {high, high}};
}

std::vector<TSamplePoint> DisplayPoints(std::vector<TSamplePoint> ordered) {
  if (ordered.size() <= DisplayLimit) return ordered;
  const double minX = ordered.front().X;
  const double width = ordered.back().X - minX;
  const auto sliceOf = [&](double x) {
    const double share = width > 0 ? (x - minX) / width : 0;
    return std::min(DisplaySlices - 1, static_cast<std::size_t>(share * DisplaySlices));
  };
  std::vector<TSamplePoint> shown;
  shown.reserve(4 * DisplaySlices);
  for (std::size_t first = 0; first < ordered.size();) {
    const std::size_t slice = sliceOf(ordered[first].X);
    std::size_t last = first;
    std::size_t lowest = first;
    std::size_t highest = first;
    while (last + 1 < ordered.size() && sliceOf(ordered[last + 1].X) == slice) {
      ++last;
      if (ordered[last].Y < ordered[lowest].Y) lowest = last;
      if (ordered[last].Y > ordered[highest].Y) highest = last;
    }
    // The four in the order of the series, each once.
    std::size_t picks[] = {first, std::min(lowest, highest), std::max(lowest, highest), last};
    for (std::size_t k = 0; k < 4; ++k) {
      if (k == 0 || picks[k] != picks[k - 1]) shown.push_back(ordered[picks[k]]);
    }
    first = last + 1;
  }
  return shown;
}

bool DrawAsPoints(const TSampleData& samples) noexcept {
  const std::int32_t count = samples.Count();
  if (count > LineLimit) return true;
  for (std::int32_t i = 1; i < count; ++i) {
    if (!(samples.GetX(i - 1) < samples.GetX(i))) return true;
  }
  return false;
}

std::vector<TSamplePoint> ScatterPoints(std::vector<TSamplePoint> ordered) {
  if (ordered.size() <= DisplayLimit) return ordered;
  auto [minX, maxX] = std::pair(ordered.front().X, ordered.front().X);
  auto [minY, maxY] = std::pair(ordered.front().Y, ordered.front().Y);
  for (const TSamplePoint& p : ordered) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  // In long double, a span between extreme doubles does not overflow.
  const auto cellOf = [](double value, long double min, long double max) {
    const long double width = max - min;
    const long double share = width > 0 ? (value - min) / width : 0;
    return std::min(ScatterCells - 1, static_cast<std::size_t>(share * ScatterCells));
  };
  std::vector<bool> taken(ScatterCells * ScatterCells);
  std::vector<TSamplePoint> shown;
  for (const TSamplePoint& p : ordered) {
    const std::size_t cell = cellOf(p.X, minX, maxX) * ScatterCells + cellOf(p.Y, minY, maxY);
    if (taken[cell]) continue;
    taken[cell] = true;
    shown.push_back(p);
  }
  return shown;
}

namespace {

// An axis needs min < max with a span that stays a finite double, also once it is rounded
// out to nice numbers: extreme values are held inside a quarter of the double range, and an
// empty range is widened enough to make a difference at any magnitude.
void MakeDrawable(double& min, double& max) {
  constexpr double Limit = std::numeric_limits<double>::max() / 4;
  min = std::clamp(min, -Limit, Limit);
  max = std::clamp(max, -Limit, Limit);
  if (min == max) {
    const double widen = std::max(1.0, std::fabs(min) * 0x1p-20);
    min -= widen;
    max += widen;
  }
}

// The exponent of the unit for values from min to max.
int UnitExponent(double min, double max) noexcept {
  const double largest = std::max(std::fabs(min), std::fabs(max));
  if (!(largest < SmallestPlainValue) || largest == 0) return 0;
  return static_cast<int>(std::floor(std::log10(largest)));
}

// The factors that take a value into units of 10^exponent, one after the other: two where
// 10^-exponent alone would overflow, else the second is 1.
struct TUnitFactors {
  double First = 1;
  double Second = 1;
};

TUnitFactors UnitFactors(int exponent) noexcept {
  constexpr int Step = 300;
  if (-exponent > Step) return {std::pow(10.0, Step), std::pow(10.0, -exponent - Step)};
  return {std::pow(10.0, -exponent), 1};
}

double InUnit(double value, const TUnitFactors& factors) noexcept {
  return value * factors.First * factors.Second;
}

}  // namespace

std::optional<TAxisScale> ReadableScale(double min, double max, int mostTicks) {
  if (!(min < max) || mostTicks < 3 || !std::isfinite(max - min)) return std::nullopt;
  // The smallest step of 1, 2 or 5 times a power of ten is at least this one.
  double magnitude = std::pow(10.0, std::floor(std::log10((max - min) / (mostTicks - 1))));
  for (int decade = 0; decade < 3; ++decade, magnitude *= 10) {
    for (const double factor : {1.0, 2.0, 5.0}) {
      const double step = factor * magnitude;
      const double low = std::floor(min / step) * step;
      const double high = std::ceil(max / step) * step;
      if (!(step > 0) || !std::isfinite(low) || !std::isfinite(high)) return std::nullopt;
      const double steps = std::round((high - low) / step);
      if (steps + 1 <= mostTicks) return TAxisScale{low, high, static_cast<int>(steps) + 1};
    }
  }
  return std::nullopt;
}

std::optional<TSeriesRange> SeriesRange(std::span<const TSamplePoint> first,
                                        std::span<const TSamplePoint> second) {
  std::optional<TSeriesRange> range;
  for (const auto points : {first, second}) {
    for (const TSamplePoint& p : points) {
      if (!range) {
        range = TSeriesRange{p.X, p.X, p.Y, p.Y};
        continue;
      }
      range->MinX = std::min(range->MinX, p.X);
      range->MaxX = std::max(range->MaxX, p.X);
      range->MinY = std::min(range->MinY, p.Y);
      range->MaxY = std::max(range->MaxY, p.Y);
    }
  }
  if (range) {
    MakeDrawable(range->MinX, range->MaxX);
    MakeDrawable(range->MinY, range->MaxY);
  }
  return range;
}

TChartUnits ChartUnits(const TSeriesRange& range) noexcept {
  return {UnitExponent(range.MinX, range.MaxX), UnitExponent(range.MinY, range.MaxY)};
}

std::vector<TSamplePoint> InUnits(std::vector<TSamplePoint> points, const TChartUnits& units) {
  if (units == TChartUnits{}) return points;
  const TUnitFactors x = UnitFactors(units.ExponentX);
  const TUnitFactors y = UnitFactors(units.ExponentY);
  for (TSamplePoint& p : points) {
    p.X = InUnit(p.X, x);
    p.Y = InUnit(p.Y, y);
  }
  return points;
}

TSeriesRange InUnits(TSeriesRange range, const TChartUnits& units) noexcept {
  const TUnitFactors x = UnitFactors(units.ExponentX);
  const TUnitFactors y = UnitFactors(units.ExponentY);
  return {InUnit(range.MinX, x), InUnit(range.MaxX, x), InUnit(range.MinY, y),
          InUnit(range.MaxY, y)};
}

std::string TitleInUnits(const std::string& title, int exponent) {
  if (exponent == 0) return title;
  const std::string unit = "\u00d71e" + std::to_string(exponent);
  return title.empty() ? unit : title + " (" + unit + ")";
}

int TicksThatFit(double length, double room, int most) noexcept {
  constexpr int Fewest = 3;  // a span across zero needs them
  if (!(length > 0) || !(room > 0)) return std::max(Fewest, most);
  const double fit = std::floor(length / room) + 1;
  return static_cast<int>(
      std::clamp(fit, static_cast<double>(Fewest), static_cast<double>(std::max(Fewest, most))));
}
