#include "cli/ModelExport.h"

#include <optional>

#include "formula/CodeEmitter.h"
#include "formula/ModelFormula.h"

void PrintModelForms(std::ostream& out, const std::vector<std::string>& forms,
                     const TTuringEvaluator& model, const TSampleData& samples,
                     const TModelOrigin& origin) {
  std::optional<TModelFormula> formula;
  // The code's parameters take the samples' column names.
  TModelOrigin named = origin;
  if (named.Columns.empty()) named.Columns = samples.Names();
  for (const std::string& form : forms) {
    if (form == "c") {
      out << EmitC(model, named);
    } else if (form == "python") {
      out << EmitPython(model, named);
    } else {
      if (!formula) formula = MakeFormula(model, samples);
      const bool exact = form == "formula-exact";
      if (formula->Available) {
        out << (form == "latex" ? formula->Latex : exact ? formula->Exact : formula->Plain) << '\n';
      }
      for (const std::string& line :
           FormulaNote(*formula, exact ? TFormulaDigits::Exact : TFormulaDigits::Shown))
        out << "// " << line << '\n';
    }
  }
}

std::string SampleSourceName(const TCliOptions& options) {
  if (!options.SamplesFile.empty()) return options.SamplesFile;
  if (!options.Import.File.empty()) return options.Import.File;
  return std::string(options.RandomSample ? "the generated random sample"
                                          : "the generated sine sample") +
         (options.Search.Seed ? ", seed " + std::to_string(*options.Search.Seed) : std::string());
}
