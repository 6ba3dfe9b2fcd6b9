#pragma once
// The best mode: restarts with the additions to the search that the time-to-solution
// benchmark (bench/solve) showed to help. The window and movar-search --restarts share it.

#include <cstdint>
#include <string>

#include "core/search/SearchRun.h"

inline constexpr std::int32_t BestModeMinimumWindow = 10;
inline constexpr std::int32_t BestModeRefineTrials = 20;
inline constexpr bool BestModeScaledConstants = true;

[[nodiscard]] inline TSearchParameters WithBestModeAdditions(TSearchParameters parameters) {
  parameters.MinimumWindow = BestModeMinimumWindow;
  parameters.RefineTrials = BestModeRefineTrials;
  parameters.ScaledConstants = BestModeScaledConstants;
  return parameters;
}

// "attempt 3 · seed 123456789": which attempt found the model shown, and how to repeat it.
[[nodiscard]] inline std::string AttemptCaption(std::int64_t attempt, std::uint32_t seed) {
  return "attempt " + std::to_string(attempt) + " \u00b7 seed " + std::to_string(seed);
}
