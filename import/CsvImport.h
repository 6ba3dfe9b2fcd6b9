#pragma once
// Import of a delimited text into a sample set: each row gives a sample, its inputs and y,
// from its chosen cells; a row whose chosen cells are not all numbers is skipped and counted.
// The preview shows the first rows as the dialog lets the user judge them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/MemoryLimit.h"
#include "import/CsvColumns.h"
#include "import/CsvDialect.h"
#include "core/model/SD.h"

struct TCsvImportSettings {
  TCsvDialect Dialect;
  std::vector<TColumnChoice> X{TColumnChoice::ByNumber(1)};  // the inputs, in their order
  TColumnChoice Y = TColumnChoice::ByNumber(2);
  std::vector<std::int32_t> Numeric = {};  // the columns of numbers detection found, from 1
};

// The dialect of the text and the columns SuggestColumns proposes for it.
[[nodiscard]] TCsvImportSettings DetectCsvImport(std::string_view text);

// The columns of detected where the user chose some: the inputs given with y as detected
// (or, when y is among them, the last other column of numbers), or y given with every other
// column of numbers as inputs. Throws TImportError for a name that is not in the header.
[[nodiscard]] TCsvImportSettings ChooseColumns(std::string_view text, TCsvImportSettings detected,
                                               std::vector<TColumnChoice> x,
                                               std::optional<TColumnChoice> y);

struct TCsvImportResult {
  TSampleData Samples;                     // in the order of the rows, with the header's names
  std::int64_t Rows = 0;                   // data rows, the header and blank rows not counted
  std::int64_t Skipped = 0;                // rows whose chosen cells are not all numbers
  std::vector<std::int64_t> SkippedLines;  // the lines of the first few skipped rows
  std::size_t Width = 0;                   // the fields a row must have to be read
  bool HeaderWidth = false;                // Width is the header's, not that of most rows
  std::int64_t OtherWidth = 0;             // rows of another width, which are left out
  std::vector<std::int64_t> OtherWidthLines;
  std::vector<std::string> XNames;  // the header names of the chosen columns, when there is one
  std::string YName;

  static constexpr std::size_t SkippedLinesKept = 5;
};

// " this computer has.", " this process may use (its address-space limit)."
[[nodiscard]] std::string LimitText(const TMemoryLimit& memory);

// A sample set counts its rows in 32 bits.
inline constexpr std::int64_t MaxImportRows = INT32_MAX;

// A row is read only when it has as many fields as the header (without one, as most of the
// first rows): a row of another width is left out and counted, never read shifted.
// Throws TImportError when a column cannot be resolved, is chosen as an input twice or as
// both an input and y, when there are more than MaxInputs inputs, when a chosen column's
// header name is empty or that of another chosen column, when no row gives a sample (the
// text has no data rows, a chosen column is past every row, no row has all numbers or the
// width), when more than maxRows rows would give one, and when the text and a sample of
// every row would need more than memory, before the samples are allocated.
[[nodiscard]] TCsvImportResult ImportCsv(std::string_view text, const TCsvImportSettings& settings,
                                         std::int64_t maxRows = MaxImportRows,
                                         const std::optional<TMemoryLimit>& memory = {});

// ImportCsv of a file's text within the memory the process may use: every error, running
// out of memory included, names the file ("Cannot import file "<full path>". The file holds
// no rows of data.").
[[nodiscard]] TCsvImportResult ImportCsvFile(
    const std::string& fileName, std::string_view text, const TCsvImportSettings& settings,
    std::int64_t maxRows = MaxImportRows,
    const std::optional<TMemoryLimit>& memory = MemoryLimit());

// The set holds the imported points, with tight bounds.
void ImportCsv(std::string_view text, const TCsvImportSettings& settings, TSampleData& samples);

// "Test data imported: 998 samples; 2 rows skipped because a chosen cell is not a number
// (lines 4 and 9)." The line numbers are those of the file.
[[nodiscard]] std::string ImportSummary(const TCsvImportResult& result);

struct TCsvPreview {
  std::vector<std::string> Header;             // empty without a header row
  std::vector<std::vector<std::string>> Rows;  // the first data rows, cells as read
  std::vector<bool> Readable;                  // per row: every chosen cell is a number
  std::vector<std::string> Skipped;            // per row: why it is left out, or empty
  std::int32_t Columns = 0;                    // the widest of the header and the rows
  std::string ColumnError;                     // why the chosen columns cannot be found
};

// The header and the first rows under the settings. Blank rows are left out, as the import
// leaves them out. Never throws for a column that cannot be found: ColumnError says why.
[[nodiscard]] TCsvPreview PreviewCsv(std::string_view text, const TCsvImportSettings& settings,
                                     std::size_t rows);

// Why the preview's rows are skipped, each reason once: "a chosen cell is not a number, or
// the row does not have the header's 4 fields". Empty when none is.
[[nodiscard]] std::string SkippedReasons(const TCsvPreview& preview);
