#include "core/search/PointMutation.h"

#include <cmath>

namespace {

// A constant is nudged by up to 1, 0.1 or 0.01 of its size: steps the breeding can take,
// finer ones are the refiner's.
constexpr std::int32_t NudgeScales = 3;
// One constant change in four draws the constant anew.
constexpr std::int32_t RedrawShare = 4;

enum TPointChange : std::int32_t { ChangeOperation, ChangeOperand, ChangeConstant, Changes };

// Another register than current among registers, drawn uniformly.
std::uint8_t OtherRegister(std::uint8_t current, std::int32_t registers,
                           TRandomStream& random) noexcept {
  const std::int32_t drawn = random.Int(registers - 1);
  return static_cast<std::uint8_t>(drawn >= current ? drawn + 1 : drawn);
}

void ChangeOperationOf(TInstruction& in, TRandomStream& random) noexcept {
  // A function never takes a constant, so an instruction with one keeps an operation that does.
  const bool constant = in.Src == ConstantOperand;
  auto allowed = [&](std::int32_t op) { return op != in.Op && !(constant && IsFunction(op)); };
  std::int32_t count = 0;
  for (std::int32_t op = 0; op < OpcodeCount; ++op)
    count += allowed(op) ? 1 : 0;
  std::int32_t drawn = random.Int(count);
  for (std::int32_t op = 0; op < OpcodeCount; ++op) {
    if (allowed(op) && drawn-- == 0) {
      in.Op = static_cast<std::uint8_t>(op);
      return;
    }
  }
}

// False when the instruction has no other source: one register and a function.
bool ChangeSourceOf(TInstruction& in, std::int32_t registers, TRandomStream& random) noexcept {
  const bool constant = in.Src == ConstantOperand;
  const std::int32_t otherRegisters = constant ? registers : registers - 1;
  const bool toConstant = !constant && !IsFunction(in.Op);
  const std::int32_t choices = otherRegisters + (toConstant ? 1 : 0);
  if (choices == 0) return false;
  const std::int32_t drawn = random.Int(choices);
  if (drawn == otherRegisters) {
    in.Src = ConstantOperand;
    in.Value = ScaledConstant(random);
  } else if (constant) {
    in.Src = static_cast<std::uint8_t>(drawn);
  } else {
    in.Src = static_cast<std::uint8_t>(drawn >= in.Src ? drawn + 1 : drawn);
  }
  return true;
}

bool ChangeOperandOf(TInstruction& in, std::int32_t registers, TRandomStream& random) noexcept {
  if (registers > 1 && random.Int(2) == 0) {
    in.Dest = OtherRegister(in.Dest, registers, random);
    return true;
  }
  return ChangeSourceOf(in, registers, random);
}

void ChangeConstantOf(TInstruction& in, TRandomStream& random) noexcept {
  const double old = in.Value;
  double value = random.Int(RedrawShare) == 0 ? ScaledConstant(random)
                                              : NudgedConstant(old, NudgeScales, random);
  // A redraw may hit the same value, and a nudge of the largest doubles may overflow.
  if (value == old || !std::isfinite(value)) value = old == 0 ? 1 : old / 2;
  in.Value = value;
}

}  // namespace

double ScaledConstant(TRandomStream& random) noexcept {
  // Small integers and their tenths, and powers of ten: the scales formulas use.
  switch (random.Int(3)) {
    case 0:
      return random.Int(10) + 1;
    case 1:
      return (random.Int(100) + 1) / 10.0;
    default:
      return std::pow(10.0, random.Int(9) - 4);
  }
}

double NudgedConstant(double value, std::int32_t scales, TRandomStream& random) noexcept {
  const double scale = std::pow(10.0, -random.Int(scales));
  const double size = std::fmax(std::fabs(value), 1.0);
  return value + (2 * random.Real() - 1) * scale * size;
}

void MutatePoint(TTuringEvaluator& program, TRandomStream& random) noexcept {
  if (program.InstructionCount() <= 0) return;
  const std::int32_t live = program.ExecEnd() + 1;
  auto change = static_cast<TPointChange>(random.Int(Changes));
  std::int32_t at = -1;
  if (change == ChangeConstant) {
    std::int32_t constants = 0;
    for (std::int32_t i = 0; i < live; ++i)
      constants += program.GetInstruction(i).Src == ConstantOperand ? 1 : 0;
    if (constants > 0) {
      std::int32_t drawn = random.Int(constants);
      for (std::int32_t i = 0; i < live && at < 0; ++i) {
        if (program.GetInstruction(i).Src == ConstantOperand && drawn-- == 0) at = i;
      }
    } else {
      change = ChangeOperation;
    }
  }
  if (at < 0) at = random.Int(live);
  TInstruction in = program.GetInstruction(at);
  if (change == ChangeConstant) {
    ChangeConstantOf(in, random);
  } else if (change == ChangeOperation || !ChangeOperandOf(in, program.RegisterCount(), random)) {
    ChangeOperationOf(in, random);
  }
  program.SetInstruction(at, in);
  program.UpdateExecEnd();
}

std::int32_t Tournament(std::span<const double> errors, std::int32_t size,
                        TRandomStream& random) noexcept {
  const auto count = static_cast<std::int32_t>(errors.size());
  std::int32_t winner = random.Int(count);
  for (std::int32_t round = 1; round < size; ++round) {
    const std::int32_t rival = random.Int(count);
    if (errors[rival] < errors[winner] || (errors[rival] == errors[winner] && rival < winner))
      winner = rival;
  }
  return winner;
}
