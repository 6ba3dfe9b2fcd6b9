#include "DecimalSeparator.h"

#include <atomic>

namespace {
// Atomic because scoring threads may format while the window changes locale.
std::atomic<char> separator_{'.'};
}  // namespace

char DecimalSeparator() noexcept {
  return separator_.load(std::memory_order_relaxed);
}

void SetDecimalSeparator(std::string_view separator) noexcept {
  separator_.store(separator.size() == 1 ? separator[0] : '.', std::memory_order_relaxed);
}
