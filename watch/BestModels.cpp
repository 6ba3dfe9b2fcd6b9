#include "watch/BestModels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "core/model/DecimalSeparator.h"
#include "core/model/Liveness.h"

namespace {

// The model source: the text after the three report lines, whose clone count changes
// from generation to generation for the same program.
constexpr std::size_t ReportLineCount = 3;

bool SameSource(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() < ReportLineCount || b.size() < ReportLineCount) return a == b;
  return std::equal(a.begin() + ReportLineCount, a.end(), b.begin() + ReportLineCount, b.end());
}

}  // namespace

bool RanksBefore(const TBestModel& a, const TBestModel& b) noexcept {
  if (a.Matches != b.Matches) return a.Matches > b.Matches;
  if (std::isnan(a.Error) || std::isnan(b.Error))
    return !std::isnan(a.Error) && std::isnan(b.Error);
  return a.Error < b.Error;
}

std::optional<std::size_t> TBestModels::Place(const TModelUpdate& update) const {
  for (const TBestModel& model : models_) {
    if (SameSource(model.Lines, update.Lines)) return std::nullopt;
  }
  TBestModel probe;
  probe.Error = update.Error;
  probe.Matches = update.Matches;
  // Among equals the newer model goes first: it comes from a later, wider search.
  const auto place = std::find_if(models_.begin(), models_.end(), [&](const TBestModel& listed) {
    return !RanksBefore(listed, probe);
  });
  if (place == models_.end() && models_.size() >= Capacity) return std::nullopt;
  return static_cast<std::size_t>(std::distance(models_.begin(), place));
}

void TBestModels::Insert(std::size_t row, const TModelUpdate& update) {
  TBestModel model;
  model.Error = update.Error;
  model.Size = update.Model ? ModelSize(*update.Model) : 0;
  model.Matches = update.Matches;
  model.SampleCount = update.SampleCount;
  model.Predictions = update.Predictions;
  model.Lines = update.Lines;
  model.Model = update.Model;
  models_.insert(models_.begin() + static_cast<std::ptrdiff_t>(row), std::move(model));
}

std::optional<std::size_t> TBestModels::Offer(const TModelUpdate& update) {
  const std::optional<std::size_t> row = Place(update);
  if (!row) return std::nullopt;
  if (models_.size() >= Capacity) RemoveLast();
  Insert(*row, update);
  return row;
}

std::string FormatModelError(double error) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, error, std::chars_format::general, 6).ptr;
  std::string text(buffer, end);
  if (const auto point = text.find('.'); point != std::string::npos) {
    text[point] = DecimalSeparator();
  }
  return text;
}

std::string FormatMatches(std::int32_t matches, std::int32_t sampleCount) {
  return std::to_string(matches) + " of " + std::to_string(sampleCount);
}
