#pragma once
// The one process-wide random source: a 32-bit linear congruential generator.
// Every random decision of the program draws from it, so a seed fixes a whole run.

#include <cstdint>

// Current state; 0 until something seeds it.
[[nodiscard]] std::uint32_t Seed() noexcept;
void SetSeed(std::uint32_t seed) noexcept;

// Seeds from the low 32 bits of a high-resolution monotonic clock.
void RandomizeSeed() noexcept;

// 0 .. n - 1 for n >= 1: the upper half of n * Seed, not a remainder.
[[nodiscard]] std::int32_t RandomInt(std::int32_t n) noexcept;

// A multiple of 2^-32 in [0, 1).
[[nodiscard]] double RandomReal() noexcept;
