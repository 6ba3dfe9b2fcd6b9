#include "restart/ProgramWire.h"

#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t HeadBytes = 3 * sizeof(std::int32_t);
constexpr std::size_t InstructionBytes = 3 + sizeof(double);

template <typename T>
void Put(std::vector<std::uint8_t>& bytes, const T& value) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(&value);
  bytes.insert(bytes.end(), first, first + sizeof value);
}

template <typename T>
T Take(std::span<const std::uint8_t>& bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof value);
  bytes = bytes.subspan(sizeof value);
  return value;
}

}  // namespace

std::vector<std::uint8_t> PackProgram(const TTuringEvaluator& program) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(HeadBytes + program.Code().size() * InstructionBytes);
  Put(bytes, program.InstructionCount());
  Put(bytes, program.RegisterCount());
  Put(bytes, program.InputCount());
  for (const TInstruction& instruction : program.Code()) {
    bytes.insert(bytes.end(), {instruction.Dest, instruction.Op, instruction.Src});
    Put(bytes, instruction.Value);
  }
  return bytes;
}

TTuringEvaluator UnpackProgram(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < HeadBytes) throw std::invalid_argument("a program's bytes are cut short");
  const auto instructions = Take<std::int32_t>(bytes);
  const auto registers = Take<std::int32_t>(bytes);
  const auto inputs = Take<std::int32_t>(bytes);
  if (instructions < 0 || bytes.size() != static_cast<std::size_t>(instructions) * InstructionBytes)
    throw std::invalid_argument("a program's bytes do not match its instruction count");
  TTuringEvaluator program(instructions, registers, inputs);
  if (program.RegisterCount() != registers || program.InputCount() != inputs)
    throw std::invalid_argument("a program's registers or inputs are out of range");
  for (std::int32_t i = 0; i < instructions; ++i) {
    TInstruction instruction;
    instruction.Dest = Take<std::uint8_t>(bytes);
    instruction.Op = Take<std::uint8_t>(bytes);
    instruction.Src = Take<std::uint8_t>(bytes);
    instruction.Value = Take<double>(bytes);
    if (instruction.Dest >= registers || instruction.Op >= OpcodeCount ||
        (instruction.Src >= registers && instruction.Src != ConstantOperand))
      throw std::invalid_argument("a program's instruction is out of range");
    program.SetInstruction(i, instruction);
  }
  program.UpdateExecEnd();
  return program;
}
