#include "cli/ImportOptions.h"

#include <ostream>
#include <stdexcept>

#include "import/CsvImport.h"
#include "import/CsvText.h"
#include "exchange/ReplaceSamples.h"

namespace {

std::string Describe(const TColumnChoice& choice, const std::string& name) {
  std::string text = DescribeColumn(choice);
  if (choice.Number > 0 && !name.empty()) text += " (\"" + name + "\")";
  return text;
}

}  // namespace

void CheckImportOptions(const TCliImportOptions& import, bool samplesFile) {
  if (import.File.empty() && (!import.XColumn.empty() || !import.YColumn.empty())) {
    throw std::invalid_argument("--x-column and --y-column need --import");
  }
  if (!import.File.empty() && samplesFile) {
    throw std::invalid_argument("--import and --samples exclude each other");
  }
}

void ImportSamples(const TCliImportOptions& import, TSampleData& samples, std::ostream& log) {
  const std::string text = ReadCsvFile(import.File);
  TCsvImportSettings settings = DetectCsvImport(text);
  if (!import.XColumn.empty()) settings.X = ParseColumnChoice(import.XColumn);
  if (!import.YColumn.empty()) settings.Y = ParseColumnChoice(import.YColumn);
  const TCsvImportResult result = ImportCsvFile(import.File, text, settings);
  ReplaceSamples(samples, result.Points);
  const TCsvDialect& dialect = settings.Dialect;
  log << "import: delimiter "
      << (dialect.Delimiter == '\t' ? std::string("tab")
                                    : "'" + std::string(1, dialect.Delimiter) + "'")
      << ", decimal separator '" << dialect.DecimalSeparator << "', "
      << (dialect.Header ? "header" : "no header") << "; x " << Describe(settings.X, result.XName)
      << ", y " << Describe(settings.Y, result.YName) << '\n'
      << "import: " << ImportSummary(result) << '\n';
}
