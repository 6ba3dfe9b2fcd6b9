#pragma once
// Which instructions of a register program can reach its result. A comparison is kept when
// the instruction it governs is kept; an instruction whose constant operand always fails its
// test does nothing and is never kept. The fast scorer decodes only these, the emitters write
// only these, and a model's size counts them.

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/TE.h"

// For a constant operand, whether the instruction's operand test passes, the same for every
// x; nothing for a register operand or an opcode without such a test.
[[nodiscard]] inline std::optional<bool> ConstantOperandPasses(const TInstruction& in) noexcept {
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

// Whether the opcode, when it runs, sets its destination whatever it held: sine and cosine
// never fail, the other functions can.
[[nodiscard]] constexpr bool AlwaysReplaces(std::uint8_t op) noexcept {
  return op == opSin || op == opCos;
}

// Calls keep(i) for each instruction i of code[0 .. end) that can reach register 0 after the
// last, from the last to the first, as the interpreter runs them: an instruction that may
// leave its destination unchanged (a failed or skipped operation) lets the old value through.
// replaces(i) says whether function i, when it runs, always replaces its destination without
// reading it. The registers are those of a program, below MaxRegisters; nothing is allocated.
template <typename Replaces, typename Keep>
inline void ForEachLive(const TInstruction* code, std::int32_t end, Replaces&& replaces,
                        Keep&& keep) {
  static_assert(MaxRegisters <= 32);
  std::uint32_t needed = 1;
  bool governedLive = false;  // whether the instruction after the current run of comparisons is
  for (std::int32_t i = end - 1; i >= 0; --i) {
    const TInstruction& in = code[i];
    const std::optional<bool> passes = ConstantOperandPasses(in);
    if (passes && !*passes) {
      governedLive = false;
      continue;
    }
    const std::uint32_t dest = 1u << in.Dest;
    if (!IsComparison(in.Op)) governedLive = (needed & dest) != 0;
    if (!governedLive) continue;
    keep(i);
    if (IsFunction(in.Op) && replaces(i)) {
      // A guarded function may not run, and then the old value goes on.
      if (i == 0 || !IsComparison(code[i - 1].Op)) needed &= ~dest;
    } else {
      needed |= dest;
    }
    if (in.Src != ConstantOperand) needed |= 1u << in.Src;
  }
}

// One flag per instruction 0 .. ExecEnd, as the interpreter runs them.
[[nodiscard]] std::vector<bool> LiveInstructions(const TTuringEvaluator& program);

// The same, with replaces[i] saying whether instruction i, when it runs, always replaces its
// destination without reading it.
[[nodiscard]] std::vector<bool> LiveInstructions(const TTuringEvaluator& program,
                                                 const std::vector<bool>& replaces);

// A model's size: the instructions that can reach its result, comparisons that govern one
// of them included.
[[nodiscard]] std::int32_t ModelSize(const TTuringEvaluator& program);

// The last instruction that the interpreter runs (ExecEnd, within the code).
[[nodiscard]] inline int LastRun(const TTuringEvaluator& program) noexcept {
  return program.ExecEnd() < program.InstructionCount() ? program.ExecEnd()
                                                        : program.InstructionCount() - 1;
}
