#include "core/model/DecimalSeparator.h"

#include <atomic>

namespace {
// Atomic because scoring threads may format while the window changes locale.
std::atomic<char> separator_{'.'};
}  // namespace

char DecimalSeparator() noexcept {
  return separator_.load(std::memory_order_relaxed);
}

void SetDecimalSeparator(std::string_view separator) noexcept {
  // The symbol's first character; a first character of several bytes cannot be one.
  const bool singleByte = !separator.empty() && static_cast<unsigned char>(separator[0]) < 0x80;
  separator_.store(singleByte ? separator[0] : '.', std::memory_order_relaxed);
}
