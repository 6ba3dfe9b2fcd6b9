// The line handling of a sample file: blank lines and a first line of names are no rows,
// every other line is a sample or is counted on its line, items not used and numbers cut
// short are counted too, and the text of the loaded samples loads back to the same values,
// up to their rounding.

#include <string>

#include "fuzz/FuzzInput.h"
#include "exchange/Lines.h"
#include "exchange/SampleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = TakeSeparatorAndText(data, size);
  TSampleRead parsed = ParseSampleFileText(text);
  if (!parsed.Refusal().empty()) {
    FUZZ_CHECK(parsed.Rows() == 0);
    return 0;
  }
  const std::vector<std::string_view> lines = SplitLines(text);
  // Under a header a number cut short leaves its line unreadable; without, it is counted.
  const bool strict = !parsed.Header().empty();
  const auto reads = [strict](const TSampleLine& pair) {
    return pair.Point && !(strict && pair.CutShort);
  };
  std::int64_t readable = 0;
  std::int64_t filled = 0;
  std::int64_t more = 0;
  std::int64_t cutShort = 0;
  for (const std::string_view line : lines) {
    const TSampleLine pair = ReadSampleLine(line);
    readable += reads(pair) ? 1 : 0;
    more += reads(pair) && pair.More ? 1 : 0;
    cutShort += reads(pair) && pair.CutShort ? 1 : 0;
    for (const char c : line) {
      if (static_cast<unsigned char>(c) > ' ') {
        ++filled;
        break;
      }
    }
  }
  // With one input every line that reads as two numbers is a sample; with more, fewer are.
  const bool one = parsed.InputCount() == 1;
  FUZZ_CHECK(one ? parsed.Readable() == readable : parsed.Readable() <= readable);
  FUZZ_CHECK(!one || (parsed.Unused().Count == more && parsed.CutShort().Count == cutShort));
  FUZZ_CHECK(one || (parsed.Unused().Count == 0 && parsed.CutShort().Count == 0));
  FUZZ_CHECK(parsed.Rows() + (parsed.Header().empty() ? 0 : 1) == filled);
  std::int64_t previous = 0;
  for (const std::int64_t line : parsed.UnreadableLines()) {
    FUZZ_CHECK(line > previous && line <= std::ssize(lines));
    FUZZ_CHECK(!one || !reads(ReadSampleLine(lines[static_cast<std::size_t>(line - 1)])));
    previous = line;
  }

  TSampleData samples;
  std::move(parsed).MoveInto(samples, TUnreadableChoice::AsZero);
  CheckReadBack(samples, ParseSampleFileText(FormatSampleFileText(samples)));
  return 0;
}
