#include "SampleFile.h"

#include <array>
#include <limits>
#include <system_error>

#include "Delimited.h"
#include "Lines.h"
#include "ReplaceSamples.h"
#include "SampleValue.h"
#include "TextFile.h"

namespace {
constexpr char Comma = ',';
}  // namespace

std::string FormatSampleLine(const TSamplePoint& point) {
  const std::array<std::string, 2> items{FormatSampleValue(point.X), FormatSampleValue(point.Y)};
  return JoinDelimited(items, Comma);
}

std::optional<TSamplePoint> ParseSampleLine(std::string_view line) {
  TDelimitedReader reader(line, Comma);
  std::string_view item;
  if (!reader.Next(item)) return std::nullopt;
  // Read x before the next item replaces it.
  const std::optional<double> x = ParseSampleValue(item);
  if (!x || !reader.Next(item)) return std::nullopt;
  const std::optional<double> y = ParseSampleValue(item);
  if (!y) return std::nullopt;
  return TSamplePoint{*x, *y};
}

std::string FormatSampleFileText(const TSampleData& samples) {
  std::string text;
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    text += FormatSampleLine({samples.GetX(i), samples.GetY(i)});
    text += "\r\n";
  }
  return text;
}

TSampleFileText ParseSampleFileText(std::string_view text) {
  TSampleFileText parsed;
  TLineReader reader(text);
  std::string_view line;
  while (reader.Next(line)) {
    const std::optional<TSamplePoint> point = ParseSampleLine(line);
    parsed.Points.push_back(point.value_or(TSamplePoint{}));
    if (!point) ++parsed.Unreadable;
  }
  return parsed;
}

std::int32_t TSampleData::LoadFromFile(const std::string& fileName) {
  const TSampleFileText parsed = ParseSampleFileText(ReadTextFile(fileName));
  if (parsed.Points.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw TSampleFileError("Cannot open file \"" + FullPath(fileName) + "\". " +
                           std::make_error_code(std::errc::file_too_large).message());
  }
  ReplaceSamples(*this, parsed.Points);
  return static_cast<std::int32_t>(parsed.Unreadable);
}

void TSampleData::SaveToFile(const std::string& fileName) const {
  ReplaceTextFile(fileName, FormatSampleFileText(*this));
}
