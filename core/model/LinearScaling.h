#pragma once
// Linear scaling: the least-squares a and b of a·f(x) + b for a program f over the samples in
// use, so that the search need not find amplitudes and offsets by chance. A scaled model is
// the program with two more instructions, var[0] *= a; var[0] += b;, whose constants alone
// may be negative: the interpreter, the fast scorer and every emitter then run one program.

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

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
  // The line's offset at another slope a is Offset + (Scale - a) · MeanPrediction.
  long double MeanPrediction = 0;
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
  line.MeanPrediction = meanP;
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

// Whether some line a·f + b puts each of count values within [low, high] of the same index, and
// whether the values differ at all (a constant is no law). Two values i and j, f[j] above f[i],
// bound the slope to [low[j] - high[i], high[j] - low[i]] / (f[j] - f[i]); a line fits where
// the bounds of every two leave a slope. Quadratic in count: for a few values, such as a
// search's probes. The bounds are compared as fractions, so no division is made.
struct TLineFit {
  bool Fits = false;
  bool Spread = false;
};

[[nodiscard]] inline TLineFit SomeLineFits(const double* values, const double* low,
                                           const double* high, std::int32_t count) noexcept {
  using Extended = long double;
  // The steepest lower bound of the slope and the flattest upper one, as numerator over a
  // positive denominator; a denominator of 0 is no bound yet.
  Extended leastTop = 0;
  Extended leastBottom = 0;
  Extended mostTop = 0;
  Extended mostBottom = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    for (std::int32_t j = i + 1; j < count; ++j) {
      std::int32_t below = i;
      std::int32_t above = j;
      if (values[j] < values[i]) std::swap(below, above);
      const Extended rise = Extended{values[above]} - values[below];
      const Extended lower = Extended{low[above]} - high[below];
      const Extended upper = Extended{high[above]} - low[below];
      if (rise == 0) {
        if (lower > 0 || upper < 0) return {};
        continue;
      }
      if (leastBottom == 0 || lower * leastBottom > leastTop * rise) {
        leastTop = lower;
        leastBottom = rise;
      }
      if (mostBottom == 0 || upper * mostBottom < mostTop * rise) {
        mostTop = upper;
        mostBottom = rise;
      }
      if (leastTop * mostBottom > mostTop * leastBottom) return {false, true};
    }
  }
  return {true, leastBottom != 0};
}

// Of the lines a·f + b, a ≠ 0, that put the predictions of samples 0 .. predictions.size() - 1
// each within its sample's margin, the one nearest least squares, clear of the edges; none where
// no line does or every prediction is the same. Least squares weighs every sample alike and may
// leave the thin band near the lowest or highest y, where such a line still holds. The line
// given has been tested on every prediction as the two scaling instructions compute it; no
// allocation.
[[nodiscard]] std::optional<TLinearScaling> FitMarginLine(std::span<const double> predictions,
                                                          const TSampleData& samples) noexcept;

// The program scaled by FitMarginLine over every sample, which then matches every sample.
[[nodiscard]] std::optional<TTuringEvaluator> WithMarginLine(const TTuringEvaluator& program,
                                                             const TSampleData& samples);
