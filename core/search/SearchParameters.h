#pragma once
// TSearchParameters: what one search runs with. Its defaults are the table's, and
// ApplySetting sets the field of a setting of that table.

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/search/SearchSettings.h"

struct TSearchParameters {
  std::int32_t InstructionCount = static_cast<std::int32_t>(InstructionsSetting.Default);
  std::int32_t PopulationSize = static_cast<std::int32_t>(PopulationSetting.Default);
  std::int32_t RegisterCount = static_cast<std::int32_t>(RegistersSetting.Default);
  std::int32_t MarginPercent = static_cast<std::int32_t>(MarginSetting.Default);
  bool Progressive = ProgressiveSetting.Default != 0;
  std::int64_t GenerationLimit = GenerationsSetting.Default;                 // 0: no limit
  std::int32_t Threads = static_cast<std::int32_t>(ThreadsSetting.Default);  // 0: every core
  std::chrono::milliseconds TimeLimit = std::chrono::seconds(TimeLimitSetting.Default);  // 0: none
  // Rows kept out of the search to check its models on; the caller splits them off.
  std::int32_t HoldoutPercent = static_cast<std::int32_t>(HoldoutSetting.Default);
  // Additions to the population search, all off by default (see TMovar, TRefiner).
  std::int32_t MinimumWindow = static_cast<std::int32_t>(MinimumWindowSetting.Default);
  std::int32_t RefineTrials = static_cast<std::int32_t>(RefineSetting.Default);
  bool ScaledConstants = ScaledConstantsSetting.Default != 0;
  // Programs whose constants are fitted per generation (see TConstantFitter).
  std::int32_t ConstantFitting = static_cast<std::int32_t>(ConstantFittingSetting.Default);
  bool LinearScaling = LinearScalingSetting.Default != 0;
  // With linear scaling, the line the margin test accepts where least squares misses.
  bool MarginLine = MarginLineSetting.Default != 0;
  bool RankByMatches = RankByMatchesSetting.Default != 0;
  bool MarginWeights = MarginWeightsSetting.Default != 0;
  // Percent of the programs drawn anew that are point mutations instead (see TMovar).
  std::int32_t PointMutations = static_cast<std::int32_t>(PointMutationsSetting.Default);
  // The seed the search starts from; empty: one from the clock.
  std::optional<std::uint32_t> Seed;

  // The margin as the sample set holds it: 10 percent is 0.1.
  [[nodiscard]] double Margin() const noexcept { return MarginPercent / 100.0; }

  [[nodiscard]] bool operator==(const TSearchParameters&) const = default;
};

// Sets the field that holds the setting to value, which lies in the setting's range; false
// for a setting that is not a search's own (the restarts, their unit and attempts).
bool ApplySetting(TSearchParameters& parameters, const TSearchSetting& setting,
                  std::int64_t value) noexcept;
