#include "core/search/SearchParameters.h"

bool ApplySetting(TSearchParameters& parameters, const TSearchSetting& setting,
                  std::int64_t value) noexcept {
  // Every range fits the field it is checked for.
  const auto count = static_cast<std::int32_t>(value);
  if (&setting == &SeedSetting) {
    parameters.Seed = static_cast<std::uint32_t>(value);
  } else if (&setting == &RegistersSetting) {
    parameters.RegisterCount = count;
  } else if (&setting == &InstructionsSetting) {
    parameters.InstructionCount = count;
  } else if (&setting == &PopulationSetting) {
    parameters.PopulationSize = count;
  } else if (&setting == &MarginSetting) {
    parameters.MarginPercent = count;
  } else if (&setting == &ProgressiveSetting) {
    parameters.Progressive = value != 0;
  } else if (&setting == &GenerationsSetting) {
    parameters.GenerationLimit = value;
  } else if (&setting == &ThreadsSetting) {
    parameters.Threads = count;
  } else if (&setting == &TimeLimitSetting) {
    parameters.TimeLimit = std::chrono::seconds(value);
  } else if (&setting == &HoldoutSetting) {
    parameters.HoldoutPercent = count;
  } else if (&setting == &MinimumWindowSetting) {
    parameters.MinimumWindow = count;
  } else if (&setting == &RefineSetting) {
    parameters.RefineTrials = count;
  } else if (&setting == &ScaledConstantsSetting) {
    parameters.ScaledConstants = value != 0;
  } else if (&setting == &ConstantFittingSetting) {
    parameters.ConstantFitting = count;
  } else if (&setting == &LinearScalingSetting) {
    parameters.LinearScaling = value != 0;
  } else if (&setting == &MarginLineSetting) {
    parameters.MarginLine = value != 0;
  } else if (&setting == &RankByMatchesSetting) {
    parameters.RankByMatches = value != 0;
  } else if (&setting == &MarginWeightsSetting) {
    parameters.MarginWeights = value != 0;
  } else if (&setting == &PointMutationsSetting) {
    parameters.PointMutations = count;
  } else {
    return false;
  }
  return true;
}
