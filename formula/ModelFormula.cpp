#include "formula/ModelFormula.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "formula/FormulaPrinter.h"
#include "formula/GuardedRun.h"
#include "formula/InputNames.h"
#include "formula/ModelExpression.h"
#include "formula/ReadableFormula.h"
#include "formula/SympyPrinter.h"

namespace {

std::string Short(double value) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 2).ptr;
  return std::string(buffer, end);
}

std::string GuardList(std::uint32_t guards) {
  std::string text;
  for (int kind = 0; kind < GuardKindCount; ++kind) {
    const std::uint32_t bit = 1u << kind;
    if ((guards & bit) == 0) continue;
    if (!text.empty()) text += ", ";
    text += GuardName(bit);
  }
  return text;
}

struct TDifference {
  bool Agree = true;
  double Absolute = 0;
  double Relative = 0;
};

TDifference Difference(long double value, double expected) {
  // NaN against NaN (a NaN x) and equal infinities agree.
  if ((std::isnan(value) && std::isnan(expected)) || value == expected) return {};
  const double difference = static_cast<double>(std::fabs(value - expected));
  return {false, difference,
          difference / std::max(std::fabs(expected), std::numeric_limits<double>::min())};
}

// NaN compares false: keep it visible.
void Widen(double& largest, double value) noexcept {
  if (!(value <= largest)) largest = value;
}

}  // namespace

namespace {

// CheckFormula over count samples, inputsOf(i) giving the inputs of sample i.
template <typename Inputs>
TFormulaCheck CheckSamples(const TTuringEvaluator& program, const TModelFormula& formula,
                           std::int32_t count, Inputs inputsOf) {
  const TGuardedRun run(program, formula.Watch, formula.Decided);
  TFormulaCheck check;
  check.Samples = count;
  const bool shown = formula.Rounded && !formula.ShownEvaluator.Empty();
  for (std::int32_t i = 0; i < count; ++i) {
    const std::span<const double> x = inputsOf(i);
    const TGuardedResult result = run.Run(x);
    if (result.Guards != GuardNone) {
      ++check.Guarded;
      check.Guards |= result.Guards;
      continue;
    }
    if (shown) {
      const TDifference d = Difference(formula.ShownEvaluator.Evaluate(x), result.Value);
      Widen(check.ShownLargestDifference, d.Absolute);
      Widen(check.ShownLargestRelativeDifference, d.Relative);
    }
    const long double value = formula.Evaluator.Evaluate(x);
    const TDifference d = Difference(value, result.Value);
    if (d.Agree) continue;
    Widen(check.LargestDifference, d.Absolute);
    Widen(check.LargestRelativeDifference, d.Relative);
    const long double rounded = formula.Evaluator.Evaluate(x, true);
    if (!(std::fabs(rounded - value) <= UnstableShare * std::fabs(value))) {
      ++check.Unstable;
    } else {
      Widen(check.LargestStableRelativeDifference,
            d.Absolute / std::max({std::fabs(result.Value), result.Scale,
                                   std::numeric_limits<double>::min()}));
    }
  }
  return check;
}

}  // namespace

TFormulaCheck CheckFormula(const TTuringEvaluator& program, const TModelFormula& formula,
                           const std::vector<double>& xs) {
  return CheckSamples(program, formula, static_cast<std::int32_t>(xs.size()),
                      [&xs](std::int32_t i) {
                        return std::span<const double>(&xs[static_cast<std::size_t>(i)], 1);
                      });
}

TFormulaCheck CheckFormulaOn(const TTuringEvaluator& program, const TModelFormula& formula,
                             const TSampleData& samples) {
  return CheckSamples(program, formula, samples.Count(),
                      [&samples](std::int32_t i) { return samples.Inputs(i); });
}

TModelFormula MakeFormula(const TTuringEvaluator& program, const TSampleData& samples,
                          const TExpressionLimits& limits) {
  TModelFormula formula;
  const std::optional<model_expression::TBuilt> built = model_expression::Build(program, limits);
  if (!built) return formula;
  const GiNaC::ex simple = model_expression::Simplify(built->Expr, limits);
  formula.Watch = built->Watch;
  formula.Decided = built->Decided;
  formula.Available = true;
  const GiNaC::ex shown = Readable(simple);
  formula.Rounded = !shown.is_equal(simple);
  const std::vector<std::string> names = samples.InputCount() == program.InputCount()
                                             ? InputIdentifiers(samples)
                                             : InputIdentifiers({}, program.InputCount());
  const TFormulaPrinter plain(TFormulaStyle::Plain, names);
  formula.Exact = plain.Print(simple);
  formula.Plain = formula.Rounded ? plain.Print(shown) : formula.Exact;
  formula.Latex = TFormulaPrinter(TFormulaStyle::Latex, names).Print(shown);
  try {
    formula.Sympy = SympyText(simple, names);
  } catch (const std::invalid_argument&) {
    // Left empty: a part with no SymPy form costs that form only.
  }
  try {
    formula.Evaluator = TFormulaEvaluator(simple);
    if (formula.Rounded) formula.ShownEvaluator = TFormulaEvaluator(shown);
  } catch (const std::exception&) {
    return formula;  // GiNaC wrote something no double can hold
  }
  formula.Check = CheckFormulaOn(program, formula, samples);
  return formula;
}

std::vector<std::string> FormulaNote(const TModelFormula& formula, TFormulaDigits digits) {
  if (!formula.Available) {
    return {
        "The formula is too large to show; copy the model as C or Python for the exact "
        "function."};
  }
  const TFormulaCheck& check = formula.Check;
  std::vector<std::string> lines;
  if (check.Guarded > 0) {
    lines.push_back("The model's guards act at " + std::to_string(check.Guarded) + " of " +
                    std::to_string(check.Samples) + " samples (" + GuardList(check.Guards) +
                    "): there the formula and the model differ.");
  }
  const std::int32_t checked = check.Samples - check.Guarded;
  const std::string exact =
      Short(check.LargestDifference) + " (relative " + Short(check.LargestRelativeDifference) + ")";
  if (checked == 0) {
    lines.push_back("No sample is left to check the formula on.");
  } else if (digits == TFormulaDigits::Shown && formula.Rounded) {
    lines.push_back("Checked against the model at " + std::to_string(checked) +
                    (checked == 1 ? " sample" : " samples") +
                    ": as shown, with numbers rounded to " + std::to_string(ShownDigits) +
                    " digits, largest difference " + Short(check.ShownLargestDifference) +
                    " (relative " + Short(check.ShownLargestRelativeDifference) +
                    "); with every digit, " + exact + ".");
  } else {
    lines.push_back("Checked against the model at " + std::to_string(checked) +
                    (checked == 1 ? " sample" : " samples") + ": largest difference " + exact +
                    ".");
  }
  return lines;
}
