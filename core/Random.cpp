#include "Random.h"

#include <chrono>

namespace {
TRandomStream source_{0};
}  // namespace

std::uint32_t Seed() noexcept {
  return source_.Seed();
}

void SetSeed(std::uint32_t seed) noexcept {
  source_ = TRandomStream(seed);
}

void RandomizeSeed() noexcept {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch();
  SetSeed(static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(ticks).count()));
}

std::int32_t RandomInt(std::int32_t n) noexcept {
  return source_.Int(n);
}

double RandomReal() noexcept {
  return source_.Real();
}

std::uint32_t SeedAfter(std::uint32_t seed, std::uint64_t steps) noexcept {
  // Compose the affine step s -> a s + c with itself by squaring, modulo 2^32.
  std::uint32_t multiplier = TRandomStream::Multiplier;
  std::uint32_t increment = 1;
  while (steps > 0) {
    if (steps & 1u) seed = seed * multiplier + increment;
    increment = increment * (multiplier + 1u);
    multiplier = multiplier * multiplier;
    steps >>= 1;
  }
  return seed;
}
