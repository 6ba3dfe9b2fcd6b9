#include "restart/RestartSearch.h"

#include <algorithm>
#include <array>
#include <exception>
#include <thread>

#include "restart/AttemptSeed.h"
#include "restart/Luby.h"
#include "restart/ProgramWire.h"
#include "restart/AttemptKind.h"
#include "core/model/Random.h"
#include "core/search/SearchMemory.h"
#include "core/search/ShortPrograms.h"

namespace {

using Clock = std::chrono::steady_clock;

// The short programs in a few attempts. Up to four instructions run second, beside attempt 0
// on two threads, so a problem the first search solves does not wait for them; five run ninth,
// after the searches that solve most problems, where there are few enough of them to try (two
// registers: 3e7). Where there are more, with three inputs or more, those that read every input
// run in four parts from the ninth attempt on, side by side on as many threads. Each attempt's
// work is counted in instructions run on the probe samples.
// With linear scaling and a register to spare, attempt 12 tries those of 2 to 4 that load a
// constant first.
constexpr std::array<TShortProgramPass, 6> ShortProgramPasses{{{1, 1, 4},
                                                               {8, 5, 5},
                                                               {9, 5, 5, false, 1},
                                                               {10, 5, 5, false, 2},
                                                               {11, 5, 5, false, 3},
                                                               {12, 2, 4, false, 0, 1, true}}};
constexpr double ShortProgramLimit = 1e8;
// Under a second; a part of those that read every input, a few seconds.
constexpr std::int64_t ShortProgramBudget = 40'000'000;
constexpr std::int64_t EveryInputBudget = 100'000'000;
constexpr std::int32_t EveryInputParts = 4;
constexpr std::int32_t EveryInputFrom = 3;

// How often the caller's thread passes on what the attempts found and looks for a stop.
constexpr std::chrono::milliseconds ReportInterval{20};

TAttemptOutcome KeyOf(const TModelUpdate& update) {
  TAttemptOutcome key;
  key.Attempt = update.Attempt;
  key.Matched = update.Matches == update.SampleCount;
  key.Matches = update.Matches;
  key.Error = update.Error;
  return key;
}

}  // namespace

bool ApplySetting(TRestartParameters& restart, const TSearchSetting& setting,
                  std::int64_t value) noexcept {
  if (&setting == &RestartUnitSetting) {
    restart.Unit = value;
  } else if (&setting == &AttemptsSetting) {
    restart.AttemptLimit = value;
  } else if (&setting == &SizeLadderSetting) {
    restart.SizeLadder = value != 0;
  } else if (&setting == &UnscaledAttemptsSetting) {
    restart.UnscaledAttempts = value != 0;
  } else if (&setting == &ShortProgramsSetting) {
    restart.ShortPrograms = value != 0;
  } else {
    return false;
  }
  return true;
}

TRestartSearch::TRestartSearch(TSampleData& samples, const TSearchParameters& parameters,
                               const TRestartParameters& restart, TAttemptCoordinator& coordinator)
    : samples_(samples),
      parameters_(parameters),
      restart_(restart),
      coordinator_(coordinator),
      firstSeed_(parameters.Seed.value_or(ClockSeed())) {
  samples_.SetMargin(parameters_.Margin());
  next_ = coordinator_.First();
  // Every thread runs a search of its own, and each may be at the largest size: refuse at
  // once what they cannot all hold.
  const TSearchParameters largest =
      restart_.SizeLadder ? LadderSizes(parameters_, samples_.InputCount(), LadderLevels - 1)
                          : parameters_;
  CheckSearchMemory(
      {largest.PopulationSize, largest.InstructionCount,
       SearchRegisters(largest.RegisterCount, samples_.InputCount()), samples_.Count()},
      1, MemoryLimit(), ThreadCount());
}

std::int32_t TRestartSearch::ThreadCount() const noexcept {
  return parameters_.Threads > 0
             ? parameters_.Threads
             : std::max(1, static_cast<std::int32_t>(std::thread::hardware_concurrency()));
}

std::optional<TShortProgramPass> TRestartSearch::ShortProgramPass(
    std::int64_t attempt) const noexcept {
  if (!restart_.ShortPrograms) return std::nullopt;
  const std::int32_t registers = SearchRegisters(parameters_.RegisterCount, samples_.InputCount());
  for (TShortProgramPass pass : ShortProgramPasses) {
    if (pass.Attempt != attempt) continue;
    // No longer than the programs of the search, and only lengths there is time to try.
    pass.MaxLength = std::min(pass.MaxLength, parameters_.InstructionCount);
    if (pass.MinLength > pass.MaxLength) return std::nullopt;
    if (pass.Constant) {
      if (!parameters_.LinearScaling || registers <= samples_.InputCount()) return std::nullopt;
      return pass;
    }
    if (pass.MinLength == 1 ||
        TShortPrograms::Programs(registers, pass.MinLength) <= ShortProgramLimit)
      return pass.Part == 0 ? std::optional(pass) : std::nullopt;
    // Too many to try them all; with three inputs or more, those that read every input are
    // few enough.
    if (samples_.InputCount() < EveryInputFrom) return std::nullopt;
    pass.EveryInput = true;
    pass.Parts = EveryInputParts;
    return pass;
  }
  return std::nullopt;
}

bool TRestartSearch::IsShortProgramAttempt(std::int64_t attempt) const noexcept {
  return ShortProgramPass(attempt).has_value();
}

std::int64_t TRestartSearch::SearchIndex(std::int64_t attempt) const noexcept {
  std::int64_t index = attempt;
  for (const TShortProgramPass& pass : ShortProgramPasses) {
    if (pass.Attempt < attempt && IsShortProgramAttempt(pass.Attempt)) --index;
  }
  return index;
}

TAttemptKind TRestartSearch::Kind(std::int64_t attempt) const noexcept {
  return AttemptKind(SearchIndex(attempt), restart_.SizeLadder,
                     restart_.UnscaledAttempts && parameters_.LinearScaling);
}

std::int32_t TRestartSearch::AttemptLength(std::int64_t attempt) const noexcept {
  const TAttemptKind kind = Kind(attempt);
  const std::int64_t units = Luby(kind.Step);
  std::int64_t unit = std::max<std::int64_t>(restart_.Unit, 1);
  if (kind.Level > 0) {
    const TSearchParameters sizes = LadderSizes(parameters_, samples_.InputCount(), kind.Level);
    unit = LadderUnit(unit, parameters_.PopulationSize, sizes.PopulationSize);
  }
  return static_cast<std::int32_t>(std::min<std::int64_t>(units, INT32_MAX / unit) * unit);
}

TSearchParameters TRestartSearch::AttemptParameters(std::int64_t attempt) const noexcept {
  const TAttemptKind kind = Kind(attempt);
  TSearchParameters parameters = LadderSizes(parameters_, samples_.InputCount(), kind.Level);
  if (kind.Unscaled) parameters.LinearScaling = false;
  parameters.Seed = AttemptSeed(firstSeed_, SearchIndex(attempt));
  parameters.GenerationLimit = AttemptLength(attempt);
  parameters.Threads = 1;
  parameters.TimeLimit = std::chrono::milliseconds(0);
  return parameters;
}

std::int64_t TRestartSearch::Horizon() const noexcept {
  const std::int64_t limit =
      restart_.AttemptLimit > 0 ? restart_.AttemptLimit : TAttemptState::None;
  return std::min(lowestMatch_.load(), limit);
}

bool TRestartSearch::TakeAttempt(std::int64_t& attempt) {
  std::lock_guard lock(mutex_);
  if (stop_ || next_ >= Horizon()) return false;
  attempt = next_;
  next_ += coordinator_.Stride();
  running_.push_back(attempt);
  return true;
}

std::int64_t TRestartSearch::LowestUnfinished() const {
  std::lock_guard lock(mutex_);
  std::int64_t lowest = stop_ || next_ >= Horizon() ? TAttemptState::None : next_;
  for (const std::int64_t attempt : running_)
    lowest = std::min(lowest, attempt);
  return lowest;
}

void TRestartSearch::Post(TEvent event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  changed_.notify_one();
}

bool TRestartSearch::Offer(const TModelUpdate& update, TModelUpdate& shown,
                           TAttemptOutcome& shownKey, TReports reports) {
  const TAttemptOutcome key = KeyOf(update);
  const bool better = IsBetter(key, shownKey);
  if (better) {
    shown = update;
    shownKey = key;
  }
  if (!better && !reports.Found) return better;
  std::unique_lock lock(mutex_);
  if (reports.Found) events_.push_back(TFound{update});
  if (better && IsBetter(key, posted_)) {
    posted_ = key;
    events_.push_back(update);
  }
  lock.unlock();
  changed_.notify_one();
  return better;
}

void TRestartSearch::End(TAttemptOutcome outcome, const TAttemptOutcome& shownKey,
                         TModelUpdate shown) {
  // An attempt that showed nothing (stopped before its first generation, or short programs
  // that found none) keeps no matches and an infinite error: it never answers for another.
  if (shownKey.Attempt >= 0) {
    outcome.Matched = shownKey.Matched;
    outcome.Matches = shown.Matches;
    outcome.Error = shown.Error;
    outcome.Lines = shown.Lines;
    outcome.Model = shown.Model;
  }
  {
    std::lock_guard lock(mutex_);
    running_.erase(std::find(running_.begin(), running_.end(), outcome.Attempt));
    if (outcome.Attempt <= lowestMatch_) {
      if (outcome.Matched) lowestMatch_ = std::min(lowestMatch_.load(), outcome.Attempt);
      if (IsBetter(outcome, best_)) {
        best_ = outcome;
        bestShown_ = std::move(shown);
      }
      events_.push_back(TEnded{std::move(outcome), {}});
    }
  }
  changed_.notify_one();
}

void TRestartSearch::RunAttempt(std::int64_t attempt, TReports reports) {
  if (IsShortProgramAttempt(attempt)) {
    RunShortPrograms(attempt, reports);
    return;
  }
  const TSearchParameters parameters = AttemptParameters(attempt);
  TSearchRun run(samples_, parameters, std::chrono::steady_clock::now(),
                 static_cast<std::int32_t>(attempt));

  // The attempt's best model: its search ranks by the error on the scored window, which
  // may prefer a model that matches fewer samples.
  TModelUpdate shown;
  TAttemptOutcome shownKey;
  TSearchObserver observer;
  observer.ModelChanged = [&](const TModelUpdate& update) {
    Offer(update, shown, shownKey, reports);
  };
  if (reports.Progress) observer.Progress = [&](const TSearchProgress& point) { Post(point); };
  observer.GenerationDone = [&](std::int32_t, std::chrono::milliseconds) { ++generations_; };
  // Attempts above a match are abandoned; those below it finish.
  observer.StopRequested = [&] { return stop_.load() || attempt > lowestMatch_.load(); };
  const TSearchResult result = run.Run(observer);

  TAttemptOutcome outcome;
  outcome.Attempt = attempt;
  outcome.Seed = run.StartSeed();
  outcome.Generations = result.Generations;
  End(std::move(outcome), shownKey, std::move(shown));
}

void TRestartSearch::RunShortPrograms(std::int64_t attempt, TReports reports) {
  const TShortProgramPass pass = *ShortProgramPass(attempt);
  TShortProgramLimits limits;
  limits.Registers = SearchRegisters(parameters_.RegisterCount, samples_.InputCount());
  limits.MinLength = pass.MinLength;
  limits.MaxLength = pass.MaxLength;
  limits.Budget = pass.EveryInput ? EveryInputBudget : ShortProgramBudget;
  limits.LinearScaling = parameters_.LinearScaling;
  limits.MarginLine = parameters_.MarginLine;
  limits.EveryInput = pass.EveryInput;
  limits.Part = pass.Part;
  limits.Parts = pass.Parts;
  limits.Constant = pass.Constant;
  TShortPrograms programs(samples_, limits);
  const TShortProgramResult found =
      programs.Find([&] { return stop_.load() || attempt > lowestMatch_.load(); });

  TModelUpdate shown;
  TAttemptOutcome shownKey;
  if (found.Model) {
    TModelUpdate update = ShowProgram(*found.Model, samples_, 0);
    update.Attempt = static_cast<std::int32_t>(attempt);
    update.ShortProgram = true;
    Offer(update, shown, shownKey, reports);
  }
  TAttemptOutcome outcome;
  outcome.Attempt = attempt;
  End(std::move(outcome), shownKey, std::move(shown));
}

void TRestartSearch::Work(TReports reports) {
  std::int64_t attempt = 0;
  while (TakeAttempt(attempt))
    RunAttempt(attempt, reports);
}

TRestartResult TRestartSearch::Run(const TRestartObserver& observer) {
  const Clock::time_point start = Clock::now();
  const std::int32_t threads = ThreadCount();
  std::exception_ptr failure;
  std::vector<std::thread> workers;
  working_ = threads;
  for (std::int32_t t = 0; t < threads; ++t) {
    const TReports reports{static_cast<bool>(observer.Progress),
                           static_cast<bool>(observer.ModelFound)};
    workers.emplace_back([this, &failure, reports] {
      try {
        Work(reports);
      } catch (...) {
        std::lock_guard lock(mutex_);
        if (!failure) failure = std::current_exception();
        stop_ = true;
        running_.clear();
      }
      std::lock_guard lock(mutex_);
      --working_;
      changed_.notify_one();
    });
  }

  std::vector<TEvent> events;
  TAttemptOutcome shownKey;
  bool stopRequested = false;
  bool userStop = false;  // by this process's caller, not by the time limit
  bool stopped = false;   // by a request of any rank
  auto deliver = [&] {
    for (TEvent& event : events) {
      if (auto* update = std::get_if<TModelUpdate>(&event)) {
        shownKey = KeyOf(*update);
        if (observer.ModelChanged) observer.ModelChanged(*update);
      } else if (auto* point = std::get_if<TSearchProgress>(&event)) {
        if (observer.Progress) observer.Progress(*point);
      } else if (auto* ended = std::get_if<TEnded>(&event)) {
        if (observer.AttemptEnded) observer.AttemptEnded(ended->Outcome);
      } else if (auto* found = std::get_if<TFound>(&event)) {
        observer.ModelFound(found->Update);
      }
    }
    events.clear();
  };
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, ReportInterval, [&] { return !events_.empty() || working_ == 0; });
      events.swap(events_);
    }
    deliver();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (observer.GenerationDone) {
      observer.GenerationDone(
          static_cast<std::int32_t>(std::min<std::int64_t>(generations_, INT32_MAX)), elapsed);
    }
    if (observer.Pump) observer.Pump();
    if (observer.StopRequested && observer.StopRequested()) stopRequested = userStop = true;
    if (parameters_.TimeLimit.count() > 0 && elapsed >= parameters_.TimeLimit) stopRequested = true;

    const TAttemptState global =
        coordinator_.Exchange({lowestMatch_.load(), LowestUnfinished(), stopRequested});
    if (global.LowestMatch < lowestMatch_) {
      std::lock_guard lock(mutex_);
      lowestMatch_ = std::min(lowestMatch_.load(), global.LowestMatch);
    }
    if (global.Stop) stop_ = stopped = true;
    const std::int64_t limit =
        restart_.AttemptLimit > 0 ? restart_.AttemptLimit : TAttemptState::None;
    if (global.LowestUnfinished >= std::min(global.LowestMatch, limit)) break;
  }
  // What still runs is above the answer.
  stop_ = true;
  for (std::thread& worker : workers)
    worker.join();
  events.swap(events_);
  deliver();
  if (failure) std::rethrow_exception(failure);
  // The loop may have looked before the answer's own generations were counted.
  if (observer.GenerationDone) {
    observer.GenerationDone(
        static_cast<std::int32_t>(std::min<std::int64_t>(generations_, INT32_MAX)),
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start));
  }

  TRestartResult result;
  TAttemptOutcome local = best_;
  if (local.Model) local.Program = PackProgram(*local.Model);
  result.Answer = coordinator_.Settle(local);
  // Found by another process of an MPI job: the program came as bytes.
  if (!result.Answer.Model && !result.Answer.Program.empty())
    result.Answer.Model = UnpackProgram(result.Answer.Program);
  if (result.Answer.Matched) {
    result.End = TSearchEnd::Matched;
  } else if (!stopped && restart_.AttemptLimit > 0) {
    result.End = TSearchEnd::AttemptLimit;
  } else if (!userStop && parameters_.TimeLimit.count() > 0) {
    // This process's limit, or another rank's with the same time limit, stopped every rank.
    result.End = TSearchEnd::TimeLimit;
  }
  result.TotalGenerations = generations_;
  result.Elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  // The answer is the lowest match, which may not be the best model shown on the way.
  const TAttemptOutcome answerKey = KeyOf(bestShown_);
  if (result.Answer.Attempt == best_.Attempt && best_.Attempt >= 0 && observer.ModelChanged &&
      (answerKey.Attempt != shownKey.Attempt || answerKey.Error != shownKey.Error ||
       answerKey.Matches != shownKey.Matches)) {
    observer.ModelChanged(bestShown_);
  }
  return result;
}
