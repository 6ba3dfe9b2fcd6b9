#pragma once
// TRateMeter: generations per second while a search runs. It counts every generation of
// every attempt and reports the rate over about the last second, so that it follows a
// search that slows down or speeds up; at the end, the run's average.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class TRateMeter {
 public:
  static constexpr std::chrono::milliseconds Window{1000};

  void Start() noexcept;
  // One generation done, at the given time since the start.
  void Count(std::chrono::milliseconds now) noexcept;

  // Over the last window; over the whole run until the first window is full. Nothing
  // before any time has passed.
  [[nodiscard]] std::optional<double> Recent() const noexcept;
  [[nodiscard]] std::optional<double> Average(std::chrono::milliseconds now) const noexcept;
  [[nodiscard]] std::int64_t Generations() const noexcept { return count_; }

 private:
  std::int64_t count_ = 0;
  std::chrono::milliseconds windowStart_{0};
  std::int64_t windowCount_ = 0;  // generations counted before windowStart_
  std::optional<double> lastWindowRate_;
  std::chrono::milliseconds latest_{0};
};

// "1234/s", "12.5/s", "0.3/s"; the empty text when there is no rate.
[[nodiscard]] std::string FormatRate(std::optional<double> perSecond);
