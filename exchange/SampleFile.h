#pragma once
// The sample file: one sample per line, x and y joined by "," (quoted where the decimal
// separator needs it), CR LF after every line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/SD.h"
#include "exchange/SampleFileError.h"

// The line of one sample, without its line break.
[[nodiscard]] std::string FormatSampleLine(const TSamplePoint& point);

// The first two items of a line as x and y; nothing when the line does not read as two
// numbers. Items after the second are ignored.
[[nodiscard]] std::optional<TSamplePoint> ParseSampleLine(std::string_view line);

[[nodiscard]] std::string FormatSampleFileText(const TSampleData& samples);

struct TSampleFileText {
  std::vector<TSamplePoint> Points;  // one per line; (0, 0) where a line did not read
  std::size_t Unreadable = 0;        // lines that did not read as two numbers
};

[[nodiscard]] TSampleFileText ParseSampleFileText(std::string_view text);

// Replaces the set's points by the file's. Returns how many lines could not be read as two
// numbers; they load as (0, 0). Both throw TSampleFileError and leave the set unchanged on
// failure.
std::int32_t LoadFromFile(TSampleData& samples, const std::string& fileName);
void SaveToFile(const TSampleData& samples, const std::string& fileName);

// LoadFromFile with a limit on the number of lines: a longer file is refused
// before any row is allocated. Returns the number of unreadable lines.
std::int32_t LoadSampleFile(TSampleData& samples, const std::string& fileName,
                            std::int32_t maxLines);
