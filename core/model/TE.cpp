#include "core/model/TE.h"

#include <algorithm>
#include <cmath>

#include "core/model/Arithmetic.h"
#include "core/model/Random.h"

using arithmetic::ApplyFunction;
using arithmetic::ApplyTwoOperand;

TTuringEvaluator::TTuringEvaluator(std::int32_t instructionCount, std::int32_t registerCount,
                                   std::int32_t inputCount)
    : instructionCount_(instructionCount),
      registerCount_(ProgramRegisters(registerCount, inputCount)),
      code_(static_cast<std::size_t>(std::max(instructionCount, 0))),
      inputCount_(static_cast<std::uint8_t>(std::clamp(inputCount, 1, MaxInputs))) {}

namespace {
// Runs draw(stream) on a stream that continues the thread's source, then hands the
// state back, so both ways of drawing share one implementation.
template <typename Draw>
void WithProcessSource(Draw draw) {
  TRandomStream random(Seed());
  draw(random);
  SetSeed(random.Seed());
}
}  // namespace

namespace {
void DrawInstruction(TInstruction& in, std::int32_t registerCount, TRandomStream& random) {
  in.Dest = static_cast<std::uint8_t>(random.Int(registerCount));
  in.Op = static_cast<std::uint8_t>(random.Int(OpcodeCount));
  const std::int32_t r = random.Int(100);
  if (r <= 50 && !IsFunction(in.Op)) {
    in.Src = ConstantOperand;
    in.Value = static_cast<double>(random.Int(99999999)) / 10000.0;
  } else {
    in.Src = static_cast<std::uint8_t>(random.Int(registerCount));
  }
}
}  // namespace

void TTuringEvaluator::RandomizeInstruction(std::int32_t i, TRandomStream& random) {
  DrawInstruction(code_[i], registerCount_, random);
}

void TTuringEvaluator::RandomizeInstruction(std::int32_t i) {
  WithProcessSource([&](TRandomStream& random) { RandomizeInstruction(i, random); });
}

void TTuringEvaluator::RandomizeAll(TRandomStream& random) {
  // A local copy keeps the generator's state in a register through the loop.
  TRandomStream local = random;
  for (TInstruction& in : code_)
    DrawInstruction(in, registerCount_, local);
  random = local;
  UpdateExecEnd();
}

void TTuringEvaluator::RandomizeAll() {
  WithProcessSource([&](TRandomStream& random) { RandomizeAll(random); });
}

void TTuringEvaluator::CrossWith(const TTuringEvaluator& donor, TRandomStream& random) {
  TRandomStream local = random;
  for (std::int32_t i = 0; i < instructionCount_; ++i) {
    if (local.Int(100) < 50) code_[i] = donor.code_[i];
  }
  random = local;
  UpdateExecEnd();
}

void TTuringEvaluator::CrossWith(const TTuringEvaluator& donor) {
  WithProcessSource([&](TRandomStream& random) { CrossWith(donor, random); });
}

void TTuringEvaluator::SetInstruction(std::int32_t i, const TInstruction& instruction) noexcept {
  code_[i] = instruction;
}

void TTuringEvaluator::UpdateExecEnd() noexcept {
  execEnd_ = instructionCount_ - 1;
  for (std::int32_t i = instructionCount_ - 1; i >= 0; --i) {
    if (code_[i].Dest == 0) {
      execEnd_ = i;
      return;
    }
  }
}

double TTuringEvaluator::Run() noexcept {
  condition_ = true;
  const TInstruction* code = code_.data();
  for (std::int32_t i = 0; i <= execEnd_; ++i) {
    const TInstruction& in = code[i];
    if (!condition_) {
      // A skipped comparison keeps the skip going to the next non-comparison.
      if (!IsComparison(in.Op)) condition_ = true;
      continue;
    }
    const double o = in.Src == ConstantOperand ? in.Value : registers_[in.Src];
    double& d = registers_[in.Dest];
    switch (in.Op) {
      case opAdd:
      case opSub:
      case opMul:
      case opDiv:
      case opPow:
        ApplyTwoOperand(in.Op, d, o);
        break;
      case opSin:
      case opCos:
      case opTan:
      case opExp:
      case opSqrt:
      case opLn:
        ApplyFunction(in.Op, d, o);
        break;
      case opIfGreater:
        condition_ = d > o;
        break;
      case opIfLessEqual:
        condition_ = !(d > o);
        break;
      default:
        break;
    }
  }
  return registers_[0];
}

double TTuringEvaluator::Execute(double x) noexcept {
  registers_[0] = x;
  std::fill(registers_ + 1, registers_ + registerCount_, 0.0);
  return Run();
}

double TTuringEvaluator::Execute(std::span<const double> inputs) noexcept {
  const std::size_t given = std::min<std::size_t>(inputs.size(), inputCount_);
  std::copy_n(inputs.begin(), given, registers_);
  std::fill(registers_ + given, registers_ + registerCount_, 0.0);
  return Run();
}
