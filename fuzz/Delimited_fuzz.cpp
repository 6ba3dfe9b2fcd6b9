// Splitting never reads past the text, and with a delimiter that is neither blank nor the
// quote, joining the items and splitting again gives the same items.

#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/Delimited.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char delimiter = static_cast<char>(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<std::string> items = SplitDelimited(text, delimiter);

  if (data[0] <= 32 || delimiter == '"') return 0;
  FUZZ_CHECK(SplitDelimited(JoinDelimited(items, delimiter), delimiter) == items);
  return 0;
}
