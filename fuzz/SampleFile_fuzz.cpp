// The line handling of a sample file: one sample per line, the unreadable lines counted,
// and the text of the loaded samples loads back to the same text.

#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "Lines.h"
#include "SampleFile.h"

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
  if (again.Unreadable == 0) {
    std::string rewritten;
    for (const TSamplePoint& point : again.Points)
      rewritten += FormatSampleLine(point) + "\r\n";
    FUZZ_CHECK(rewritten == written);
  }
  return 0;
}
