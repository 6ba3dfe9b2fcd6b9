#pragma once
// A model's predictions of samples, as the interpreter makes them: what scaling fits, the
// margin fitness sums and the views draw.

#include <cstdint>
#include <vector>

#include "core/model/SD.h"
#include "core/model/TE.h"

// Predictions of samples 0 .. count - 1 (count is capped at the set's size).
[[nodiscard]] std::vector<double> ModelPredictions(const TTuringEvaluator& model,
                                                   const TSampleData& samples, std::int32_t count);

// Predictions of every sample.
[[nodiscard]] inline std::vector<double> ModelPredictions(const TTuringEvaluator& model,
                                                          const TSampleData& samples) {
  return ModelPredictions(model, samples, samples.Count());
}

// Whether the model's prediction of every sample is within the sample's margin.
[[nodiscard]] bool MatchesEverySample(const TTuringEvaluator& model, const TSampleData& samples);
