#include "watch/ProgressHistory.h"

#include <algorithm>
#include <cmath>

namespace {

// Where a zero error is drawn, in decades under the smallest positive one.
constexpr double ZeroDecades = 1;
constexpr double MinDecade = -307;
constexpr double MaxDecade = 308;
// Qt's charts take an axis top of 1e-12 or less for zero and keep the labels of the range
// before, so an axis of smaller errors still reaches 1e-11.
constexpr double LeastTopDecade = -11;

}  // namespace

void TProgressHistory::Clear() noexcept {
  lines_.clear();
  generations_ = 0;
  lastGeneration_ = 0;
  range_.reset();
}

TProgressHistory::TLine& TProgressHistory::LineOf(const TSearchProgress& progress) {
  // Attempts report in bursts; the line asked for last is nearly always the one wanted.
  for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
    if (line->Attempt == progress.Attempt) return *line;
  }
  lines_.push_back(TLine{progress.Attempt, progress.Seed, {}});
  return lines_.back();
}

void TProgressHistory::Add(const TSearchProgress& progress) {
  ++generations_;
  lastGeneration_ = std::max(lastGeneration_, progress.Generation);
  TLine& line = LineOf(progress);
  if (!std::isfinite(progress.BestError)) return;
  const TSamplePoint point{static_cast<double>(progress.Generation), progress.BestError};
  std::vector<TSamplePoint>& points = line.Points;
  // A run of equal errors needs only its first and its latest point.
  const std::size_t n = points.size();
  if (n >= 2 && points[n - 1].Y == point.Y && points[n - 2].Y == point.Y) {
    points.back() = point;
  } else {
    points.push_back(point);
  }
  if (point.Y > 0) {
    if (!range_) {
      range_ = TErrorRange{point.Y, point.Y};
    } else {
      range_->Min = std::min(range_->Min, point.Y);
      range_->Max = std::max(range_->Max, point.Y);
    }
  }
}

std::optional<TErrorRange> TProgressHistory::ErrorRange() const noexcept {
  return range_;
}

TErrorRange LogAxisRange(const TErrorRange& range) noexcept {
  // Kept within the decades of normal doubles, so that both ends are positive and finite.
  const double low = std::max(std::floor(std::log10(range.Min)) - ZeroDecades, MinDecade);
  const double high =
      std::min(std::max({std::ceil(std::log10(range.Max)), low + 1 + ZeroDecades, LeastTopDecade}),
               MaxDecade);
  return {std::pow(10.0, low), std::pow(10.0, high)};
}

double LogAxisValue(double error, const TErrorRange& range) noexcept {
  return error > 0 ? error : LogAxisRange(range).Min;
}

double LogAxisBase(const TErrorRange& range, int mostLabels) noexcept {
  const double low = std::ceil(std::log10(range.Min) - 1e-9);
  const double high = std::floor(std::log10(range.Max) + 1e-9);
  const double most = std::max(mostLabels, 2);
  // Labels sit on the multiples of k in [low, high]; k up to MaxDecade keeps 10^k finite.
  for (double k = 1; k < MaxDecade; ++k) {
    if (std::floor(high / k) - std::ceil(low / k) + 1 <= most) return std::pow(10.0, k);
  }
  return std::pow(10.0, MaxDecade);
}

double NiceCeiling(std::int64_t count) noexcept {
  double decade = 1;
  for (;;) {
    for (const double step : {1.0, 2.0, 5.0}) {
      if (step * decade >= static_cast<double>(count)) return step * decade;
    }
    decade *= 10;
  }
}
