#pragma once
// TEMPORARY until the sample text formats are merged: a stand-in for the grid's number
// text so the window builds. Removed when exchange/SampleValue.h arrives.

#include <cstdio>
#include <string>

#include "DecimalSeparator.h"

inline std::string FormatGridValue(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text(buffer);
  for (char& c : text) {
    if (c == '.') c = DecimalSeparator();
  }
  return text;
}

// TEMPORARY as above: the clipboard data text, as its header on the exchange branch declares it.
#include <cstdint>
#include <string_view>

#include "SD.h"

inline std::string FormatClipboardData(const TSampleData& samples) {
  std::string text;
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    text += FormatGridValue(samples.GetX(i)) + "\t" + FormatGridValue(samples.GetY(i)) + "\r\n";
  }
  return text;
}

struct TClipboardPaste {
  bool Pasted = false;
  std::int32_t Unreadable = 0;
};

inline TClipboardPaste ParseClipboardData(std::string_view, TSampleData&) {
  return {};
}
