#include "Liveness.h"

#include <bitset>

namespace {

// Whether the instruction writes its destination whatever happens.
bool AlwaysWrites(std::uint8_t op, TLivenessRule rule) noexcept {
  if (rule == TLivenessRule::Formula) return IsFunction(op);
  return op == opSin || op == opCos;  // the others can fail or be skipped by their guard
}

}  // namespace

bool IsGoverned(const TTuringEvaluator& program, int i) noexcept {
  return i > 0 && IsComparison(program.Code()[i - 1].Op);
}

std::vector<bool> LiveInstructions(const TTuringEvaluator& program, TLivenessRule rule) {
  std::vector<bool> replaces(static_cast<std::size_t>(program.ExecEnd() + 1));
  for (int i = 0; i <= program.ExecEnd(); ++i)
    replaces[i] = AlwaysWrites(program.Code()[i].Op, rule);
  return LiveInstructions(program, replaces);
}

std::vector<bool> LiveInstructions(const TTuringEvaluator& program,
                                   const std::vector<bool>& replaces) {
  const std::vector<TInstruction>& code = program.Code();
  const int end = program.ExecEnd();
  std::vector<bool> live(static_cast<std::size_t>(end + 1), false);
  std::bitset<256> needed;
  needed.set(0);
  bool governedLive = false;  // whether the instruction after the current run of comparisons is
  for (int i = end; i >= 0; --i) {
    const TInstruction& in = code[i];
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
