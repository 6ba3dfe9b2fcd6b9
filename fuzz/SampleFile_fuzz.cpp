// The line handling of a sample file: one sample per line, the unreadable lines counted,
// and the text of the loaded samples loads back to the same values, up to their rounding.

#include <cmath>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzInput.h"
#include "exchange/Lines.h"
#include "exchange/SampleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = TakeSeparatorAndText(data, size);
  const TSampleFileText parsed = ParseSampleFileText(text);
  const std::vector<std::string_view> lines = SplitLines(text);
  FUZZ_CHECK(parsed.Points.size() == lines.size());
  std::size_t unreadable = 0;
  for (const std::string_view line : lines)
    unreadable += ParseSampleLine(line) ? 0 : 1;
  FUZZ_CHECK(parsed.Unreadable == unreadable);

  std::string written;
  for (const TSamplePoint& point : parsed.Points)
    written += FormatSampleLine(point) + "\r\n";
  const TSampleFileText again = ParseSampleFileText(written);
  FUZZ_CHECK(again.Points.size() == parsed.Points.size());
  std::size_t overflowing = 0;
  for (std::size_t i = 0; i < parsed.Points.size(); ++i) {
    const TSamplePoint& point = parsed.Points[i];
    if (std::fabs(point.X) > OverflowingText || std::fabs(point.Y) > OverflowingText) {
      ++overflowing;
      continue;
    }
    FUZZ_CHECK(CloseAfterTrip(point.X, again.Points[i].X));
    FUZZ_CHECK(CloseAfterTrip(point.Y, again.Points[i].Y));
  }
  FUZZ_CHECK(again.Unreadable == overflowing);
  return 0;
}
