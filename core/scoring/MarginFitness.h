#pragma once
// A fitness that follows the margin rule. A prediction matches within a band around its
// sample that narrows towards the bounds of y, so a plain error sum settles on models good
// on average and wrong where the band is thinnest. Two rules aim the search there: each
// error weighted by the inverse of the band's width on the side it misses, and the samples
// missed ranked before the error. The test of a match itself is unchanged.

#include <cstdint>
#include <span>
#include <vector>

#include "core/model/SD.h"

struct TFitnessRule {
  bool ByMatches = false;  // fewer samples missed ranks first, the error decides ties
  bool Weighted = false;   // errors weighted by the inverse of the band's width
};

class TMarginFitness {
 public:
  // The rule for this set under its margin. At margin 0 the band has no width anywhere,
  // so neither rule has anything to follow: the fitness is the plain error.
  void Prepare(const TSampleData& samples, TFitnessRule rule);
  // False: Sum is the plain error sum, and scoring need not collect predictions.
  [[nodiscard]] bool Active() const noexcept { return byMatches_ || !above_.empty(); }

  // The fitness of the predictions of samples 0 .. predictions.size() - 1, cut off above
  // threshold; scored is the number of samples summed. A finite fitness with ByMatches is
  // the samples missed plus error / (1 + error), so fewer misses always rank first.
  [[nodiscard]] double Sum(std::span<const double> predictions, const TSampleData& samples,
                           double threshold, std::int32_t& scored) const noexcept;

  // An error at a sample this close to a bound, as a share of the range of y, weighs as
  // much as one at this distance: the band at the bound itself has no width.
  static constexpr double NearestShare = 1.0 / 1024;

 private:
  bool byMatches_ = false;
  // Per sample, the weight of an error above y and below it; empty when unweighted.
  std::vector<double> above_;
  std::vector<double> below_;
};
