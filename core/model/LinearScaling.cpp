#include "core/model/LinearScaling.h"

#include <cmath>

#include "core/model/Predictions.h"

TLinearScaling FitLinearScaling(std::span<const double> predictions,
                                const TSampleData& samples) noexcept {
  if (predictions.empty()) return {};
  const TLeastSquaresLine line =
      LeastSquaresLine(predictions, [&](std::int32_t j) { return samples.GetY(j); });
  const TLinearScaling fit{static_cast<double>(line.Scale), static_cast<double>(line.Offset)};
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
