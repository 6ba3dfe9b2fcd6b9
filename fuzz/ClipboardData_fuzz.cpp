// Pasting either leaves the set exactly as it was or fills it with the pairs that read, with
// tight bounds; the copy of a pasted set pastes back to the same values, up to the rounding
// of their text.

#include <algorithm>
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
  // A header of three names or more makes each line after it a row, read line by line: a
  // quote left open in the header ends with its line there, not with the text.
  const bool lineRows = read.Header().size() > 2;
  const auto lines =
      std::count_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }) + 1;
  // A header's items and an odd last one make no pair.
  FUZZ_CHECK(lineRows ? read.Rows() < lines : 2 * read.Rows() <= items);
  // A refused paste has no rows; without a header, pairs make rows, wider lines fewer.
  FUZZ_CHECK(read.Refusal().empty()
                 ? !read.Header().empty() || read.InputCount() > 1 || read.Rows() == items / 2
                 : read.Rows() == 0);
  // An odd last item of bare pairs is no pair, and is said to be left over.
  FUZZ_CHECK(!read.Header().empty() || !read.Refusal().empty() ||
             (read.UnpairedLine() > 0) == (items % 2 == 1));
  FUZZ_CHECK(paste.Pasted == (read.Readable() > 0) && paste.Unreadable == read.Unreadable());
  if (!paste.Pasted) {
    FUZZ_CHECK(FormatClipboardData(samples) == before && samples.MinX() == -7 &&
               samples.MaxY() == 7);
    return 0;
  }
  FUZZ_CHECK(samples.Count() == read.Readable());
  CheckTightBounds(samples);

  CheckReadBack(samples, ReadClipboardData(FormatClipboardData(samples)));
  return 0;
}
