#include "core/scoring/FastScorer.h"

#include "core/model/LinearScaling.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>

#include "core/model/Arithmetic.h"
#include "core/model/Liveness.h"

using arithmetic::ApplyTwoOperand;
using arithmetic::Extended;
using arithmetic::Power;
using arithmetic::Store;

// Decoding's small steps, inlined into Load: their calls cost more than their bodies.
#if defined(__GNUC__)
#define MOVAR_INLINE inline __attribute__((always_inline))
#else
#define MOVAR_INLINE inline
#endif

namespace {

constexpr std::uint8_t NoRegister = 0xFF;

[[nodiscard]] constexpr bool IsComparisonKind(TFastScorer::TKind kind) noexcept {
  return kind >= TFastScorer::kGtC && kind <= TFastScorer::kLeR;
}

[[nodiscard]] constexpr bool ReadsSource(TFastScorer::TKind kind) noexcept {
  switch (kind) {
    case TFastScorer::kAddR:
    case TFastScorer::kSubR:
    case TFastScorer::kMulR:
    case TFastScorer::kDivR:
    case TFastScorer::kPowR:
    case TFastScorer::kSin:
    case TFastScorer::kCos:
    case TFastScorer::kTan:
    case TFastScorer::kExp:
    case TFastScorer::kSqrt:
    case TFastScorer::kLn:
    case TFastScorer::kGtR:
    case TFastScorer::kLeR:
      return true;
    default:
      return false;
  }
}

// Kinds that set their destination whatever it held: only these end its life.
[[nodiscard]] constexpr bool AlwaysWrites(TFastScorer::TKind kind) noexcept {
  return kind == TFastScorer::kSet || kind == TFastScorer::kSin || kind == TFastScorer::kCos;
}

// The fused kind of an instruction whose operand is a register; the constant form of a
// two-operand opcode or comparison is the next kind.
[[nodiscard]] constexpr TFastScorer::TKind RegisterKind(std::uint8_t op) noexcept {
  constexpr TFastScorer::TKind kinds[OpcodeCount] = {
      TFastScorer::kAddR, TFastScorer::kSubR, TFastScorer::kMulR, TFastScorer::kDivR,
      TFastScorer::kPowR, TFastScorer::kSin,  TFastScorer::kCos,  TFastScorer::kTan,
      TFastScorer::kExp,  TFastScorer::kSqrt, TFastScorer::kLn,   TFastScorer::kGtR,
      TFastScorer::kLeR};
  return kinds[op];
}

[[nodiscard]] constexpr TFastScorer::TKind ConstantKind(std::uint8_t op) noexcept {
  return static_cast<TFastScorer::TKind>(RegisterKind(op) - 1);
}

[[nodiscard]] constexpr TFunctionCache::TFunction CachedFunction(std::uint8_t op) noexcept {
  switch (op) {
    case opSin:
      return TFunctionCache::fnSin;
    case opCos:
      return TFunctionCache::fnCos;
    case opTan:
      return TFunctionCache::fnTan;
    case opExp:
      return TFunctionCache::fnExp;
    default:
      return TFunctionCache::fnLn;
  }
}

inline void SetIfCarriedOut(double& reg, double result) noexcept {
  if (!std::isnan(result)) reg = result;
}

[[nodiscard]] inline bool SameBits(double a, double b) noexcept {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

}  // namespace

TFastScorer::TFastScorer() : residual_(1, TStep{kEnd, 0, 0, 0, 0}) {
  steps_.reserve(64);
  chain_.reserve(16);
}

std::uint64_t TFastScorer::PeakBytes(std::int32_t instructionCount) noexcept {
  const auto instructions = static_cast<std::uint64_t>(std::max(instructionCount, 0));
  // Each instruction emits its step and at most one register made concrete, besides every
  // register made concrete once at the start; the residual program has room for three
  // times as many steps, and a growing vector may hold twice its size.
  const std::uint64_t steps = 2 * instructions + MaxRegisters + 2;
  return sizeof(TFastScorer) + TFunctionCache::TableBytes() +
         (2 * steps + 3 * steps + 1) * sizeof(TStep) +
         instructions * (sizeof(std::int32_t) + 2 * sizeof(TInstruction));
}

MOVAR_INLINE bool TFastScorer::OperandKnown(const TInstruction& in, double& value) const noexcept {
  if (in.Src == ConstantOperand) {
    value = in.Value;
    return true;
  }
  value = known_[in.Src].Value;
  return known_[in.Src].Known;
}

MOVAR_INLINE int TFastScorer::Resolve(const TInstruction& comparison) const noexcept {
  // R > R is false for every value, NaN included.
  if (comparison.Src == comparison.Dest) return comparison.Op == opIfLessEqual ? 1 : 0;
  double operand;
  if (!known_[comparison.Dest].Known || !OperandKnown(comparison, operand)) return -1;
  const bool greater = known_[comparison.Dest].Value > operand;
  return (comparison.Op == opIfGreater) == greater ? 1 : 0;
}

MOVAR_INLINE bool TFastScorer::Fold(const TInstruction& in, double operand, TStep& step) noexcept {
  const TKnown& dest = known_[in.Dest];
  step = {kSet, in.Dest, NoRegister, 0, dest.Value};
  double& value = step.Value;
  if (IsFunction(in.Op)) {
    const double result =
        in.Op == opSqrt
            ? (operand >= 0 ? static_cast<double>(std::sqrt(Extended{operand})) : std::nan(""))
            : cache_.Get(CachedFunction(in.Op), operand);
    if (std::isnan(result)) return false;
    value = result;
    return true;
  }
  if (in.Op == opDiv && operand == 0) return false;
  if (in.Op == opPow && !(operand <= 10)) return false;
  if (in.Op == opPow && operand == 0) {
    value = 1;  // whatever the base
    return true;
  }
  if (!dest.Known) {
    step = {ConstantKind(in.Op), in.Dest, NoRegister, 0, operand};
    return true;
  }
  ApplyTwoOperand(in.Op, value, operand);
  return !SameBits(value, dest.Value);
}

MOVAR_INLINE void TFastScorer::Emit(TKind kind, std::uint8_t dest, std::uint8_t src, double value) {
  steps_.push_back({kind, dest, src, 0, value});
}

MOVAR_INLINE void TFastScorer::Materialize(std::uint8_t reg) {
  TKnown& known = known_[reg];
  if (!known.Known || known.Stored) return;
  Emit(kSet, reg, NoRegister, known.Value);
  known.Stored = true;
}

MOVAR_INLINE void TFastScorer::EmitAction(const TInstruction& action) {
  TKnown& dest = known_[action.Dest];
  double operand;
  if (OperandKnown(action, operand)) {
    TStep step;
    if (!Fold(action, operand, step)) return;
    if (step.Kind == kSet) {
      dest = {true, false, step.Value};
    } else {
      steps_.push_back(step);
      dest.Known = false;
    }
    return;
  }
  // A failed instruction keeps its destination; only sine and cosine never fail.
  const TKind kind = RegisterKind(action.Op);
  if (!AlwaysWrites(kind)) Materialize(action.Dest);
  Emit(kind, action.Dest, action.Src, 0);
  dest.Known = false;
}

void TFastScorer::EmitGuarded(const TInstruction& action) {
  TStep step;
  double operand;
  if (OperandKnown(action, operand)) {
    if (!Fold(action, operand, step)) return;  // does nothing whether it runs or not
  } else {
    step = {RegisterKind(action.Op), action.Dest, action.Src, 0, 0};
  }
  // The registers the chain compares, and the destination, which keeps its value when
  // the chain fails, must hold their values before the chain starts.
  for (const TInstruction& c : chain_)
    Materialize(c.Dest);
  Materialize(action.Dest);
  for (const TInstruction& c : chain_) {
    double value;
    if (OperandKnown(c, value)) {
      Emit(ConstantKind(c.Op), c.Dest, NoRegister, value);
    } else {
      Emit(RegisterKind(c.Op), c.Dest, c.Src, 0);
    }
  }
  steps_.push_back(step);
  known_[action.Dest].Known = false;
}

MOVAR_INLINE std::int32_t TFastScorer::MarkLive(const std::vector<TInstruction>& code,
                                                std::int32_t end) {
  // The instructions that can reach the result: Finish, which knows the values folded while
  // decoding, may drop more, and decoding need not look at the rest.
  if (live_.size() < static_cast<std::size_t>(end)) live_.resize(static_cast<std::size_t>(end));
  // Local pointers: the compiler then need not reload them after each store.
  std::int32_t* const marks = live_.data();
  const TInstruction* const source = code.data();
  std::int32_t kept = end;
  ForEachLive(
      source, end, [source](std::int32_t k) { return AlwaysReplaces(source[k].Op); },
      [marks, &kept](std::int32_t k) { marks[--kept] = k; });
  return kept;
}

void TFastScorer::Load(const TTuringEvaluator& program) {
  static constexpr auto Start = [] {
    std::array<TKnown, MaxRegisters> known{};
    for (TKnown& k : known)
      k = {true, false, 0.0};
    known[0].Known = false;  // x
    return known;
  }();
  steps_.clear();
  std::copy(Start.begin(), Start.end(), known_);
  inputCount_ = program.InputCount();
  for (std::int32_t i = 1; i < inputCount_; ++i)
    known_[i].Known = false;
  const std::vector<TInstruction>& code = program.Code();
  const std::int32_t end = program.ExecEnd() + 1;
  length_ = end;
  // Blocks (a run of comparisons and the action they guard) whose action may reach the
  // result, in order.
  const std::int32_t firstLive = MarkLive(code, end);
  const std::int32_t* const live = live_.data();
  chain_.clear();
  bool never = false;
  for (std::int32_t i = firstLive; i < end; ++i) {
    const TInstruction& in = code[live[i]];
    if (IsComparison(in.Op)) {
      const int outcome = never ? 1 : Resolve(in);
      if (outcome == 0) never = true;
      if (outcome < 0) chain_.push_back(in);
      continue;
    }
    if (never) {
      never = false;
    } else if (chain_.empty()) {
      EmitAction(in);
    } else {
      EmitGuarded(in);
    }
    chain_.clear();
  }
  Materialize(0);
  read_ = Finish();
}

MOVAR_INLINE std::uint32_t TFastScorer::Finish() {
  // Backwards over the blocks (a run of comparisons and the action they guard): a block
  // whose destination is not read later (and is not register 0 at the end) cannot change
  // the result. The kept blocks are written from the back of the residual program, so a
  // false comparison's jump past the rest of its block is known as it is written.
  const std::size_t count = steps_.size();
  // Room for the end step and a save and a restore around each guarded action.
  if (residual_.size() < 3 * count + 1) residual_.resize(3 * count + 1);
  const TStep* const steps = steps_.data();
  TStep* const out = residual_.data();
  std::size_t at = residual_.size() - 1;
  out[at] = {kEnd, 0, 0, 0, 0};
  last_ = static_cast<std::int32_t>(at);
  std::uint32_t live = 1;
  for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(count) - 1; k >= 0;) {
    const TStep& action = steps[k];
    std::ptrdiff_t first = k;
    while (first > 0 && IsComparisonKind(steps[first - 1].Kind))
      --first;
    const std::uint32_t dest = 1u << action.Dest;
    if (live & dest) {
      if (first == k && AlwaysWrites(action.Kind)) live &= ~dest;
      if (ReadsSource(action.Kind)) live |= 1u << action.Src;
      const std::size_t next = at;
      // A guarded action runs on every lane between a save and a restore of its
      // destination.
      if (first < k) out[--at] = {kRestore, action.Dest, NoRegister, 0, 0};
      out[--at] = action;
      if (first < k) out[--at] = {kSave, action.Dest, NoRegister, 0, 0};
      for (std::ptrdiff_t j = k - 1; j >= first; --j) {
        const TStep& comparison = steps[j];
        live |= 1u << comparison.Dest;
        if (ReadsSource(comparison.Kind)) live |= 1u << comparison.Src;
        out[--at] = comparison;
        out[at].Skip = static_cast<std::int32_t>(next - at);
      }
    }
    k = first - 1;
  }
  first_ = static_cast<std::int32_t>(at);
  return live;
}

// Threaded dispatch where the compiler has label addresses: each handler jumps straight to
// the next, with no bounds check and no loop test (the end is a step of its own).
#if defined(__GNUC__) && !defined(MOVAR_PORTABLE_DISPATCH)
#define MOVAR_THREADED_DISPATCH 1
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#endif

template <bool Scoring, bool OneInput, bool Collecting>
double TFastScorer::Run(const double* first, std::ptrdiff_t last, double threshold,
                        std::int32_t& scored) noexcept {
  // Every step runs on Lanes samples at once; the errors are then added one sample at a
  // time, in order, so the sum and the cut-off are those of one sample at a time. Lanes
  // past the last sample repeat its inputs and are not added.
  TLanes* const r = lanes_;
  constexpr unsigned AllLanes = (1u << Lanes) - 1;
  unsigned mask = AllLanes;  // lanes whose comparisons so far hold
  TLanes saved;              // a guarded destination before its action
  double sum = 0;
  // A row is the inputs and then y.
  const std::ptrdiff_t stride = OneInput ? 2 : rowSize_;
  const double* point = first;
  std::ptrdiff_t after = last;  // rows after point's
  if constexpr (Scoring) LoadLanes<OneInput>(point, after);
  const TStep* const begin = residual_.data() + first_;
  const TStep* s = begin;
#ifdef MOVAR_THREADED_DISPATCH
  static void* const handlers[] = {&&Set,  &&AddC, &&AddR, &&SubC, &&SubR,    &&MulC,
                                   &&MulR, &&DivC, &&DivR, &&PowC, &&PowR,    &&Sin,
                                   &&Cos,  &&Tan,  &&Exp,  &&Sqrt, &&Ln,      &&GtC,
                                   &&GtR,  &&LeC,  &&LeR,  &&Save, &&Restore, &&End};
  static_assert(sizeof(handlers) / sizeof(handlers[0]) == kEnd + 1);
#define MOVAR_CASE(name) \
  name:
#define MOVAR_DISPATCH() goto* handlers[s->Kind]
#else
#define MOVAR_CASE(name) case k##name:
#define MOVAR_DISPATCH() continue
  for (;;)
    switch (s->Kind) {
#endif
#define MOVAR_NEXT() \
  ++s;               \
  MOVAR_DISPATCH()
#if defined(__GNUC__) && !defined(__clang__)
#define MOVAR_UNROLL _Pragma("GCC unroll 4")
#else
#define MOVAR_UNROLL
#endif
// Each lane of the destination d, with o the source's lanes and v the constant.
#define MOVAR_LANES(body)              \
  {                                    \
    double* const d = r[s->Dest];      \
    const double* const o = r[s->Src]; \
    const double v = s->Value;         \
    (void)o;                           \
    (void)v;                           \
    MOVAR_UNROLL                       \
    for (int k = 0; k < Lanes; ++k) {  \
      body;                            \
    }                                  \
  }                                    \
  MOVAR_NEXT()
// A comparison narrows the mask; when no lane is left, the rest of the block is skipped.
#define MOVAR_COMPARE(holds)                     \
  {                                              \
    const double* const d = r[s->Dest];          \
    const double* const o = r[s->Src];           \
    const double v = s->Value;                   \
    (void)o;                                     \
    (void)v;                                     \
    unsigned held = 0;                           \
    MOVAR_UNROLL                                 \
    for (int k = 0; k < Lanes; ++k)              \
      held |= static_cast<unsigned>(holds) << k; \
    mask &= held;                                \
    if (mask == 0) {                             \
      mask = AllLanes;                           \
      s += s->Skip;                              \
      MOVAR_DISPATCH();                          \
    }                                            \
  }                                              \
  MOVAR_NEXT()
#ifdef MOVAR_THREADED_DISPATCH
  MOVAR_DISPATCH();
#endif
  MOVAR_CASE(Set)
  MOVAR_LANES(d[k] = v);
  MOVAR_CASE(AddC)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) + v));
  MOVAR_CASE(AddR)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) + o[k]));
  MOVAR_CASE(SubC)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) - v));
  MOVAR_CASE(SubR)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) - o[k]));
  MOVAR_CASE(MulC)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) * v));
  MOVAR_CASE(MulR)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) * o[k]));
  MOVAR_CASE(DivC)
  MOVAR_LANES(Store(d[k], static_cast<Extended>(d[k]) / v));
  MOVAR_CASE(DivR)
  MOVAR_LANES(if (const double e = o[k]; e != 0) Store(d[k], static_cast<Extended>(d[k]) / e));
  MOVAR_CASE(PowC)
  MOVAR_LANES(Power(d[k], v));
  MOVAR_CASE(PowR)
  MOVAR_LANES(if (const double e = o[k]; e <= 10) Power(d[k], e));
  MOVAR_CASE(Sin)
  MOVAR_LANES(d[k] = cache_.Get<TFunctionCache::fnSin>(o[k]));
  MOVAR_CASE(Cos)
  MOVAR_LANES(d[k] = cache_.Get<TFunctionCache::fnCos>(o[k]));
  MOVAR_CASE(Tan)
  MOVAR_LANES(SetIfCarriedOut(d[k], cache_.Get<TFunctionCache::fnTan>(o[k])));
  MOVAR_CASE(Exp)
  // Operands outside the domain fail at once; only the others are worth remembering.
  MOVAR_LANES(if (const double e = o[k]; TFunctionCache::ExpDefined(e))
                  SetIfCarriedOut(d[k], cache_.Get<TFunctionCache::fnExp>(e)));
  MOVAR_CASE(Sqrt)
  MOVAR_LANES(if (const double e = o[k]; e >= 0) Store(d[k], std::sqrt(Extended{e})));
  MOVAR_CASE(Ln)
  MOVAR_LANES(if (const double e = o[k]; TFunctionCache::LnDefined(e))
                  SetIfCarriedOut(d[k], cache_.Get<TFunctionCache::fnLn>(e)));
  MOVAR_CASE(GtC)
  MOVAR_COMPARE(d[k] > v);
  MOVAR_CASE(GtR)
  MOVAR_COMPARE(d[k] > o[k]);
  MOVAR_CASE(LeC)
  MOVAR_COMPARE(!(d[k] > v));
  MOVAR_CASE(LeR)
  MOVAR_COMPARE(!(d[k] > o[k]));
  MOVAR_CASE(Save)
  MOVAR_LANES(saved[k] = d[k]);
  MOVAR_CASE(Restore)
  // The guarded action ran on every lane; the lanes whose comparisons failed take back
  // their value, as if it had not run there.
  for (int k = 0; k < Lanes; ++k) {
    if (!(mask >> k & 1u)) r[s->Dest][k] = saved[k];
  }
  mask = AllLanes;
  MOVAR_NEXT();
  MOVAR_CASE(End)
  if constexpr (Scoring) {
    // The next samples start here, so a run of samples makes no calls.
    const int count = after < Lanes ? static_cast<int>(after) + 1 : Lanes;
    if constexpr (Collecting) {
      double* const out = collected_.data() + (last - after);
      for (int k = 0; k < count; ++k)
        out[k] = r[0][k];
    } else {
      for (int k = 0; k < count; ++k) {
        const double y = point[k * stride + stride - 1];
        const double difference = static_cast<double>(static_cast<Extended>(r[0][k]) - y);
        // The magnitude taken in extended precision (the same value) saves a round trip
        // between the two register files.
        sum = static_cast<double>(std::fabs(static_cast<Extended>(difference)) + sum);
        if (sum > threshold) {
          scored = static_cast<std::int32_t>(last - after) + k + 1;
          return sum;
        }
      }
    }
    point += count * stride;
    after -= count;
    if (after >= 0) {
      LoadLanes<OneInput>(point, after);
      s = begin;
      MOVAR_DISPATCH();
    }
    scored = static_cast<std::int32_t>(last + 1);
    return sum;
  } else {
    return r[0][0];
  }
#ifndef MOVAR_THREADED_DISPATCH
}
#endif
#undef MOVAR_COMPARE
#undef MOVAR_LANES
#undef MOVAR_UNROLL
#undef MOVAR_NEXT
#undef MOVAR_DISPATCH
#undef MOVAR_CASE
}

#ifdef MOVAR_THREADED_DISPATCH
#pragma GCC diagnostic pop
#endif

template <bool OneInput>
void TFastScorer::LoadLanes(const double* point, std::ptrdiff_t after) noexcept {
  if constexpr (OneInput) {
    if (after >= Lanes - 1) {
      for (int k = 0; k < Lanes; ++k)
        lanes_[0][k] = point[2 * k];
      return;
    }
    for (int k = 0; k < Lanes; ++k) {
      lanes_[0][k] = *point;
      if (after > 0) {
        point += 2;
        --after;
      }
    }
  } else {
    const double* rows[Lanes];
    for (int k = 0; k < Lanes; ++k)
      rows[k] = point + std::min<std::ptrdiff_t>(k, after) * rowSize_;
    for (std::int32_t m = 0; m < readCount_; ++m) {
      const std::uint8_t input = readInputs_[m];
      for (int k = 0; k < Lanes; ++k)
        lanes_[input][k] = rows[k][input];
    }
  }
}

double TFastScorer::Predict(double x) noexcept {
  for (double& lane : lanes_[0])
    lane = x;
  for (std::int32_t i = 1; i < inputCount_; ++i)
    std::fill(std::begin(lanes_[i]), std::end(lanes_[i]), 0.0);
  std::int32_t scored;
  return Run<false, true>(nullptr, 0, 0, scored);
}

double TFastScorer::Predict(std::span<const double> inputs) noexcept {
  for (std::int32_t i = 0; i < inputCount_; ++i) {
    const double value = static_cast<std::size_t>(i) < inputs.size() ? inputs[i] : 0.0;
    std::fill(std::begin(lanes_[i]), std::end(lanes_[i]), value);
  }
  std::int32_t scored;
  return Run<false, true>(nullptr, 0, 0, scored);
}

template <bool Collecting>
double TFastScorer::RunSamples(const TSampleData& samples, std::int32_t last, double threshold,
                               std::int32_t& scored) noexcept {
  double sum;
  if (samples.InputCount() == 1) {
    sum = Run<true, true, Collecting>(samples.Rows(), last, threshold, scored);
  } else {
    rowSize_ = samples.RowSize();
    readCount_ = 0;
    for (std::int32_t i = 0; i < inputCount_; ++i) {
      if (read_ >> i & 1u) readInputs_[readCount_++] = static_cast<std::uint8_t>(i);
    }
    sum = Run<true, false, Collecting>(samples.Rows(), last, threshold, scored);
  }
#ifdef MOVAR_COUNT_INSTRUCTIONS
  stepsRun_ += static_cast<std::uint64_t>(last_ - first_) * static_cast<std::uint64_t>(scored);
#endif
  CountScore(scored);
  return sum;
}

double TFastScorer::Score(const TSampleData& samples, std::int32_t last,
                          double threshold) noexcept {
  assert(samples.InputCount() == inputCount_);
  scored_ = 0;
  if (last < 0) return 0;
  return RunSamples<false>(samples, last, threshold, scored_);
}

double TFastScorer::ScoreScaled(const TSampleData& samples, std::int32_t last, double threshold) {
  return ScoreCollected(samples, last, threshold, true, TMarginFitness{});
}

double TFastScorer::ScoreCollected(const TSampleData& samples, std::int32_t last, double threshold,
                                   bool scaled, const TMarginFitness& fitness) {
  assert(samples.InputCount() == inputCount_);
  scored_ = 0;
  if (last < 0) return 0;
  collected_.resize(static_cast<std::size_t>(last) + 1);
  std::int32_t run = 0;
  (void)RunSamples<true>(samples, last, threshold, run);
  if (scaled) {
    const TLinearScaling scaling = FitLinearScaling(collected_, samples);
    for (double& prediction : collected_)
      prediction = ApplyLinearScaling(prediction, scaling);
  }
  return fitness.Sum(collected_, samples, threshold, scored_);
}
