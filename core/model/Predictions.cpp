#include "core/model/Predictions.h"

#include <algorithm>

std::vector<double> ModelPredictions(const TTuringEvaluator& model, const TSampleData& samples,
                                     std::int32_t count) {
  TTuringEvaluator program = model;  // running changes its working registers
  count = std::clamp(count, 0, samples.Count());
  std::vector<double> predictions(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i)
    predictions[static_cast<std::size_t>(i)] = program.Execute(samples.Inputs(i));
  return predictions;
}

bool MatchesEverySample(const TTuringEvaluator& model, const TSampleData& samples) {
  TTuringEvaluator program = model;
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    if (!samples.WithinMargin(i, program.Execute(samples.Inputs(i)))) return false;
  }
  return true;
}
