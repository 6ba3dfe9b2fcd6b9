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
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    // Fibonacci hashing spreads the low-order-heavy bit patterns of nearby doubles.
    const std::size_t index =
        (static_cast<std::size_t>(function) << IndexBits) |
        static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> (64 - IndexBits));
    TEntry& entry = entries_[index];
    if (entry.Bits != bits) entry = {bits, Compute(function, x)};
    return entry.Result;
  }

  // The same without the cache; the reference for a miss.
  [[nodiscard]] static double Compute(TFunction function, double x) noexcept;

 private:
  struct TEntry {
    std::uint64_t Bits;
    double Result;
  };
  static constexpr int IndexBits = 14;

  std::vector<TEntry> entries_;  // FunctionCount tables of 2^IndexBits entries
};
