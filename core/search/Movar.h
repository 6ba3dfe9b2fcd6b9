#pragma once
// TMovar: the population search. It scores a population of register programs against
// a lent sample set, keeps the best at index 0, crosses the runners-up with it and
// replaces the rest by random programs, or a share of them by point mutations of programs
// won in tournaments.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/scoring/ErrorRanking.h"
#include "core/scoring/FastScorer.h"
#include "core/scoring/MarginFitness.h"
#include "core/scoring/ScoreMemo.h"
#include "core/model/SD.h"
#include "core/model/TE.h"
#include "core/scoring/WorkerPool.h"

class TMovar {
 public:
  TMovar(std::int32_t instructionCount, std::int32_t populationSize, std::int32_t registerCount);
  ~TMovar();
  TMovar(const TMovar&) = delete;
  TMovar& operator=(const TMovar&) = delete;

  // Lends the set; it must outlive the search and stay unchanged while it scores. A set
  // of another input count makes the programs anew for its inputs.
  void SetSamples(const TSampleData& samples);
  void Reset();
  void Evaluate();
  // Scores programs first .. last - 1 only; Evaluate is EvaluateRange over all of them.
  // Scoring draws nothing and the cut-off is fixed, so slices give the same errors.
  void EvaluateRange(std::int32_t first, std::int32_t last);
  // The fewest programs that EvaluateRange shares among the threads; below, waking them
  // costs more than it saves.
  [[nodiscard]] std::int32_t ParallelPrograms() const noexcept;
  // Calls of EvaluateRange that the threads shared.
  [[nodiscard]] std::int64_t ParallelScorings() const noexcept { return parallelScorings_; }
  void NextGeneration();
  void SortByError();

  // Threads that score a generation, the caller included; 0 or less: every core. The
  // errors are the same for every count.
  void SetThreads(std::int32_t threads);
  [[nodiscard]] std::int32_t Threads() const noexcept {
    return static_cast<std::int32_t>(scorers_.size());
  }

  [[nodiscard]] TTuringEvaluator& GetProgram(std::int32_t i) noexcept { return *programs_[i]; }
  [[nodiscard]] const TTuringEvaluator& GetProgram(std::int32_t i) const noexcept {
    return *programs_[i];
  }
  [[nodiscard]] double GetError(std::int32_t i) const noexcept { return errors_[i]; }
  void SetError(std::int32_t i, double error) noexcept { errors_[i] = error; }
  void CrossFromBest(std::int32_t donor, std::int32_t receiver);
  void Regenerate(std::int32_t i);
  void SetCrossRate(double rate) noexcept;
  // Percent (0 .. 100) of the programs that breeding would draw anew that are instead point
  // mutations (see PointMutation.h) of tournament winners among the other ranked programs.
  void SetPointMutations(std::int32_t percent) noexcept;
  [[nodiscard]] std::int32_t PointMutations() const noexcept { return mutationPercent_; }
  // Programs of the last slots that each generation makes by point mutation.
  [[nodiscard]] std::int32_t MutantCount() const noexcept { return mutantCount_; }

  [[nodiscard]] const TSampleData& Samples() const noexcept { return *samples_; }
  [[nodiscard]] double Threshold() const noexcept { return threshold_; }
  [[nodiscard]] double CrossRate() const noexcept { return crossRate_; }
  [[nodiscard]] std::int32_t CrossCount() const noexcept { return crossCount_; }
  [[nodiscard]] std::int32_t Window() const noexcept { return window_; }
  [[nodiscard]] std::int32_t InstructionCount() const noexcept { return instructionCount_; }
  [[nodiscard]] std::int32_t PopulationSize() const noexcept { return populationSize_; }
  // The count given; each program has at least one register for each input.
  [[nodiscard]] std::int32_t RegisterCount() const noexcept { return registerCount_; }
  [[nodiscard]] std::int32_t InputCount() const noexcept { return inputCount_; }
  [[nodiscard]] std::int32_t Generation() const noexcept { return generation_; }
  [[nodiscard]] std::int32_t Clones() const noexcept { return clones_; }
  [[nodiscard]] bool Progressive() const noexcept { return progressive_; }
  void SetProgressive(bool progressive) noexcept { progressive_ = progressive; }
  // The progressive window starts with at least this many samples (or all of them); 0
  // keeps the first tenth alone. Takes effect at the next Reset.
  void SetMinimumWindow(std::int32_t samples) noexcept { minimumWindow_ = samples; }
  [[nodiscard]] std::int32_t MinimumWindow() const noexcept { return minimumWindow_; }

  // Each program is scored with the least-squares a·f + b over the samples scored (see
  // LinearScaling.h); the program itself stays as bred.
  void SetLinearScaling(bool scaling) noexcept { linearScaling_ = scaling; }
  [[nodiscard]] bool LinearScaling() const noexcept { return linearScaling_; }
  // How programs rank beside their error (see MarginFitness.h). Takes effect at the next
  // Reset, under the set's margin at that time.
  void SetFitnessRule(TFitnessRule rule) noexcept { fitnessRule_ = rule; }
  [[nodiscard]] const TMarginFitness& Fitness() const noexcept { return fitness_; }
  // The program as this search scores it on samples 0 .. last: WithLinearScaling's program
  // with linear scaling, else the program itself.
  [[nodiscard]] TTuringEvaluator ScoredProgram(const TTuringEvaluator& program,
                                               std::int32_t last) const;
  // The fitness of ScoredProgram, as the scorers find it.
  [[nodiscard]] double ScoreProgram(TTuringEvaluator& program, std::int32_t last,
                                    double threshold) const;

  // Interpreted instructions of every Evaluate so far (see TFastScorer::Interpreted).
  [[nodiscard]] std::uint64_t Interpreted() const noexcept;
  // Residual steps the scorers ran (see TFastScorer::StepsRun).
  [[nodiscard]] std::uint64_t StepsRun() const noexcept;

  // Index of the last sample scored: the progressive window or the whole set.
  [[nodiscard]] std::int32_t LastScored() const noexcept;

  // The error of one program on samples 0 .. last, cut off above threshold.
  [[nodiscard]] static double Score(TTuringEvaluator& program, const TSampleData& samples,
                                    std::int32_t last, double threshold) noexcept;

 private:
  // Ranks the errors and puts the programs of ranks 0 .. placed - 1 in those slots; the
  // other slots hold the remaining programs in no particular order.
  void Rank(std::int32_t placed);
  // Crosses programs 1 .. CrossCount with the best and replaces the rest.
  void Breed();
  // Fills the last MutantCount slots with point mutations of tournament winners among the
  // ranked programs before them.
  void MakeMutants();
  // Calls make(i, stream) for programs first .. end - 1, each stream starting drawsBefore(i)
  // draws after the random source's state.
  template <typename Offset, typename Make>
  void DrawPrograms(std::int32_t first, std::int32_t end, Offset drawsBefore, Make make);
  void CountMutants() noexcept;
  // Draws that breeding makes before it reaches program i (i >= 1).
  [[nodiscard]] std::uint64_t DrawsBefore(std::int32_t i) const noexcept;

  std::vector<std::unique_ptr<TTuringEvaluator>> programs_;
  std::vector<double> errors_;
  std::vector<std::int32_t> order_;
  std::vector<std::unique_ptr<TTuringEvaluator>> ranked_;
  std::vector<TFastScorer> scorers_ = std::vector<TFastScorer>(1);  // one per thread
  std::vector<TScoreMemo> memos_ = std::vector<TScoreMemo>(1);      // one per thread
  // What the memos' scores were formed with.
  const TSampleData* memoSamples_ = nullptr;
  std::int32_t memoLast_ = -1;
  double memoThreshold_ = 0;
  std::uint64_t memoRound_ = 1;  // memos cleared for an older round forget their scores
  std::unique_ptr<TWorkerPool> pool_;
  double threshold_ = InitialThreshold;
  std::unique_ptr<TSampleData> placeholder_;
  const TSampleData* samples_ = nullptr;
  double crossRate_ = 0;
  std::int32_t crossCount_ = 0;
  std::int32_t mutationPercent_ = 0;
  std::int32_t mutantCount_ = 0;
  std::int32_t window_ = 0;
  std::int32_t instructionCount_;
  std::int32_t populationSize_;
  std::int32_t registerCount_;
  std::int32_t inputCount_ = 1;
  std::int32_t generation_ = 0;
  std::int32_t clones_ = 0;
  std::int32_t minimumWindow_ = 0;
  std::int64_t parallelScorings_ = 0;
  bool progressive_ = true;
  bool linearScaling_ = false;
  TFitnessRule fitnessRule_;
  TMarginFitness fitness_;

  void ScoreSlice(std::int32_t worker, std::int32_t first, std::int32_t last,
                  std::int32_t lastSample);
  // Starts a new round of remembered scores when a new generation starts or what they were
  // formed with has changed.
  void PrepareMemos(std::int32_t first, std::int32_t lastSample) noexcept;

  static constexpr double InitialThreshold = 9999999999.0;
};
