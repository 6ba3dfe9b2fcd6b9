#include "exchange/SampleFile.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/model/DecimalSeparator.h"
#include "exchange/Delimited.h"
#include "exchange/Lines.h"
#include "exchange/ReplaceSamples.h"
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
  for (const TSamplePoint* p = samples.Points(); p != samples.Points() + samples.Count(); ++p) {
    char* end = WriteItem(line, p->X, separatorQuotes);
    *end++ = Comma;
    end = WriteItem(end, p->Y, separatorQuotes);
    *end++ = '\r';
    *end++ = '\n';
    text.append(line, end);
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

namespace {

[[noreturn]] void ThrowTooManyLines(const std::string& fileName, std::int32_t maxLines) {
  throw TSampleFileError("Cannot open file \"" + FullPath(fileName) + "\". It has more than " +
                         std::to_string(maxLines) + " lines, more than a sample set can hold");
}

// Parses the lines into the set, which holds a row for each of them; a file that shrank
// since it was counted leaves fewer rows.
std::int32_t ParseInto(TTextFileReader& reader, TSampleData& loaded) {
  std::int32_t row = 0;
  std::int32_t unreadable = 0;
  std::string_view line;
  while (row < loaded.Count() && reader.Next(line)) {
    if (const std::optional<TSamplePoint> point = ParseSampleLine(line)) {
      loaded.SetX(row, point->X);
      loaded.SetY(row, point->Y);
    } else {
      ++unreadable;
    }
    ++row;
  }
  if (row < loaded.Count()) loaded.SetCount(row);
  loaded.UpdateBounds();
  return unreadable;
}

// A pipe is read once: its rows are kept until its end tells how many there are.
std::int32_t LoadOnce(TTextFileReader& reader, TSampleData& loaded, const std::string& fileName,
                      std::int32_t maxLines) {
  std::vector<TSamplePoint> points;
  std::int32_t unreadable = 0;
  std::string_view line;
  while (reader.Next(line)) {
    if (points.size() == static_cast<std::size_t>(maxLines)) ThrowTooManyLines(fileName, maxLines);
    const std::optional<TSamplePoint> point = ParseSampleLine(line);
    if (!point) ++unreadable;
    points.push_back(point.value_or(TSamplePoint{}));
  }
  ReplaceSamples(loaded, points);
  return unreadable;
}

}  // namespace

std::int32_t LoadSampleFile(TSampleData& samples, const std::string& fileName,
                            std::int32_t maxLines) {
  TTextFileReader reader(fileName);
  TSampleData loaded;
  std::int32_t unreadable = 0;
  if (reader.Rewind()) {
    // Counted first, so that a file too long is refused before any row is allocated, and
    // the rows are allocated once, exactly.
    const std::int64_t lines = reader.CountLines();
    if (lines > maxLines) ThrowTooManyLines(fileName, maxLines);
    const auto count = static_cast<std::int32_t>(lines);
    if (!reader.Rewind())
      throw TSampleFileError("Cannot open file \"" + FullPath(fileName) + "\".");
    loaded.SetCount(count);
    unreadable = ParseInto(reader, loaded);
  } else {
    unreadable = LoadOnce(reader, loaded, fileName, maxLines);
  }
  loaded.SetMargin(samples.GetMargin());
  samples = std::move(loaded);
  return unreadable;
}

std::int32_t LoadFromFile(TSampleData& samples, const std::string& fileName) {
  return LoadSampleFile(samples, fileName, std::numeric_limits<std::int32_t>::max());
}

void SaveToFile(const TSampleData& samples, const std::string& fileName) {
  ReplaceTextFile(fileName, FormatSampleFileText(samples));
}
