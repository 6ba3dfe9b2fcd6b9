#pragma once
// A formula as a person writes it: "x^3 + x^2 + x", "sin(4*x)", or the same in LaTeX.
// Terms are ordered by falling power of x, constants last; numbers that came from doubles
// are written as the shortest decimal that reads back as the same double.

#include <string>
#include <vector>

#include <ginac/ginac.h>

enum class TFormulaStyle { Plain, Latex };

// Whether a number is written exactly, as an integer or a fraction of small integers; other
// numbers are written as decimals.
[[nodiscard]] bool IsWrittenExactly(const GiNaC::numeric& n);

class TFormulaPrinter {
 public:
  // inputNames[k]: how input k is written (InputIdentifiers); the symbol's own name without.
  explicit TFormulaPrinter(TFormulaStyle style, std::vector<std::string> inputNames = {})
      : style_(style), inputNames_(std::move(inputNames)) {}

  [[nodiscard]] std::string Print(const GiNaC::ex& e) const;

 private:
  enum TPrecedence { InSum = 1, InProduct, InUnary, InPower, AtomLevel };

  std::string Expr(const GiNaC::ex& e, int context) const;
  std::string Number(const GiNaC::numeric& n, int context) const;
  std::string Sum(const GiNaC::ex& e, int context) const;
  std::string Product(const GiNaC::ex& e, int context) const;
  std::string PowerOf(const GiNaC::ex& base, const GiNaC::ex& exponent, int context) const;
  std::string Function(const GiNaC::ex& e) const;
  std::string Condition(const GiNaC::ex& relation) const;
  std::string Group(const std::string& text) const;
  std::string Symbol(const GiNaC::symbol& s) const;

  TFormulaStyle style_;
  std::vector<std::string> inputNames_;
};
