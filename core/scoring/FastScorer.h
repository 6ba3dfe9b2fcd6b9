#pragma once
// TFastScorer: scores one program at a time, with exactly the results of
// TTuringEvaluator::Execute and TMovar::Score but at a fraction of their cost.
//
// Load decodes a program once per generation into a short residual program: every value
// that does not depend on the inputs (the other registers start at 0, constants) is
// computed while decoding,
// comparisons whose outcome is known are resolved, instructions whose result cannot reach
// register 0 are dropped, and each remaining instruction gets one fused kind (opcode and
// operand kind) with its guard specialised.
//
// The run takes four samples side by side through every step. Comparisons narrow a mask of
// the samples whose guards hold, and jump past the block when none does; a guarded action
// runs on all four between a save and a restore of its destination. The errors are added
// one sample at a time, in order, so the sum and the cut-off are those of one at a time.
//
// One scorer serves one thread: it owns its registers and its function cache.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/scoring/FunctionCache.h"
#include "core/scoring/MarginFitness.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

// Aligned to a cache line: the scorers of several threads sit side by side in one vector.
class alignas(64) TFastScorer {
 public:
  TFastScorer();

  void Load(const TTuringEvaluator& program);

  // The loaded program's result: bit for bit what Execute returns.
  [[nodiscard]] double Predict(double x) noexcept;
  [[nodiscard]] double Predict(std::span<const double> inputs) noexcept;

  // The loaded program's error on samples 0 .. last, cut off above threshold: bit for bit
  // what TMovar::Score returns. The samples have as many inputs as the program.
  [[nodiscard]] double Score(const TSampleData& samples, std::int32_t last,
                             double threshold) noexcept;

  // The same for the loaded program with linear scaling: the error of the fit a·f + b over
  // samples 0 .. last, bit for bit what TMovar::Score returns for WithLinearScaling's program.
  // Every sample runs before the fit, so the cut-off saves only the sum.
  [[nodiscard]] double ScoreScaled(const TSampleData& samples, std::int32_t last, double threshold);

  // The loaded program's fitness (see MarginFitness.h) on samples 0 .. last, its predictions
  // scaled first when scaled: what ScoreScaled returns for a fitness that is not active.
  [[nodiscard]] double ScoreCollected(const TSampleData& samples, std::int32_t last,
                                      double threshold, bool scaled, const TMarginFitness& fitness);

  // The most memory a scorer takes at once for programs of instructionCount instructions.
  [[nodiscard]] static std::uint64_t PeakBytes(std::int32_t instructionCount) noexcept;

  // Samples the last Score ran.
  [[nodiscard]] std::int32_t ScoredSamples() const noexcept { return scored_; }
  // Counts a score found without running, as if Score had run scored samples.
  void CountScore([[maybe_unused]] std::int32_t scored) noexcept {
#ifdef MOVAR_COUNT_INSTRUCTIONS
    interpreted_ += static_cast<std::uint64_t>(length_) * static_cast<std::uint64_t>(scored);
#endif
  }

  // Instructions 0 .. ExecEnd of every Execute that Score stands for; counted only in a
  // build that defines MOVAR_COUNT_INSTRUCTIONS, else 0.
  [[nodiscard]] std::uint64_t Interpreted() const noexcept {
    return interpreted_;
  }
  // Steps of the residual programs that Score ran, per sample (a false comparison's skip
  // counted as run); counted only where Interpreted is.
  [[nodiscard]] std::uint64_t StepsRun() const noexcept {
    return stepsRun_;
  }

  enum TKind : std::uint8_t {
    kSet,  // R[Dest] := Value
    kAddC,
    kAddR,
    kSubC,
    kSubR,
    kMulC,
    kMulR,
    kDivC,  // Value is not 0
    kDivR,
    kPowC,  // Value is at most 10 and not 0
    kPowR,
    kSin,
    kCos,
    kTan,
    kExp,
    kSqrt,
    kLn,
    kGtC,  // the comparisons jump Skip steps ahead when false
    kGtR,
    kLeC,
    kLeR,
    kSave,     // keeps Dest before a guarded action
    kRestore,  // gives Dest back where the guard failed
    kEnd,      // returns register 0
  };

  struct TStep {
    TKind Kind;
    std::uint8_t Dest;
    std::uint8_t Src;
    std::int32_t Skip;
    double Value;
  };

  // The residual program, ending with a kEnd step.
  [[nodiscard]] std::span<const TStep> Steps() const noexcept {
    return {residual_.data() + first_, static_cast<std::size_t>(last_ - first_ + 1)};
  }

 private:
  // What decoding knows about a register: a value fixed for every x, or nothing.
  struct TKnown {
    bool Known;
    bool Stored;  // the run's register holds Value
    double Value;
  };

  [[nodiscard]] bool OperandKnown(const TInstruction& in, double& value) const noexcept;
  // 1 or 0 when the comparison's outcome is the same for every x, -1 when it is not.
  [[nodiscard]] int Resolve(const TInstruction& comparison) const noexcept;
  // What the instruction makes of its destination when its operand is known: false when
  // it leaves it unchanged for every x.
  [[nodiscard]] bool Fold(const TInstruction& in, double operand, TStep& step) noexcept;
  void Materialize(std::uint8_t reg);
  void EmitAction(const TInstruction& action);
  void EmitGuarded(const TInstruction& action);
  void Emit(TKind kind, std::uint8_t dest, std::uint8_t src, double value);
  // Writes the indices of the source instructions that may reach the result, in order, to
  // the end of live_ and returns where they start.
  [[nodiscard]] std::int32_t MarkLive(const std::vector<TInstruction>& code, std::int32_t end);
  // Drops the blocks that cannot reach the result and writes the residual program;
  // returns the registers it reads before it writes them.
  std::uint32_t Finish();
  // Predict on the lanes as they are when not Scoring; else Score rows 0 .. last from
  // first, the number of samples run in scored. OneInput: rows are (x, y), and x is loaded
  // whether the program reads it or not.
  // Collecting: the predictions of rows 0 .. last go to collected_, with no sum.
  template <bool Scoring, bool OneInput, bool Collecting = false>
  [[nodiscard]] double Run(const double* first, std::ptrdiff_t last, double threshold,
                           std::int32_t& scored) noexcept;
  // Run over samples 0 .. last, the rows' layout set up, the work counted.
  template <bool Collecting>
  [[nodiscard]] double RunSamples(const TSampleData& samples, std::int32_t last, double threshold,
                                  std::int32_t& scored) noexcept;
  // Samples run side by side through each step.
  static constexpr int Lanes = 4;
  using TLanes = double[Lanes];
  // The input registers of each lane: those of the row at point and the rows after it,
  // the last of them (after rows on) repeated.
  template <bool OneInput>
  void LoadLanes(const double* point, std::ptrdiff_t after) noexcept;

  std::vector<TStep> steps_;     // decoded, before Finish
  std::vector<TStep> residual_;  // the residual program: first_ .. last_ (its end step)
  std::int32_t first_ = 0;
  std::int32_t last_ = 0;
  std::vector<TInstruction> chain_;  // unresolved comparisons of the block being decoded
  std::vector<std::int32_t> live_;   // see MarkLive
  TKnown known_[MaxRegisters] = {};
  TLanes lanes_[MaxRegisters] = {};
  std::int32_t length_ = 0;      // ExecEnd + 1 of the loaded program
  std::int32_t inputCount_ = 1;  // of the loaded program
  std::ptrdiff_t rowSize_ = 2;   // of the samples being scored
  // The registers the residual program reads before it writes them; of its inputs, the
  // ones scoring loads.
  std::uint32_t read_ = 0;
  std::int32_t readCount_ = 0;
  std::uint8_t readInputs_[MaxInputs] = {};
  std::int32_t scored_ = 0;
  std::vector<double> collected_;  // the predictions ScoreCollected sums
  std::uint64_t interpreted_ = 0;
  std::uint64_t stepsRun_ = 0;
  TFunctionCache cache_;
};
