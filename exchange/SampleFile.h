#pragma once
// The sample file: one sample per line, its inputs and y joined by "," (quoted where the
// decimal separator needs it), CR LF after every line. A set of several inputs, or one with
// column names, starts with a line of names; one of one input without names has none.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/SD.h"
#include "exchange/SampleFileError.h"
#include "exchange/SampleRead.h"

// The line of one sample, without its line break.
[[nodiscard]] std::string FormatSampleLine(const TSamplePoint& point);

// The first two items of a line as x and y; nothing when the line does not read as two
// numbers. Items after the second are ignored.
[[nodiscard]] std::optional<TSamplePoint> ParseSampleLine(std::string_view line);

// ParseSampleLine's reading, and what it passed over.
struct TSampleLine {
  std::optional<TSamplePoint> Point;
  bool More = false;      // items after the second
  bool CutShort = false;  // x or y cut short of a digit ("2.5e")
};
[[nodiscard]] TSampleLine ReadSampleLine(std::string_view line);

[[nodiscard]] std::string FormatSampleFileText(const TSampleData& samples);

// The lines of a file's text as rows: blank lines are passed over, a first line of names
// is the header; the rest read as samples or are counted, with their line numbers. A text
// whose lines cannot make one set comes back refused (TSampleRead::Refusal).
[[nodiscard]] TSampleRead ParseSampleFileText(std::string_view text);

// Reads a file's rows without touching any set. A file of more than maxLines rows is refused
// before any row is allocated. Throws TSampleFileError, also for a refused text.
[[nodiscard]] TSampleRead ReadSampleFile(
    const std::string& fileName, std::int32_t maxLines = std::numeric_limits<std::int32_t>::max());

// Why the set cannot be written as a file that reads back to the same rows, names and
// inputs (a name a header cannot give back, a value that is not finite), as a sentence;
// empty when it can. SaveToFile refuses such a set before it touches the file.
[[nodiscard]] std::string SampleFileFault(const TSampleData& samples);

// Replaces the set's points by the file's, without the lines that do not read as two
// numbers; returns how many those were. Both throw TSampleFileError and leave the set
// unchanged on failure.
std::int32_t LoadFromFile(TSampleData& samples, const std::string& fileName);
void SaveToFile(const TSampleData& samples, const std::string& fileName);
