#pragma once
// Which instructions of a register program can reach its result. A comparison is kept when
// the instruction it governs is kept; an instruction whose constant operand always fails its
// test does nothing and is never kept.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/TE.h"

// One flag per instruction 0 .. ExecEnd, as the interpreter runs them: an instruction that
// may leave its destination unchanged (a failed or skipped operation) lets the old value
// through.
[[nodiscard]] std::vector<bool> LiveInstructions(const TTuringEvaluator& program);

// The same, with replaces[i] saying whether instruction i, when it runs, always replaces its
// destination without reading it.
[[nodiscard]] std::vector<bool> LiveInstructions(const TTuringEvaluator& program,
                                                 const std::vector<bool>& replaces);

// A model's size: the instructions that can reach its result, comparisons that govern one
// of them included.
[[nodiscard]] std::int32_t ModelSize(const TTuringEvaluator& program);

// For a constant operand, whether the instruction's operand test passes, the same for every
// x; nothing for a register operand or an opcode without such a test.
[[nodiscard]] std::optional<bool> ConstantOperandPasses(const TInstruction& in);

// The last instruction that the interpreter runs (ExecEnd, within the code).
[[nodiscard]] inline int LastRun(const TTuringEvaluator& program) noexcept {
  return program.ExecEnd() < program.InstructionCount() ? program.ExecEnd()
                                                        : program.InstructionCount() - 1;
}

// Whether instruction i runs only when the comparisons directly before it hold.
[[nodiscard]] bool IsGoverned(const TTuringEvaluator& program, int i) noexcept;
