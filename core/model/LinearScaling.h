#pragma once
// Linear scaling: the least-squares a and b of a·f(x) + b for a program f over the samples in
// use, so that the search need not find amplitudes and offsets by chance. A scaled model is
// the program with two more instructions, var[0] *= a; var[0] += b;, whose constants alone
// may be negative: the interpreter, the fast scorer and every emitter then run one program.

#include <cstdint>
#include <span>

#include "core/model/Arithmetic.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

struct TLinearScaling {
  double Scale = 1;
  double Offset = 0;
};

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
