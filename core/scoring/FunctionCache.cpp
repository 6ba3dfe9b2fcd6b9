#include "core/scoring/FunctionCache.h"

#include "core/scoring/FastTrig.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

using Extended = long double;

// 2^63: sine and cosine give 0 from here on, the tangent fails.
constexpr double TrigLimit = 9223372036854775808.0;
constexpr double Failed = std::numeric_limits<double>::quiet_NaN();

// A result that is infinite as a double fails the instruction.
inline double Rounded(Extended value) noexcept {
  const double rounded = static_cast<double>(value);
  return std::isfinite(rounded) ? rounded : Failed;
}

}  // namespace

TFunctionCache::TFunctionCache() {
  // Every entry starts as a valid one, for the operand 0, so a lookup needs no empty test.
  entries_.resize(Offsets[FunctionCount]);
  for (int f = 0; f < FunctionCount; ++f) {
    const TEntry zero{0, Compute(static_cast<TFunction>(f), 0.0)};
    std::fill(entries_.begin() + static_cast<std::ptrdiff_t>(Offsets[f]),
              entries_.begin() + static_cast<std::ptrdiff_t>(Offsets[f + 1]), zero);
  }
}

// The library's argument reduction dominates a miss; fasttrig answers when it is sure.
template <>
double TFunctionCache::Compute<TFunctionCache::fnSin>(double x) noexcept {
  if (double r; fasttrig::Sine(x, r)) return r;
  return std::fabs(x) >= TrigLimit ? 0.0 : static_cast<double>(std::sin(Extended{x}));
}

template <>
double TFunctionCache::Compute<TFunctionCache::fnCos>(double x) noexcept {
  if (double r; fasttrig::Cosine(x, r)) return r;
  return std::fabs(x) >= TrigLimit ? 0.0 : static_cast<double>(std::cos(Extended{x}));
}

template <>
double TFunctionCache::Compute<TFunctionCache::fnTan>(double x) noexcept {
  if (double r; fasttrig::Tangent(x, r)) return std::isfinite(r) ? r : Failed;
  return std::fabs(x) < TrigLimit ? Rounded(std::tan(Extended{x})) : Failed;
}

template <>
double TFunctionCache::Compute<TFunctionCache::fnExp>(double x) noexcept {
  return ExpDefined(x) ? Rounded(std::exp(Extended{x})) : Failed;
}

template <>
double TFunctionCache::Compute<TFunctionCache::fnLn>(double x) noexcept {
  return LnDefined(x) ? Rounded(std::log(Extended{x})) : Failed;
}

double TFunctionCache::Compute(TFunction function, double x) noexcept {
  switch (function) {
    case fnSin:
      return Compute<fnSin>(x);
    case fnCos:
      return Compute<fnCos>(x);
    case fnTan:
      return Compute<fnTan>(x);
    case fnExp:
      return Compute<fnExp>(x);
    case fnLn:
      return Compute<fnLn>(x);
    default:
      return Failed;
  }
}
