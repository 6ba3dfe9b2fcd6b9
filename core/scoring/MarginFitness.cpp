#include "core/scoring/MarginFitness.h"

#include <algorithm>
#include <cmath>

namespace {
using Extended = long double;
}  // namespace

void TMarginFitness::Prepare(const TSampleData& samples, TFitnessRule rule) {
  above_.clear();
  below_.clear();
  const bool banded = samples.GetMargin() > 0;
  byMatches_ = banded && rule.ByMatches;
  const Extended range = static_cast<Extended>(samples.MaxY()) - samples.MinY();
  if (!banded || !rule.Weighted || !(range > 0) || !std::isfinite(range)) return;
  // The band's width is the margin times the distance to the bound; the margin is the same
  // for every sample, so the weight is the range over that distance, at least 1.
  const Extended nearest = range * NearestShare;
  const auto weight = [&](Extended distance) {
    return static_cast<double>(range / std::max(distance, nearest));
  };
  above_.resize(static_cast<std::size_t>(samples.Count()));
  below_.resize(static_cast<std::size_t>(samples.Count()));
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    const Extended y = samples.GetY(j);
    above_[j] = weight(samples.MaxY() - y);
    below_[j] = weight(y - samples.MinY());
  }
}

double TMarginFitness::Sum(std::span<const double> predictions, const TSampleData& samples,
                           double threshold, std::int32_t& scored) const noexcept {
  const auto count = static_cast<std::int32_t>(predictions.size());
  const bool weighted = !above_.empty();
  double sum = 0;
  double fitness = 0;
  std::int32_t missed = 0;
  scored = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    const double prediction = predictions[j];
    const double y = samples.GetY(j);
    const double difference = static_cast<double>(static_cast<Extended>(prediction) - y);
    Extended error = std::fabs(static_cast<Extended>(difference));
    if (weighted) error *= prediction > y ? above_[j] : below_[j];
    sum = static_cast<double>(error + sum);
    fitness = sum;
    if (byMatches_) {
      if (!samples.WithinMargin(j, prediction)) ++missed;
      // An infinite or undefined error stays as it is and ranks behind every finite one.
      if (std::isfinite(sum)) {
        const Extended share = static_cast<Extended>(sum) / (static_cast<Extended>(sum) + 1);
        fitness = static_cast<double>(missed + share);
      }
    }
    scored = j + 1;
    if (fitness > threshold) break;
  }
  return fitness;
}
