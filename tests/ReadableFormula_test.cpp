#include "formula/ReadableFormula.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

#include "formula/FormulaEvaluator.h"
#include "formula/FormulaPrinter.h"
#include "formula/ModelExpression.h"

using namespace GiNaC;

namespace {

ex N(double value) {
  return model_expression::ExactNumber(value);
}

std::string Shown(const ex& e) {
  return TFormulaPrinter(TFormulaStyle::Plain).Print(Readable(e));
}

ex X() {
  return model_expression::X();
}

}  // namespace

TEST(ReadableFormula, RoundsToSignificantDigits) {
  const struct {
    double Value;
    double Rounded;
  } cases[] = {
      {3213.0186, 3213.02},
      {0.6931471805599453, 0.693147},
      {575314314590265, 5.75314e14},
      {-1.23456789e-7, -1.23457e-7},
      {0.1, 0.1},
      {999999.5, 1e6},
      {1e300, 1e300},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Rounded, RoundToDigits(c.Value, 6)) << c.Value;
}

TEST(ReadableFormula, FoldsAProductOfConstantsIntoOneNumber) {
  // 3.81e-06 * sqrt(575314314590265) = 91.38555751...
  const ex e = N(3.81e-06) * sqrt(N(575314314590265)) * sqrt(tan(N(0.000466) * X()));
  EXPECT_EQ("91.3856*sqrt(tan(0.000466*x))", Shown(e));
  EXPECT_EQ("1.41421*x + 0.693147", Shown(sqrt(numeric(2)) * X() + N(0.6931471805599453)));
}

TEST(ReadableFormula, KeepsSmallIntegersFractionsAndConditions) {
  EXPECT_EQ("x/3 - 5/6", Shown(X() / 3 - numeric(5, 6)));
  EXPECT_EQ("x^3 + 2*x", Shown(pow(X(), 3) + 2 * X()));
  // Both sides of a comparison stay; only their numbers are rounded.
  EXPECT_EQ("(x > 3.14159 ? 2*x : x)",
            Shown(model_if(X() > N(3.14159265358979), 2 * X(), X()).hold()));
}

TEST(ReadableFormula, LeavesAConstantThatWillNotFoldWithoutRaisingItExactly) {
  // sqrt(5555)^(2.6e-4 * e^37) overflows a double; raised exactly it would take gigabytes.
  const ex base = sqrt(N(5554.9778));
  const ex e = pow(base, N(2.574752135048839e-4) * sqrt(exp(base))) + X();
  const auto start = std::chrono::steady_clock::now();
  const ex shown = Readable(e);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(std::numeric_limits<long double>::infinity(), TFormulaEvaluator(shown).Evaluate(1));
  // A negative number to a fractional power has no real value: its numbers are rounded.
  EXPECT_EQ("x + (-5678.09)^(0.945225)",
            Shown(pow(N(-5678.094871112406), N(0.9452252637291247)) + X()));
}
