#pragma once
// The Luby sequence 1, 1, 2, 1, 1, 2, 4, 1, 1, 2, 1, 1, 2, 4, 8, ...: restart lengths whose
// expected cost is within a logarithmic factor of the best fixed length, without knowing it.

#include <cstdint>

// Term k of the sequence, counting from 0.
[[nodiscard]] constexpr std::int64_t Luby(std::int64_t k) noexcept {
  std::int64_t i = k + 1;  // the usual definition counts from 1
  for (;;) {
    // 2^j - 1 is the first index >= i of the form 2^j - 1.
    std::int64_t power = 1;
    while (power - 1 < i)
      power *= 2;
    if (power - 1 == i) return power / 2;
    i -= power / 2 - 1;
  }
}
