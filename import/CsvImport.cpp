#include "import/CsvImport.h"

#include <algorithm>
#include <new>
#include <optional>

#include "core/search/SearchMemory.h"
#include "import/CsvNumber.h"
#include "import/CsvReader.h"
#include "import/CsvText.h"
#include "import/ImportError.h"
#include "exchange/ReplaceSamples.h"
#include "exchange/SampleRead.h"

namespace {

constexpr std::size_t SuggestionRows = 50;

struct TColumns {
  std::vector<std::size_t> X;
  std::size_t Y = 0;
};

std::string Capitalized(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

TColumns Resolve(const TCsvImportSettings& settings, const std::vector<std::string>& header) {
  const bool hasHeader = settings.Dialect.Header;
  if (settings.X.empty()) throw TImportError("No column is chosen as an input.");
  if (std::ssize(settings.X) > MaxInputs) {
    throw TImportError(std::to_string(settings.X.size()) + " columns are chosen as inputs; a " +
                       "sample set takes at most " + std::to_string(MaxInputs) + ".");
  }
  TColumns columns;
  columns.Y = ResolveColumn(settings.Y, header, hasHeader);
  for (const TColumnChoice& choice : settings.X) {
    const std::size_t column = ResolveColumn(choice, header, hasHeader);
    if (std::find(columns.X.begin(), columns.X.end(), column) != columns.X.end()) {
      throw TImportError(Capitalized(DescribeColumn(choice)) + " is chosen as an input twice.");
    }
    if (column == columns.Y) {
      throw TImportError(Capitalized(DescribeColumn(choice)) + " is chosen as an input and as y.");
    }
    columns.X.push_back(column);
  }
  return columns;
}

// The fields a row must have to be read: the header's, or without one the most common count
// of the first rows, the rows detection judges. A row of another width would be read
// shifted, a field split in two or two run together.
std::size_t RowWidth(std::string_view text, const TCsvImportSettings& settings,
                     const std::vector<std::string>& header) {
  if (settings.Dialect.Header) return header.size();
  TCsvReader reader(text, settings.Dialect.Delimiter);
  TCsvRecord record;
  std::vector<std::pair<std::size_t, std::size_t>> counts;  // width, rows, in order seen
  for (std::size_t rows = 0; rows < SuggestionRows && reader.Next(record);) {
    if (record.Blank()) continue;
    ++rows;
    const std::size_t width = record.Fields.size();
    const auto seen = std::find_if(counts.begin(), counts.end(),
                                   [width](const auto& count) { return count.first == width; });
    if (seen == counts.end()) {
      counts.emplace_back(width, 1);
    } else {
      ++seen->second;
    }
  }
  std::size_t width = 0;
  std::size_t most = 0;
  for (const auto& [fields, rows] : counts) {
    if (rows > most) {
      width = fields;
      most = rows;
    }
  }
  return width;
}

// The values of the chosen cells, the inputs' then y's; false unless all are numbers.
template <typename Row>
bool ReadRow(const Row& row, const TColumns& columns, char separator, double* values) {
  const auto read = [&](std::size_t column, double& value) {
    if (column >= row.size()) return false;
    const std::optional<double> number = ParseCsvNumber(row[column], separator);
    if (number) value = *number;
    return number.has_value();
  };
  for (std::size_t k = 0; k < columns.X.size(); ++k) {
    if (!read(columns.X[k], values[k])) return false;
  }
  return read(columns.Y, values[columns.X.size()]);
}

}  // namespace

std::string LimitText(const TMemoryLimit& memory) {
  return memory.Source == TMemoryLimit::Physical
             ? " this computer has."
             : " this process may use (its address-space limit).";
}

namespace {

// The records after the header that hold something: at least the rows a set takes.
std::int64_t CountDataRows(std::string_view text, const TCsvDialect& dialect) {
  TCsvReader reader(text, dialect.Delimiter);
  TCsvRecord record;
  if (dialect.Header) reader.Next(record);
  std::int64_t rows = 0;
  while (reader.Next(record))
    rows += record.Blank() ? 0 : 1;
  return rows;
}

// What the text and a sample of every row take together; refused when that is more than the
// process may use, before the samples are allocated.
void CheckImportMemory(std::uint64_t textBytes, std::int64_t rows, std::size_t columns,
                       const std::optional<TMemoryLimit>& memory) {
  if (!memory) return;
  const std::uint64_t samples =
      static_cast<std::uint64_t>(rows) * columns * static_cast<std::uint64_t>(sizeof(double));
  const std::uint64_t needed = textBytes + samples;
  if (needed <= memory->Bytes) return;
  throw TImportError("Its text and its " + std::to_string(rows) + " rows of " +
                     std::to_string(columns) + " values need " + FormatBytes(needed) +
                     " of memory, more than the " + FormatBytes(memory->Bytes) +
                     LimitText(*memory));
}

// "the header's 3 fields", "the 3 fields of most rows"
std::string WidthText(const TCsvImportResult& result) {
  const std::string fields =
      std::to_string(result.Width) + (result.Width == 1 ? " field" : " fields");
  return result.HeaderWidth ? "the header's " + fields : "the " + fields + " of most rows";
}

std::string NameAt(const std::vector<std::string>& header, std::size_t column) {
  return column < header.size() ? header[column] : std::string();
}

// The chosen columns' names as the set keeps them; the header must give each its own.
std::vector<std::string> ColumnNamesOf(const std::vector<std::string>& header,
                                       const TColumns& columns) {
  std::vector<std::size_t> all = columns.X;
  all.push_back(columns.Y);
  std::vector<std::string> names;
  for (const std::size_t column : all) {
    std::string name = NameAt(header, column);
    const std::size_t first = name.find_first_not_of(" \t");
    name = first == std::string::npos
               ? std::string()
               : name.substr(first, name.find_last_not_of(" \t") - first + 1);
    if (name.empty()) {
      throw TImportError("The header gives column " + std::to_string(column + 1) + " no name.");
    }
    for (std::size_t k = 0; k < names.size(); ++k) {
      if (names[k] == name) {
        throw TImportError("Columns " + std::to_string(all[k] + 1) + " and " +
                           std::to_string(column + 1) + " have the same name in the header, \"" +
                           name + "\".");
      }
    }
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

TCsvImportSettings DetectCsvImport(std::string_view text) {
  TCsvImportSettings settings;
  settings.Dialect = DetectCsvDialect(text);
  const TCsvPreview preview = PreviewCsv(text, settings, SuggestionRows);
  const TColumnSuggestion suggestion =
      SuggestColumns(preview.Header, preview.Rows, settings.Dialect.DecimalSeparator);
  settings.X.clear();
  for (const std::int32_t column : suggestion.X)
    settings.X.push_back(TColumnChoice::ByNumber(column));
  settings.Y = TColumnChoice::ByNumber(suggestion.Y);
  settings.Numeric = suggestion.Numeric;
  return settings;
}

TCsvImportSettings ChooseColumns(std::string_view text, TCsvImportSettings detected,
                                 std::vector<TColumnChoice> x, std::optional<TColumnChoice> y) {
  if (x.empty() && !y) return detected;
  std::vector<std::string> header;
  if (detected.Dialect.Header) header = PreviewCsv(text, detected, 0).Header;
  const auto index = [&](const TColumnChoice& choice) {
    return ResolveColumn(choice, header, detected.Dialect.Header);
  };
  if (!x.empty()) {
    detected.X = std::move(x);
    if (y) {
      detected.Y = *y;
      return detected;
    }
    // y as detected, unless it became an input: then the last other column of numbers.
    std::vector<std::size_t> inputs;
    for (const TColumnChoice& choice : detected.X)
      inputs.push_back(index(choice));
    const auto isInput = [&](std::size_t column) {
      return std::find(inputs.begin(), inputs.end(), column) != inputs.end();
    };
    if (!isInput(index(detected.Y))) return detected;
    for (auto column = detected.Numeric.rbegin(); column != detected.Numeric.rend(); ++column) {
      if (!isInput(static_cast<std::size_t>(*column - 1))) {
        detected.Y = TColumnChoice::ByNumber(*column);
        return detected;
      }
    }
    throw TImportError("Every column of numbers is an input: choose y.");
  }
  // y given: every other column of numbers is an input.
  detected.Y = *y;
  const std::size_t yColumn = index(*y);
  std::vector<std::int32_t> numbers = detected.Numeric;
  if (numbers.empty()) {
    for (const TColumnChoice& choice : detected.X)
      numbers.push_back(static_cast<std::int32_t>(index(choice) + 1));
  }
  detected.X.clear();
  for (const std::int32_t column : numbers) {
    if (static_cast<std::size_t>(column - 1) != yColumn)
      detected.X.push_back(TColumnChoice::ByNumber(column));
  }
  if (detected.X.empty()) throw TImportError("No other column holds numbers: choose the inputs.");
  return detected;
}

TCsvImportResult ImportCsv(std::string_view text, const TCsvImportSettings& settings,
                           std::int64_t maxRows, const std::optional<TMemoryLimit>& memory) {
  TCsvReader reader(text, settings.Dialect.Delimiter);
  TCsvRecord record;
  std::vector<std::string> header;
  if (settings.Dialect.Header && reader.Next(record))
    header.assign(record.Fields.begin(), record.Fields.end());
  const TColumns columns = Resolve(settings, header);

  TCsvImportResult result;
  result.Width = RowWidth(text, settings, header);
  result.HeaderWidth = settings.Dialect.Header;
  TSampleRead read;
  read.SetInputCount(static_cast<std::int32_t>(columns.X.size()));
  {
    // Room for every row at once: growing by doubling would hold three times the samples.
    const std::int64_t rows = std::min(CountDataRows(text, settings.Dialect), maxRows);
    CheckImportMemory(text.size(), rows, columns.X.size() + 1, memory);
    read.Reserve(static_cast<std::int32_t>(std::min<std::int64_t>(rows, MaxImportRows)));
  }
  double values[MaxInputs + 1];
  const std::span<const double> row(values, columns.X.size() + 1);
  std::size_t widest = header.size();
  const char separator = settings.Dialect.DecimalSeparator;
  const auto skip = [](std::int64_t& count, std::vector<std::int64_t>& lines, std::int64_t line) {
    ++count;
    if (lines.size() < TCsvImportResult::SkippedLinesKept) lines.push_back(line);
  };
  while (reader.Next(record)) {
    if (record.Blank()) continue;
    ++result.Rows;
    widest = std::max(widest, record.Fields.size());
    if (record.Fields.size() != result.Width) {
      skip(result.OtherWidth, result.OtherWidthLines, record.Line);
    } else if (ReadRow(record.Fields, columns, separator, values)) {
      if (read.Readable() == maxRows) {
        throw TImportError("It has more than " + std::to_string(maxRows) +
                           " rows of data, more than a sample set can hold.");
      }
      read.Add(row);
    } else {
      skip(result.Skipped, result.SkippedLines, record.Line);
    }
  }

  if (result.Rows == 0) throw TImportError("The file holds no rows of data.");
  const auto requireColumn = [widest](const TColumnChoice& choice, std::size_t column) {
    if (column < widest) return;
    throw TImportError("There is no " + DescribeColumn(choice) + ": the widest row has " +
                       std::to_string(widest) + (widest == 1 ? " column." : " columns."));
  };
  for (std::size_t k = 0; k < columns.X.size(); ++k)
    requireColumn(settings.X[k], columns.X[k]);
  requireColumn(settings.Y, columns.Y);
  if (read.Readable() == 0 && result.OtherWidth == result.Rows) {
    throw TImportError((result.Rows == 1
                            ? std::string("The 1 row does not have ")
                            : "None of the " + std::to_string(result.Rows) + " rows has ") +
                       WidthText(result) + ".");
  }
  if (read.Readable() == 0) {
    std::string chosen;
    for (const TColumnChoice& choice : settings.X)
      chosen += DescribeColumn(choice) + ", ";
    throw TImportError(
        "None of the " + std::to_string(result.Rows) + " rows has numbers in " +
        (settings.X.size() == 1 ? "both " : "all of ") +
        (settings.X.size() == 1 ? DescribeColumn(settings.X[0]) + " and " : chosen + "and ") +
        DescribeColumn(settings.Y) + ".");
  }
  // Checked last: a column past every row or a file without data says more.
  if (settings.Dialect.Header) {
    std::vector<std::string> names = ColumnNamesOf(header, columns);
    result.XNames.assign(names.begin(), names.end() - 1);
    result.YName = names.back();
    read.SetHeader(std::move(names));
  }
  std::move(read).MoveInto(result.Samples, TUnreadableChoice::Leave);
  return result;
}

TCsvImportResult ImportCsvFile(const std::string& fileName, std::string_view text,
                               const TCsvImportSettings& settings, std::int64_t maxRows,
                               const std::optional<TMemoryLimit>& memory) {
  try {
    return ImportCsv(text, settings, maxRows, memory);
  } catch (const TImportError& error) {
    throw NamedImportError(fileName, error.what());
  } catch (const std::bad_alloc&) {
    throw NamedImportError(fileName, "There is not enough memory to import it.");
  }
}

void ImportCsv(std::string_view text, const TCsvImportSettings& settings, TSampleData& samples) {
  ReplaceSamples(samples, ImportCsv(text, settings).Samples);
}

std::string ImportSummary(const TCsvImportResult& result) {
  const std::int32_t count = result.Samples.Count();
  std::string text =
      "Test data imported: " + std::to_string(count) + (count == 1 ? " sample; " : " samples; ");
  if (result.Skipped == 0 && result.OtherWidth == 0) return text + "no rows skipped.";
  const auto skipped = [](std::int64_t rows, const std::vector<std::int64_t>& lines,
                          const std::string& because) {
    return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " skipped because " + because +
           " (" + (lines.size() == 1 && rows == 1 ? "line " : "lines ") + LineList(lines, rows) +
           ")";
  };
  if (result.Skipped > 0)
    text += skipped(result.Skipped, result.SkippedLines, "a chosen cell is not a number");
  if (result.OtherWidth > 0) {
    if (result.Skipped > 0) text += "; ";
    text += skipped(result.OtherWidth, result.OtherWidthLines,
                    std::string(result.OtherWidth == 1 ? "it does" : "they do") + " not have " +
                        WidthText(result));
  }
  return text + ".";
}

std::string SkippedReasons(const TCsvPreview& preview) {
  std::vector<std::string_view> reasons;
  for (const std::string& reason : preview.Skipped) {
    if (!reason.empty() && std::find(reasons.begin(), reasons.end(), reason) == reasons.end())
      reasons.push_back(reason);
  }
  std::string text;
  for (const std::string_view reason : reasons)
    text += (text.empty() ? "" : ", or ") + std::string(reason);
  return text;
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
  const std::size_t width = RowWidth(text, settings, preview.Header);
  double values[MaxInputs + 1];
  for (const auto& row : preview.Rows) {
    std::string skipped;
    if (row.size() != width) {
      skipped = "the row does not have " +
                std::string(settings.Dialect.Header ? "the header's " : "the ") +
                std::to_string(width) + (width == 1 ? " field" : " fields") +
                (settings.Dialect.Header ? "" : " of most rows");
    } else if (!columns || !ReadRow(row, *columns, settings.Dialect.DecimalSeparator, values)) {
      skipped = "a chosen cell is not a number";
    }
    preview.Readable.push_back(skipped.empty());
    preview.Skipped.push_back(std::move(skipped));
  }
  return preview;
}
