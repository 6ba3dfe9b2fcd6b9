#include "watch/FitFigures.h"

#include <cmath>
#include <limits>

#include "core/search/SearchRun.h"

TFitFigures Fit(const std::vector<double>& predictions, const TSampleData& samples) {
  TFitFigures fit;
  fit.Count = samples.Count();
  if (fit.Count == 0) {
    fit.Rmse = fit.RSquared = std::numeric_limits<double>::quiet_NaN();
    return fit;
  }
  long double sumY = 0;
  for (std::int32_t i = 0; i < fit.Count; ++i)
    sumY += samples.GetY(i);
  const long double mean = sumY / fit.Count;
  long double squared = 0;
  long double deviations = 0;
  for (std::int32_t i = 0; i < fit.Count; ++i) {
    const double y = samples.GetY(i);
    const long double difference = static_cast<long double>(predictions[i]) - y;
    fit.Error = AddAbsoluteError(fit.Error, predictions[i], y);
    squared += difference * difference;
    deviations += (y - mean) * (y - mean);
  }
  fit.Rmse = static_cast<double>(std::sqrt(squared / fit.Count));
  if (deviations > 0) {
    fit.RSquared = static_cast<double>(1 - squared / deviations);
  } else {
    fit.RSquared = squared == 0 ? 1 : 0;
  }
  return fit;
}

TFitFigures ModelFit(const TTuringEvaluator& model, const TSampleData& samples) {
  return Fit(ModelPredictions(model, samples), samples);
}
