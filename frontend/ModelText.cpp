#include "frontend/ModelText.h"

#include <algorithm>
#include <string_view>

#include "core/search/SearchRun.h"

namespace {

constexpr std::string_view SourceStart = "double model(";

std::string Parameter(const TSampleData& samples, std::int32_t input) {
  return samples.InputCount() == 1 ? "valueX" : "valueX" + std::to_string(input + 1);
}

}  // namespace

bool HasOwnNames(const TSampleData& samples) {
  return !samples.Names().empty() &&
         samples.Names() != ColumnNames(TSampleData(0, samples.InputCount()));
}

std::string InputNamesComment(const TSampleData& samples) {
  if (!HasOwnNames(samples)) return {};
  const std::vector<std::string>& names = samples.Names();
  std::string comment = "// ";
  for (std::int32_t k = 0; k < samples.InputCount(); ++k) {
    if (k > 0) comment += ", ";
    comment += Parameter(samples, k) + ": " + names[static_cast<std::size_t>(k)];
  }
  return comment + "; y: " + names.back();
}

std::vector<std::string> NamedModelText(std::vector<std::string> lines,
                                        const TSampleData& samples) {
  std::string comment = InputNamesComment(samples);
  if (comment.empty()) return lines;
  const auto source = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.starts_with(SourceStart);
  });
  lines.insert(source, std::move(comment));
  return lines;
}

TTuringEvaluator FirstModel(const TSampleData& samples) {
  TTuringEvaluator identity(0, 1, samples.InputCount());
  identity.UpdateExecEnd();
  return identity;
}

std::vector<std::string> FirstModelText(const TSampleData& samples) {
  return NamedModelText(SplitSourceLines(FirstModel(samples).EmitSource()), samples);
}
