// What becomes of the rows that do not read, for a sample file's text and for a paste: left
// out, the set holds the rows that read; as (0, 0), every row in its place; either way the
// bounds are tight and the margin kept. The lines named lie in the text, in order.

#include <algorithm>
#include <string>

#include "exchange/ClipboardData.h"
#include "exchange/Lines.h"
#include "exchange/SampleFile.h"
#include "fuzz/FuzzInput.h"

namespace {

TSampleRead Read(std::string_view text, bool paste) {
  return paste ? ReadClipboardData(text) : ParseSampleFileText(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool paste = (data[0] & 2) != 0;
  const std::string_view text = TakeSeparatorAndText(data, size);
  const TSampleRead read = Read(text, paste);

  const auto lines = std::max<std::int64_t>(1, std::ssize(SplitLines(text)));
  const std::vector<std::int64_t>& named = read.UnreadableLines();
  FUZZ_CHECK(named.size() == std::min<std::size_t>(TSampleRead::LinesKept,
                                                   static_cast<std::size_t>(read.Unreadable())));
  FUZZ_CHECK(std::is_sorted(named.begin(), named.end()));
  FUZZ_CHECK(named.empty() || (named.front() >= 1 && named.back() <= lines));
  FUZZ_CHECK(UnreadableSummary(read).empty() == (read.Unreadable() == 0));
  FUZZ_CHECK(!read.Blank() || (read.Rows() == 0 && read.Header().empty()));

  TSampleData left(3);
  left.SetMargin(0.3);
  Read(text, paste).MoveInto(left, TUnreadableChoice::Leave);
  TSampleData all;
  Read(text, paste).MoveInto(all, TUnreadableChoice::AsZero);
  FUZZ_CHECK(left.Count() == read.Readable() && all.Count() == read.Rows());
  FUZZ_CHECK(left.GetMargin() == 0.3);
  CheckTightBounds(left);
  CheckTightBounds(all);
  // Taking out as many (0, 0) rows as were unreadable leaves the rows that read, in order.
  std::int32_t kept = 0;
  std::int64_t zeros = 0;
  for (std::int32_t i = 0; i < all.Count(); ++i) {
    if (kept < left.Count() && all.GetX(i) == left.GetX(kept) && all.GetY(i) == left.GetY(kept)) {
      ++kept;
    } else {
      FUZZ_CHECK(all.GetX(i) == 0 && all.GetY(i) == 0);
      ++zeros;
    }
  }
  FUZZ_CHECK(kept == left.Count() && zeros == read.Unreadable());
  return 0;
}
