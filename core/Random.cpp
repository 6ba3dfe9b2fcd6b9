#include "Random.h"

#include <chrono>

namespace {
std::uint32_t seed_ = 0;

std::uint32_t Step() noexcept {
  seed_ = seed_ * 134775813u + 1u;  // wraps modulo 2^32
  return seed_;
}
}  // namespace

std::uint32_t Seed() noexcept {
  return seed_;
}

void SetSeed(std::uint32_t seed) noexcept {
  seed_ = seed;
}

void RandomizeSeed() noexcept {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch();
  seed_ = static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(ticks).count());
}

std::int32_t RandomInt(std::int32_t n) noexcept {
  const std::uint64_t product = static_cast<std::uint64_t>(static_cast<std::uint32_t>(n)) * Step();
  return static_cast<std::int32_t>(product >> 32);
}

double RandomReal() noexcept {
  return static_cast<double>(Step()) * 0x1p-32;
}
