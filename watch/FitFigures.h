#pragma once
// How well a model fits a sample set: the error as the search sums it, the root-mean-square
// error and the coefficient of determination R².

#include <cstdint>
#include <vector>

#include "core/model/Predictions.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

struct TFitFigures {
  double Error = 0;  // the sum of the absolute errors, as the search sums it
  double Rmse = 0;
  // 1 - (squared errors) / (squared deviations of y from its mean); a set whose y are all
  // the same gives 1 for a model without error and 0 for any other, as no model explains it.
  double RSquared = 0;
  std::int32_t Count = 0;  // samples; without any, the RMSE and R² are not numbers
};

// predictions[i] is the model's value at sample i.
[[nodiscard]] TFitFigures Fit(const std::vector<double>& predictions, const TSampleData& samples);

// Runs the model on every sample first.
[[nodiscard]] TFitFigures ModelFit(const TTuringEvaluator& model, const TSampleData& samples);
