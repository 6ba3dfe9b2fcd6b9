#pragma once
// Attempts of several program sizes. No one size serves every problem: small programs in a
// small population find the sine laws fastest, while laws that need five instructions or
// more are found by larger programs in larger populations. With the ladder, attempt k runs at
// level k mod 3 (AttemptKind.h), each level a Luby sequence of its own. A level's unit is shortened
// by its population's factor: an attempt scores about as many programs at every level.

#include <algorithm>
#include <cstdint>

#include "core/search/SearchParameters.h"

inline constexpr std::int32_t LadderLevels = 3;

// The given sizes at level 0; at level 1 one more register than the search uses (raised to the
// inputs), twice the instructions and three times the population; at level 2 two more
// registers, four times and ten times. Each within its setting's range.
[[nodiscard]] inline TSearchParameters LadderSizes(TSearchParameters parameters,
                                                   std::int32_t inputCount,
                                                   std::int32_t level) noexcept {
  if (level <= 0) return parameters;
  constexpr std::int64_t PopulationFactor[LadderLevels] = {1, 3, 10};
  const auto within = [](const TSearchSetting& setting, std::int64_t value) {
    return static_cast<std::int32_t>(
        std::clamp(value, setting.Range.Minimum, setting.Range.Maximum));
  };
  level = std::min(level, LadderLevels - 1);
  parameters.RegisterCount = within(
      RegistersSetting, std::int64_t{std::max(parameters.RegisterCount, inputCount)} + level);
  parameters.InstructionCount =
      within(InstructionsSetting, std::int64_t{parameters.InstructionCount} << level);
  parameters.PopulationSize =
      within(PopulationSetting, parameters.PopulationSize * PopulationFactor[level]);
  return parameters;
}

// Generations in one unit at a level whose population is `population` against the given
// `base`: at least one.
[[nodiscard]] constexpr std::int64_t LadderUnit(std::int64_t unit, std::int32_t base,
                                                std::int32_t population) noexcept {
  return std::max<std::int64_t>(1, unit * std::max(base, 1) / std::max(population, 1));
}
