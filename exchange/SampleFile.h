#pragma once
// The sample file: one sample per line, x and y joined by "," (quoted where the decimal
// separator needs it), CR LF after every line. TSampleData::LoadFromFile and SaveToFile
// are defined here, on top of the text routines below.

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

// TSampleData::LoadFromFile with a limit on the number of lines: a longer file is refused
// before any row is allocated. Returns the number of unreadable lines.
std::int32_t LoadSampleFile(TSampleData& samples, const std::string& fileName,
                            std::int32_t maxLines);
