#include "core/search/ConstantFitter.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "core/model/ConstantGradient.h"
#include "core/search/Movar.h"

namespace {

// Stands for a residual that is not finite: the solver then refuses the step that led there.
constexpr double RefusedResidual = 1e300;

// The residuals prediction - y of samples 0 .. last and their Jacobian in the constants.
class TResiduals : public Eigen::DenseFunctor<double> {
 public:
  TResiduals(TConstantGradient& gradient, const TSampleData& samples, std::int32_t last)
      : Eigen::DenseFunctor<double>(gradient.ParameterCount(), last + 1),
        gradient_(gradient),
        samples_(samples),
        row_(static_cast<std::size_t>(gradient.ParameterCount())) {}

  int operator()(const InputType& constants, ValueType& residuals) {
    gradient_.SetConstants(std::span<const double>(constants.data(), Count(constants)));
    for (Eigen::Index j = 0; j < values(); ++j)
      residuals[j] = Residual(static_cast<std::int32_t>(j));
    return 0;
  }

  int df(const InputType& constants, JacobianType& jacobian) {
    gradient_.SetConstants(std::span<const double>(constants.data(), Count(constants)));
    for (Eigen::Index j = 0; j < values(); ++j) {
      (void)gradient_.Run(samples_.Inputs(static_cast<std::int32_t>(j)), row_);
      for (Eigen::Index k = 0; k < inputs(); ++k) {
        // A sample where the function has no derivative gives no direction.
        const double derivative = row_[static_cast<std::size_t>(k)];
        jacobian(j, k) = std::isfinite(derivative) ? derivative : 0.0;
      }
    }
    return 0;
  }

 private:
  TConstantGradient& gradient_;
  const TSampleData& samples_;
  std::vector<double> row_;

  [[nodiscard]] static std::size_t Count(const InputType& constants) noexcept {
    return static_cast<std::size_t>(constants.size());
  }

  [[nodiscard]] double Residual(std::int32_t j) {
    const double prediction = gradient_.Value(samples_.Inputs(j));
    const double residual =
        static_cast<double>(static_cast<long double>(prediction) - samples_.GetY(j));
    return std::isfinite(residual) ? residual : RefusedResidual;
  }
};

}  // namespace

double TConstantFitter::Fit(TTuringEvaluator& program, const TSampleData& samples,
                            std::int32_t last, double error, const TScore& score) {
  if (last < 0 || last >= samples.Count() || error <= 0 || evaluations_ <= 0) return error;
  TConstantGradient gradient(program);
  const std::int32_t count = gradient.ParameterCount();
  // The solver needs at least as many residuals as unknowns.
  if (count == 0 || last + 1 < count) return error;
  const std::vector<double> start = gradient.Constants();
  Eigen::VectorXd constants = Eigen::Map<const Eigen::VectorXd>(start.data(), count);

  TResiduals residuals(gradient, samples, last);
  Eigen::LevenbergMarquardt<TResiduals> solver(residuals);
  solver.setMaxfev(evaluations_);
  (void)solver.minimize(constants);
  ++fits_;

  std::vector<double> fitted(start.size());
  bool moved = false;
  for (std::int32_t k = 0; k < count; ++k) {
    fitted[static_cast<std::size_t>(k)] = constants[k];
    if (!std::isfinite(constants[k])) return error;
    moved = moved || constants[k] != start[static_cast<std::size_t>(k)];
  }
  if (!moved) return error;
  gradient.SetConstants(fitted);
  TTuringEvaluator candidate = gradient.Program();
  // The solver's squared error is not what the search ranks by: the fit stays only when the
  // search's own score of it falls.
  const double fittedError =
      score ? score(candidate, error) : TMovar::Score(candidate, samples, last, error);
  if (!(fittedError < error)) return error;
  for (const std::int32_t i : gradient.Fitted())
    program.SetInstruction(i, candidate.GetInstruction(i));
  program.UpdateExecEnd();
  ++improved_;
  return fittedError;
}

std::vector<const TTuringEvaluator*> TConstantFitter::FitBest(TMovar& search, std::int32_t count) {
  std::vector<const TTuringEvaluator*> improved;
  const std::int32_t population = search.PopulationSize();
  count = std::min(count, population);
  if (count <= 0) return improved;
  std::vector<std::int32_t> order(static_cast<std::size_t>(population));
  std::iota(order.begin(), order.end(), 0);
  std::partial_sort(order.begin(), order.begin() + count, order.end(),
                    [&search](std::int32_t a, std::int32_t b) {
                      const double ea = search.GetError(a);
                      const double eb = search.GetError(b);
                      return ea < eb || (ea == eb && a < b);
                    });
  const std::int32_t last = search.LastScored();
  for (std::int32_t r = 0; r < count; ++r) {
    const std::int32_t i = order[static_cast<std::size_t>(r)];
    const double error = search.GetError(i);
    const double fitted = Fit(search.GetProgram(i), search.Samples(), last, error,
                              [&search, last](TTuringEvaluator& program, double threshold) {
                                return search.ScoreProgram(program, last, threshold);
                              });
    if (fitted < error) {
      search.SetError(i, fitted);
      improved.push_back(&search.GetProgram(i));
    }
  }
  return improved;
}
