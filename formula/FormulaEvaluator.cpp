#include "formula/FormulaEvaluator.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "formula/ModelExpression.h"

using namespace GiNaC;

TFormulaEvaluator::TFormulaEvaluator(const ex& formula) {
  Compile(formula);
  depth_ = steps_.size() + 1;
}

void TFormulaEvaluator::Compile(const ex& e) {
  if (is_a<numeric>(e)) {
    const numeric& n = ex_to<numeric>(e);
    const long double value = n.is_real() ? static_cast<long double>(n.to_double())
                                          : std::numeric_limits<long double>::quiet_NaN();
    // A ratio of exact integers keeps the digits that to_double would drop.
    if (n.is_rational() && !n.is_integer() && abs(n.numer()) < numeric(1L << 62) &&
        abs(n.denom()) < numeric(1L << 62)) {
      steps_.push_back({TKind::Number, 0,
                        static_cast<long double>(n.numer().to_long()) /
                            static_cast<long double>(n.denom().to_long())});
    } else {
      steps_.push_back({TKind::Number, 0, value});
    }
    return;
  }
  if (is_a<constant>(e)) {  // Pi, from the logarithm of a negative number
    const ex value = e.evalf();
    steps_.push_back({TKind::Number, 0,
                      is_a<numeric>(value)
                          ? static_cast<long double>(ex_to<numeric>(value).to_double())
                          : std::numeric_limits<long double>::quiet_NaN()});
    return;
  }
  if (is_a<symbol>(e)) {
    steps_.push_back(
        {TKind::X, static_cast<std::uint32_t>(model_expression::InputOf(ex_to<symbol>(e))), 0});
    return;
  }
  for (std::size_t i = 0; i < e.nops(); ++i) {
    if (is_a<relational>(e.op(i))) {
      Compile(e.op(i).lhs());
      Compile(e.op(i).rhs());
    } else {
      Compile(e.op(i));
    }
  }
  const auto count = static_cast<std::uint32_t>(e.nops());
  if (is_a<add>(e)) {
    steps_.push_back({TKind::Add, count, 0});
  } else if (is_a<mul>(e)) {
    steps_.push_back({TKind::Mul, count, 0});
  } else if (is_a<power>(e)) {
    steps_.push_back({TKind::Pow, 2, 0});
  } else if (is_a<function>(e)) {
    const std::string name = ex_to<function>(e).get_name();
    if (name == "model_if") {
      const bool greater = ex_to<relational>(e.op(0)).info(info_flags::relation_greater);
      steps_.push_back({greater ? TKind::IfGreater : TKind::IfLessEqual, 4, 0});
    } else if (name == "sin") {
      steps_.push_back({TKind::Sin, 1, 0});
    } else if (name == "cos") {
      steps_.push_back({TKind::Cos, 1, 0});
    } else if (name == "tan") {
      steps_.push_back({TKind::Tan, 1, 0});
    } else if (name == "exp") {
      steps_.push_back({TKind::Exp, 1, 0});
    } else if (name == "log") {
      steps_.push_back({TKind::Log, 1, 0});
    } else {
      throw std::invalid_argument("formula: unknown function " + name);
    }
  } else {
    throw std::invalid_argument("formula: cannot evaluate this expression");
  }
}

long double TFormulaEvaluator::Evaluate(double x, bool roundToDouble) const {
  return Evaluate(std::span<const double>(&x, 1), roundToDouble);
}

long double TFormulaEvaluator::Evaluate(std::span<const double> inputs, bool roundToDouble) const {
  std::vector<long double> stack;
  stack.reserve(depth_);
  for (const TStep& step : steps_) {
    switch (step.Kind) {
      case TKind::Number:
        stack.push_back(step.Value);
        continue;
      case TKind::X:
        stack.push_back(step.Count < inputs.size() ? inputs[step.Count] : 0.0);
        continue;
      default:
        break;
    }
    const std::size_t first = stack.size() - step.Count;
    long double* a = stack.data() + first;
    long double result = 0;
    switch (step.Kind) {
      case TKind::Add:
        result = 0;
        for (std::uint32_t i = 0; i < step.Count; ++i)
          result += a[i];
        break;
      case TKind::Mul:
        result = 1;
        for (std::uint32_t i = 0; i < step.Count; ++i)
          result *= a[i];
        break;
      case TKind::Pow:
        result = a[1] == 0.5L ? std::sqrt(a[0]) : std::pow(a[0], a[1]);
        break;
      case TKind::Sin:
        result = std::sin(a[0]);
        break;
      case TKind::Cos:
        result = std::cos(a[0]);
        break;
      case TKind::Tan:
        result = std::tan(a[0]);
        break;
      case TKind::Exp:
        result = std::exp(a[0]);
        break;
      case TKind::Log:
        result = std::log(a[0]);
        break;
      case TKind::IfGreater:
        result = a[0] > a[1] ? a[2] : a[3];
        break;
      case TKind::IfLessEqual:
        result = a[0] <= a[1] ? a[2] : a[3];
        break;
      default:
        break;
    }
    if (roundToDouble) result = static_cast<double>(result);
    stack.resize(first);
    stack.push_back(result);
  }
  return stack.empty() ? 0 : stack.back();
}
