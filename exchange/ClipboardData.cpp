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
  const std::int32_t inputs = samples.InputCount();
  if (inputs > 1 || !samples.Names().empty()) {
    // Quoted where a name would split or hide a column.
    const std::vector<std::string> names = ColumnNames(samples);
    for (std::size_t k = 0; k < names.size(); ++k) {
      if (k > 0) text += '\t';
      text += NeedsQuotes(names[k], Semicolon)
                  ? JoinDelimited(std::span<const std::string>(&names[k], 1), Semicolon)
                  : names[k];
    }
    text += "\r\n";
  }
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    for (std::int32_t k = 0; k < inputs; ++k) {
      text += FormatSampleValue(samples.GetX(i, k));
      text += '\t';
    }
    text += FormatSampleValue(samples.GetY(i));
    text += "\r\n";
  }
  return text;
}

namespace {

// After a header of three names or more, each line is a row of as many items.
void ReadRows(std::string_view text, std::int64_t headerLine, TSampleRead& read) {
  const auto columns = static_cast<std::int64_t>(read.Header().size());
  if (std::string fault = ColumnCountFault(columns); !fault.empty()) {
    read.Refuse(std::move(fault));
    return;
  }
  read.SetInputCount(static_cast<std::int32_t>(columns - 1));
  read.SetRowNoun("lines");
  std::vector<double> row(static_cast<std::size_t>(columns));
  TLineReader lines(text);
  std::int64_t number = 0;
  for (std::string_view line; lines.Next(line);) {
    if (++number <= headerLine) continue;
    TDelimitedReader reader(line, Semicolon);
    std::int64_t items = 0;
    bool numbers = true;
    for (std::string_view item; reader.Next(item); ++items) {
      if (items >= columns) continue;
      // Rows under a header are the program's own form: read as strictly as the CSV reader.
      const std::optional<double> value = ParseWholeSampleValue(item);
      if (value) {
        row[static_cast<std::size_t>(items)] = *value;
      } else {
        numbers = false;
      }
    }
    if (items == 0) continue;
    if (items != columns) {
      read.Refuse(ItemCountFault(number, items, columns));
      return;
    }
    if (numbers) {
      read.Add(row);
    } else {
      read.AddUnreadable(number);
    }
  }
}

}  // namespace

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
      const std::string_view first = lines.LineOf(reader.ItemStart());
      std::vector<std::string> names = HeaderNames(first, Semicolon);
      std::string fault =
          names.empty() ? UnnamedHeaderColumn(first, Semicolon) : HeaderFault(names);
      if (!fault.empty()) {
        read.Refuse(std::move(fault));
        return read;
      }
      if (!names.empty()) {
        const bool rows = names.size() > 2;
        read.SetHeader(std::move(names));
        if (rows) {
          ReadRows(text, line, read);
          return read;
        }
        headerLine = line;
        continue;
      }
    }
    // Read x before the next item replaces it.
    const TSampleValueRead x = ReadSampleValue(item);
    if (!reader.Next(item)) {
      read.SetUnpaired(line);
      break;
    }
    const TSampleValueRead y = ReadSampleValue(item);
    // Pairs under a header of names are read strictly; bare pairs as they always were.
    const bool cutShort = x.CutShort || y.CutShort;
    if (x.Value && y.Value && !(cutShort && !read.Header().empty())) {
      read.Add({*x.Value, *y.Value});
      if (cutShort) read.AddCutShort(line);
    } else {
      read.AddUnreadable(line);
    }
  }
  return read;
}

TClipboardPaste ParseClipboardData(std::string_view text, TSampleData& samples) {
  TSampleRead read = ReadClipboardData(text);
  const auto unreadable = static_cast<std::int32_t>(read.Unreadable());
  if (read.Readable() == 0) return {false, unreadable, read.Refusal()};
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  return {true, unreadable, {}};
}
