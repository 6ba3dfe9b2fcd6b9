#pragma once
// TRestartSearch: a run made of attempts. Attempt k is a complete population search on
// the same samples and parameters, limited to Luby(k) units of generations and started
// from AttemptSeed(first seed, k). Attempts run side by side, one on each thread, each
// scored on its own thread; the answer is the matching attempt with the lowest index,
// so the answer is the same for every number of threads and processes.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

#include "restart/AttemptCoordinator.h"
#include "restart/AttemptKind.h"
#include "restart/AttemptOutcome.h"
#include "core/search/SearchRun.h"

// What restarts add to the search's parameters. The search's threads are the attempts run
// side by side, and its time limit ends the whole run.
struct TRestartParameters {
  std::int64_t Unit = RestartUnitSetting.Default;  // generations in one unit of the Luby sequence
  std::int64_t AttemptLimit = AttemptsSetting.Default;  // 0: no limit
  bool SizeLadder = SizeLadderSetting.Default != 0;     // attempts of three sizes (SizeLadder.h)
  // With linear scaling, every second attempt without it (AttemptKind.h).
  bool UnscaledAttempts = UnscaledAttemptsSetting.Default != 0;
  // Attempts 1 and 8 (to 11) try every short program instead of searching (ShortPrograms.h).
  bool ShortPrograms = ShortProgramsSetting.Default != 0;

  [[nodiscard]] bool operator==(const TRestartParameters&) const = default;
};

// Sets the field that holds the setting to value, which lies in the setting's range; false
// for a setting that is not one of the restarts' own.
bool ApplySetting(TRestartParameters& restart, const TSearchSetting& setting,
                  std::int64_t value) noexcept;

// An attempt that tries every program of MinLength to MaxLength instructions.
struct TShortProgramPass {
  std::int64_t Attempt = 0;
  std::int32_t MinLength = 1;
  std::int32_t MaxLength = 1;
  bool EveryInput = false;  // only programs whose result reads every input
  std::int32_t Part = 0;    // of Parts, which run as attempts side by side
  std::int32_t Parts = 1;
  bool Constant = false;  // the first instruction loads a constant into a spare register
};

struct TRestartObserver : TSearchObserver {
  // Each attempt that ends, in the order they end.
  std::function<void(const TAttemptOutcome&)> AttemptEnded;
};

struct TRestartResult {
  TAttemptOutcome Answer;  // the lowest matching attempt, or the best of all
  TSearchEnd End = TSearchEnd::Stopped;
  std::int64_t TotalGenerations = 0;
  std::chrono::milliseconds Elapsed{0};
};

class TRestartSearch {
 public:
  // The attempts' samples are lent for the run; their margin is set here, once. Attempt 0
  // starts from the parameters' seed, or from the clock when they name none.
  TRestartSearch(TSampleData& samples, const TSearchParameters& parameters,
                 const TRestartParameters& restart, TAttemptCoordinator& coordinator);

  // Runs on the caller's thread, which gets every observer call; the attempts run on
  // threads of their own until the answer is settled.
  TRestartResult Run(const TRestartObserver& observer);

  // The lengths attempt k tries when it tries every short program instead of searching. Such
  // an attempt has no seed, and the searches are numbered around it.
  [[nodiscard]] std::optional<TShortProgramPass> ShortProgramPass(
      std::int64_t attempt) const noexcept;
  [[nodiscard]] bool IsShortProgramAttempt(std::int64_t attempt) const noexcept;

  // The size level, scaling and place in its Luby sequence of attempt k.
  [[nodiscard]] TAttemptKind Kind(std::int64_t attempt) const noexcept;

  // The generation limit of attempt k.
  [[nodiscard]] std::int32_t AttemptLength(std::int64_t attempt) const noexcept;
  // What attempt k runs as a plain search: its seed, sizes and generation limit, on one
  // thread and without a time limit. Run on the same samples, it gives the attempt's model.
  [[nodiscard]] TSearchParameters AttemptParameters(std::int64_t attempt) const noexcept;
  // The seed of attempt 0, from which every other attempt's seed is derived.
  [[nodiscard]] std::uint32_t FirstSeed() const noexcept { return firstSeed_; }
  // Attempts that run side by side.
  [[nodiscard]] std::int32_t ThreadCount() const noexcept;

 private:
  struct TEnded {
    TAttemptOutcome Outcome;
    TModelUpdate Shown;
  };
  struct TFound {
    TModelUpdate Update;
  };
  using TEvent = std::variant<TModelUpdate, TSearchProgress, TEnded, TFound>;
  // What the caller's observer takes besides the best models and the ended attempts.
  struct TReports {
    bool Progress = false;
    bool Found = false;
  };

  void Work(TReports reports);
  [[nodiscard]] bool TakeAttempt(std::int64_t& attempt);
  void RunAttempt(std::int64_t attempt, TReports reports);
  void RunShortPrograms(std::int64_t attempt, TReports reports);
  // Passes a model an attempt found on to the caller when it beats what the attempt and the
  // run have shown; true when it is the attempt's best.
  bool Offer(const TModelUpdate& update, TModelUpdate& shown, TAttemptOutcome& shownKey,
             TReports reports);
  // Records an attempt's end with the best model it showed.
  void End(TAttemptOutcome outcome, const TAttemptOutcome& shownKey, TModelUpdate shown);
  // The place of a searching attempt among the searching attempts alone.
  [[nodiscard]] std::int64_t SearchIndex(std::int64_t attempt) const noexcept;
  void Post(TEvent event);
  [[nodiscard]] std::int64_t LowestUnfinished() const;
  // The limit below which attempts are still started: the lowest match or AttemptLimit.
  [[nodiscard]] std::int64_t Horizon() const noexcept;

  TSampleData& samples_;
  TSearchParameters parameters_;
  TRestartParameters restart_;
  TAttemptCoordinator& coordinator_;
  std::uint32_t firstSeed_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TEvent> events_;
  std::int64_t next_ = 0;  // the next attempt of this process to start
  std::vector<std::int64_t> running_;
  std::int32_t working_ = 0;  // threads that have not yet run out of attempts
  TAttemptOutcome best_;      // the best ended attempt of this process
  TModelUpdate bestShown_;    // and the model it showed
  TAttemptOutcome posted_;    // the best model posted to the caller so far
  std::atomic<std::int64_t> lowestMatch_{TAttemptState::None};
  std::atomic<bool> stop_{false};
  std::atomic<std::int64_t> generations_{0};
};
