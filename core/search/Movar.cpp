#include "core/search/Movar.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <span>
#include <thread>
#include <utility>
#include <vector>

#include "core/model/LinearScaling.h"
#include "core/model/Predictions.h"
#include "core/scoring/ChunkSchedule.h"
#include "core/search/PointMutation.h"

namespace {
// The window grows once the best error falls below this.
constexpr double WindowGrowthError = 0.0001;
// Programs within this factor of the best error count as clones.
constexpr double CloneFactor = 1.3;
// Below this many instruction runs (programs x samples x instructions, an upper bound)
// waking the other threads costs more than it saves.
constexpr std::int64_t ParallelWork = 200000;
// Programs a thread takes at a time; the cut-off makes their costs uneven.
constexpr std::int32_t ParallelChunk = 8;
// Below this many draws new programs are made on the calling thread.
constexpr std::uint64_t ParallelDraws = 40000;
// Programs a thread makes at a time.
constexpr std::int32_t DrawChunk = 64;
// Programs drawn for each tournament: enough to prefer the better, few enough to keep many
// parents.
constexpr std::int32_t TournamentSize = 3;
}  // namespace

TMovar::TMovar(std::int32_t instructionCount, std::int32_t populationSize,
               std::int32_t registerCount)
    : placeholder_(std::make_unique<TSampleData>(0)),
      samples_(placeholder_.get()),
      instructionCount_(instructionCount),
      populationSize_(populationSize),
      registerCount_(registerCount) {
  SetCrossRate(0.2);
  errors_.assign(static_cast<std::size_t>(populationSize_), 0.0);
  programs_.reserve(static_cast<std::size_t>(populationSize_));
  for (std::int32_t i = 0; i < populationSize_; ++i) {
    programs_.push_back(std::make_unique<TTuringEvaluator>(instructionCount_, registerCount_));
  }
  Reset();
}

TMovar::~TMovar() = default;

void TMovar::SetSamples(const TSampleData& samples) {
  placeholder_.reset();
  samples_ = &samples;
  if (samples.InputCount() != inputCount_) {
    inputCount_ = samples.InputCount();
    for (std::unique_ptr<TTuringEvaluator>& program : programs_)
      *program = TTuringEvaluator(instructionCount_, registerCount_, inputCount_);
  }
  Reset();
}

void TMovar::Reset() {
  generation_ = 0;
  memoSamples_ = nullptr;  // a set lent anew may sit where the old one did
  const std::uint64_t perProgram = 4 * static_cast<std::uint64_t>(std::max(instructionCount_, 0));
  DrawPrograms(
      0, populationSize_,
      [perProgram](std::int32_t i) { return perProgram * static_cast<std::uint64_t>(i); },
      [this](std::int32_t i, TRandomStream& random) { programs_[i]->RandomizeAll(random); });
  std::fill(errors_.begin(), errors_.end(), 0.0);
  threshold_ = InitialThreshold;
  fitness_.Prepare(*samples_, fitnessRule_);
  if (progressive_) {
    window_ = std::max(samples_->Count() / 10, std::min(minimumWindow_, samples_->Count()));
  }
}

std::int32_t TMovar::LastScored() const noexcept {
  return progressive_ ? window_ - 1 : samples_->Count() - 1;
}

double TMovar::Score(TTuringEvaluator& program, const TSampleData& samples, std::int32_t last,
                     double threshold) noexcept {
  double sum = 0;
  for (std::int32_t j = 0; j <= last; ++j) {
    const double prediction = samples.InputCount() == 1 ? program.Execute(samples.GetX(j))
                                                        : program.Execute(samples.Inputs(j));
    // An infinite difference makes the sum infinite, which ranks behind every finite error.
    const double difference =
        static_cast<double>(static_cast<long double>(prediction) - samples.GetY(j));
    sum = static_cast<double>(static_cast<long double>(sum) + std::fabs(difference));
    if (sum > threshold) break;
  }
  return sum;
}

TTuringEvaluator TMovar::ScoredProgram(const TTuringEvaluator& program, std::int32_t last) const {
  if (linearScaling_) return WithLinearScaling(program, *samples_, last);
  return program;
}

double TMovar::ScoreProgram(TTuringEvaluator& program, std::int32_t last, double threshold) const {
  if (!fitness_.Active()) {
    if (!linearScaling_) return Score(program, *samples_, last, threshold);
    TTuringEvaluator scored = WithLinearScaling(program, *samples_, last);
    return Score(scored, *samples_, last, threshold);
  }
  const std::vector<double> predictions =
      ModelPredictions(ScoredProgram(program, last), *samples_, last + 1);
  std::int32_t summed = 0;
  return fitness_.Sum(predictions, *samples_, threshold, summed);
}

std::uint64_t TMovar::Interpreted() const noexcept {
  std::uint64_t total = 0;
  for (const TFastScorer& scorer : scorers_)
    total += scorer.Interpreted();
  return total;
}

std::uint64_t TMovar::StepsRun() const noexcept {
  std::uint64_t total = 0;
  for (const TFastScorer& scorer : scorers_)
    total += scorer.StepsRun();
  return total;
}

void TMovar::Evaluate() {
  EvaluateRange(0, populationSize_);
}

void TMovar::ScoreSlice(std::int32_t worker, std::int32_t first, std::int32_t last,
                        std::int32_t lastSample) {
  TFastScorer& scorer = scorers_[worker];
  TScoreMemo& memo = memos_[worker];
  memo.ClearFor(memoRound_);
  for (std::int32_t i = first; i < last; ++i) {
    scorer.Load(*programs_[i]);
    const TScoreMemo::TSteps steps(scorer.Steps());
    const std::uint64_t hash = TScoreMemo::Hash(steps);
    if (const TScoreMemo::TScore* known = memo.Find(steps, hash)) {
      errors_[i] = known->Error;
      scorer.CountScore(known->Scored);
      continue;
    }
    errors_[i] =
        linearScaling_ || fitness_.Active()
            ? scorer.ScoreCollected(*samples_, lastSample, threshold_, linearScaling_, fitness_)
            : scorer.Score(*samples_, lastSample, threshold_);
    memo.Add(steps, hash, {errors_[i], scorer.ScoredSamples()});
  }
}

void TMovar::PrepareMemos(std::int32_t first, std::int32_t lastSample) noexcept {
  const bool changed =
      samples_ != memoSamples_ || lastSample != memoLast_ ||
      std::bit_cast<std::uint64_t>(threshold_) != std::bit_cast<std::uint64_t>(memoThreshold_);
  // A new generation may come with the same cut-off and a set changed in place.
  if (first == 0 || changed) ++memoRound_;
  memoSamples_ = samples_;
  memoLast_ = lastSample;
  memoThreshold_ = threshold_;
}

void TMovar::EvaluateRange(std::int32_t first, std::int32_t last) {
  const std::int32_t lastSample = LastScored();
  PrepareMemos(first, lastSample);
  if (!pool_ || last - first < ParallelPrograms()) {
    ScoreSlice(0, first, last, lastSample);
    return;
  }
  ++parallelScorings_;
  // Chunks start on cache-line boundaries of the errors, so that two threads never write
  // to the same line; the first chunk takes the errors before the first boundary.
  constexpr std::size_t Line = 64;
  const auto misalignment = reinterpret_cast<std::uintptr_t>(errors_.data() + first) % Line;
  const auto lead = static_cast<std::int32_t>((Line - misalignment) % Line / sizeof(double));
  const std::int32_t base = first + lead - ParallelChunk;  // chunk 0 ends at first + lead
  TChunkSchedule chunks((last - base + ParallelChunk - 1) / ParallelChunk, pool_->Size());
  pool_->Run([&](std::int32_t worker) {
    for (std::int32_t chunk; (chunk = chunks.Next(worker)) >= 0;) {
      const std::int32_t begin = std::max(first, base + chunk * ParallelChunk);
      ScoreSlice(worker, begin, std::min(last, base + (chunk + 1) * ParallelChunk), lastSample);
    }
  });
}

std::int32_t TMovar::ParallelPrograms() const noexcept {
  const std::int64_t perProgram = std::max<std::int64_t>(
      static_cast<std::int64_t>(LastScored() + 1) * std::max(instructionCount_, 1), 1);
  return static_cast<std::int32_t>((ParallelWork + perProgram - 1) / perProgram);
}

void TMovar::SetThreads(std::int32_t threads) {
  if (threads <= 0) threads = static_cast<std::int32_t>(std::thread::hardware_concurrency());
  threads = std::max(threads, 1);
  pool_.reset();
  scorers_.resize(static_cast<std::size_t>(threads));
  memos_.resize(static_cast<std::size_t>(threads));
  if (threads > 1) pool_ = std::make_unique<TWorkerPool>(threads);
}

void TMovar::NextGeneration() {
  ++generation_;
  // Mutants' parents may be any program above the mutants' slots, so all of those are placed.
  Rank(mutantCount_ > 0 ? populationSize_ - mutantCount_ : crossCount_ + 1);
  if (mutantCount_ > 0) MakeMutants();
  threshold_ = errors_[0];
  clones_ = 0;
  errors_[0] = 0;
  if (progressive_ && threshold_ < WindowGrowthError) {
    window_ += samples_->Count() / 10;
    if (window_ > samples_->Count()) window_ = samples_->Count();
  }
  const long double cloneLimit = static_cast<long double>(CloneFactor) * threshold_;
  for (std::int32_t i = 1; i < populationSize_; ++i) {
    if (errors_[i] <= cloneLimit) ++clones_;
    errors_[i] = 0;
  }
  Breed();
}

std::uint64_t TMovar::DrawsBefore(std::int32_t i) const noexcept {
  // Program i's draws follow those of programs 1 .. i - 1: a crossing takes one draw per
  // instruction, a new program four.
  const auto perInstruction = static_cast<std::uint64_t>(std::max(instructionCount_, 0));
  const auto bred = static_cast<std::uint64_t>(std::max(i - 1, 0));
  const std::uint64_t crossed = std::min<std::uint64_t>(bred, std::max(crossCount_, 0));
  return perInstruction * (crossed + 4 * (bred - crossed));
}

template <typename Offset, typename Make>
void TMovar::DrawPrograms(std::int32_t first, std::int32_t end, Offset drawsBefore, Make make) {
  // Every program knows where its draws start, so threads can make programs side by side
  // and leave the random source exactly where making them one by one would.
  const std::uint32_t start = Seed();
  auto makeRange = [&](std::int32_t from, std::int32_t to) {
    TRandomStream random(SeedAfter(start, drawsBefore(from)));
    for (std::int32_t i = from; i < to; ++i)
      make(i, random);
  };
  const std::uint64_t draws = drawsBefore(std::max(first, end));
  if (!pool_ || draws - drawsBefore(first) < ParallelDraws) {
    makeRange(first, end);
  } else {
    // The same shares as scoring's, so that a program is mostly scored where it was made.
    TChunkSchedule chunks((end - first + DrawChunk - 1) / DrawChunk, pool_->Size());
    pool_->Run([&](std::int32_t worker) {
      for (std::int32_t chunk; (chunk = chunks.Next(worker)) >= 0;) {
        const std::int32_t begin = first + chunk * DrawChunk;
        makeRange(begin, std::min(end, begin + DrawChunk));
      }
    });
  }
  SetSeed(SeedAfter(start, draws));
}

void TMovar::MakeMutants() {
  // On the calling thread, before breeding draws: the parents are ranked programs that
  // breeding has yet to overwrite, and the draws are the same for every thread count.
  const std::int32_t parents = populationSize_ - mutantCount_;
  const std::span<const double> ranked(errors_.data(), static_cast<std::size_t>(parents));
  TRandomStream random(Seed());
  for (std::int32_t i = parents; i < populationSize_; ++i) {
    *programs_[i] = *programs_[Tournament(ranked, TournamentSize, random)];
    MutatePoint(*programs_[i], random);
  }
  SetSeed(random.Seed());
}

void TMovar::Breed() {
  DrawPrograms(
      1, populationSize_ - mutantCount_, [this](std::int32_t i) { return DrawsBefore(i); },
      [this](std::int32_t i, TRandomStream& random) {
        if (i <= crossCount_) {
          programs_[i]->CrossWith(*programs_[0], random);
        } else {
          programs_[i]->RandomizeAll(random);
        }
      });
}

void TMovar::SortByError() {
  Rank(populationSize_);
}

void TMovar::Rank(std::int32_t placed) {
  // The exchange sort's exact order on indices; the programs follow their errors.
  if (populationSize_ < 2) return;
  order_.resize(programs_.size());
  for (std::int32_t i = 0; i < populationSize_; ++i)
    order_[i] = i;
  TErrorRanking::Sort(errors_.data(), order_.data(), populationSize_, pool_.get());
  placed = std::clamp(placed, 1, populationSize_);
  ranked_.resize(programs_.size());
  for (std::int32_t i = 0; i < placed; ++i)
    ranked_[i] = std::move(programs_[order_[i]]);
  // Programs below the placed ones are about to be drawn anew, so what each slot holds does
  // not matter. Slots keep their own program where they can, so that breeding writes memory
  // the same thread scored last generation; the programs left over fill the slots emptied.
  std::int32_t spare = 0;
  for (std::int32_t i = placed; i < populationSize_; ++i) {
    if (programs_[i]) continue;
    while (!programs_[spare])
      ++spare;
    programs_[i] = std::move(programs_[spare++]);
  }
  for (std::int32_t i = 0; i < placed; ++i)
    programs_[i] = std::move(ranked_[i]);
}

void TMovar::CrossFromBest(std::int32_t donor, std::int32_t receiver) {
  programs_[receiver]->CrossWith(*programs_[donor]);
}

void TMovar::Regenerate(std::int32_t i) {
  programs_[i]->RandomizeAll();
}

void TMovar::SetCrossRate(double rate) noexcept {
  if (!(rate >= 0)) rate = 0;
  if (rate > 1) rate = 1;
  crossRate_ = rate;
  crossCount_ = static_cast<std::int32_t>(populationSize_ * crossRate_);
  CountMutants();
}

void TMovar::SetPointMutations(std::int32_t percent) noexcept {
  mutationPercent_ = std::clamp(percent, 0, 100);
  CountMutants();
}

void TMovar::CountMutants() noexcept {
  const std::int64_t drawn = std::max(populationSize_ - 1 - crossCount_, 0);
  mutantCount_ = static_cast<std::int32_t>(drawn * mutationPercent_ / 100);
}
