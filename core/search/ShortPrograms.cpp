#include "core/search/ShortPrograms.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/model/Arithmetic.h"
#include "core/model/LinearScaling.h"
#include "core/model/Predictions.h"

namespace {

// Without the power, the tangent and the comparisons: they rarely make a law short and
// would add half again to every step.
constexpr std::array<std::uint8_t, 9> Operations{opAdd, opSub, opMul,  opDiv, opSin,
                                                 opCos, opExp, opSqrt, opLn};
constexpr std::int32_t OperationCount = static_cast<std::int32_t>(Operations.size());
// After a constant, the power too: a constant base to a register's power is how e^(−x²/2)
// is written, e^x being defined on [0, 1) only.
constexpr std::array<std::uint8_t, 10> ConstantOperations{opAdd, opSub, opMul, opDiv,  opPow,
                                                          opSin, opCos, opExp, opSqrt, opLn};
constexpr std::int32_t ConstantOperationCount =
    static_cast<std::int32_t>(ConstantOperations.size());
// The constant's bit among the inputs' in the sets of what registers read.
constexpr std::uint32_t ConstantBit = 1U << 31;
// Constants the search for a root starts from: ±10^(k/16) from 0.001 to 1000, ascending. Steps
// of 15 %: a root that a quickly turning function such as sin(c·x) crosses twice between two of
// them is missed, and finer steps cost in proportion.
constexpr std::int32_t GridSteps = 97;
const std::array<double, 2 * GridSteps>& ConstantGrid() {
  static const std::array<double, 2 * GridSteps> grid = [] {
    std::array<double, 2 * GridSteps> values{};
    for (std::int32_t j = 0; j < GridSteps; ++j) {
      const double magnitude = std::pow(10.0, (j - GridSteps / 2) / 16.0);
      values[GridSteps - 1 - j] = -magnitude;
      values[GridSteps + j] = magnitude;
    }
    return values;
  }();
  return grid;
}
// Programs between two looks at the stop flag.
constexpr std::int64_t StopInterval = 4096;

// Two neighbours that neither write the same register nor read what the other writes give
// the same registers in either order: only the order with the lower number is tried.
bool Commute(const TInstruction& a, const TInstruction& b) noexcept {
  return a.Dest != b.Dest && a.Src != b.Dest && b.Src != a.Dest;
}

// The bits set; the inputs are few.
std::int32_t Bits(std::uint32_t mask) noexcept {
  std::int32_t count = 0;
  for (; mask != 0; mask &= mask - 1)
    ++count;
  return count;
}

}  // namespace

// The destination's value after the instruction, as the interpreter computes it; the
// expensive functions come from the cache, since the same operands come back in program after
// program.
double TShortPrograms::Result(const TInstruction& in, const double* registers) noexcept {
  const double operand = registers[in.Src];
  double value = registers[in.Dest];
  switch (in.Op) {
    case opSin:
      return functions_.Get<TFunctionCache::fnSin>(operand);
    case opCos:
      return functions_.Get<TFunctionCache::fnCos>(operand);
    case opExp:
      value = functions_.Get<TFunctionCache::fnExp>(operand);
      return std::isnan(value) ? registers[in.Dest] : value;
    case opLn:
      value = functions_.Get<TFunctionCache::fnLn>(operand);
      return std::isnan(value) ? registers[in.Dest] : value;
    case opSqrt:
      arithmetic::SquareRoot(value, operand);
      return value;
    default:
      arithmetic::ApplyTwoOperand(in.Op, value, operand);
      return value;
  }
}

std::int32_t TShortPrograms::Alphabet(std::int32_t registers) noexcept {
  return registers * OperationCount * registers;
}

double TShortPrograms::Programs(std::int32_t registers, std::int32_t length) noexcept {
  // The last instruction writes register 0.
  return length < 1 ? 0
                    : std::pow(static_cast<double>(Alphabet(registers)), length - 1) * registers *
                          OperationCount;
}

TShortPrograms::TShortPrograms(const TSampleData& samples, const TShortProgramLimits& limits)
    : samples_(samples), limits_(limits) {
  limits_.Registers = ProgramRegisters(limits.Registers, samples.InputCount());
  limits_.MaxLength = std::clamp(limits.MaxLength, 0, LongestProgram);
  limits_.Parts = std::max(limits.Parts, 1);
  // Probes spread over the set; a set of fewer samples is all probes.
  const std::int32_t inputs = samples.InputCount();
  for (std::int32_t i = 0; i < inputs; ++i)
    reads_[0][i] = 1U << i;
  everyInput_ = inputs >= 32 ? ~0U : (1U << inputs) - 1;
  const std::int32_t count = samples.Count();
  probeCount_ = std::min(count, MaxProbes);
  std::int32_t spread[MaxProbes] = {};
  for (std::int32_t k = 0; k < probeCount_; ++k)
    spread[k] = probeCount_ == 1 ? 0
                                 : static_cast<std::int32_t>(static_cast<std::int64_t>(k) *
                                                             (count - 1) / (probeCount_ - 1));
  // The first, the last and the middle one lead, as the early probes see the most of the set.
  if (probeCount_ >= 3) std::rotate(spread + 1, spread + probeCount_ - 1, spread + probeCount_);
  if (probeCount_ >= 4) std::swap(spread[2], spread[(probeCount_ + 1) / 2]);
  for (std::int32_t k = 0; k < probeCount_; ++k) {
    probes_[k] = spread[k];
    const std::span<const double> inputs = samples.Inputs(probes_[k]);
    std::copy(inputs.begin(), inputs.end(), state_[0][k]);
    // Wider than the band of the margin test, which decides within it: most values fall
    // outside, and this test costs a fraction of that one.
    const TMarginBand band = samples.Band(probes_[k]);
    const long double range = static_cast<long double>(samples.MaxY()) - samples.MinY();
    const long double slack = 1e-6L * range + samples.RoundingTolerance(band.Y);
    low_[k] = static_cast<double>(band.Low() - slack);
    high_[k] = static_cast<double>(band.High() + slack);
  }
}

bool TShortPrograms::Matches(std::int32_t probe, double value) const noexcept {
  return value >= low_[probe] && value <= high_[probe] &&
         samples_.WithinMargin(probes_[probe], value);
}

TShortProgramResult TShortPrograms::Find(const std::function<bool()>& stop) {
  stop_ = stop;
  work_ = 0;
  programs_ = 0;
  outOfBudget_ = false;
  found_.reset();
  if (probeCount_ == 0) return {};
  settled_[0] = true;
  if (limits_.Constant) return FindConstant();
  return EveryLength(false);
}

TShortProgramResult TShortPrograms::EveryLength(bool constant) {
  // A load and one instruction at least, with a constant.
  const std::int32_t shortest = std::max(limits_.MinLength, constant ? 2 : 1);
  bool ended = false;
  for (std::int32_t length = shortest; length <= limits_.MaxLength && !ended; ++length)
    ended = constant ? ExtendConstant(1, length) : Extend(0, length);
  TShortProgramResult result;
  result.Model = std::move(found_);
  result.Work = work_;
  result.Complete = !ended || (result.Model && !outOfBudget_);
  return result;
}

bool TShortPrograms::Extend(std::int32_t depth, std::int32_t length) {
  const std::int32_t registers = limits_.Registers;
  const bool last = depth == length - 1;
  // The last instruction writes register 0: any other would leave the result as it was.
  const std::int32_t dests = last ? 1 : registers;
  // With every input to read and no instruction to spare, each must join two pieces: an
  // operation on two registers of different inputs.
  const std::uint32_t* reads = reads_[depth];
  bool joinsOnly = false;
  if (limits_.EveryInput) {
    const TPieces pieces = Pieces(depth);
    joinsOnly = pieces.Disjoint && length - depth == pieces.Count - 1;
  }
  for (std::int32_t dest = 0; dest < dests; ++dest) {
    for (std::int32_t o = 0; o < OperationCount; ++o) {
      if (joinsOnly && IsFunction(Operations[o])) continue;
      for (std::int32_t src = 0; src < registers; ++src) {
        if (joinsOnly && (reads[dest] == 0 || reads[src] == 0 || (reads[dest] & reads[src]) != 0))
          continue;
        // Written in place: a whole instruction copied from fields just stored stalls.
        TInstruction& in = code_[depth];
        in.Dest = static_cast<std::uint8_t>(dest);
        in.Op = Operations[o];
        in.Src = static_cast<std::uint8_t>(src);
        const std::int32_t id = (dest * OperationCount + o) * registers + src;
        if (depth == 0 && id % limits_.Parts != limits_.Part) continue;
        if (depth > 0 && id < ids_[depth - 1] && Commute(code_[depth - 1], in)) continue;
        if (MustEnd()) return true;
        ids_[depth] = id;
        if (limits_.EveryInput) {
          TrackReads(depth);
          if (!MayReadEveryInput(depth + 1, length - depth - 1)) continue;
        }
        if (last) {
          if (Candidate(length)) return true;
          continue;
        }
        // Only the early probes run here; the others follow for the rare program that
        // passes them (Settle).
        const std::int32_t early = std::min(probeCount_, EarlyProbes);
        bool changed = false;
        for (std::int32_t k = 0; k < early; ++k) {
          double* next = state_[depth + 1][k];
          std::copy_n(state_[depth][k], registers, next);
          next[dest] = Result(in, next);
          changed = changed || next[dest] != state_[depth][k][dest];
        }
        work_ += early;
        settled_[depth + 1] = false;
        // An instruction that changes nothing on the early probes makes, almost always, a
        // program that was tried shorter.
        if (changed && Extend(depth + 1, length)) return true;
      }
    }
  }
  return false;
}

bool TShortPrograms::MustEnd() {
  if (limits_.Budget > 0 && work_ > limits_.Budget) {
    outOfBudget_ = true;
    return true;
  }
  return ++programs_ % StopInterval == 0 && stop_ && stop_();
}

void TShortPrograms::TrackReads(std::int32_t depth) noexcept {
  const TInstruction& in = code_[depth];
  const std::uint32_t* reads = reads_[depth];
  std::uint32_t* next = reads_[depth + 1];
  std::copy_n(reads, limits_.Registers, next);
  next[in.Dest] = IsFunction(in.Op) ? reads[in.Src] : reads[in.Dest] | reads[in.Src];
}

TShortPrograms::TPieces TShortPrograms::Pieces(std::int32_t depth) const noexcept {
  // The pieces: registers whose inputs no other register reads all of (one of equal ones).
  const std::uint32_t* reads = reads_[depth];
  TPieces pieces;
  for (std::int32_t r = 0; r < limits_.Registers; ++r) {
    const std::uint32_t mine = reads[r];
    if (mine == 0) continue;
    bool within = false;
    for (std::int32_t q = 0; q < limits_.Registers && !within; ++q)
      within = q != r && (mine & ~reads[q]) == 0 && (reads[q] != mine || q < r);
    if (within) continue;
    pieces.Disjoint = pieces.Disjoint && (pieces.Held & mine) == 0;
    pieces.Held |= mine;
    ++pieces.Count;
  }
  return pieces;
}

bool TShortPrograms::MayReadEveryInput(std::int32_t depth, std::int32_t left) const noexcept {
  const std::uint32_t* reads = reads_[depth];
  if (left == 0) return reads[0] == everyInput_;
  const TPieces pieces = Pieces(depth);
  if (pieces.Held != everyInput_) return false;
  // An instruction joins two pieces at most; overlapping pieces need at least as many as the
  // widest piece's share of the inputs.
  if (pieces.Disjoint) return left >= pieces.Count - 1;
  std::int32_t most = 0;
  for (std::int32_t r = 0; r < limits_.Registers; ++r)
    most = std::max(most, Bits(reads[r]));
  const std::int32_t needed = (Bits(everyInput_) + most - 1) / most;
  return left >= needed - 1;
}

TShortProgramResult TShortPrograms::FindConstant() {
  TShortProgramResult result;
  const std::int32_t spare = limits_.Registers - 1;
  if (!limits_.LinearScaling || spare < samples_.InputCount() || probeCount_ < 3) return result;
  // The line through three probes' y: the lowest, the highest and the one nearest halfway,
  // as far apart as the probes allow (the first, last and middle ones may share one y).
  std::int32_t low = 0;
  std::int32_t high = 0;
  for (std::int32_t k = 1; k < probeCount_; ++k) {
    if (samples_.GetY(probes_[k]) < samples_.GetY(probes_[low])) low = k;
    if (samples_.GetY(probes_[k]) > samples_.GetY(probes_[high])) high = k;
  }
  const long double bottom = samples_.GetY(probes_[low]);
  const long double span = samples_.GetY(probes_[high]) - bottom;
  if (span == 0) return result;  // a constant y is no law
  std::int32_t middle = 0;
  long double nearest = HUGE_VALL;
  for (std::int32_t k = 0; k < probeCount_; ++k) {
    const long double distance = std::fabs(samples_.GetY(probes_[k]) - bottom - span / 2);
    if (k != low && k != high && distance < nearest) {
      nearest = distance;
      middle = k;
    }
  }
  lineProbes_[0] = low;
  lineProbes_[1] = high;
  lineProbes_[2] = middle;
  share_ = static_cast<double>((samples_.GetY(probes_[middle]) - bottom) / span);
  code_[0] = TInstruction{static_cast<std::uint8_t>(spare), opAdd, ConstantOperand, 0};
  std::copy_n(reads_[0], limits_.Registers, reads_[1]);
  reads_[1][spare] = ConstantBit;
  return EveryLength(true);
}

bool TShortPrograms::ExtendConstant(std::int32_t depth, std::int32_t length) {
  const std::int32_t registers = limits_.Registers;
  const bool last = depth == length - 1;
  const std::int32_t dests = last ? 1 : registers;
  for (std::int32_t dest = 0; dest < dests; ++dest) {
    for (std::int32_t o = 0; o < ConstantOperationCount; ++o) {
      for (std::int32_t src = 0; src < registers; ++src) {
        TInstruction& in = code_[depth];
        in.Dest = static_cast<std::uint8_t>(dest);
        in.Op = ConstantOperations[o];
        in.Src = static_cast<std::uint8_t>(src);
        const std::int32_t id = (dest * ConstantOperationCount + o) * registers + src;
        // The load stays first, whatever it commutes with.
        if (depth > 1 && id < ids_[depth - 1] && Commute(code_[depth - 1], in)) continue;
        if (MustEnd()) return true;
        ids_[depth] = id;
        TrackReads(depth);
        const std::uint32_t* next = reads_[depth + 1];
        if (last) {
          // The result reads the constant and an input, or it is another program's.
          if ((next[0] & ConstantBit) != 0 && (next[0] & ~ConstantBit) != 0 &&
              SolveConstant(length))
            return true;
          continue;
        }
        const bool kept = std::any_of(next, next + registers,
                                      [](std::uint32_t r) { return (r & ConstantBit) != 0; });
        if (kept && ExtendConstant(depth + 1, length)) return true;
      }
    }
  }
  return false;
}

void TShortPrograms::RunConstant(std::int32_t length, double c, std::int32_t probe,
                                 double* registers) {
  std::copy_n(state_[0][probe], limits_.Registers, registers);
  registers[limits_.Registers - 1] = c;
  for (std::int32_t i = 1; i < length; ++i)
    registers[code_[i].Dest] = Result(code_[i], registers);
}

double TShortPrograms::OffLine(std::int32_t length, double c) {
  double values[3];
  double registers[MaxRegisters];
  for (std::int32_t k = 0; k < 3; ++k) {
    RunConstant(length, c, lineProbes_[k], registers);
    values[k] = registers[0];
  }
  work_ += 3 * (length - 1);
  const long double span = static_cast<long double>(values[1]) - values[0];
  const long double middle = static_cast<long double>(values[2]) - values[0];
  if (span == 0) return std::nan("");
  const long double off = middle - share_ * span;
  return std::isfinite(off) ? static_cast<double>(off) : std::nan("");
}

bool TShortPrograms::SolveConstant(std::int32_t length) {
  // Each change of sign of OffLine between neighbours of the grid brackets a constant that puts
  // the three probes on the samples' line; regula falsi (Illinois) closes in on it.
  double before = 0;
  double offBefore = std::nan("");
  for (const double c : ConstantGrid()) {
    const double off = OffLine(length, c);
    if (off == 0) {
      if (TryConstant(length, c)) return true;
    } else if (std::isfinite(off) && std::isfinite(offBefore) && (off < 0) != (offBefore < 0)) {
      double a = before;
      double b = c;
      double offA = offBefore;
      double offB = off;
      double x = b;
      std::int32_t side = 0;
      for (std::int32_t i = 0; i < 100; ++i) {
        x = (a * offB - b * offA) / (offB - offA);
        if (!(x > std::min(a, b) && x < std::max(a, b))) x = a + (b - a) / 2;
        if (x == a || x == b) break;
        const double offX = OffLine(length, x);
        if (offX == 0 || !std::isfinite(offX)) break;
        if ((offX < 0) == (offB < 0)) {
          b = x;
          offB = offX;
          if (side == -1) offA /= 2;
          side = -1;
        } else {
          a = x;
          offA = offX;
          if (side == 1) offB /= 2;
          side = 1;
        }
      }
      if (TryConstant(length, x)) return true;
    }
    before = c;
    offBefore = off;
  }
  return false;
}

bool TShortPrograms::TryConstant(std::int32_t length, double c) {
  double values[MaxProbes];
  double registers[MaxRegisters];
  bool plain = true;
  for (std::int32_t k = 0; k < probeCount_; ++k) {
    RunConstant(length, c, k, registers);
    values[k] = registers[0];
    plain = plain && Matches(k, values[k]);
  }
  work_ += probeCount_ * (length - 1);
  if (!plain && !ScaledMatch(values)) return false;
  code_[0].Value = c;
  found_ = Matching(length);
  return found_.has_value();
}

void TShortPrograms::Settle(std::int32_t depth) noexcept {
  std::int32_t from = depth;
  while (!settled_[from])
    --from;
  for (std::int32_t d = from; d < depth; ++d) {
    for (std::int32_t k = EarlyProbes; k < probeCount_; ++k) {
      double* next = state_[d + 1][k];
      std::copy_n(state_[d][k], limits_.Registers, next);
      next[code_[d].Dest] = Result(code_[d], next);
    }
    work_ += std::max(0, probeCount_ - EarlyProbes);
    settled_[d + 1] = true;
  }
}

bool TShortPrograms::Candidate(std::int32_t length) {
  const TInstruction& in = code_[length - 1];
  const std::int32_t depth = length - 1;
  double values[MaxProbes];
  // Most programs fail on the early probes: the plain value, or the line through the first
  // two probes, misses the third.
  const std::int32_t first = std::min(probeCount_, EarlyProbes);
  bool plain = true;
  for (std::int32_t k = 0; k < first; ++k) {
    values[k] = Result(in, state_[depth][k]);
    plain = plain && Matches(k, values[k]);
  }
  work_ += first;
  if (!plain && !LineMayHold(values)) return false;
  Settle(depth);
  bool changed = false;
  for (std::int32_t k = 0; k < probeCount_; ++k) {
    if (k >= first) values[k] = Result(in, state_[depth][k]);
    changed = changed || values[k] != state_[depth][k][0];
    plain = plain && Matches(k, values[k]);
  }
  work_ += probeCount_ - first;
  // The same result as the program without this instruction, which was tried.
  if (!changed) return false;
  if (!plain && !(limits_.LinearScaling && ScaledMatch(values))) return false;
  found_ = Matching(length);
  return found_.has_value();
}

bool TShortPrograms::LineMayHold(const double* values) const noexcept {
  if (!limits_.LinearScaling) return false;
  // Exact where any line may match: it fits the early probes.
  if (limits_.MarginLine)
    return SomeLineFits(values, low_, high_, std::min(probeCount_, EarlyProbes)).Fits;
  if (probeCount_ < 3 || values[0] == values[1]) return true;
  using Extended = long double;
  const Extended y0 = samples_.GetY(probes_[0]);
  const Extended scale = (samples_.GetY(probes_[1]) - y0) / (Extended{values[1]} - values[0]);
  const Extended at = y0 + scale * (Extended{values[2]} - values[0]);
  return std::isfinite(at) && Matches(2, static_cast<double>(at));
}

bool TShortPrograms::ScaledMatch(const double* values) const noexcept {
  if (probeCount_ < 3) return false;
  // Where the least-squares line matches, some line fits; Matching tries both.
  if (limits_.MarginLine) {
    const TLineFit some = SomeLineFits(values, low_, high_, probeCount_);
    return some.Fits && some.Spread;
  }
  // The least-squares line over the probes, as the search fits it over its samples.
  const TLeastSquaresLine line =
      LeastSquaresLine({values, static_cast<std::size_t>(probeCount_)},
                       [&](std::int32_t k) { return samples_.GetY(probes_[k]); });
  // A constant is no law: the offset alone would match it to a constant y only.
  if (!line.Spread) return false;
  const TLinearScaling fit{static_cast<double>(line.Scale), static_cast<double>(line.Offset)};
  if (!std::isfinite(fit.Scale) || !std::isfinite(fit.Offset)) return false;
  for (std::int32_t k = 0; k < probeCount_; ++k) {
    if (!Matches(k, ApplyLinearScaling(values[k], fit))) return false;
  }
  return true;
}

std::optional<TTuringEvaluator> TShortPrograms::Matching(std::int32_t length) const {
  TTuringEvaluator program(length, limits_.Registers, samples_.InputCount());
  for (std::int32_t i = 0; i < length; ++i)
    program.SetInstruction(i, code_[i]);
  program.UpdateExecEnd();
  if (MatchesEverySample(program, samples_)) return program;
  if (!limits_.LinearScaling) return std::nullopt;
  TTuringEvaluator scaled = WithLinearScaling(program, samples_, samples_.Count() - 1);
  if (MatchesEverySample(scaled, samples_)) return scaled;
  if (limits_.MarginLine) return WithMarginLine(program, samples_);
  return std::nullopt;
}
