#pragma once
// Linear scaling: the least-squares a and b of a·f(x) + b for a program f over the samples in
// use, so that the search need not find amplitudes and offsets by chance. A scaled model is
// the program with two more instructions, var[0] *= a; var[0] += b;, whose constants alone
// may be negative: the interpreter, the fast scorer and every emitter then run one program.

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "core/model/Arithmetic.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

struct TLinearScaling {
  double Scale = 1;
  double Offset = 0;
};

// The least-squares line through the points (predictions[j], y(j)), in extended precision.
// Spread is false for predictions that are all the same: a is 1 then, and b the mean of y.
struct TLeastSquaresLine {
  long double Scale = 1;
  long double Offset = 0;
  bool Spread = false;
};

template <typename YOf>
[[nodiscard]] TLeastSquaresLine LeastSquaresLine(std::span<const double> predictions,
                                                 YOf y) noexcept {
  using Extended = long double;
  const auto count = static_cast<std::int32_t>(predictions.size());
  TLeastSquaresLine line;
  if (count <= 0) return line;
  Extended sumP = 0;
  Extended sumY = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    sumP += predictions[j];
    sumY += y(j);
  }
  const Extended meanP = sumP / count;
  const Extended meanY = sumY / count;
  Extended spread = 0;
  Extended covariance = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    const Extended p = predictions[j] - meanP;
    spread += p * p;
    covariance += p * (y(j) - meanY);
  }
  line.Spread = spread > 0 && std::isfinite(spread);
  if (line.Spread) line.Scale = covariance / spread;
  line.Offset = meanY - line.Scale * meanP;
  return line;
}

// The a and b of least squares for predictions of samples 0 .. predictions.size() - 1, in
// extended precision. Predictions that are all the same get a of 1 and only the offset; a fit
// that does not round to finite doubles is none (1 and 0).
[[nodiscard]] TLinearScaling FitLinearScaling(std::span<const double> predictions,
                                              const TSampleData& samples) noexcept;

// What the two trailing instructions make of a prediction, failures included: a product or sum
// that overflows leaves the register as it was.
[[nodiscard]] inline double ApplyLinearScaling(double prediction,
                                               const TLinearScaling& scaling) noexcept {
  arithmetic::ApplyTwoOperand(opMul, prediction, scaling.Scale);
  arithmetic::ApplyTwoOperand(opAdd, prediction, scaling.Offset);
  return prediction;
}

// The program's instructions up to its last one that can change the result, then
// var[0] *= Scale; var[0] += Offset;. Trailing comparisons are dropped: they would govern the
// product.
[[nodiscard]] TTuringEvaluator WithScaling(const TTuringEvaluator& program,
                                           const TLinearScaling& scaling);

// The program scaled by the fit over samples 0 .. last.
[[nodiscard]] TTuringEvaluator WithLinearScaling(const TTuringEvaluator& program,
                                                 const TSampleData& samples, std::int32_t last);

// The line a·f + b, a ≠ 0, in the middle of those that put the predictions of samples 0 ..
// predictions.size() - 1 each within its sample's margin; none where no line does or every
// prediction is the same. Least squares weighs every sample alike and may leave the thin band
// near the lowest or highest y, where such a line still holds. Exact up to the rounding of a
// and b to doubles; no allocation.
[[nodiscard]] std::optional<TLinearScaling> FitMarginLine(std::span<const double> predictions,
                                                          const TSampleData& samples) noexcept;

// The program scaled by FitMarginLine over every sample, where it then matches every sample.
[[nodiscard]] std::optional<TTuringEvaluator> WithMarginLine(const TTuringEvaluator& program,
                                                             const TSampleData& samples);
