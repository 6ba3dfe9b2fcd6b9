#pragma once
// A formula compiled for evaluation at many x: a postfix list of steps run in long double.
// It holds no GiNaC objects, so a compiled formula may be used from any thread.

#include <cstdint>
#include <span>
#include <vector>

namespace GiNaC {
class ex;
}

class TFormulaEvaluator {
 public:
  TFormulaEvaluator() = default;
  explicit TFormulaEvaluator(const GiNaC::ex& formula);

  // roundToDouble rounds every step as the program does: where that moves the value, the
  // value depends on rounding more than on the formula.
  [[nodiscard]] long double Evaluate(double x, bool roundToDouble = false) const;
  // Input k of a model of several inputs is inputs[k].
  [[nodiscard]] long double Evaluate(std::span<const double> inputs,
                                     bool roundToDouble = false) const;
  [[nodiscard]] bool Empty() const noexcept { return steps_.empty(); }

 private:
  enum class TKind : std::uint8_t {
    Number,
    X,
    Add,
    Mul,
    Pow,
    Sin,
    Cos,
    Tan,
    Exp,
    Log,
    IfGreater,
    IfLessEqual
  };
  struct TStep {
    TKind Kind;
    std::uint32_t Count;  // operands of Add and Mul; the input of X
    long double Value;
  };

  void Compile(const GiNaC::ex& e);

  std::vector<TStep> steps_;
  std::size_t depth_ = 0;
};
