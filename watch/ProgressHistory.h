#pragma once
// TProgressHistory: the best error of every generation of a search, one line per attempt,
// as a progress chart draws it. A line keeps only the generations where its error changes
// and its latest generation, so a long run stays small and draws the same steps.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/SD.h"
#include "core/search/SearchRun.h"

struct TErrorRange {
  double Min = 0;  // the smallest positive error
  double Max = 0;
};

class TProgressHistory {
 public:
  struct TLine {
    std::int32_t Attempt = 0;
    std::uint32_t Seed = 0;
    // (generation, best error); the last point is the attempt's latest generation.
    std::vector<TSamplePoint> Points;
  };

  void Clear() noexcept;
  // Errors that are not finite are not drawn: the generation is counted, no point kept.
  void Add(const TSearchProgress& progress);

  [[nodiscard]] const std::vector<TLine>& Lines() const noexcept { return lines_; }
  [[nodiscard]] std::int64_t Generations() const noexcept { return generations_; }
  // The range of the positive errors kept; nothing while there is none.
  [[nodiscard]] std::optional<TErrorRange> ErrorRange() const noexcept;
  [[nodiscard]] std::int32_t LastGeneration() const noexcept { return lastGeneration_; }

 private:
  TLine& LineOf(const TSearchProgress& progress);

  std::vector<TLine> lines_;  // in the order the attempts first reported
  std::int64_t generations_ = 0;
  std::int32_t lastGeneration_ = 0;  // the highest generation of any attempt
  std::optional<TErrorRange> range_;
};

// The value a log axis shows for an error: zero (every sample hit exactly) sits at the
// bottom of the axis.
[[nodiscard]] double LogAxisValue(double error, const TErrorRange& range) noexcept;
// The log axis' range for the errors: whole decades around them.
[[nodiscard]] TErrorRange LogAxisRange(const TErrorRange& range) noexcept;
// The base of a log axis over range (an axis range from LogAxisRange): 10 to the smallest
// power k whose multiples leave at most mostLabels labels on it (2 at least), so that a
// short axis of many decades labels every k-th one instead of eliding them all.
[[nodiscard]] double LogAxisBase(const TErrorRange& range, int mostLabels) noexcept;
// The generation axis' end: the smallest of 1, 2, 5, 10, 20, 50, ... not below the count.
[[nodiscard]] double NiceCeiling(std::int64_t count) noexcept;
