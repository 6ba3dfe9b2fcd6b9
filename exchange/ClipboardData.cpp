#include "exchange/ClipboardData.h"

#include <optional>
#include <utility>
#include <vector>

#include "exchange/Delimited.h"
#include "exchange/Lines.h"
#include "exchange/SampleValue.h"

namespace {
constexpr char Semicolon = ';';
}  // namespace

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

TSampleRead ReadClipboardData(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  TSampleRead read("pairs");
  TDelimitedReader reader(text, Semicolon);
  TLineCounter lines(text);
  std::int64_t headerLine = 0;
  std::string_view item;
  while (reader.Next(item)) {
    const std::int64_t line = lines.LineAt(reader.ItemStart());
    if (!read.Blank() && line == headerLine) continue;
    if (read.Blank()) {
      read.MarkContent();
      std::vector<std::string> names = HeaderNames(lines.LineOf(reader.ItemStart()), Semicolon);
      if (!names.empty()) {
        read.SetHeader(std::move(names));
        headerLine = line;
        continue;
      }
    }
    // Read x before the next item replaces it.
    const std::optional<double> x = ParseSampleValue(item);
    if (!reader.Next(item)) break;
    const std::optional<double> y = ParseSampleValue(item);
    if (x && y) {
      read.Add({*x, *y});
    } else {
      read.AddUnreadable(line);
    }
  }
  return read;
}

TClipboardPaste ParseClipboardData(std::string_view text, TSampleData& samples) {
  TSampleRead read = ReadClipboardData(text);
  const auto unreadable = static_cast<std::int32_t>(read.Unreadable());
  if (read.Readable() == 0) return {false, unreadable};
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  return {true, unreadable};
}
