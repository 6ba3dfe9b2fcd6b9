#pragma once
// TFunctionCache: the results of the interpreter's expensive one-operand functions, kept
// per scoring thread and keyed by the exact bits of the operand. The library's sine,
// cosine and tangent cost hundreds of cycles, and the same operands come back generation
// after generation (the best program and its clones see the same samples), so a lookup
// usually replaces a call. A hit returns the very double the call would give.

#include <array>
#include <cstdint>
#include <vector>

class TFunctionCache {
 public:
  enum TFunction : std::uint8_t { fnSin, fnCos, fnTan, fnExp, fnLn, FunctionCount };

  TFunctionCache();

  // What the interpreter stores for the function of x: the rounded result, or NaN when
  // the instruction fails or is not carried out and the register keeps its value.
  [[nodiscard]] double Get(TFunction function, double x) noexcept;

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
