#include "formula/SympyPrinter.h"

#include <charconv>
#include <span>
#include <sstream>
#include <stdexcept>

#include "formula/ModelExpression.h"

using namespace GiNaC;

namespace {

// Integers and fractions up to this stay exact, as the plain formula writes them.
constexpr long SmallInteger = 100000;

// A Python string literal of name, whatever characters it holds.
std::string Quoted(const std::string& name) {
  std::string text = "'";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) {
      static constexpr char Hex[] = "0123456789abcdef";
      text += {'\\', 'x', Hex[c >> 4], Hex[c & 15]};
      continue;
    }
    if (c == '\\' || c == '\'') text += '\\';
    text += c;
  }
  return text + "'";
}

using TNames = std::span<const std::string>;

std::string Join(const char* head, const ex& e, TNames names) {
  std::string text = head;
  text += '(';
  for (std::size_t i = 0; i < e.nops(); ++i) {
    if (i > 0) text += ", ";
    text += SympyText(e.op(i), names);
  }
  return text + ')';
}

std::string Real(const numeric& n) {
  if (n.is_integer()) {
    std::ostringstream digits;
    digits << n;  // exact, however many digits
    return "Integer(" + digits.str() + ")";
  }
  if (n.is_rational() && abs(n.numer()) < SmallInteger && n.denom() < SmallInteger) {
    return "Rational(" + std::to_string(n.numer().to_long()) + ", " +
           std::to_string(n.denom().to_long()) + ")";
  }
  // The shortest text that reads back as the double: SymPy's default 15 digits hold the
  // double's 53 bits exactly.
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, n.to_double()).ptr;
  return "Float('" + std::string(buffer, end) + "')";
}

std::string Relation(const ex& e, TNames names) {
  const relational& r = ex_to<relational>(e);
  const char* name = r.info(info_flags::relation_greater)            ? "StrictGreaterThan"
                     : r.info(info_flags::relation_greater_or_equal) ? "GreaterThan"
                     : r.info(info_flags::relation_less)             ? "StrictLessThan"
                     : r.info(info_flags::relation_less_or_equal)    ? "LessThan"
                     : r.info(info_flags::relation_equal)            ? "Eq"
                                                                     : "Ne";
  return std::string(name) + "(" + SympyText(e.lhs(), names) + ", " + SympyText(e.rhs(), names) +
         ")";
}

std::string Function(const ex& e, TNames names) {
  const std::string name = ex_to<function>(e).get_name();
  if (name == "model_if") {
    return "Piecewise((" + SympyText(e.op(1), names) + ", " + Relation(e.op(0), names) + "), (" +
           SympyText(e.op(2), names) + ", True))";
  }
  if (name == "sin" || name == "cos" || name == "tan" || name == "exp" || name == "log")
    return Join(name.c_str(), e, names);
  throw std::invalid_argument("no SymPy form for the function " + name);
}

}  // namespace

std::string SympyText(const ex& e, std::span<const std::string> inputNames) {
  if (is_a<numeric>(e)) {
    const numeric& n = ex_to<numeric>(e);
    if (n.is_real()) return Real(n);
    return "Add(" + Real(n.real()) + ", Mul(" + Real(n.imag()) + ", I))";
  }
  if (is_a<symbol>(e)) {
    const symbol& s = ex_to<symbol>(e);
    const auto k = static_cast<std::size_t>(model_expression::InputOf(s));
    return "Symbol(" + Quoted(k < inputNames.size() ? inputNames[k] : s.get_name()) +
           ", real=True)";
  }
  if (is_a<add>(e)) return Join("Add", e, inputNames);
  if (is_a<mul>(e)) return Join("Mul", e, inputNames);
  if (is_a<power>(e)) return Join("Pow", e, inputNames);
  if (is_a<function>(e)) return Function(e, inputNames);
  throw std::invalid_argument("no SymPy form for a part of the formula");
}
