#pragma once
// Shared by the fuzz targets: the first byte picks the decimal separator, the rest is text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "DecimalSeparator.h"

// A broken property is a crash for libFuzzer; the message says which one.
#define FUZZ_CHECK(condition)                                                      \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (false)

inline std::string_view TakeSeparatorAndText(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  SetDecimalSeparator((data[0] & 1) != 0 ? "," : ".");
  return {reinterpret_cast<const char*>(data + 1), size - 1};
}
