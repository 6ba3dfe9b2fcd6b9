#include "exchange/ColumnMatch.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

std::string Listed(std::span<const std::string> names) {
  std::string list;
  for (const std::string& name : names)
    list += (list.empty() ? "\"" : ", \"") + name + "\"";
  return list;
}

}  // namespace

TSampleData ColumnsByName(const TSampleData& rows, std::span<const std::string> names) {
  const std::vector<std::string>& own = rows.Names();
  if (std::ssize(names) != rows.RowSize()) {
    throw std::invalid_argument("It has " + std::to_string(rows.RowSize()) +
                                " columns where the samples have " + std::to_string(names.size()) +
                                ".");
  }
  // Where each column of the result comes from; the names of a set are never repeated.
  std::vector<std::int32_t> from;
  for (const std::string& name : names) {
    const auto found = std::find(own.begin(), own.end(), name);
    if (found == own.end()) {
      throw std::invalid_argument("No column is named \"" + name + "\". Its columns are " +
                                  Listed(own) + ".");
    }
    from.push_back(static_cast<std::int32_t>(found - own.begin()));
  }
  const std::int32_t inputs = rows.InputCount();
  const auto value = [&](std::int32_t i, std::int32_t column) {
    return column < inputs ? rows.GetX(i, column) : rows.GetY(i);
  };
  TSampleData matched(rows.Count(), inputs);
  for (std::int32_t i = 0; i < rows.Count(); ++i) {
    for (std::int32_t k = 0; k < inputs; ++k)
      matched.SetX(i, k, value(i, from[static_cast<std::size_t>(k)]));
    matched.SetY(i, value(i, from.back()));
  }
  matched.UpdateBounds();
  matched.SetMargin(rows.GetMargin());
  matched.SetNames(std::vector<std::string>(names.begin(), names.end()));
  return matched;
}
