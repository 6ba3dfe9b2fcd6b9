// Pasting either leaves the set exactly as it was or fills it with tight bounds; the
// copy of a pasted set pastes back to the same values, up to the rounding of their text.

#include <cmath>
#include <cstdlib>
#include <string>

#include "exchange/ClipboardData.h"
#include "exchange/Delimited.h"
#include "fuzz/FuzzInput.h"

namespace {

void CheckTightBounds(const TSampleData& samples) {
  TSampleData tight(samples.Count());
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    tight.SetX(i, samples.GetX(i));
    tight.SetY(i, samples.GetY(i));
  }
  tight.UpdateBounds();
  FUZZ_CHECK(tight.MinX() == samples.MinX() && tight.MaxX() == samples.MaxX());
  FUZZ_CHECK(tight.MinY() == samples.MinY() && tight.MaxY() == samples.MaxY());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = TakeSeparatorAndText(data, size);
  TSampleData samples(2);
  samples.SetX(0, -7);
  samples.SetY(1, 7);
  const std::string before = FormatClipboardData(samples);

  const TClipboardPaste paste = ParseClipboardData(text, samples);
  const auto items = static_cast<std::int32_t>(SplitDelimited(text, ';').size());
  if (!paste.Pasted) {
    FUZZ_CHECK(items < 2);
    FUZZ_CHECK(FormatClipboardData(samples) == before && samples.MinX() == -7 &&
               samples.MaxY() == 7);
    return 0;
  }
  FUZZ_CHECK(samples.Count() == items / 2);
  FUZZ_CHECK(paste.Unreadable >= 0 && paste.Unreadable <= samples.Count());
  CheckTightBounds(samples);

  const std::string copied = FormatClipboardData(samples);
  TSampleData again;
  const TClipboardPaste second = ParseClipboardData(copied, again);
  FUZZ_CHECK(second.Pasted && again.Count() == samples.Count());
  std::int32_t overflowing = 0;
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    const double x = samples.GetX(i);
    const double y = samples.GetY(i);
    if (std::fabs(x) > OverflowingText || std::fabs(y) > OverflowingText) {
      ++overflowing;
      continue;
    }
    FUZZ_CHECK(CloseAfterTrip(x, again.GetX(i)) && CloseAfterTrip(y, again.GetY(i)));
  }
  FUZZ_CHECK(second.Unreadable == overflowing);
  return 0;
}
