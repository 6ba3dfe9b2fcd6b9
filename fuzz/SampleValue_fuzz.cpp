// A read value formats to a text that reads back and formats to the same text, except for
// powers of ten that no double holds (1E23 and up), where the value read back may fall
// below the power and the text changes once; under "." the value equals what the C
// library reads from the same text.

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "FuzzInput.h"
#include "SampleValue.h"

namespace {

// The sixteen-digit text of values this close to the largest double rounds beyond it.
constexpr double OverflowingText = 1.797693134862315e308;

}  // namespace

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
  const std::string again = FormatSampleValue(*back);
  if (again != formatted) {
    const std::string_view magnitude = std::string_view(formatted).substr(formatted[0] == '-');
    FUZZ_CHECK(magnitude.starts_with("1E"));
    FUZZ_CHECK(std::fabs(*back) < std::fabs(*value));
    FUZZ_CHECK(FormatSampleValue(*ParseSampleValue(again)) == again);
  }
  (void)FormatGridValue(*value);
  return 0;
}
