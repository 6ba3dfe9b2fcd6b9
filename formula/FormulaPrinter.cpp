#include "formula/FormulaPrinter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

#include "formula/ModelExpression.h"

using namespace GiNaC;

namespace {

// Small enough to be read as a fraction.
constexpr long SmallInteger = 100000;

bool IsSmall(const numeric& n) {
  return abs(n) < numeric(SmallInteger);
}

std::string Shortest(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The numeric factor of a term and the rest of it.
std::pair<numeric, ex> SplitCoefficient(const ex& term) {
  if (is_a<numeric>(term)) return {ex_to<numeric>(term), 1};
  if (is_a<mul>(term)) {
    const ex c = term.op(term.nops() - 1);  // GiNaC keeps a mul's number last
    if (is_a<numeric>(c)) return {ex_to<numeric>(c), term / c};
  }
  return {numeric(1), term};
}

bool IsNegativeTerm(const ex& term) {
  const numeric c = SplitCoefficient(term).first;
  return c.is_real() && c.is_negative();
}

// The order of a sum's terms: powers of x by falling exponent, then other terms, then the
// constant.
double TermRank(const ex& term) {
  const ex rest = SplitCoefficient(term).second;
  const ex& x = model_expression::X();
  if (rest.is_equal(x)) return 1;
  if (is_a<power>(rest) && rest.op(0).is_equal(x) && is_a<numeric>(rest.op(1)) &&
      ex_to<numeric>(rest.op(1)).is_real())
    return ex_to<numeric>(rest.op(1)).to_double();
  if (is_a<numeric>(rest)) return -1e300;
  return -1e299;
}

}  // namespace

bool IsWrittenExactly(const numeric& n) {
  return n.is_rational() && IsSmall(n.numer()) && IsSmall(n.denom());
}

std::string TFormulaPrinter::Print(const ex& e) const {
  return Expr(e, InSum);
}

std::string TFormulaPrinter::Group(const std::string& text) const {
  return style_ == TFormulaStyle::Latex ? "\\left(" + text + "\\right)" : "(" + text + ")";
}

std::string TFormulaPrinter::Symbol(const symbol& s) const {
  const auto k = static_cast<std::size_t>(model_expression::InputOf(s));
  const std::string name = k < inputNames_.size() ? inputNames_[k] : s.get_name();
  if (style_ != TFormulaStyle::Latex || name.size() == 1) return name;
  // x12 as x with the subscript 12; a longer name as one italic word, underscores escaped.
  const std::size_t digits = name.find_first_of("0123456789");
  if (digits == 1 && name.find_first_not_of("0123456789", 1) == std::string::npos)
    return name.substr(0, 1) + "_{" + name.substr(1) + "}";
  std::string text = "\\mathit{";
  for (const char c : name) {
    if (c == '_') text += '\\';
    text += c;
  }
  return text + "}";
}

std::string TFormulaPrinter::Expr(const ex& e, int context) const {
  if (is_a<numeric>(e)) return Number(ex_to<numeric>(e), context);
  if (is_a<symbol>(e)) return Symbol(ex_to<symbol>(e));
  if (is_a<add>(e)) return Sum(e, context);
  if (is_a<mul>(e)) return Product(e, context);
  if (is_a<power>(e)) return PowerOf(e.op(0), e.op(1), context);
  if (is_a<function>(e)) return Function(e);
  std::ostringstream other;
  other << e;
  return Group(other.str());
}

std::string TFormulaPrinter::Number(const numeric& n, int context) const {
  if (!n.is_real()) {
    std::ostringstream complex;
    complex << n;
    return Group(complex.str());
  }
  if (n.is_negative()) {
    const std::string text = "-" + Number(-n, InProduct);
    return context > InSum ? Group(text) : text;
  }
  std::string text;
  if (n.is_integer() && IsSmall(n)) {
    text = std::to_string(n.to_long());
  } else if (IsWrittenExactly(n)) {
    const std::string p = std::to_string(n.numer().to_long());
    const std::string q = std::to_string(n.denom().to_long());
    if (style_ == TFormulaStyle::Latex) return "\\frac{" + p + "}{" + q + "}";
    text = p + "/" + q;
    return context > InProduct ? Group(text) : text;
  } else {
    text = Shortest(n.to_double());
    if (style_ == TFormulaStyle::Latex) {
      if (const auto e = text.find('e'); e != std::string::npos) {
        const int exponent = std::stoi(text.substr(e + 1));
        text = text.substr(0, e) + " \\cdot 10^{" + std::to_string(exponent) + "}";
        return context > InProduct ? Group(text) : text;
      }
    }
  }
  return text;
}

std::string TFormulaPrinter::Sum(const ex& e, int context) const {
  std::vector<ex> terms(e.begin(), e.end());
  std::stable_sort(terms.begin(), terms.end(),
                   [](const ex& a, const ex& b) { return TermRank(a) > TermRank(b); });
  std::string text;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    const bool negative = IsNegativeTerm(terms[i]);
    if (i == 0) {
      text = Expr(terms[i], InSum);
    } else if (negative) {
      text += " - " + Expr(-terms[i], InProduct);
    } else {
      text += " + " + Expr(terms[i], InProduct);
    }
  }
  return context > InSum ? Group(text) : text;
}

std::string TFormulaPrinter::Product(const ex& e, int context) const {
  const bool latex = style_ == TFormulaStyle::Latex;
  auto [coefficient, rest] = SplitCoefficient(e);
  if (coefficient.is_real() && coefficient.is_negative()) {
    const std::string text = "-" + Expr(-e, InUnary);
    return context > InSum ? Group(text) : text;
  }
  std::vector<ex> numerator;
  std::vector<ex> denominator;
  if (IsWrittenExactly(coefficient)) {
    if (coefficient.numer() != 1) numerator.push_back(coefficient.numer());
    if (coefficient.denom() != 1) denominator.push_back(coefficient.denom());
  } else if (coefficient != 1) {
    numerator.push_back(coefficient);
  }
  const auto factors =
      is_a<mul>(rest) ? std::vector<ex>(rest.begin(), rest.end()) : std::vector<ex>{rest};
  for (const ex& f : factors) {
    if (is_a<power>(f) && is_a<numeric>(f.op(1)) && ex_to<numeric>(f.op(1)).is_real() &&
        ex_to<numeric>(f.op(1)).is_negative()) {
      denominator.push_back(pow(f.op(0), -f.op(1)));
    } else if (!f.is_equal(1)) {
      numerator.push_back(f);
    }
  }
  const auto join = [&](const std::vector<ex>& list, int inner) {
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (i > 0) {
        const bool numbers = is_a<numeric>(list[i - 1]) && is_a<numeric>(list[i]);
        text += latex ? (numbers ? " \\cdot " : " ") : "*";
      }
      text += Expr(list[i], inner);
    }
    return text;
  };
  std::string text;
  if (denominator.empty()) {
    text = join(numerator, InProduct);
  } else if (latex) {
    text = "\\frac{" + (numerator.empty() ? "1" : join(numerator, InProduct)) + "}{" +
           join(denominator, InProduct) + "}";
  } else {
    const std::string over = denominator.size() > 1 ? Group(join(denominator, InProduct))
                                                    : Expr(denominator[0], InPower);
    text = (numerator.empty() ? "1" : join(numerator, InProduct)) + "/" + over;
  }
  return context > InProduct ? Group(text) : text;
}

std::string TFormulaPrinter::PowerOf(const ex& base, const ex& exponent, int context) const {
  const bool latex = style_ == TFormulaStyle::Latex;
  if (is_a<numeric>(exponent)) {
    const numeric n = ex_to<numeric>(exponent);
    if (n.is_real() && n.is_negative()) return Product(pow(base, exponent), context);
    if (n == numeric(1, 2)) {
      return latex ? "\\sqrt{" + Expr(base, InSum) + "}" : "sqrt(" + Expr(base, InSum) + ")";
    }
  }
  const std::string b = Expr(base, AtomLevel);
  std::string text;
  if (latex) {
    text = b + "^{" + Expr(exponent, InSum) + "}";
  } else {
    const bool plain = is_a<symbol>(exponent) ||
                       (is_a<numeric>(exponent) && ex_to<numeric>(exponent).is_nonneg_integer());
    text = b + "^" + (plain ? Expr(exponent, AtomLevel) : Group(Expr(exponent, InSum)));
  }
  return context > InPower ? Group(text) : text;
}

std::string TFormulaPrinter::Condition(const ex& relation) const {
  const relational& r = ex_to<relational>(relation);
  const bool greater = r.info(info_flags::relation_greater);
  const char* op = greater ? " > " : (style_ == TFormulaStyle::Latex ? " \\le " : " <= ");
  return Expr(relation.lhs(), InSum) + op + Expr(relation.rhs(), InSum);
}

std::string TFormulaPrinter::Function(const ex& e) const {
  const bool latex = style_ == TFormulaStyle::Latex;
  const std::string name = ex_to<function>(e).get_name();
  if (name == "model_if") {
    const std::string then = Expr(e.op(1), InSum);
    const std::string otherwise = Expr(e.op(2), InSum);
    if (latex) {
      return "\\begin{cases} " + then + " & \\text{if } " + Condition(e.op(0)) + " \\\\ " +
             otherwise + " & \\text{otherwise} \\end{cases}";
    }
    return "(" + Condition(e.op(0)) + " ? " + then + " : " + otherwise + ")";
  }
  const std::string argument = Expr(e.op(0), InSum);
  if (latex) {
    if (name == "exp") return "e^{" + argument + "}";
    const std::string command = name == "log" ? "\\ln" : "\\" + name;
    return command + Group(argument);
  }
  return (name == "log" ? std::string("ln") : name) + "(" + argument + ")";
}
