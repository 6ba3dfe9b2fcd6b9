#pragma once
// The memory a population search needs, known before it is made, so that a search too
// large for the computer is refused with a sentence instead of being killed or failing
// half-way; and the same sentence when an allocation fails anyway.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/search/MemoryLimit.h"

// What a search's memory depends on.
struct TSearchShape {
  std::int32_t PopulationSize = 0;
  std::int32_t InstructionCount = 0;
  std::int32_t RegisterCount = 0;
  std::int32_t SampleCount = 0;
};

// A search that cannot have the memory it needs; what() is one sentence for the user.
class TSearchMemoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The threads a search scores with when asked for requested: 0 or less means every core.
[[nodiscard]] std::int32_t ScoringThreads(std::int32_t requested) noexcept;

// Bytes one population search of this shape holds at its peak with this many scoring
// threads: its programs, the ranking's scratch, each thread's scorer and score memo, and
// the predictions shown. Searches side by side need this each.
[[nodiscard]] std::uint64_t SearchMemoryBytes(const TSearchShape& shape,
                                              std::int32_t threads) noexcept;

// "16.3 GiB", "512 MiB", "900 KiB", with the user's decimal separator.
[[nodiscard]] std::string FormatBytes(std::uint64_t bytes);

// Throws TSearchMemoryError when searches searches of this shape, side by side, would need
// more than limit; does nothing without a limit.
void CheckSearchMemory(const TSearchShape& shape, std::int32_t threads,
                       const std::optional<TMemoryLimit>& limit, std::int32_t searches = 1);

// The error for an allocation that failed in such a search.
[[nodiscard]] TSearchMemoryError SearchOutOfMemory(const TSearchShape& shape, std::int32_t threads,
                                                   std::int32_t searches = 1);
