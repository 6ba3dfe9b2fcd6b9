// A read value formats to a text that reads back close to it, within 1e-5 of itself, and
// to the very same text for magnitudes below 2^22, where a double is far finer than the
// last digit; under "." the value equals what the C library reads from the same text.

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "fuzz/FuzzInput.h"
#include "exchange/SampleValue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = TakeSeparatorAndText(data, size);
  const std::optional<double> value = ParseSampleValue(text);
  if (!value) return 0;
  FUZZ_CHECK(std::isfinite(*value));

  if (DecimalSeparator() == '.') {
    const std::string copy(text);
    FUZZ_CHECK(*value == std::strtod(copy.c_str(), nullptr));
  }

  const std::string formatted = FormatSampleValue(*value);
  const std::optional<double> back = ParseSampleValue(formatted);
  if (!back) {
    FUZZ_CHECK(std::fabs(*value) > OverflowingText);
    return 0;
  }
  FUZZ_CHECK(CloseAfterTrip(*value, *back));
  // No value is lost to the fixed notation: it moves by at most 1e-5 of itself.
  FUZZ_CHECK(std::fabs(*back - *value) <= 1e-5 * std::fabs(*value));
  if (std::fabs(*value) < 4194304) FUZZ_CHECK(FormatSampleValue(*back) == formatted);
  (void)FormatGridValue(*value);
  return 0;
}
