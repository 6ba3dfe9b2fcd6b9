#include "exchange/SampleFile.h"

#include <algorithm>
#include <array>
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
  constexpr std::size_t TypicalLine = 26;
  std::string text;
  text.reserve(static_cast<std::size_t>(samples.Count()) * TypicalLine);
  const char separator[] = {DecimalSeparator(), '\0'};
  const bool separatorQuotes = NeedsQuotes(separator, Comma);
  char line[4 * MaxValueText + 8];
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    char* end = WriteItem(line, samples.GetX(i), separatorQuotes);
    *end++ = Comma;
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

// Takes the lines of a file one by one into a read, up to a number of rows.
class TFileRows {
 public:
  TFileRows(TSampleRead& read, std::int64_t limit) noexcept : read_(read), limit_(limit) {}

  // False for a row beyond the limit, which is not taken.
  bool Take(std::string_view line) {
    ++line_;
    if (IsBlankLine(line)) return true;  // the first byte tells for a line of numbers
    const std::optional<TSamplePoint> point = ParseSampleLine(line);
    if (point && started_) {
      if (read_.Rows() == limit_) return false;
      read_.Add(*point);
      return true;
    }
    read_.MarkContent();
    const bool first = !started_;
    started_ = true;
    if (!point && first && IsHeader(line)) {
      read_.SetHeader(HeaderNames(line, Comma));
      return true;
    }
    if (read_.Rows() == limit_) return false;
    if (point) {
      read_.Add(*point);
    } else {
      read_.AddUnreadable(line_);
    }
    return true;
  }

 private:
  TSampleRead& read_;
  std::int64_t limit_;
  std::int64_t line_ = 0;
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
  for (std::string_view line; reader.Next(line);)
    rows.Take(line);
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
      if (!rows.Take(line)) ThrowTooManyLines(fileName, maxLines);
    }
  }
  return read;
}

std::int32_t LoadFromFile(TSampleData& samples, const std::string& fileName) {
  TSampleRead read = ReadSampleFile(fileName);
  const auto unreadable = static_cast<std::int32_t>(read.Unreadable());
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  return unreadable;
}

void SaveToFile(const TSampleData& samples, const std::string& fileName) {
  ReplaceTextFile(fileName, FormatSampleFileText(samples));
}
