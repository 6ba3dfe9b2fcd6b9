// Pasting either leaves the set exactly as it was or fills it with the pairs that read, with
// tight bounds; the copy of a pasted set pastes back to the same values, up to the rounding
// of their text.

#include <cmath>
#include <cstdlib>
#include <string>

#include "exchange/ClipboardData.h"
#include "exchange/Delimited.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = TakeSeparatorAndText(data, size);
  TSampleData samples(2);
  samples.SetX(0, -7);
  samples.SetY(1, 7);
  const std::string before = FormatClipboardData(samples);

  const TSampleRead read = ReadClipboardData(text);
  const TClipboardPaste paste = ParseClipboardData(text, samples);
  const auto items = std::ssize(SplitDelimited(text, ';'));
  // A header's items and an odd last one make no pair.
  FUZZ_CHECK(2 * read.Rows() <= items);
  FUZZ_CHECK(!read.Header().empty() || read.Rows() == items / 2);
  FUZZ_CHECK(paste.Pasted == (read.Readable() > 0) && paste.Unreadable == read.Unreadable());
  if (!paste.Pasted) {
    FUZZ_CHECK(FormatClipboardData(samples) == before && samples.MinX() == -7 &&
               samples.MaxY() == 7);
    return 0;
  }
  FUZZ_CHECK(samples.Count() == read.Readable());
  CheckTightBounds(samples);

  TSampleRead again = ReadClipboardData(FormatClipboardData(samples));
  FUZZ_CHECK(again.Header().empty() && again.Rows() == samples.Count());
  TSampleData back;
  std::move(again).MoveInto(back, TUnreadableChoice::AsZero);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    const double x = samples.GetX(i);
    const double y = samples.GetY(i);
    if (std::fabs(x) > OverflowingText || std::fabs(y) > OverflowingText) continue;
    FUZZ_CHECK(CloseAfterTrip(x, back.GetX(i)) && CloseAfterTrip(y, back.GetY(i)));
  }
  return 0;
}
