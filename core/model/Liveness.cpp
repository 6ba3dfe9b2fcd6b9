#include "core/model/Liveness.h"

#include <algorithm>
#include <bitset>
#include <cmath>

namespace {

// Whether the instruction writes its destination whatever happens: the other functions can
// fail or be skipped by their guard.
bool AlwaysWrites(std::uint8_t op) noexcept {
  return op == opSin || op == opCos;
}

}  // namespace

std::optional<bool> ConstantOperandPasses(const TInstruction& in) {
  if (in.Src != ConstantOperand) return std::nullopt;
  const double o = in.Value;
  switch (in.Op) {
    case opDiv:
      return o != 0;
    case opPow:
      return o <= 10;
    case opTan:
      return std::fabs(o) < 9223372036854775808.0;
    case opExp:
      return o >= 0 && o < 1;
    case opSqrt:
      return o >= 0;
    case opLn:
      return o > 0;
    default:
      return std::nullopt;
  }
}

std::int32_t ModelSize(const TTuringEvaluator& program) {
  const std::vector<bool> live = LiveInstructions(program);
  return static_cast<std::int32_t>(std::count(live.begin(), live.end(), true));
}

bool IsGoverned(const TTuringEvaluator& program, int i) noexcept {
  return i > 0 && IsComparison(program.Code()[i - 1].Op);
}

std::vector<bool> LiveInstructions(const TTuringEvaluator& program) {
  std::vector<bool> replaces(static_cast<std::size_t>(LastRun(program) + 1));
  for (int i = 0; i <= LastRun(program); ++i)
    replaces[i] = AlwaysWrites(program.Code()[i].Op);
  return LiveInstructions(program, replaces);
}

std::vector<bool> LiveInstructions(const TTuringEvaluator& program,
                                   const std::vector<bool>& replaces) {
  const std::vector<TInstruction>& code = program.Code();
  const int end = LastRun(program);
  std::vector<bool> live(static_cast<std::size_t>(end + 1), false);
  std::bitset<256> needed;
  needed.set(0);
  bool governedLive = false;  // whether the instruction after the current run of comparisons is
  for (int i = end; i >= 0; --i) {
    const TInstruction& in = code[i];
    const std::optional<bool> passes = ConstantOperandPasses(in);
    if (passes && !*passes) {
      governedLive = false;
      continue;
    }
    if (IsComparison(in.Op)) {
      live[i] = governedLive;
    } else {
      live[i] = needed.test(in.Dest);
      governedLive = live[i];
      if (live[i] && !IsGoverned(program, i) && replaces[i]) needed.reset(in.Dest);
    }
    if (!live[i]) continue;
    if (in.Src != ConstantOperand) needed.set(in.Src);
    if (!IsFunction(in.Op) || !replaces[i]) needed.set(in.Dest);
  }
  return live;
}
