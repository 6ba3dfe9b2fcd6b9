#pragma once
// The clipboard data text: x TAB y CR LF per sample; read back as a stream of items
// separated by ";" or white space, taken in pairs.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/SD.h"

[[nodiscard]] std::string FormatClipboardData(const TSampleData& samples);

struct TClipboardPaste {
  bool Pasted = false;          // false: fewer than two items, the set is unchanged
  std::int32_t Unreadable = 0;  // pairs that did not read as two numbers, pasted as (0, 0)
};

// On success the set holds the pasted pairs with tight bounds; an odd last item is ignored.
[[nodiscard]] TClipboardPaste ParseClipboardData(std::string_view text, TSampleData& samples);
