#include "formula/ReadableFormula.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "formula/FormulaEvaluator.h"
#include "formula/FormulaPrinter.h"
#include "formula/ModelExpression.h"

using namespace GiNaC;

namespace {

// A real number that a double holds, or nothing. GiNaC's own evaluation of a constant such
// as exp(exp(tan(e^e))) can take gigabytes; the evaluator works in long double.
std::optional<double> FiniteValue(const ex& e) {
  double value = 0;
  try {
    value = static_cast<double>(TFormulaEvaluator(e).Evaluate(0));
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

// GiNaC raises a number to the integer part of a rational power exactly, digit by digit: a
// constant that did not fold (its value overflows, or is complex) keeps a power whose new
// exponent would be large as it was.
constexpr long LargestExactPower = 64;

ex PowerOf(const ex& original, const ex& base, const ex& exponent) {
  if (is_a<numeric>(base) && is_a<numeric>(exponent) && ex_to<numeric>(exponent).is_real() &&
      abs(ex_to<numeric>(exponent)) > numeric(LargestExactPower))
    return original;
  return pow(base, exponent);
}

struct TFoldConstants : map_function {
  ex operator()(const ex& e) override {
    if (is_a<numeric>(e) || is_a<symbol>(e)) return e;
    const bool constant = !model_expression::HasInput(e);
    // A condition keeps its two sides apart: x > 2 must not become a truth value.
    if (constant && !is_a<relational>(e)) {
      if (const std::optional<double> value = FiniteValue(e))
        return model_expression::ExactNumber(*value);
    }
    if (constant && is_a<power>(e)) return PowerOf(e, (*this)(e.op(0)), (*this)(e.op(1)));
    return e.map(*this);
  }
};

struct TRoundNumbers : map_function {
  explicit TRoundNumbers(int digits) : Digits(digits) {}
  ex operator()(const ex& e) override {
    if (is_a<numeric>(e)) return Round(ex_to<numeric>(e));
    if (is_a<power>(e)) return PowerOf(e, (*this)(e.op(0)), (*this)(e.op(1)));
    return e.map(*this);
  }
  [[nodiscard]] ex Round(const numeric& n) const {
    if (!n.is_real() || IsWrittenExactly(n)) return n;
    const double value = n.to_double();
    if (!std::isfinite(value)) return n;
    return model_expression::ExactNumber(RoundToDigits(value, Digits));
  }
  int Digits;
};

}  // namespace

double RoundToDigits(double value, int digits) noexcept {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::scientific, digits - 1)
                       .ptr;
  double rounded = value;
  std::from_chars(buffer, end, rounded);
  return rounded;
}

ex Readable(const ex& e, int digits) {
  TFoldConstants fold;
  TRoundNumbers round(digits);
  try {
    return round(fold(e));
  } catch (const std::exception&) {
    return e;  // GiNaC met a pole on the way: show the formula as it was
  }
}
