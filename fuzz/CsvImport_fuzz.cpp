// The importer on any bytes: the reader gives back exactly the records that a writer quoting
// every field put down, the import counts every data row once as a sample, as skipped or as
// of another width, and a cell it reads as a number is what the C library reads from the
// same text.

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "import/CsvImport.h"
#include "import/CsvNumber.h"
#include "import/CsvReader.h"
#include "import/CsvText.h"
#include "fuzz/FuzzInput.h"
#include "import/ImportError.h"

namespace {

using TRecords = std::vector<std::vector<std::string>>;

TRecords ReadAll(std::string_view text, char delimiter, std::vector<std::int64_t>* lines) {
  TCsvReader reader(text, delimiter);
  TCsvRecord record;
  TRecords records;
  while (reader.Next(record)) {
    FUZZ_CHECK(!record.Fields.empty());
    if (lines) lines->push_back(record.Line);
    records.emplace_back(record.Fields.begin(), record.Fields.end());
  }
  FUZZ_CHECK(reader.Position() == text.size());
  return records;
}

std::string WriteQuoted(const TRecords& records, char delimiter) {
  std::string text;
  for (const auto& record : records) {
    for (std::size_t i = 0; i < record.size(); ++i) {
      if (i > 0) text += delimiter;
      text += '"';
      for (const char c : record[i]) {
        if (c == '"') text += '"';
        text += c;
      }
      text += '"';
    }
    text += "\r\n";
  }
  return text;
}

void CheckNumbers(const TRecords& records, char separator) {
  for (const auto& record : records) {
    for (const std::string& cell : record) {
      const std::optional<double> value = ParseCsvNumber(cell, separator);
      if (!value) continue;
      FUZZ_CHECK(std::isfinite(*value));
      std::string copy = cell;
      for (char& c : copy) {
        if (c == separator) c = '.';
      }
      FUZZ_CHECK(*value == std::strtod(copy.c_str(), nullptr));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::setlocale(LC_NUMERIC, "C");
  const std::uint8_t choice = data[0];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string text;
  try {
    text = DecodeCsvText(bytes);
  } catch (const TImportError&) {
    return 0;
  }

  TCsvImportSettings settings;
  settings.Dialect.Delimiter = ",;\t,"[choice & 3];
  settings.Dialect.DecimalSeparator = (choice & 4) != 0 ? ',' : '.';
  settings.Dialect.Header = (choice & 8) != 0;
  settings.X = {TColumnChoice::ByNumber(((choice >> 4) & 3) + 1)};
  settings.Y = TColumnChoice::ByNumber((choice >> 6) + 1);
  const char delimiter = settings.Dialect.Delimiter;

  std::vector<std::int64_t> lines;
  const TRecords records = ReadAll(text, delimiter, &lines);
  for (std::size_t i = 1; i < lines.size(); ++i)
    FUZZ_CHECK(lines[i] > lines[i - 1]);
  FUZZ_CHECK(ReadAll(WriteQuoted(records, delimiter), delimiter, nullptr) == records);
  CheckNumbers(records, settings.Dialect.DecimalSeparator);

  // Every data row once: a sample, skipped, of another width, or blank and not counted. The
  // width is the header's, else the most common of the first 50 rows, the first seen of a tie.
  const auto blank = [](const std::vector<std::string>& record) {
    return std::all_of(record.begin(), record.end(), [](const std::string& cell) {
      return cell.find_first_not_of(" \t") == std::string::npos;
    });
  };
  const std::size_t first = settings.Dialect.Header ? 1 : 0;
  std::size_t width = settings.Dialect.Header && !records.empty() ? records[0].size() : 0;
  if (!settings.Dialect.Header) {
    std::vector<std::size_t> widths;
    for (std::size_t r = first; r < records.size() && widths.size() < 50; ++r) {
      if (!blank(records[r])) widths.push_back(records[r].size());
    }
    std::ptrdiff_t most = 0;
    for (const std::size_t candidate : widths) {
      const std::ptrdiff_t count = std::count(widths.begin(), widths.end(), candidate);
      if (count > most) {
        width = candidate;
        most = count;
      }
    }
  }
  std::int64_t rows = 0;
  std::int64_t readable = 0;
  std::int64_t otherWidth = 0;
  for (std::size_t r = first; r < records.size(); ++r) {
    const auto& record = records[r];
    if (blank(record)) continue;
    ++rows;
    if (record.size() != width) {
      ++otherWidth;
      continue;
    }
    const auto x = static_cast<std::size_t>(settings.X.front().Number - 1);
    const auto y = static_cast<std::size_t>(settings.Y.Number - 1);
    if (x < record.size() && y < record.size() &&
        ParseCsvNumber(record[x], settings.Dialect.DecimalSeparator) &&
        ParseCsvNumber(record[y], settings.Dialect.DecimalSeparator)) {
      ++readable;
    }
  }
  try {
    const TCsvImportResult result = ImportCsv(text, settings);
    FUZZ_CHECK(result.Rows == rows);
    FUZZ_CHECK(result.Samples.Count() == readable && readable > 0);
    FUZZ_CHECK(result.OtherWidth == otherWidth && result.Width == width);
    FUZZ_CHECK(result.Skipped == rows - readable - otherWidth);
    FUZZ_CHECK(result.SkippedLines.size() ==
               std::min<std::size_t>(static_cast<std::size_t>(result.Skipped),
                                     TCsvImportResult::SkippedLinesKept));
    for (std::int32_t i = 0; i < result.Samples.Count(); ++i)
      FUZZ_CHECK(std::isfinite(result.Samples.GetX(i)) && std::isfinite(result.Samples.GetY(i)));
    (void)ImportSummary(result);
  } catch (const TImportError&) {
    // Besides no rows: one column for an input and y, or a header that cannot name them.
    const auto x = static_cast<std::size_t>(settings.X.front().Number - 1);
    const auto y = static_cast<std::size_t>(settings.Y.Number - 1);
    bool unnamed = false;
    if (settings.Dialect.Header && !records.empty()) {
      const auto name = [&](std::size_t column) {
        const std::string cell = column < records[0].size() ? records[0][column] : "";
        const std::size_t first = cell.find_first_not_of(" \t");
        return first == std::string::npos
                   ? std::string()
                   : cell.substr(first, cell.find_last_not_of(" \t") - first + 1);
      };
      unnamed = name(x).empty() || name(y).empty() || name(x) == name(y);
    }
    FUZZ_CHECK(readable == 0 || x == y || unnamed);
  }

  const TCsvImportSettings detected = DetectCsvImport(text);
  FUZZ_CHECK(detected.Dialect.Delimiter == ',' || detected.Dialect.Delimiter == ';' ||
             detected.Dialect.Delimiter == '\t');
  FUZZ_CHECK(detected.Dialect.DecimalSeparator == '.' || detected.Dialect.DecimalSeparator == ',');
  FUZZ_CHECK(!detected.X.empty() && detected.Y.Number >= 1);
  for (const TColumnChoice& x : detected.X)
    FUZZ_CHECK(x.Number >= 1 && x.Number != detected.Y.Number);
  const TCsvPreview preview = PreviewCsv(text, detected, 20);
  FUZZ_CHECK(preview.Rows.size() <= 20 && preview.Readable.size() == preview.Rows.size());
  return 0;
}
