#pragma once
// The clipboard data text: x TAB y CR LF per sample; read back as a stream of items
// separated by ";" or white space, taken in pairs. A set of several inputs, or one with
// names, starts with a line of its column names, and each line holds a row: the inputs
// and y, TAB between them; after a header of three names or more each line is read as a
// row of that many items.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/SD.h"
#include "exchange/SampleRead.h"

[[nodiscard]] std::string FormatClipboardData(const TSampleData& samples);

// The pairs of a text, each on the line of its first item: a first line of names is the
// header, an odd last item is ignored. After a header of three names or more, the rows of
// its lines; a line of another item count, a header with an empty or a repeated name, or
// more than MaxInputs inputs refuse the text (TSampleRead::Refusal).
[[nodiscard]] TSampleRead ReadClipboardData(std::string_view text);

struct TClipboardPaste {
  bool Pasted = false;          // false: no pair read as two numbers, the set is unchanged
  std::int32_t Unreadable = 0;  // pairs that did not read as two numbers, left out
  std::string Refusal;          // why the text cannot be a set, when it cannot
};

// On success the set holds the pairs that read, with tight bounds.
[[nodiscard]] TClipboardPaste ParseClipboardData(std::string_view text, TSampleData& samples);
