#include "exchange/SampleFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/model/DecimalSeparator.h"
#include "exchange/Delimited.h"
#include "exchange/Lines.h"
#include "exchange/SampleValue.h"
#include "exchange/TextFile.h"
#include "exchange/TextFileReader.h"

namespace {
constexpr char Comma = ',';
}  // namespace

std::string FormatSampleLine(const TSamplePoint& point) {
  const std::array<std::string, 2> items{FormatSampleValue(point.X), FormatSampleValue(point.Y)};
  return JoinDelimited(items, Comma);
}

TSampleLine ReadSampleLine(std::string_view line) {
  TDelimitedReader reader(line, Comma);
  std::string_view item;
  TSampleLine read;
  if (!reader.Next(item)) return read;
  // Read x before the next item replaces it.
  const TSampleValueRead x = ReadSampleValue(item);
  if (!x.Value || !reader.Next(item)) return read;
  const TSampleValueRead y = ReadSampleValue(item);
  if (!y.Value) return read;
  read.Point = TSamplePoint{*x.Value, *y.Value};
  read.CutShort = x.CutShort || y.CutShort;
  read.More = reader.Next(item);
  return read;
}

std::optional<TSamplePoint> ParseSampleLine(std::string_view line) {
  return ReadSampleLine(line).Point;
}

namespace {

// One item of a line, quoted as JoinDelimited quotes it; room for twice MaxValueText + 2.
// Digits, signs, "E", "INF" and "NAN" never need quotes: only a separator may.
char* WriteItem(char* out, double value, bool separatorQuotes) noexcept {
  if (!separatorQuotes) return WriteSampleValue(out, value);
  char item[MaxValueText];
  const char* const end = WriteSampleValue(item, value);
  if (!NeedsQuotes(std::string_view(item, static_cast<std::size_t>(end - item)), Comma)) {
    return std::copy(static_cast<const char*>(item), end, out);
  }
  *out++ = '"';
  for (const char* c = item; c != end; ++c) {
    if (*c == '"') *out++ = '"';
    *out++ = *c;
  }
  *out++ = '"';
  return out;
}

}  // namespace

std::string FormatSampleFileText(const TSampleData& samples) {
  // The same text as FormatSampleLine and CR LF line by line, without a string per number.
  const std::int32_t inputs = samples.InputCount();
  const std::size_t typicalLine = 13 * static_cast<std::size_t>(inputs + 1);
  std::string text;
  // A set of one input without names is written as it always was: rows only.
  if (inputs > 1 || !samples.Names().empty()) {
    text = JoinDelimited(ColumnNames(samples), Comma) + "\r\n";
  }
  text.reserve(text.size() + static_cast<std::size_t>(samples.Count()) * typicalLine);
  const char separator[] = {DecimalSeparator(), '\0'};
  const bool separatorQuotes = NeedsQuotes(separator, Comma);
  char line[(MaxInputs + 1) * (2 * MaxValueText + 3) + 2];
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    char* end = line;
    for (std::int32_t k = 0; k < inputs; ++k) {
      end = WriteItem(end, samples.GetX(i, k), separatorQuotes);
      *end++ = Comma;
    }
    end = WriteItem(end, samples.GetY(i), separatorQuotes);
    *end++ = '\r';
    *end++ = '\n';
    text.append(line, end);
  }
  return text;
}

namespace {

// Only codes 1 to 32: no item, no row.
bool IsBlankLine(std::string_view line) noexcept {
  for (const char c : line) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

// The first line that is not blank is a header when it holds names and no sample.
bool IsHeader(std::string_view line) {
  return !ParseSampleLine(line) && !HeaderNames(line, Comma).empty();
}

// The items of a line as numbers, the first MaxInputs + 1 of them kept; the count of all.
struct TLineItems {
  double Values[MaxInputs + 1];
  std::int64_t Count = 0;
  bool Numbers = true;    // every item read as a number
  bool CutShort = false;  // one of them cut short of a digit
};

TLineItems ReadItems(std::string_view line) {
  TLineItems items;
  TDelimitedReader reader(line, Comma);
  for (std::string_view item; reader.Next(item); ++items.Count) {
    const TSampleValueRead value = ReadSampleValue(item);
    if (!value.Value) {
      items.Numbers = false;
    } else if (items.Count <= MaxInputs) {
      items.Values[items.Count] = *value.Value;
    }
    items.CutShort = items.CutShort || value.CutShort;
  }
  return items;
}

// Takes the lines of a file one by one into a read, up to a number of rows. A header's
// names decide how many items a line holds; without one the first line that reads does:
// all its items when they are three numbers or more, else the first two, as the files of
// one input were always read. Lines of several inputs must all hold as many items. A line
// of one input with more items is read from its first two, and counted. Numbers cut short
// of a digit ("2.5e") are read in files of one input without a header, as such files always
// were, and counted; in files with a header or several inputs, as the CSV reader refuses
// them, they leave their line unreadable.
class TFileRows {
 public:
  TFileRows(TSampleRead& read, std::int64_t limit) noexcept : read_(read), limit_(limit) {}

  // False for a row beyond the limit, which is not taken, and when the text was refused.
  bool Take(std::string_view line) {
    ++line_;
    if (IsBlankLine(line)) return true;  // the first byte tells for a line of numbers
    if (columns_ == 2) return TakePair(ReadSampleLine(line));
    if (columns_ > 2) return TakeRow(ReadItems(line));
    read_.MarkContent();
    const bool first = !started_;
    started_ = true;
    if (first) {
      if (IsHeader(line)) return TakeHeader(HeaderNames(line, Comma));
      if (std::string fault = UnnamedHeaderColumn(line, Comma); !fault.empty()) {
        return Refuse(std::move(fault));
      }
    }
    const TLineItems items = ReadItems(line);
    if (items.Numbers && items.Count > 2) {
      if (!Widen(items.Count)) return false;
      return TakeRow(items);
    }
    const TSampleLine pair = ReadSampleLine(line);
    if (pair.Point) columns_ = 2;
    return TakePair(pair);
  }

 private:
  bool Refuse(std::string reason) {
    read_.Refuse(std::move(reason));
    return false;
  }

  bool TakeHeader(std::vector<std::string> names) {
    if (std::string fault = HeaderFault(names); !fault.empty()) return Refuse(std::move(fault));
    const std::int64_t columns = std::ssize(names);
    read_.SetHeader(std::move(names));
    return columns == 2 ? (columns_ = 2, true) : Widen(columns);
  }

  bool Widen(std::int64_t columns) {
    if (std::string fault = ColumnCountFault(columns); !fault.empty()) {
      return Refuse(std::move(fault));
    }
    columns_ = columns;
    read_.SetInputCount(static_cast<std::int32_t>(columns - 1));
    return true;
  }

  bool TakePair(const TSampleLine& pair) {
    if (read_.Rows() == limit_) return false;
    const bool strict = !read_.Header().empty();
    if (!pair.Point || (strict && pair.CutShort)) {
      read_.AddUnreadable(line_);
      return true;
    }
    read_.Add(*pair.Point);
    if (pair.More) read_.AddUnused(line_);
    if (pair.CutShort) read_.AddCutShort(line_);
    return true;
  }

  bool TakeRow(const TLineItems& items) {
    if (items.Count != columns_) return Refuse(ItemCountFault(line_, items.Count, columns_));
    if (read_.Rows() == limit_) return false;
    if (items.Numbers && !items.CutShort) {
      read_.Add(std::span<const double>(items.Values, static_cast<std::size_t>(columns_)));
    } else {
      read_.AddUnreadable(line_);
    }
    return true;
  }

  TSampleRead& read_;
  std::int64_t limit_;
  std::int64_t line_ = 0;
  std::int64_t columns_ = 0;  // items per line; 0 until a header or a line decides
  bool started_ = false;
};

[[noreturn]] void ThrowTooManyLines(const std::string& fileName, std::int32_t maxLines) {
  throw TSampleFileError("Cannot open file \"" + FullPath(fileName) + "\". It has more than " +
                         std::to_string(maxLines) + " lines, more than a sample set can hold");
}

// The rows from here to the end: lines that are neither blank nor the header.
std::int64_t CountRows(TTextFileReader& reader) {
  std::int64_t rows = 0;
  bool started = false;
  std::string_view line;
  while (reader.Next(line)) {
    if (IsBlankLine(line)) continue;
    if (!started && IsHeader(line)) --rows;
    started = true;
    ++rows;
  }
  return rows;
}

}  // namespace

TSampleRead ParseSampleFileText(std::string_view text) {
  TSampleRead read;
  TFileRows rows(read, std::numeric_limits<std::int64_t>::max());
  TLineReader reader(text);
  for (std::string_view line; reader.Next(line);) {
    if (!rows.Take(line)) break;  // refused: the first reason is the one to give
  }
  return read;
}

TSampleRead ReadSampleFile(const std::string& fileName, std::int32_t maxLines) {
  TTextFileReader reader(fileName);
  TSampleRead read;
  std::string_view line;
  if (reader.Rewind()) {
    // Counted first, so that a file too long is refused before any row is allocated, and
    // the rows are allocated once, exactly.
    const std::int64_t count = CountRows(reader);
    if (count > maxLines) ThrowTooManyLines(fileName, maxLines);
    if (!reader.Rewind())
      throw TSampleFileError("Cannot open file \"" + FullPath(fileName) + "\".");
    read.Reserve(static_cast<std::int32_t>(count));
    // A file that grew since it was counted gives the rows counted.
    TFileRows rows(read, count);
    while (reader.Next(line) && rows.Take(line)) {
    }
  } else {
    // A pipe is read once: its rows are kept until its end tells how many there are.
    TFileRows rows(read, maxLines);
    while (reader.Next(line)) {
      if (rows.Take(line)) continue;
      if (!read.Refusal().empty()) break;
      ThrowTooManyLines(fileName, maxLines);
    }
  }
  if (!read.Refusal().empty()) {
    throw TSampleFileError("Cannot open file \"" + FullPath(fileName) + "\". " + read.Refusal());
  }
  return read;
}

std::int32_t LoadFromFile(TSampleData& samples, const std::string& fileName) {
  TSampleRead read = ReadSampleFile(fileName);
  const auto unreadable = static_cast<std::int32_t>(read.Unreadable());
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  return unreadable;
}

std::string SampleFileFault(const TSampleData& samples) {
  const std::int32_t inputs = samples.InputCount();
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    for (std::int32_t k = 0; k <= inputs; ++k) {
      const double value = k < inputs ? samples.GetX(i, k) : samples.GetY(i);
      if (std::isfinite(value)) continue;
      return "Sample " + std::to_string(i + 1) + " holds " +
             (std::isnan(value) ? "NaN" : "an infinite value") +
             ", which a sample file cannot keep.";
    }
  }
  if (inputs == 1 && samples.Names().empty()) return {};
  const std::vector<std::string> names = ColumnNames(samples);
  for (const std::string& name : names) {
    if (std::string fault = HeaderNameFault(name); !fault.empty()) return fault;
  }
  if (HeaderNames(JoinDelimited(names, Comma), Comma) != names)
    return "The column names would not read back from a sample file's header.";
  return {};
}

void SaveToFile(const TSampleData& samples, const std::string& fileName) {
  if (std::string fault = SampleFileFault(samples); !fault.empty())
    throw TSampleFileError("Cannot create file \"" + FullPath(fileName) + "\". " + fault);
  ReplaceTextFile(fileName, FormatSampleFileText(samples));
}
