#pragma once
// A register program as one GiNaC expression over x (or x1 ... xn): instructions that cannot reach
// the result are dropped, registers substituted, whatever does not depend on x folded exactly as
// the interpreter computes it, and a comparison's skip becomes a conditional expression. The guards
// are left out: this is the formula as a person writes it.
//
// GiNaC shares its numbers between threads without locks: use it from one thread at a time.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <ginac/ginac.h>

#include "formula/ExpressionLimits.h"
#include "formula/GuardedRun.h"
#include "core/model/TE.h"

// model_if(condition, then, else): the value of a comparison's skip.
DECLARE_FUNCTION_3P(model_if)

namespace model_expression {

// The variable x, the input of a model of one input.
[[nodiscard]] const GiNaC::realsymbol& X();
// Input k (from 0) of a model of several inputs, x1 ... x16.
[[nodiscard]] const GiNaC::realsymbol& Input(std::int32_t k);
// Which input a symbol of these is: 0 for X().
[[nodiscard]] std::int32_t InputOf(const GiNaC::symbol& s);
// Whether the expression depends on an input.
[[nodiscard]] bool HasInput(const GiNaC::ex& e);

struct TBuilt {
  GiNaC::ex Expr;
  // Per instruction, the guards that the expression leaves out (TGuard bits): none for
  // what was folded or decided once for every x, none for what cannot reach the result.
  std::vector<std::uint32_t> Watch;
  // Per instruction, how a comparison was settled for every x by the algebra; the program's
  // rounding may settle it otherwise at some x.
  std::vector<TDecided> Decided;
};

// The expression, or nothing when it outgrows limits.MaxNodes.
[[nodiscard]] std::optional<TBuilt> Build(const TTuringEvaluator& program,
                                          const TExpressionLimits& limits);

// The smallest of the expression, its expansion and its normal form, within the limits.
[[nodiscard]] GiNaC::ex Simplify(const GiNaC::ex& e, const TExpressionLimits& limits);

// Nodes of the expression written out as a tree (shared parts counted each time).
[[nodiscard]] std::size_t TreeSize(const GiNaC::ex& e);

// A double as the exact rational number it is.
[[nodiscard]] GiNaC::ex ExactNumber(double value);

}  // namespace model_expression
