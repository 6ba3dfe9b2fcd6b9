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

namespace {

// The columns of the options, or of the names where they are given and the file has a
// header to find them in.
TCsvImportSettings Columns(const TCliImportOptions& import, std::string_view text,
                           std::span<const std::string> names) {
  TCsvImportSettings detected = DetectCsvImport(text);
  if (!names.empty() && detected.Dialect.Header) {
    detected.X.clear();
    for (auto name = names.begin(); name + 1 != names.end(); ++name)
      detected.X.push_back(TColumnChoice::ByName(*name));
    detected.Y = TColumnChoice::ByName(names.back());
    return detected;
  }
  std::vector<TColumnChoice> x;
  for (const std::string& given : import.XColumns) {
    const std::vector<TColumnChoice> choices = ParseColumnChoices(given);
    x.insert(x.end(), choices.begin(), choices.end());
  }
  std::optional<TColumnChoice> y;
  if (!import.YColumn.empty()) y = ParseColumnChoice(import.YColumn);
  return ChooseColumns(text, std::move(detected), std::move(x), y);
}

}  // namespace

void ImportSamples(const TCliImportOptions& import, TSampleData& samples, std::ostream& log,
                   std::span<const std::string> names) {
  TCsvImportSettings settings;
  TCsvImportResult result;
  {
    // The text goes before the samples are taken: the two need not be held twice over.
    const std::string text = ReadCsvFile(import.File);
    try {
      settings = Columns(import, text, names);
    } catch (const TImportError& error) {
      throw NamedImportError(import.File, error.what());
    }
    result = ImportCsvFile(import.File, text, settings);
  }
  const std::string summary = ImportSummary(result);
  ReplaceSamples(samples, std::move(result.Samples));
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
  log << ", y " << Describe(settings.Y, result.YName) << '\n' << "import: " << summary << '\n';
}
