#pragma once
// The best mode: restarts with the additions to the search that the time-to-solution
// benchmark (bench/solve) showed to help. The window and movar-search --restarts share it.

#include <cstdint>
#include <string>

#include "core/search/SearchRun.h"

// Every setting that has a value of its own in the best mode takes it.
[[nodiscard]] inline TSearchParameters WithBestModeAdditions(TSearchParameters parameters) {
  for (const TSearchSetting* setting : SearchSettings()) {
    if (setting->BestMode) ApplySetting(parameters, *setting, *setting->BestMode);
  }
  return parameters;
}

// "attempt 3 · seed 123456789": which attempt found the model shown, and how to repeat it.
[[nodiscard]] inline std::string AttemptCaption(std::int64_t attempt, std::uint32_t seed) {
  return "attempt " + std::to_string(attempt) + " \u00b7 seed " + std::to_string(seed);
}

// The same for a model found; one that every short program's trial found has no seed:
// "attempt 1 · short programs".
[[nodiscard]] inline std::string AttemptCaption(const TModelUpdate& update) {
  if (update.ShortProgram)
    return "attempt " + std::to_string(update.Attempt) + " \u00b7 short programs";
  return AttemptCaption(update.Attempt, update.Seed);
}
