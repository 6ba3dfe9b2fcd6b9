#pragma once
// TFunctionCache: the results of the interpreter's expensive one-operand functions, kept
// per scoring thread and keyed by the exact bits of the operand. The library's sine,
// cosine and tangent cost hundreds of cycles, and the same operands come back generation
// after generation (the best program and its clones see the same samples), so a lookup
// usually replaces a call. A hit returns the very double the call would give.

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

class TFunctionCache {
 public:
  enum TFunction : std::uint8_t { fnSin, fnCos, fnTan, fnExp, fnLn, FunctionCount };

  TFunctionCache();

  // What the interpreter stores for the function of x: the rounded result, or NaN when
  // the instruction fails or is not carried out and the register keeps its value. Inline:
  // a hit costs less than a call.
  [[nodiscard]] double Get(TFunction function, double x) noexcept {
    TEntry& entry = Entry(function, x);
    if (entry.Bits != std::bit_cast<std::uint64_t>(x)) entry = {Bits(x), Compute(function, x)};
    return entry.Result;
  }
  // The same for a function known where it is called: a miss calls its computation
  // directly.
  template <TFunction Function>
  [[nodiscard]] double Get(double x) noexcept {
    TEntry& entry = Entry(Function, x);
    if (entry.Bits != Bits(x)) entry = {Bits(x), Compute<Function>(x)};
    return entry.Result;
  }

  // The memory of one cache's tables.
  [[nodiscard]] static constexpr std::size_t TableBytes() noexcept;

  // Operands outside these fail the instruction whatever the library would say.
  [[nodiscard]] static bool ExpDefined(double x) noexcept { return x >= 0 && x < 1; }
  [[nodiscard]] static bool LnDefined(double x) noexcept { return x > 0; }

  // The same without the cache; the reference for a miss.
  [[nodiscard]] static double Compute(TFunction function, double x) noexcept;
  template <TFunction Function>
  [[nodiscard]] static double Compute(double x) noexcept;

 private:
  struct TEntry {
    std::uint64_t Bits;
    double Result;
  };
  // Each function's table holds 2^IndexBits entries, 832 KB in all: larger tables save a few
  // misses but no longer stay in a core's own cache, and two threads then slow each other.
  // The exponential and logarithm are asked only inside their domains.
  static constexpr std::array<int, FunctionCount> IndexBits = {14, 14, 13, 12, 13};
  static constexpr std::array<std::size_t, FunctionCount + 1> Offsets = [] {
    std::array<std::size_t, FunctionCount + 1> offsets{};
    for (int f = 0; f < FunctionCount; ++f)
      offsets[f + 1] = offsets[f] + (std::size_t{1} << IndexBits[f]);
    return offsets;
  }();

  [[nodiscard]] static std::uint64_t Bits(double x) noexcept {
    return std::bit_cast<std::uint64_t>(x);
  }
  [[nodiscard]] TEntry& Entry(TFunction function, double x) noexcept {
    // Fibonacci hashing spreads the low-order-heavy bit patterns of nearby doubles.
    const auto hash =
        static_cast<std::size_t>((Bits(x) * 0x9E3779B97F4A7C15ull) >> (64 - IndexBits[function]));
    return entries_[Offsets[function] + hash];
  }

  std::vector<TEntry> entries_;  // the functions' tables, one after the other
};

constexpr std::size_t TFunctionCache::TableBytes() noexcept {
  return Offsets[FunctionCount] * sizeof(TEntry);
}

// Defined with the computations; declared here so that no caller instantiates the template.
template <>
double TFunctionCache::Compute<TFunctionCache::fnSin>(double x) noexcept;
template <>
double TFunctionCache::Compute<TFunctionCache::fnCos>(double x) noexcept;
template <>
double TFunctionCache::Compute<TFunctionCache::fnTan>(double x) noexcept;
template <>
double TFunctionCache::Compute<TFunctionCache::fnExp>(double x) noexcept;
template <>
double TFunctionCache::Compute<TFunctionCache::fnLn>(double x) noexcept;
