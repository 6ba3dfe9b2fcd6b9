#include "formula/ModelExpression.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/Arithmetic.h"
#include "core/model/Liveness.h"
#include "formula/GuardedRun.h"

using namespace GiNaC;

namespace {

ex IfEval(const ex& condition, const ex& then, const ex& otherwise) {
  if (then.is_equal(otherwise)) return then;
  return model_if(condition, then, otherwise).hold();
}

}  // namespace

REGISTER_FUNCTION(model_if, eval_func(IfEval))

namespace model_expression {

namespace {

// With a constant operand, only these depend on the register's value.
constexpr std::uint32_t ValueGuards = GuardOverflow | GuardPowerDomain | GuardUnderflow;

// A register's value: its expression and, when it does not depend on x, the double the
// interpreter holds.
struct TValue {
  ex Expr;
  std::optional<double> Constant;
};

// The one-operand functions as the interpreter computes them; NaN when nothing is written
// (a constant operand is finite, so a written result never is NaN).
double FoldFunction(std::uint8_t op, double o) {
  double d = std::numeric_limits<double>::quiet_NaN();
  arithmetic::ApplyFunction(op, d, o);
  return d;
}

TValue Constant(double value) {
  return {ExactNumber(value), value};
}

TValue Fold(std::uint8_t op, const TValue& d, double o) {
  if (IsFunction(op)) {
    const double result = FoldFunction(op, o);
    return std::isnan(result) ? d : Constant(result);
  }
  double reg = *d.Constant;
  arithmetic::ApplyTwoOperand(op, reg, o);
  return Constant(reg);
}

ex Function(std::uint8_t op, const ex& o) {
  switch (op) {
    case opSin:
      return sin(o);
    case opCos:
      return cos(o);
    case opTan:
      return tan(o);
    case opExp:
      return exp(o);
    case opSqrt:
      return sqrt(o);
    default:
      return log(o);
  }
}

TValue Apply(std::uint8_t op, const TValue& d, const TValue& o) {
  if (o.Constant && (IsFunction(op) || d.Constant)) return Fold(op, d, *o.Constant);
  if (IsFunction(op)) return {Function(op, o.Expr), std::nullopt};
  // Guards that depend on a constant operand alone are decided here, once for every x.
  if (o.Constant) {
    if (op == opDiv && *o.Constant == 0) return d;
    if (op == opPow && !(*o.Constant <= 10)) return d;
    if (op == opPow && *o.Constant == 0) return Constant(1);
  }
  // An exponent that cancels to zero (x - x): the interpreter's power is 1 whatever the base,
  // where GiNaC would call 0^0 a pole.
  if (op == opPow && o.Expr.is_zero()) return {1, std::nullopt};
  // A base that cancels to zero under a power that is not positive fails in the interpreter.
  // GiNaC's pow() would throw, and leak the power it allocated in doing so.
  if (op == opPow && d.Expr.is_zero() && is_a<numeric>(o.Expr) &&
      !ex_to<numeric>(o.Expr).real().is_positive())
    return d;
  switch (op) {
    case opAdd:
      return {d.Expr + o.Expr, std::nullopt};
    case opSub:
      return {d.Expr - o.Expr, std::nullopt};
    case opMul:
      return {d.Expr * o.Expr, std::nullopt};
    case opDiv:
      return {d.Expr / o.Expr, std::nullopt};
    default:
      return {pow(d.Expr, o.Expr), std::nullopt};
  }
}

// Whether a comparison holds for every x: known when both sides are constants or differ by
// a number.
std::optional<bool> Decide(std::uint8_t op, const TValue& d, const TValue& o) {
  bool greater = false;
  if (d.Constant && o.Constant) {
    greater = *d.Constant > *o.Constant;
  } else {
    const ex difference = (d.Expr - o.Expr).expand();
    if (!is_a<numeric>(difference) || !ex_to<numeric>(difference).is_real()) return std::nullopt;
    greater = ex_to<numeric>(difference).is_positive();
  }
  return op == opIfGreater ? greater : !greater;
}

class TSizeMemo {
 public:
  std::size_t Size(const ex& e) {
    if (e.nops() == 0) return 1;
    if (const auto found = sizes_.find(e); found != sizes_.end()) return found->second;
    std::size_t size = 1;
    for (std::size_t i = 0; i < e.nops(); ++i) {
      size += Size(e.op(i));
      if (size > Saturated) size = Saturated;
    }
    sizes_.emplace(e, size);
    return size;
  }

 private:
  static constexpr std::size_t Saturated = std::size_t{1} << 40;
  std::map<ex, std::size_t, ex_is_less> sizes_;
};

// An upper bound of the terms that expand() gives, saturated far above any limit.
std::size_t ExpandedTerms(const ex& e) {
  constexpr std::size_t Many = std::size_t{1} << 30;
  const auto saturate = [](double v) {
    return v > static_cast<double>(Many) ? Many : static_cast<std::size_t>(v);
  };
  if (is_a<add>(e)) {
    double sum = 0;
    for (std::size_t i = 0; i < e.nops(); ++i)
      sum += static_cast<double>(ExpandedTerms(e.op(i)));
    return saturate(sum);
  }
  if (is_a<mul>(e)) {
    double product = 1;
    for (std::size_t i = 0; i < e.nops(); ++i)
      product *= static_cast<double>(ExpandedTerms(e.op(i)));
    return saturate(product);
  }
  if (is_a<power>(e) && is_a<numeric>(e.op(1)) && ex_to<numeric>(e.op(1)).is_integer()) {
    const double n = std::fabs(ex_to<numeric>(e.op(1)).to_double());
    return saturate(std::pow(static_cast<double>(ExpandedTerms(e.op(0))), n));
  }
  // Function arguments are expanded in place; the largest one bounds the work.
  std::size_t inner = 1;
  for (std::size_t i = 0; i < e.nops(); ++i)
    inner = std::max(inner, ExpandedTerms(e.op(i)));
  return inner;
}

bool HasDivision(const ex& e) {
  if (is_a<power>(e) && is_a<numeric>(e.op(1)) && ex_to<numeric>(e.op(1)).is_negative())
    return true;
  for (std::size_t i = 0; i < e.nops(); ++i)
    if (HasDivision(e.op(i))) return true;
  return false;
}

}  // namespace

const realsymbol& X() {
  static const realsymbol x("x");
  return x;
}

const realsymbol& Input(std::int32_t k) {
  static const std::vector<realsymbol> inputs = [] {
    std::vector<realsymbol> symbols;
    for (std::int32_t i = 1; i <= MaxInputs; ++i)
      symbols.emplace_back("x" + std::to_string(i));
    return symbols;
  }();
  return inputs[static_cast<std::size_t>(std::clamp(k, 0, MaxInputs - 1))];
}

bool HasInput(const ex& e) {
  if (e.has(X())) return true;
  for (std::int32_t k = 0; k < MaxInputs; ++k) {
    if (e.has(Input(k))) return true;
  }
  return false;
}

std::int32_t InputOf(const symbol& s) {
  for (std::int32_t k = 0; k < MaxInputs; ++k) {
    if (s.is_equal(Input(k))) return k;
  }
  return 0;
}

ex ExactNumber(double value) {
  if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
    return numeric(static_cast<long>(value));
  int exponent = 0;
  const double fraction = std::frexp(value, &exponent);
  const auto mantissa = static_cast<long>(std::ldexp(fraction, 53));
  return numeric(mantissa) * pow(numeric(2), exponent - 53);
}

std::size_t TreeSize(const ex& e) {
  return TSizeMemo().Size(e);
}

std::optional<TBuilt> Build(const TTuringEvaluator& program, const TExpressionLimits& limits) {
  const std::vector<bool> live = LiveInstructions(program);
  const auto count = static_cast<std::size_t>(LastRun(program) + 1);
  std::vector<bool> replaces(count, false);
  std::vector<std::uint32_t> guards(count, GuardNone);
  std::vector<TDecided> decided(count, TDecided::Open);
  std::vector<TValue> r(256, Constant(0));
  if (program.InputCount() == 1) {
    r[0] = {X(), std::nullopt};
  } else {
    for (std::int32_t k = 0; k < program.InputCount(); ++k)
      r[static_cast<std::size_t>(k)] = {Input(k), std::nullopt};
  }
  std::vector<ex> conditions;  // the comparisons in front of the next instruction
  bool skipped = false;        // one of them never holds
  TSizeMemo sizes;
  for (int i = 0; i <= LastRun(program); ++i) {
    if (!live[i]) continue;
    const TInstruction& in = program.Code()[i];
    const TValue operand = in.Src == ConstantOperand ? Constant(in.Value) : r[in.Src];
    TValue& d = r[in.Dest];
    if (IsComparison(in.Op)) {
      if (skipped) continue;
      if (const std::optional<bool> holds = Decide(in.Op, d, operand)) {
        skipped = !*holds;
        // Two constants compare as in the program; a difference that is a number may not.
        if (!(d.Constant && operand.Constant))
          decided[i] = *holds ? TDecided::Holds : TDecided::Fails;
      } else {
        conditions.push_back(in.Op == opIfGreater ? d.Expr > operand.Expr : d.Expr <= operand.Expr);
      }
      continue;
    }
    if (skipped) {
      skipped = false;
      conditions.clear();
      continue;
    }
    guards[i] = operand.Constant ? (d.Constant || IsFunction(in.Op) ? GuardNone : ValueGuards)
                                 : ~std::uint32_t{0};
    TValue next;
    try {
      next = Apply(in.Op, d, operand);
    } catch (const std::exception&) {
      next = d;  // an exact division by zero: the interpreter leaves the register too
    }
    // A function replaces its register unless a constant operand failed its guard.
    replaces[i] = IsFunction(in.Op) &&
                  !(operand.Constant && next.Expr.is_equal(d.Expr) && next.Constant == d.Constant);
    for (auto c = conditions.rbegin(); c != conditions.rend(); ++c) {
      next = {model_if(*c, next.Expr, d.Expr), std::nullopt};
    }
    conditions.clear();
    d = next;
    if (sizes.Size(d.Expr) > limits.MaxNodes) return std::nullopt;
  }
  const std::vector<bool> reaches = LiveInstructions(program, replaces);
  for (std::size_t i = 0; i < count; ++i) {
    if (reaches[i]) continue;
    guards[i] = GuardNone;
    decided[i] = TDecided::Open;
  }
  return TBuilt{r[0].Expr, std::move(guards), std::move(decided)};
}

ex Simplify(const ex& e, const TExpressionLimits& limits) {
  TSizeMemo sizes;
  const std::size_t size = sizes.Size(e);
  if (size > limits.SimplifyNodes) return e;
  ex best = e;
  std::size_t bestSize = size;
  const auto consider = [&](const ex& candidate) {
    const std::size_t candidateSize = sizes.Size(candidate);
    if (candidateSize < bestSize) {
      best = candidate;
      bestSize = candidateSize;
    }
  };
  try {
    if (ExpandedTerms(e) <= limits.ExpandTerms) consider(e.expand());
    if (size <= limits.NormalNodes && HasDivision(e)) consider(e.normal());
  } catch (const std::exception&) {
    // GiNaC found a pole on the way: keep what we have.
  }
  return best;
}

}  // namespace model_expression
