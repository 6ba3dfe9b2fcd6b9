#pragma once
// A register program written out instruction by instruction, for the interpreter tests.

#include <cstdint>
#include <vector>

#include "core/model/TE.h"

inline TTuringEvaluator Program(std::int32_t registers, const std::vector<TInstruction>& code,
                                std::int32_t inputs = 1) {
  TTuringEvaluator p(static_cast<std::int32_t>(code.size()), registers, inputs);
  for (std::size_t i = 0; i < code.size(); ++i)
    p.SetInstruction(static_cast<int>(i), code[i]);
  p.UpdateExecEnd();
  return p;
}
