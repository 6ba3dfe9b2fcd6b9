#pragma once
// How a delimited file is written: its delimiter, its decimal separator and whether its
// first row names the columns, and how these are told from the first rows of the file.

#include <cstdint>
#include <string_view>

struct TCsvDialect {
  char Delimiter = ',';         // ",", ";" or TAB
  char DecimalSeparator = '.';  // "." or ","
  bool Header = false;          // the first row holds column names, not data

  friend bool operator==(const TCsvDialect&, const TCsvDialect&) = default;
};

// Judges the first 64 KB (at most 200 records) of the text.
// Delimiter: the one of comma, semicolon and tab whose rows most often have the same number
// of fields, two or more, and whose fields most often read as numbers.
// Decimal separator: the one under which more of those fields read as numbers; "," for a
// semicolon file where neither wins, else ".".
// Header: the first row has a cell that is not a number where the rows below mostly have
// one, or it has no number at all while rows below do.
[[nodiscard]] TCsvDialect DetectCsvDialect(std::string_view text);

// Only the header part of the judgement, for a delimiter and separator already chosen.
[[nodiscard]] bool DetectCsvHeader(std::string_view text, char delimiter, char decimalSeparator);
