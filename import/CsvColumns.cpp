#include "import/CsvColumns.h"

#include <algorithm>
#include <iterator>
#include <charconv>
#include <limits>
#include <optional>

#include "import/CsvNumber.h"
#include "import/ImportError.h"

namespace {

[[nodiscard]] std::string_view Trim(std::string_view text) noexcept {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

[[nodiscard]] char Lower(char c) noexcept {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] bool SameName(std::string_view a, std::string_view b) noexcept {
  a = Trim(a);
  b = Trim(b);
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char l, char r) { return Lower(l) == Lower(r); });
}

// Header names of a column that numbers the rows.
constexpr std::string_view IndexNames[] = {"",  "#",  "i",  "id",     "index", "idx",
                                           "n", "no", "nr", "number", "row"};

std::string ListNames(std::span<const std::string> header) {
  std::string list;
  for (const std::string& name : header) {
    if (!list.empty()) list += ", ";
    list += "\"" + std::string(Trim(name)) + "\"";
  }
  return list;
}

}  // namespace

namespace {

// A choice between double quotes is a name, whatever it holds; doubled quotes stand for one.
// Nothing when the text does not start with a quote; throws when its quotes do not close it.
std::optional<std::string> QuotedName(std::string_view text) {
  if (!text.starts_with('"')) return std::nullopt;
  std::string name;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '"') {
      name += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      name += '"';
      ++i;
    } else if (i + 1 == text.size()) {
      return name;
    } else {
      break;
    }
  }
  throw TImportError("The column " + std::string(text) +
                     " is not closed by its quote: write a quote inside a name twice.");
}

}  // namespace

TColumnChoice ParseColumnChoice(std::string_view text) {
  if (std::optional<std::string> name = QuotedName(Trim(text)))
    return TColumnChoice::ByName(std::move(*name));
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) return TColumnChoice::ByName(std::string(text));
  std::int32_t number = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (result.ec != std::errc()) number = std::numeric_limits<std::int32_t>::max();
  return TColumnChoice::ByNumber(number);
}

std::vector<TColumnChoice> ParseColumnChoices(std::string_view text) {
  std::vector<TColumnChoice> choices;
  for (std::size_t start = 0;;) {
    // A comma between quotes belongs to the name.
    std::size_t end = start;
    for (bool quoted = false; end < text.size() && (quoted || text[end] != ','); ++end) {
      if (text[end] == '"') quoted = !quoted;
    }
    const std::string_view choice = Trim(text.substr(start, end - start));
    if (choice.empty()) throw TImportError("A column is missing in \"" + std::string(text) + "\".");
    choices.push_back(ParseColumnChoice(choice));
    if (end == text.size()) return choices;
    start = end + 1;
  }
}

std::string DescribeColumn(const TColumnChoice& choice) {
  if (choice.Number > 0 || choice.Name.empty()) return "column " + std::to_string(choice.Number);
  return "column \"" + choice.Name + "\"";
}

std::size_t ResolveColumn(const TColumnChoice& choice, std::span<const std::string> header,
                          bool hasHeader) {
  if (choice.Number > 0) return static_cast<std::size_t>(choice.Number - 1);
  if (choice.Name.empty()) {
    throw TImportError("Column " + std::to_string(choice.Number) +
                       " does not exist: columns are numbered from 1.");
  }
  if (!hasHeader) {
    throw TImportError("No column can be found by the name \"" + choice.Name +
                       "\": the first row is not a header. Choose the column by its number.");
  }
  // One column exactly so named, else one so named but for blanks and case; two are
  // ambiguous, whichever comes first.
  for (const bool exact : {true, false}) {
    std::vector<std::size_t> found;
    for (std::size_t k = 0; k < header.size(); ++k) {
      if (exact ? header[k] == choice.Name : SameName(header[k], choice.Name)) found.push_back(k);
    }
    if (found.size() == 1) return found.front();
    if (found.size() > 1) {
      throw TImportError("Columns " + std::to_string(found[0] + 1) + " and " +
                         std::to_string(found[1] + 1) + " are both named \"" +
                         std::string(Trim(choice.Name)) + "\": choose one by its number.");
    }
  }
  throw TImportError("No column is named \"" + choice.Name + "\". The header holds " +
                     ListNames(header) + ".");
}

TColumnSuggestion SuggestColumns(std::span<const std::string> header,
                                 const std::vector<std::vector<std::string>>& rows,
                                 char decimalSeparator) {
  const auto named = [&](std::string_view name) -> std::int32_t {
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (SameName(header[i], name)) return static_cast<std::int32_t>(i + 1);
    }
    return 0;
  };
  std::size_t width = header.size();
  for (const auto& row : rows)
    width = std::max(width, row.size());
  std::vector<std::int32_t> numeric;
  std::vector<bool> counting;  // per numeric column: 1, 2, 3 ... or 0, 1, 2 ..., a row index
  for (std::size_t column = 0; column < width; ++column) {
    std::size_t numbers = 0;
    bool steps = true;
    std::optional<double> last;
    for (const auto& row : rows) {
      const std::optional<double> value =
          column < row.size() ? ParseCsvNumber(row[column], decimalSeparator) : std::nullopt;
      if (value) ++numbers;
      steps = steps && value && (!last || *value == *last + 1);
      last = value;
    }
    if (!rows.empty() && numbers * 2 > rows.size()) {
      numeric.push_back(static_cast<std::int32_t>(column + 1));
      counting.push_back(steps && rows.size() > 1);
    }
  }
  // A leading row index is left out while two other columns of numbers remain; under a
  // header only when its name says so, as the first of several inputs often counts too.
  const auto isIndex = [&](std::size_t k) {
    if (!counting[k]) return false;
    const auto column = static_cast<std::size_t>(numeric[k] - 1);
    if (column >= header.size()) return true;
    return std::any_of(std::begin(IndexNames), std::end(IndexNames),
                       [&](std::string_view name) { return SameName(header[column], name); });
  };
  std::size_t first = 0;
  while (numeric.size() - first > 2 && isIndex(first))
    ++first;
  numeric.erase(numeric.begin(), numeric.begin() + static_cast<std::ptrdiff_t>(first));
  const std::int32_t namedY = named("y");
  if (numeric.size() <= 2) {
    if (const std::int32_t x = named("x"); x > 0 && namedY > 0) return {{x}, namedY, numeric};
  }
  if (numeric.size() < 2) return {{1}, 2, numeric};
  // Of more, every column of numbers is an input but y: a column named "x" is one of many.
  // The last one named "y", so that a quantity called Y before it stays an input.
  const auto lastNamedY = std::find_if(numeric.rbegin(), numeric.rend(), [&](std::int32_t column) {
    const auto index = static_cast<std::size_t>(column - 1);
    return index < header.size() && SameName(header[index], "y");
  });
  const std::int32_t y = lastNamedY != numeric.rend() ? *lastNamedY : numeric.back();
  std::vector<std::int32_t> inputs;
  std::copy_if(numeric.begin(), numeric.end(), std::back_inserter(inputs),
               [y](std::int32_t column) { return column != y; });
  return {inputs, y, numeric};
}
