#pragma once
// TConstantFitter: local fitting of a program's constants by Levenberg-Marquardt (Eigen's),
// with the derivatives of TConstantGradient. Evolution and the refiner find a constant by
// trial; a program of the right shape with a wrong amplitude or frequency is one least-squares
// problem away from the answer. The solver minimises the squared error in double precision;
// the search ranks by the exact sum of absolute errors, so the fitted program is scored again
// as the search scores it and kept only when that error is lower.

#include <cstdint>
#include <functional>
#include <vector>

#include "core/model/SD.h"
#include "core/model/TE.h"

class TMovar;

class TConstantFitter {
 public:
  // evaluations: the most error evaluations one fit may make, Jacobians apart.
  explicit TConstantFitter(std::int32_t evaluations) noexcept : evaluations_(evaluations) {}

  // How a search scores a program on the samples in use, cut off above the threshold.
  using TScore = std::function<double(TTuringEvaluator& program, double threshold)>;

  // Fits the constants of program to samples 0 .. last, whose error there is error. When the
  // fitted program's score is lower, program takes its constants and that score is returned;
  // otherwise program is left as it was and error is returned. A program with no constant to
  // fit, fewer samples than constants, or a fit that does not stay finite is left. Without
  // score, the exact unscaled error is the score.
  double Fit(TTuringEvaluator& program, const TSampleData& samples, std::int32_t last, double error,
             const TScore& score = {});

  // Call between Evaluate and NextGeneration. Fits the count programs of lowest error (the
  // earliest on a tie) on the samples scored and records their new errors, scored as the
  // search scores (its scaling and fitness rule), so the ranking takes them; returns the
  // programs whose error fell.
  std::vector<const TTuringEvaluator*> FitBest(TMovar& search, std::int32_t count);

  // Fits run and fits that lowered the error, for measuring.
  [[nodiscard]] std::int64_t Fits() const noexcept { return fits_; }
  [[nodiscard]] std::int64_t Improved() const noexcept { return improved_; }

 private:
  std::int32_t evaluations_;
  std::int64_t fits_ = 0;
  std::int64_t improved_ = 0;
};
