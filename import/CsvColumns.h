#pragma once
// Which columns of a delimited file become the inputs and y: chosen by header name or by
// number (counted from 1), and a first guess for files where nobody chose.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct TColumnChoice {
  std::int32_t Number = 0;  // from 1; 0 when the column is chosen by Name
  std::string Name;

  [[nodiscard]] static TColumnChoice ByNumber(std::int32_t number) { return {number, {}}; }
  [[nodiscard]] static TColumnChoice ByName(std::string name) { return {0, std::move(name)}; }
  friend bool operator==(const TColumnChoice&, const TColumnChoice&) = default;
};

// A text of digits only is a column number ("2"), any other text a header name ("time");
// a text in double quotes is a name, whatever it holds ("\"400\"", "\"a,b\""), with doubled
// quotes standing for one. Throws TImportError for a quote that is not closed.
[[nodiscard]] TColumnChoice ParseColumnChoice(std::string_view text);
// Choices separated by commas outside quotes ("time,2", "\"a,b\",c"); an empty choice throws
// TImportError.
[[nodiscard]] std::vector<TColumnChoice> ParseColumnChoices(std::string_view text);

// How the choice is shown: the number, or the name in quotes.
[[nodiscard]] std::string DescribeColumn(const TColumnChoice& choice);

// The column's index from 0. A name is looked up among the header's names, first exactly,
// then ignoring blanks around it and the case of ASCII letters. Throws TImportError when a
// name is not there or names two columns, when there is no header to look in, or for the
// number 0. A number past the header is not refused here: ragged rows may still have that
// column.
[[nodiscard]] std::size_t ResolveColumn(const TColumnChoice& choice,
                                        std::span<const std::string> header, bool hasHeader);

// The columns that mostly hold numbers in the rows given, passing over leading columns that
// count the rows (1, 2, 3 ...) while two others remain: of two, the first is x and the
// second y, or the columns named "x" and "y" when the header has both; of more, the last
// one named "y" (else the last) is y and all the others are inputs. Otherwise columns 1 and 2.
struct TColumnSuggestion {
  std::vector<std::int32_t> X{1};  // from 1, in column order
  std::int32_t Y = 2;
  std::vector<std::int32_t> Numeric;  // the columns of numbers, row indexes passed over
};
[[nodiscard]] TColumnSuggestion SuggestColumns(std::span<const std::string> header,
                                               const std::vector<std::vector<std::string>>& rows,
                                               char decimalSeparator);
