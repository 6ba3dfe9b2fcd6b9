#include "import/CsvImport.h"

#include <algorithm>
#include <new>
#include <optional>

#include "import/CsvNumber.h"
#include "import/CsvReader.h"
#include "import/CsvText.h"
#include "import/ImportError.h"
#include "exchange/ReplaceSamples.h"
#include "exchange/SampleRead.h"

namespace {

constexpr std::size_t SuggestionRows = 50;

struct TColumns {
  std::size_t X = 0;
  std::size_t Y = 0;
};

TColumns Resolve(const TCsvImportSettings& settings, const std::vector<std::string>& header) {
  const bool hasHeader = settings.Dialect.Header;
  return {ResolveColumn(settings.X, header, hasHeader),
          ResolveColumn(settings.Y, header, hasHeader)};
}

template <typename Row>
std::optional<TSamplePoint> ReadPoint(const Row& row, TColumns columns, char separator) {
  if (columns.X >= row.size() || columns.Y >= row.size()) return std::nullopt;
  const std::optional<double> x = ParseCsvNumber(row[columns.X], separator);
  if (!x) return std::nullopt;
  const std::optional<double> y = ParseCsvNumber(row[columns.Y], separator);
  if (!y) return std::nullopt;
  return TSamplePoint{*x, *y};
}

std::string NameAt(const std::vector<std::string>& header, std::size_t column) {
  return column < header.size() ? header[column] : std::string();
}

}  // namespace

TCsvImportSettings DetectCsvImport(std::string_view text) {
  TCsvImportSettings settings;
  settings.Dialect = DetectCsvDialect(text);
  const TCsvPreview preview = PreviewCsv(text, settings, SuggestionRows);
  const TColumnPair pair =
      SuggestColumns(preview.Header, preview.Rows, settings.Dialect.DecimalSeparator);
  settings.X = TColumnChoice::ByNumber(pair.X);
  settings.Y = TColumnChoice::ByNumber(pair.Y);
  return settings;
}

TCsvImportResult ImportCsv(std::string_view text, const TCsvImportSettings& settings,
                           std::int64_t maxRows) {
  TCsvReader reader(text, settings.Dialect.Delimiter);
  TCsvRecord record;
  std::vector<std::string> header;
  if (settings.Dialect.Header && reader.Next(record))
    header.assign(record.Fields.begin(), record.Fields.end());
  const TColumns columns = Resolve(settings, header);

  TCsvImportResult result;
  result.XName = NameAt(header, columns.X);
  result.YName = NameAt(header, columns.Y);
  std::size_t widest = header.size();
  const char separator = settings.Dialect.DecimalSeparator;
  while (reader.Next(record)) {
    if (record.Blank()) continue;
    ++result.Rows;
    widest = std::max(widest, record.Fields.size());
    if (const std::optional<TSamplePoint> point = ReadPoint(record.Fields, columns, separator)) {
      if (std::ssize(result.Points) == maxRows) {
        throw TImportError("It has more than " + std::to_string(maxRows) +
                           " rows of data, more than a sample set can hold.");
      }
      result.Points.push_back(*point);
      continue;
    }
    ++result.Skipped;
    if (result.SkippedLines.size() < TCsvImportResult::SkippedLinesKept)
      result.SkippedLines.push_back(record.Line);
  }

  if (result.Rows == 0) throw TImportError("The file holds no rows of data.");
  const auto requireColumn = [widest](const TColumnChoice& choice, std::size_t column) {
    if (column < widest) return;
    throw TImportError("There is no " + DescribeColumn(choice) + ": the widest row has " +
                       std::to_string(widest) + (widest == 1 ? " column." : " columns."));
  };
  requireColumn(settings.X, columns.X);
  requireColumn(settings.Y, columns.Y);
  if (result.Points.empty()) {
    throw TImportError("None of the " + std::to_string(result.Rows) + " rows has numbers in both " +
                       DescribeColumn(settings.X) + " and " + DescribeColumn(settings.Y) + ".");
  }
  return result;
}

TCsvImportResult ImportCsvFile(const std::string& fileName, std::string_view text,
                               const TCsvImportSettings& settings, std::int64_t maxRows) {
  try {
    return ImportCsv(text, settings, maxRows);
  } catch (const TImportError& error) {
    throw NamedImportError(fileName, error.what());
  } catch (const std::bad_alloc&) {
    throw NamedImportError(fileName, "There is not enough memory to import it.");
  }
}

void ImportCsv(std::string_view text, const TCsvImportSettings& settings, TSampleData& samples) {
  ReplaceSamples(samples, ImportCsv(text, settings).Points);
}

std::string ImportSummary(const TCsvImportResult& result) {
  std::string text = "Test data imported: " + std::to_string(result.Points.size()) +
                     (result.Points.size() == 1 ? " sample; " : " samples; ");
  if (result.Skipped == 0) return text + "no rows skipped.";
  text += std::to_string(result.Skipped) + (result.Skipped == 1 ? " row" : " rows");
  text += " skipped because a chosen cell is not a number (";
  text += result.SkippedLines.size() == 1 && result.Skipped == 1 ? "line " : "lines ";
  return text + LineList(result.SkippedLines, result.Skipped) + ").";
}

TCsvPreview PreviewCsv(std::string_view text, const TCsvImportSettings& settings,
                       std::size_t rows) {
  TCsvPreview preview;
  TCsvReader reader(text, settings.Dialect.Delimiter);
  TCsvRecord record;
  if (settings.Dialect.Header && reader.Next(record))
    preview.Header.assign(record.Fields.begin(), record.Fields.end());
  std::size_t widest = preview.Header.size();
  while (preview.Rows.size() < rows && reader.Next(record)) {
    if (record.Blank()) continue;
    preview.Rows.emplace_back(record.Fields.begin(), record.Fields.end());
    widest = std::max(widest, record.Fields.size());
  }
  preview.Columns = static_cast<std::int32_t>(std::min<std::size_t>(widest, INT32_MAX));

  std::optional<TColumns> columns;
  try {
    columns = Resolve(settings, preview.Header);
  } catch (const TImportError& error) {
    preview.ColumnError = error.what();
  }
  for (const auto& row : preview.Rows) {
    preview.Readable.push_back(columns &&
                               ReadPoint(row, *columns, settings.Dialect.DecimalSeparator));
  }
  return preview;
}
