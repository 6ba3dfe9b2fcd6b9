#include "cli/ImportOptions.h"

#include <optional>
#include <ostream>
#include <stdexcept>

#include "import/CsvImport.h"
#include "import/CsvText.h"
#include "import/ImportError.h"
#include "exchange/ReplaceSamples.h"

namespace {

std::string Describe(const TColumnChoice& choice, const std::string& name) {
  std::string text = DescribeColumn(choice);
  if (choice.Number > 0 && !name.empty()) text += " (\"" + name + "\")";
  return text;
}

}  // namespace

void CheckImportOptions(const TCliImportOptions& import, bool samplesFile) {
  if (import.File.empty() && (!import.XColumns.empty() || !import.YColumn.empty())) {
    throw std::invalid_argument("--x-column and --y-column need --import");
  }
  if (!import.File.empty() && samplesFile) {
    throw std::invalid_argument("--import and --samples exclude each other");
  }
}

void ImportSamples(const TCliImportOptions& import, TSampleData& samples, std::ostream& log) {
  const std::string text = ReadCsvFile(import.File);
  TCsvImportSettings settings;
  try {
    std::vector<TColumnChoice> x;
    for (const std::string& given : import.XColumns) {
      const std::vector<TColumnChoice> choices = ParseColumnChoices(given);
      x.insert(x.end(), choices.begin(), choices.end());
    }
    std::optional<TColumnChoice> y;
    if (!import.YColumn.empty()) y = ParseColumnChoice(import.YColumn);
    settings = ChooseColumns(text, DetectCsvImport(text), std::move(x), y);
  } catch (const TImportError& error) {
    throw NamedImportError(import.File, error.what());
  }
  const TCsvImportResult result = ImportCsvFile(import.File, text, settings);
  ReplaceSamples(samples, result.Samples);
  const TCsvDialect& dialect = settings.Dialect;
  log << "import: delimiter "
      << (dialect.Delimiter == '\t' ? std::string("tab")
                                    : "'" + std::string(1, dialect.Delimiter) + "'")
      << ", decimal separator '" << dialect.DecimalSeparator << "', "
      << (dialect.Header ? "header" : "no header")
      << (settings.X.size() == 1 ? "; x " : "; inputs ");
  for (std::size_t k = 0; k < settings.X.size(); ++k) {
    log << (k > 0 ? ", " : "")
        << Describe(settings.X[k], k < result.XNames.size() ? result.XNames[k] : std::string());
  }
  log << ", y " << Describe(settings.Y, result.YName) << '\n'
      << "import: " << ImportSummary(result) << '\n';
}
