#include "core/model/LinearScaling.h"

#include <cmath>

#include "core/model/Predictions.h"

TLinearScaling FitLinearScaling(std::span<const double> predictions,
                                const TSampleData& samples) noexcept {
  using Extended = long double;
  const auto count = static_cast<std::int32_t>(predictions.size());
  if (count <= 0) return {};
  Extended sumP = 0;
  Extended sumY = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    sumP += predictions[j];
    sumY += samples.GetY(j);
  }
  const Extended meanP = sumP / count;
  const Extended meanY = sumY / count;
  Extended spread = 0;
  Extended covariance = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    const Extended p = predictions[j] - meanP;
    spread += p * p;
    covariance += p * (samples.GetY(j) - meanY);
  }
  Extended scale = 1;
  if (spread > 0 && std::isfinite(spread)) scale = covariance / spread;
  const Extended offset = meanY - scale * meanP;
  const TLinearScaling fit{static_cast<double>(scale), static_cast<double>(offset)};
  if (!std::isfinite(fit.Scale) || !std::isfinite(fit.Offset)) return {};
  return fit;
}

TTuringEvaluator WithScaling(const TTuringEvaluator& program, const TLinearScaling& scaling) {
  std::int32_t kept = program.ExecEnd() + 1;
  while (kept > 0 && IsComparison(program.GetInstruction(kept - 1).Op))
    --kept;
  TTuringEvaluator scaled(kept + 2, program.RegisterCount(), program.InputCount());
  for (std::int32_t i = 0; i < kept; ++i)
    scaled.SetInstruction(i, program.GetInstruction(i));
  scaled.SetInstruction(kept, {0, opMul, ConstantOperand, scaling.Scale});
  scaled.SetInstruction(kept + 1, {0, opAdd, ConstantOperand, scaling.Offset});
  scaled.UpdateExecEnd();
  return scaled;
}

TTuringEvaluator WithLinearScaling(const TTuringEvaluator& program, const TSampleData& samples,
                                   std::int32_t last) {
  return WithScaling(program,
                     FitLinearScaling(ModelPredictions(program, samples, last + 1), samples));
}
