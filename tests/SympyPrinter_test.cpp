#include "formula/SympyPrinter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "formula/ModelExpression.h"

using namespace GiNaC;

namespace {

const std::string X = "Symbol('x', real=True)";

}  // namespace

TEST(SympyPrinter, NumbersKeepTheirExactValueOrTheDoubleTheyCameFrom) {
  const struct {
    ex Number;
    std::string Text;
  } cases[] = {
      {numeric(-7), "Integer(-7)"},
      // beyond a double's 53 bits: written out in full, not rounded
      {pow(numeric(2), 70) + 1, "Integer(1180591620717411303425)"},
      {numeric(-5, 6), "Rational(-5, 6)"},
      {model_expression::ExactNumber(0.1), "Float('0.1')"},
      {model_expression::ExactNumber(1e-300), "Float('1e-300')"},
      {numeric(1, 100000), "Float('1e-05')"},
      {numeric(3, 2) + numeric(2) * I, "Add(Rational(3, 2), Mul(Integer(2), I))"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Text, SympyText(c.Number)) << c.Number;
}

TEST(SympyPrinter, SumsProductsPowersAndFunctionsNestAsSympyBuildsThem) {
  const ex& x = model_expression::X();
  EXPECT_EQ(X, SympyText(x));
  EXPECT_EQ("sin(" + X + ")", SympyText(sin(x)));
  const std::string product = SympyText(cos(4 * x));
  EXPECT_EQ(0u, product.find("cos(Mul(")) << product;
  EXPECT_NE(std::string::npos, product.find("Integer(4)")) << product;
  EXPECT_EQ("log(Pow(" + X + ", Rational(1, 2)))", SympyText(log(sqrt(x))));
  const std::string sum = SympyText(pow(x, 3) + exp(x));
  EXPECT_NE(std::string::npos, sum.find("Pow(" + X + ", Integer(3))")) << sum;
  EXPECT_NE(std::string::npos, sum.find("exp(" + X + ")")) << sum;
  EXPECT_EQ(0u, sum.find("Add(")) << sum;
}

TEST(SympyPrinter, ASkipIsAPiecewiseOfItsComparison) {
  const ex& x = model_expression::X();
  const struct {
    ex Condition;
    const char* Relation;
  } cases[] = {
      {x > 1, "StrictGreaterThan"}, {x >= 1, "GreaterThan"}, {x < 1, "StrictLessThan"},
      {x <= 1, "LessThan"},         {x == 1, "Eq"},          {x != 1, "Ne"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ("Piecewise((Integer(2), " + std::string(c.Relation) + "(" + X +
                  ", Integer(1))), (cos(" + X + "), True))",
              SympyText(model_if(c.Condition, 2, cos(x))));
  }
}

TEST(SympyPrinter, ANameIsAPythonStringWhateverItHolds) {
  EXPECT_EQ("Symbol('it\\'s \\\\ \\x0a', real=True)", SympyText(realsymbol("it's \\ \n")));
}

TEST(SympyPrinter, WhatAModelNeverHoldsIsRefused) {
  const ex& x = model_expression::X();
  EXPECT_THROW((void)SympyText(abs(x)), std::invalid_argument);
  EXPECT_THROW((void)SympyText(lst{x}), std::invalid_argument);
}

TEST(SympyPrinter, InputsTakeTheNamesGivenForThemEvenInsideAComparison) {
  const ex& mass = model_expression::Input(0);
  const ex& speed = model_expression::Input(2);
  const std::string names[] = {"mass", "unused", "speed"};
  const std::string m = "Symbol('mass', real=True)";
  const std::string s = "Symbol('speed', real=True)";
  EXPECT_EQ(
      "Piecewise((" + m + ", StrictGreaterThan(" + s + ", Integer(1))), (sin(" + s + "), True))",
      SympyText(model_if(speed > 1, mass, sin(speed)), names));
  // Without names each input keeps its own, x1 ... xn.
  EXPECT_EQ("Symbol('x3', real=True)", SympyText(speed));
}
