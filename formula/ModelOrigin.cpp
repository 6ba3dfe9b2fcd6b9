#include "formula/ModelOrigin.h"

#include <charconv>

std::string DescribeOrigin(const TModelOrigin& origin) {
  char percent[64];
  const auto end =
      std::to_chars(percent, percent + sizeof percent,
                    static_cast<long double>(origin.Margin) * 100, std::chars_format::fixed, 2)
          .ptr;
  // A comment must not be closed or broken by the name.
  std::string samples;
  for (const char c : origin.Samples) {
    if (c == '\n' || c == '\r') continue;
    if (c == '/' && !samples.empty() && samples.back() == '*') samples += ' ';
    samples += c;
  }
  return "Movar Tester model for " + samples + ", margin of error " + std::string(percent, end) +
         "%";
}
