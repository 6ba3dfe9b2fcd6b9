#pragma once
// Kinds of attempts. With the size ladder an attempt runs at one of three sizes; with unscaled
// attempts beside linear scaling, each size also runs without the scaling, because some laws
// (sums of powers, sums of sines) are found sooner by the plain error than by the scaled one.
// Attempt k is of kind k mod the number of kinds and takes place k / kinds in that kind's own
// Luby sequence: both depend on k alone, so the answer is the same for every thread and
// process count.

#include <cstdint>

#include "restart/SizeLadder.h"

struct TAttemptKind {
  std::int32_t Level = 0;  // the size ladder's level
  bool Unscaled = false;   // runs without linear scaling
  std::int64_t Step = 0;   // the place in this kind's Luby sequence
};

[[nodiscard]] constexpr TAttemptKind AttemptKind(std::int64_t attempt, bool ladder,
                                                 bool unscaledToo) noexcept {
  const std::int64_t levels = ladder ? LadderLevels : 1;
  const std::int64_t kinds = levels * (unscaledToo ? 2 : 1);
  const std::int64_t kind = attempt % kinds;
  return {static_cast<std::int32_t>(kind % levels), kind >= levels, attempt / kinds};
}
