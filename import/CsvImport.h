#pragma once
// Import of a delimited text into a sample set: each row gives the sample (x, y) from its two
// chosen cells; a row whose chosen cells are not both numbers is skipped and counted. The
// preview shows the first rows as the dialog lets the user judge them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/CsvColumns.h"
#include "import/CsvDialect.h"
#include "core/model/SD.h"

struct TCsvImportSettings {
  TCsvDialect Dialect;
  TColumnChoice X = TColumnChoice::ByNumber(1);
  TColumnChoice Y = TColumnChoice::ByNumber(2);
};

// The dialect of the text and the columns SuggestColumns proposes for it.
[[nodiscard]] TCsvImportSettings DetectCsvImport(std::string_view text);

struct TCsvImportResult {
  std::vector<TSamplePoint> Points;        // in the order of the rows
  std::int64_t Rows = 0;                   // data rows, the header and blank rows not counted
  std::int64_t Skipped = 0;                // rows whose chosen cells are not both numbers
  std::vector<std::int64_t> SkippedLines;  // the lines of the first few skipped rows
  std::string XName;  // the header names of the chosen columns, when there is one
  std::string YName;

  static constexpr std::size_t SkippedLinesKept = 5;
};

// A sample set counts its rows in 32 bits.
inline constexpr std::int64_t MaxImportRows = INT32_MAX;

// Throws TImportError when a column cannot be resolved, when no row gives a sample (the text
// has no data rows, a chosen column is past every row, or no row has both numbers), and when
// more than maxRows rows would give one.
[[nodiscard]] TCsvImportResult ImportCsv(std::string_view text, const TCsvImportSettings& settings,
                                         std::int64_t maxRows = MaxImportRows);

// ImportCsv of a file's text: every error, running out of memory included, names the file
// ("Cannot import file "<full path>". The file holds no rows of data.").
[[nodiscard]] TCsvImportResult ImportCsvFile(const std::string& fileName, std::string_view text,
                                             const TCsvImportSettings& settings,
                                             std::int64_t maxRows = MaxImportRows);

// The set holds the imported points, with tight bounds.
void ImportCsv(std::string_view text, const TCsvImportSettings& settings, TSampleData& samples);

// "Test data imported: 998 samples; 2 rows skipped because a chosen cell is not a number
// (lines 4 and 9)." The line numbers are those of the file.
[[nodiscard]] std::string ImportSummary(const TCsvImportResult& result);

struct TCsvPreview {
  std::vector<std::string> Header;             // empty without a header row
  std::vector<std::vector<std::string>> Rows;  // the first data rows, cells as read
  std::vector<bool> Readable;                  // per row: both chosen cells are numbers
  std::int32_t Columns = 0;                    // the widest of the header and the rows
  std::string ColumnError;                     // why the chosen columns cannot be found
};

// The header and the first rows under the settings. Blank rows are left out, as the import
// leaves them out. Never throws for a column that cannot be found: ColumnError says why.
[[nodiscard]] TCsvPreview PreviewCsv(std::string_view text, const TCsvImportSettings& settings,
                                     std::size_t rows);
