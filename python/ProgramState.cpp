#include "python/ProgramState.h"

#include <stdexcept>
#include <string>

#include "core/model/InputLimit.h"
#include "core/search/SearchSettings.h"

namespace {

constexpr auto MaxInstructions = static_cast<std::size_t>(InstructionsSetting.Range.Maximum);

void Refuse(std::size_t i, const std::string& fault) {
  throw std::invalid_argument("not a program: instruction " + std::to_string(i) + " " + fault);
}

}  // namespace

TProgramState StateOf(const TTuringEvaluator& program) {
  return {program.RegisterCount(), program.InputCount(), program.Code()};
}

TTuringEvaluator ProgramOf(const TProgramState& state) {
  if (state.Registers < 1 || state.Registers > MaxRegisters) {
    throw std::invalid_argument("not a program: " + std::to_string(state.Registers) +
                                " registers, not 1 to " + std::to_string(MaxRegisters));
  }
  if (state.Inputs < 1 || state.Inputs > MaxInputs) {
    throw std::invalid_argument("not a program: " + std::to_string(state.Inputs) +
                                " inputs, not 1 to " + std::to_string(MaxInputs));
  }
  if (state.Registers < state.Inputs) {
    throw std::invalid_argument("not a program: " + std::to_string(state.Registers) +
                                " registers for " + std::to_string(state.Inputs) + " inputs");
  }
  if (state.Code.empty() || state.Code.size() > MaxInstructions) {
    throw std::invalid_argument("not a program: " + std::to_string(state.Code.size()) +
                                " instructions, not 1 to " + std::to_string(MaxInstructions));
  }
  const auto count = static_cast<std::int32_t>(state.Code.size());
  TTuringEvaluator program(count, state.Registers, state.Inputs);
  for (std::size_t i = 0; i < state.Code.size(); ++i) {
    const TInstruction& in = state.Code[i];
    if (in.Op >= OpcodeCount) Refuse(i, "has no opcode " + std::to_string(in.Op));
    if (in.Dest >= state.Registers) Refuse(i, "writes register " + std::to_string(in.Dest));
    if (in.Src == ConstantOperand) {
      if (IsFunction(in.Op)) Refuse(i, "gives a function a constant");
    } else if (in.Src >= state.Registers) {
      Refuse(i, "reads register " + std::to_string(in.Src));
    }
    program.SetInstruction(static_cast<std::int32_t>(i), in);
  }
  program.UpdateExecEnd();
  return program;
}
