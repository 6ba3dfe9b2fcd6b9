#include "core/model/Random.h"

#include <chrono>

namespace {
// One source per thread: a search seeds the source of the thread it runs on with the seed
// its parameters name, so attempts side by side draw streams of their own.
thread_local TRandomStream source_{0};
}  // namespace

std::uint32_t Seed() noexcept {
  return source_.Seed();
}

void SetSeed(std::uint32_t seed) noexcept {
  source_ = TRandomStream(seed);
}

std::uint32_t ClockSeed() noexcept {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(ticks).count());
}

void RandomizeSeed() noexcept {
  SetSeed(ClockSeed());
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

std::uint32_t MixSeed(std::uint32_t seed, std::uint32_t salt) noexcept {
  // SplitMix64's finaliser over seed * 2^32 + salt; the upper half of the result.
  std::uint64_t z = (static_cast<std::uint64_t>(seed) << 32 | salt) + 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  z ^= z >> 31;
  return static_cast<std::uint32_t>(z >> 32);
}
