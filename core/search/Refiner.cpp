#include "core/search/Refiner.h"

#include "core/search/Movar.h"
#include "core/search/PointMutation.h"

namespace {

// Steps of nudge scale: 1, 0.1, ..., 1e-8 of the constant's size.
constexpr std::int32_t NudgeScales = 9;
// A nudge is tried three times out of four where the instruction has a constant.
constexpr std::int32_t NudgeShare = 4;

void CopyCode(const TTuringEvaluator& from, TTuringEvaluator& to) noexcept {
  for (std::int32_t i = 0; i < from.InstructionCount(); ++i)
    to.SetInstruction(i, from.GetInstruction(i));
  to.UpdateExecEnd();
}

}  // namespace

TRefiner::TRefiner(std::uint32_t seed, std::int32_t trials, bool scaledConstants) noexcept
    : random_(seed), trials_(trials), scaledConstants_(scaledConstants) {}

TRefiner::~TRefiner() = default;

void TRefiner::Mutate(TTuringEvaluator& program) {
  const std::int32_t i = random_.Int(program.ExecEnd() + 1);
  TInstruction in = program.GetInstruction(i);
  if (in.Src == ConstantOperand && random_.Int(NudgeShare) != 0) {
    in.Value = NudgedConstant(in.Value, NudgeScales, random_);
    program.SetInstruction(i, in);
    program.UpdateExecEnd();
    return;
  }
  program.RandomizeInstruction(i, random_);
  if (scaledConstants_ && random_.Int(2) == 0) {
    in = program.GetInstruction(i);
    if (in.Src == ConstantOperand) {
      in.Value = ScaledConstant(random_);
      program.SetInstruction(i, in);
    }
  }
  program.UpdateExecEnd();
}

bool TRefiner::Refine(TMovar& search) {
  const std::int32_t population = search.PopulationSize();
  if (population <= 0 || search.InstructionCount() <= 0) return false;
  // The lowest error, the earliest on a tie: the ranking keeps a tied reigning best first.
  std::int32_t best = 0;
  for (std::int32_t i = 1; i < population; ++i) {
    if (search.GetError(i) < search.GetError(best)) best = i;
  }
  TTuringEvaluator& program = search.GetProgram(best);
  if (!candidate_ || candidate_->InstructionCount() != program.InstructionCount() ||
      candidate_->RegisterCount() != program.RegisterCount() ||
      candidate_->InputCount() != program.InputCount()) {
    candidate_ = std::make_unique<TTuringEvaluator>(program.InstructionCount(),
                                                    program.RegisterCount(), program.InputCount());
  }
  const std::int32_t last = search.LastScored();
  double error = search.GetError(best);
  bool changed = false;
  for (std::int32_t trial = 0; trial < trials_ && error > 0; ++trial) {
    CopyCode(program, *candidate_);
    Mutate(*candidate_);
    const double candidateError = search.ScoreProgram(*candidate_, last, error);
    if (candidateError < error) {
      CopyCode(*candidate_, program);
      error = candidateError;
      changed = true;
    }
  }
  if (changed) search.SetError(best, error);
  return changed;
}
