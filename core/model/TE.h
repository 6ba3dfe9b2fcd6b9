#pragma once
// TTuringEvaluator: one model, a straight-line program over a small file of double
// registers. A comparison decides whether the next instruction runs; an instruction
// that cannot be carried out leaves its destination as it was.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/model/InputLimit.h"
#include "core/model/Random.h"

enum TOpcode : std::uint8_t {
  opAdd,
  opSub,
  opMul,
  opDiv,
  opPow,
  opSin,
  opCos,
  opTan,
  opExp,
  opSqrt,
  opLn,
  opIfGreater,
  opIfLessEqual,
};

inline constexpr int OpcodeCount = 13;
inline constexpr int MaxRegisters = 20;
static_assert(MaxInputs <= MaxRegisters);
// Src value that selects the instruction's constant instead of a register.
inline constexpr std::uint8_t ConstantOperand = 255;

struct TInstruction {
  std::uint8_t Dest = 0;
  std::uint8_t Op = opAdd;
  std::uint8_t Src = 0;
  double Value = 0;
};

[[nodiscard]] constexpr bool IsComparison(std::uint8_t op) noexcept {
  return op == opIfGreater || op == opIfLessEqual;
}
// The one-operand functions never take a constant.
[[nodiscard]] constexpr bool IsFunction(std::uint8_t op) noexcept {
  return op >= opSin && op <= opLn;
}

// The registers a program of inputCount inputs given registerCount has: 1 to MaxRegisters,
// and at least one for each input.
[[nodiscard]] constexpr std::int32_t ProgramRegisters(std::int32_t registerCount,
                                                      std::int32_t inputCount) noexcept {
  return std::max(std::clamp(registerCount, 1, MaxRegisters), std::clamp(inputCount, 1, MaxInputs));
}

class TTuringEvaluator {
 public:
  // The input count is limited to 1 .. MaxInputs, the registers by ProgramRegisters.
  TTuringEvaluator(std::int32_t instructionCount, std::int32_t registerCount,
                   std::int32_t inputCount = 1);

  [[nodiscard]] std::int32_t InstructionCount() const noexcept { return instructionCount_; }
  [[nodiscard]] std::int32_t RegisterCount() const noexcept { return registerCount_; }
  // Registers 0 .. InputCount() - 1 start with the inputs, the others with 0.
  [[nodiscard]] std::int32_t InputCount() const noexcept { return inputCount_; }
  [[nodiscard]] std::int32_t ExecEnd() const noexcept { return execEnd_; }
  [[nodiscard]] const std::vector<TInstruction>& Code() const noexcept { return code_; }

  // These draw from the thread's random source, or from the given stream.
  void RandomizeAll();
  void RandomizeAll(TRandomStream& random);
  void RandomizeInstruction(std::int32_t i);
  void RandomizeInstruction(std::int32_t i, TRandomStream& random);
  void CrossWith(const TTuringEvaluator& donor);
  void CrossWith(const TTuringEvaluator& donor, TRandomStream& random);
  [[nodiscard]] TInstruction GetInstruction(std::int32_t i) const noexcept { return code_[i]; }
  // Sets an instruction as given; call UpdateExecEnd when done.
  void SetInstruction(std::int32_t i, const TInstruction& instruction) noexcept;
  void UpdateExecEnd() noexcept;

  // Runs instructions 0 .. ExecEnd on x and returns register 0; any other inputs are 0.
  [[nodiscard]] double Execute(double x) noexcept;
  // The same on the inputs, one for each of InputCount(); missing ones are 0.
  [[nodiscard]] double Execute(std::span<const double> inputs) noexcept;

  // The program as the text of a C-style function double model(double valueX), or with
  // several inputs double model(double valueX1, double valueX2, ...).
  [[nodiscard]] std::string EmitSource() const;

 private:
  std::int32_t instructionCount_;
  std::int32_t registerCount_;
  std::vector<TInstruction> code_;
  std::int32_t execEnd_ = 0;
  bool condition_ = true;
  std::uint8_t inputCount_ = 1;  // fits the padding: a population holds many programs
  double registers_[MaxRegisters] = {};

  [[nodiscard]] double Run() noexcept;
};
