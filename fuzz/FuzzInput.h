#pragma once
// Shared by the fuzz targets: the first byte picks the decimal separator, the rest is text.

#include <cstddef>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/model/DecimalSeparator.h"
#include "core/model/SD.h"
#include "exchange/SampleRead.h"

// A broken property is a crash for libFuzzer; the message says which one.
#define FUZZ_CHECK(condition)                                                      \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (false)

// The sixteen-digit text of values this close to the largest double rounds beyond it.
constexpr double OverflowingText = 1.797693134862315e308;

// A value read back from its own text lies within one unit of the text's last digit: 1e-8
// in fixed notation, at most 1e-15 of the value in the sixteen-digit range. Exact text
// round trips cannot be promised: rounding to 18 digits and then half up to 16, and powers
// of ten no double holds, let the text move by one unit once in a while.
inline bool CloseAfterTrip(double value, double back) {
  const double distance = value > back ? value - back : back - value;
  const double magnitude = value < 0 ? -value : value;
  return distance <= 1.0000001e-8 || distance <= 1.0000001e-15 * magnitude;
}

// The bounds enclose exactly the set's values, as after UpdateBounds.
inline void CheckTightBounds(const TSampleData& samples) {
  TSampleData tight(samples.Count());
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    tight.SetX(i, samples.GetX(i));
    tight.SetY(i, samples.GetY(i));
  }
  tight.UpdateBounds();
  FUZZ_CHECK(tight.MinX() == samples.MinX() && tight.MaxX() == samples.MaxX());
  FUZZ_CHECK(tight.MinY() == samples.MinY() && tight.MaxY() == samples.MaxY());
}

// A set read back from its own text: its header, every row in its place, unreadable only
// where a value is too large for a text that reads back, the others close to their values.
inline void CheckReadBack(const TSampleData& samples, TSampleRead again) {
  FUZZ_CHECK(again.Refusal().empty() && again.Rows() == samples.Count());
  // Several inputs, or names, are written under a header; they come back with it.
  const bool header = samples.InputCount() > 1 || !samples.Names().empty();
  FUZZ_CHECK(again.Header() == (header ? ColumnNames(samples) : std::vector<std::string>{}) &&
             again.InputCount() == samples.InputCount());
  const auto overflows = [](double value) { return std::fabs(value) > OverflowingText; };
  std::int64_t overflowing = 0;
  const std::int64_t unreadable = again.Unreadable();
  TSampleData back;
  std::move(again).MoveInto(back, TUnreadableChoice::AsZero);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    bool overflow = overflows(samples.GetY(i));
    for (std::int32_t k = 0; k < samples.InputCount(); ++k)
      overflow = overflow || overflows(samples.GetX(i, k));
    if (overflow) {
      ++overflowing;
      continue;
    }
    for (std::int32_t k = 0; k < samples.InputCount(); ++k)
      FUZZ_CHECK(CloseAfterTrip(samples.GetX(i, k), back.GetX(i, k)));
    FUZZ_CHECK(CloseAfterTrip(samples.GetY(i), back.GetY(i)));
  }
  FUZZ_CHECK(unreadable == overflowing);
}

inline std::string_view TakeSeparatorAndText(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  SetDecimalSeparator((data[0] & 1) != 0 ? "," : ".");
  return {reinterpret_cast<const char*>(data + 1), size - 1};
}
