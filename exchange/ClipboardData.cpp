#include "exchange/ClipboardData.h"

#include <optional>
#include <vector>

#include "exchange/Delimited.h"
#include "exchange/ReplaceSamples.h"
#include "exchange/SampleValue.h"

std::string FormatClipboardData(const TSampleData& samples) {
  std::string text;
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    text += FormatSampleValue(samples.GetX(i));
    text += '\t';
    text += FormatSampleValue(samples.GetY(i));
    text += "\r\n";
  }
  return text;
}

TClipboardPaste ParseClipboardData(std::string_view text, TSampleData& samples) {
  std::vector<TSamplePoint> points;
  std::size_t unreadable = 0;
  TDelimitedReader reader(text, ';');
  std::string_view item;
  while (reader.Next(item)) {
    // Read x before the next item replaces it.
    const std::optional<double> x = ParseSampleValue(item);
    if (!reader.Next(item)) break;
    const std::optional<double> y = ParseSampleValue(item);
    if (x && y) {
      points.push_back({*x, *y});
    } else {
      points.push_back({});
      ++unreadable;
    }
  }
  if (points.empty()) return {};
  ReplaceSamples(samples, points);
  // Not more than the pasted rows, which ReplaceSamples has counted in 32 bits.
  return {true, static_cast<std::int32_t>(unreadable)};
}
