#pragma once
// The random source: a 32-bit linear congruential generator, one per thread. Every random
// decision of a search draws from its thread's source, so a seed fixes a whole run.

#include <cstdint>

// Current state; 0 until something seeds it.
[[nodiscard]] std::uint32_t Seed() noexcept;
void SetSeed(std::uint32_t seed) noexcept;

// The low 32 bits of a high-resolution monotonic clock: a seed that differs from run to run.
[[nodiscard]] std::uint32_t ClockSeed() noexcept;

// Seeds from ClockSeed.
void RandomizeSeed() noexcept;

// 0 .. n - 1 for n >= 1: the upper half of n * Seed, not a remainder.
[[nodiscard]] std::int32_t RandomInt(std::int32_t n) noexcept;

// A multiple of 2^-32 in [0, 1).
[[nodiscard]] double RandomReal() noexcept;

// The seed that the given number of steps lead to, without taking them one by one.
[[nodiscard]] std::uint32_t SeedAfter(std::uint32_t seed, std::uint64_t steps) noexcept;

// A seed for another stream, derived from seed and salt by a fixed mix (SplitMix64's
// finaliser over seed * 2^32 + salt, upper 32 bits), so that related streams do not overlap.
[[nodiscard]] std::uint32_t MixSeed(std::uint32_t seed, std::uint32_t salt) noexcept;

// The same generator with a state of its own. Draws whose place in the sequence is known
// in advance (breeding, program by program) can then be made on several threads:
// each stream starts at SeedAfter(start, draws made before it).
class TRandomStream {
 public:
  explicit TRandomStream(std::uint32_t seed) noexcept : seed_(seed) {}

  [[nodiscard]] std::uint32_t Seed() const noexcept { return seed_; }

  [[nodiscard]] std::int32_t Int(std::int32_t n) noexcept {
    const std::uint64_t product =
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(n)) * Step();
    return static_cast<std::int32_t>(product >> 32);
  }

  [[nodiscard]] double Real() noexcept { return static_cast<double>(Step()) * 0x1p-32; }

 private:
  std::uint32_t Step() noexcept {
    seed_ = seed_ * Multiplier + 1u;  // wraps modulo 2^32
    return seed_;
  }

  static constexpr std::uint32_t Multiplier = 134775813u;
  friend std::uint32_t SeedAfter(std::uint32_t, std::uint64_t) noexcept;

  std::uint32_t seed_;
};
