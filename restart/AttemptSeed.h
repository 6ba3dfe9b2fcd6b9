#pragma once
// The seed of each restart attempt. Attempt 0 starts from the run's seed, as a plain search
// would; attempt k >= 1 starts from MixSeed(seed of attempt 0, k): the upper 32 bits of
// SplitMix64's finaliser over seed * 2^32 + k.

#include <cstdint>

#include "core/model/Random.h"

[[nodiscard]] inline std::uint32_t AttemptSeed(std::uint32_t firstSeed,
                                               std::int64_t attempt) noexcept {
  return attempt == 0 ? firstSeed : MixSeed(firstSeed, static_cast<std::uint32_t>(attempt));
}
