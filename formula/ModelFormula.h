#pragma once
// The formula of a model with what a reader must know about it: where the program's
// guards act on the samples, and how far the formula and the program lie apart elsewhere.

#include <cstdint>
#include <string>
#include <vector>

#include "formula/ExpressionLimits.h"
#include "formula/FormulaEvaluator.h"
#include "formula/GuardedRun.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

struct TFormulaCheck {
  std::int32_t Samples = 0;
  // Samples where a guard acts, or where rounding decides a comparison that the formula
  // settled otherwise.
  std::int32_t Guarded = 0;
  std::uint32_t Guards = 0;      // the kinds that acted (TGuard bits)
  double LargestDifference = 0;  // over the other samples
  double LargestRelativeDifference = 0;
  // Samples where the formula computed in double and in long double differ by more than
  // UnstableShare relative: rounding decides the value there (a tangent near its pole, a
  // square that underflows).
  std::int32_t Unstable = 0;
  // Over the other samples, relative to the largest value whose rounding reaches the result
  // (TGuardedResult::Scale): a result that cancels out (x + 5000 - 5000) keeps the rounding
  // of its large terms, and a large x that only passes through a sine excuses nothing.
  double LargestStableRelativeDifference = 0;
  // The formula as shown, its numbers rounded, over the same samples; measured only when
  // rounding changed it.
  double ShownLargestDifference = 0;
  double ShownLargestRelativeDifference = 0;
};

inline constexpr double UnstableShare = 1e-11;

struct TModelFormula {
  bool Available = false;  // false when the expression outgrew the limits
  // As shown: constant parts folded, numbers rounded to ShownDigits (ReadableFormula.h).
  std::string Plain;
  std::string Latex;
  std::string Exact;     // Plain with every digit of every number
  bool Rounded = false;  // whether the formula shown differs from the exact one
  std::string Sympy;     // the exact formula as the source of a SymPy expression
  TFormulaCheck Check;
  TFormulaEvaluator Evaluator;       // of the exact formula
  TFormulaEvaluator ShownEvaluator;  // of the formula as shown
  std::vector<std::uint32_t> Watch;  // the guards that count, per instruction
  std::vector<TDecided> Decided;     // the comparisons the formula settled, per instruction
};

// The inputs are written as InputIdentifiers names them. Uses GiNaC: call from one thread at
// a time.
[[nodiscard]] TModelFormula MakeFormula(const TTuringEvaluator& program, const TSampleData& samples,
                                        const TExpressionLimits& limits = {});

// Runs program and formula on every x and compares them where no guard acts.
[[nodiscard]] TFormulaCheck CheckFormula(const TTuringEvaluator& program,
                                         const TModelFormula& formula,
                                         const std::vector<double>& xs);
// The same on the inputs of every sample.
[[nodiscard]] TFormulaCheck CheckFormulaOn(const TTuringEvaluator& program,
                                           const TModelFormula& formula,
                                           const TSampleData& samples);

enum class TFormulaDigits { Shown, Exact };

// The lines shown under the formula, in its shown or its exact form.
[[nodiscard]] std::vector<std::string> FormulaNote(const TModelFormula& formula,
                                                   TFormulaDigits digits = TFormulaDigits::Shown);
