#pragma once
// The interpreter once more, watching its guards: it runs a program on x exactly as
// TTuringEvaluator::Execute does and reports every guard that changed what a watched
// instruction did, and every comparison the formula settled that the program decides
// otherwise. Where either happens, the plain formula and the program part ways.

#include <cstdint>
#include <span>
#include <vector>

#include "core/model/Guard.h"
#include "core/model/TE.h"

// No guard either: a comparison the formula settled for every x goes the other way in the
// program, whose rounding decides it (x + 1 > x fails where x + 1 rounds to x).
inline constexpr std::uint32_t GuardComparison = 1u << ArithmeticGuardCount;
inline constexpr int GuardKindCount = ArithmeticGuardCount + 1;

// How the formula settled a comparison for every x.
enum class TDecided : std::uint8_t { Open, Holds, Fails };

struct TGuardedResult {
  double Value = 0;
  std::uint32_t Guards = GuardNone;
  // The magnitude whose rounding the value carries: a first-order bound of the error that
  // the program's roundings leave in it, over half a double's last place. x + 5000 - 5000
  // carries the rounding of x + 5000, and a product of it carries that times the factor.
  double Scale = 0;
};

class TGuardedRun {
 public:
  // watch[i]: the guards of instruction i that count; every guard when watch is empty.
  // decided[i]: how the formula settled comparison i; a run that reaches it and finds
  // otherwise reports GuardComparison.
  TGuardedRun(const TTuringEvaluator& program, std::vector<std::uint32_t> watch,
              std::vector<TDecided> decided = {});

  [[nodiscard]] TGuardedResult Run(double x) const noexcept;
  // The inputs go to registers 0, 1, ..., as Execute puts them.
  [[nodiscard]] TGuardedResult Run(std::span<const double> inputs) const noexcept;

 private:
  std::vector<TInstruction> code_;
  std::vector<std::uint32_t> watch_;
  std::vector<TDecided> decided_;
};

// "division by zero", "logarithm of zero or a negative number", ...
[[nodiscard]] const char* GuardName(std::uint32_t guard) noexcept;
