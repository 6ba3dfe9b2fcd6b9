#pragma once
// A program as plain numbers and back: what a pickle of a fitted model keeps. A state
// that no search can have made is refused before it becomes a program that would run.

#include <cstdint>
#include <vector>

#include "core/model/TE.h"

struct TProgramState {
  std::int32_t Registers = 1;
  std::int32_t Inputs = 1;
  std::vector<TInstruction> Code;
};

[[nodiscard]] TProgramState StateOf(const TTuringEvaluator& program);

// Throws std::invalid_argument naming the first fault: a count out of range, an unknown
// opcode, a register beyond the count, a function given a constant.
[[nodiscard]] TTuringEvaluator ProgramOf(const TProgramState& state);
