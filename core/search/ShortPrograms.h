#pragma once
// TShortPrograms: tries every program of up to a few register-only instructions, shortest
// first, and stops at the first that matches every sample, plain or linearly scaled. Laws of
// several inputs such as d1·d2/(d2 + n·d1) are four instructions without a constant, yet the
// population search seldom assembles them; here they cost a fraction of a second. The order
// of trial is fixed and the work is counted in instructions, not time, so the outcome is the
// same on every machine.

#include <cstdint>
#include <functional>
#include <optional>

#include "core/model/SD.h"
#include "core/model/TE.h"
#include "core/scoring/FunctionCache.h"

struct TShortProgramLimits {
  std::int32_t Registers = 1;  // at least the samples' inputs
  std::int32_t MinLength = 1;  // instructions
  std::int32_t MaxLength = 4;
  std::int64_t Budget = 0;    // instructions run on the probe samples; 0: no limit
  bool LinearScaling = true;  // also try a·f + b with the least-squares a and b
  // Only programs whose result reads every input: a law of several columns uses them all, and
  // most longer programs lose one on the way, so far fewer are left to try.
  bool EveryInput = false;
  // One part of several: only the programs whose first instruction's number is Part modulo
  // Parts, so that the parts can run side by side.
  std::int32_t Part = 0;
  std::int32_t Parts = 1;
  // Programs whose first instruction loads a constant into the last register, which holds no
  // input; the constant is solved from three probes, so 2π or 1/e need not be guessed. With
  // linear scaling only, and a register to spare.
  bool Constant = false;
  // With linear scaling, also the line that the margin test accepts on every sample where the
  // least-squares line misses one (FitMarginLine).
  bool MarginLine = false;
};

struct TShortProgramResult {
  std::optional<TTuringEvaluator> Model;  // the first match, scaled where it needed scaling
  std::int64_t Work = 0;                  // instructions run on the probe samples
  bool Complete = false;                  // every program from MinLength to MaxLength was tried
};

class TShortPrograms {
 public:
  // The samples carry the margin the matches are tested with.
  TShortPrograms(const TSampleData& samples, const TShortProgramLimits& limits);

  // Ends early, without a model, once stop returns true (asked every few thousand programs).
  [[nodiscard]] TShortProgramResult Find(const std::function<bool()>& stop = {});

  // The instructions one step may add: each register-only operation on each pair of registers.
  [[nodiscard]] static std::int32_t Alphabet(std::int32_t registers) noexcept;
  // The programs of exactly length instructions there are to try, before any is found the
  // same as another.
  [[nodiscard]] static double Programs(std::int32_t registers, std::int32_t length) noexcept;

 private:
  bool Extend(std::int32_t depth, std::int32_t length);
  [[nodiscard]] bool Candidate(std::int32_t length);
  [[nodiscard]] TShortProgramResult FindConstant();
  // Each length in turn, shortest first, until a match, the budget or a stop.
  [[nodiscard]] TShortProgramResult EveryLength(bool constant);
  // The constant programs: the instructions after the load, then the constants that put the
  // three probes on one line.
  bool ExtendConstant(std::int32_t depth, std::int32_t length);
  [[nodiscard]] bool SolveConstant(std::int32_t length);
  // How far three probes, for the constant c, are from one line through their y: 0 on it;
  // NaN where a value is not finite or the lowest and highest y's values are equal.
  [[nodiscard]] double OffLine(std::int32_t length, double c);
  [[nodiscard]] bool TryConstant(std::int32_t length, double c);
  // The registers of probe k after the program with the constant c.
  void RunConstant(std::int32_t length, double c, std::int32_t probe, double* registers);
  // Brings the late probes' registers up to those after depth instructions.
  void Settle(std::int32_t depth) noexcept;
  [[nodiscard]] bool LineMayHold(const double* values) const noexcept;
  [[nodiscard]] bool ScaledMatch(const double* values) const noexcept;
  [[nodiscard]] std::optional<TTuringEvaluator> Matching(std::int32_t length) const;
  [[nodiscard]] double Result(const TInstruction& in, const double* registers) noexcept;
  // The registers after depth instructions that hold inputs no other holds all of.
  struct TPieces {
    std::uint32_t Held = 0;  // the inputs they read
    std::int32_t Count = 0;
    bool Disjoint = true;  // no input in two of them
  };
  [[nodiscard]] TPieces Pieces(std::int32_t depth) const noexcept;
  // The inputs each register reads after instruction depth, from those before it.
  void TrackReads(std::int32_t depth) noexcept;
  // The budget spent, or a stop asked for (asked every few thousand programs).
  [[nodiscard]] bool MustEnd();
  // With EveryInput: whether the registers after depth instructions can still give a result
  // that reads every input in the instructions left.
  [[nodiscard]] bool MayReadEveryInput(std::int32_t depth, std::int32_t left) const noexcept;
  // The margin test of a probe's value.
  [[nodiscard]] bool Matches(std::int32_t probe, double value) const noexcept;

  static constexpr std::int32_t MaxProbes = 8;
  static constexpr std::int32_t LongestProgram = 7;
  // The probes every prefix runs on; the rest run only for programs that pass these.
  static constexpr std::int32_t EarlyProbes = 3;

  const TSampleData& samples_;
  TShortProgramLimits limits_;
  std::int32_t probes_[MaxProbes] = {};
  std::int32_t probeCount_ = 0;
  double low_[MaxProbes] = {};  // each probe's values below this cannot match
  double high_[MaxProbes] = {};
  // Registers of each probe after each prefix: [depth][probe][register].
  double state_[LongestProgram + 1][MaxProbes][MaxRegisters] = {};
  // The inputs each register's value reads, one bit each: [depth][register].
  std::uint32_t reads_[LongestProgram + 1][MaxRegisters] = {};
  std::uint32_t everyInput_ = 0;
  bool settled_[LongestProgram + 1] = {};  // the late probes' registers are up to date
  // The probes of the lowest and highest y and the one nearest halfway, and where that one's y
  // lies between the others': OffLine compares the values with it.
  std::int32_t lineProbes_[3] = {};
  double share_ = 0;
  TInstruction code_[LongestProgram] = {};
  std::int32_t ids_[LongestProgram] = {};
  std::int64_t work_ = 0;
  std::int64_t programs_ = 0;
  bool outOfBudget_ = false;
  std::function<bool()> stop_;
  std::optional<TTuringEvaluator> found_;
  TFunctionCache functions_;
};
