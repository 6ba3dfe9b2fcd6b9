#include "core/search/SearchRun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>
#include <vector>

#include "core/model/DecimalSeparator.h"
#include "core/model/LinearScaling.h"
#include "core/model/Random.h"
#include "core/search/SearchMemory.h"

namespace {

using Clock = std::chrono::steady_clock;

// Salt of the refiner's stream, mixed with the search's start seed.
constexpr std::uint32_t RefinerSalt = 0x52454649u;
// Error evaluations one constant fit may make: enough for a few steps of the solver on a
// program near the answer, little beside the scoring of a generation.
constexpr std::int32_t FitEvaluations = 20;

// Programs scored between two looks at the clock while a generation is scored.
constexpr std::int32_t ScoringSlice = 16;
// With several threads, a slice holds this many times the least work worth sharing.
constexpr std::int32_t SharedSlices = 4;

std::string FormatMarginPercent(double margin) {
  char buffer[64];
  const long double percent = static_cast<long double>(margin) * 100;
  auto result = std::to_chars(buffer, buffer + sizeof buffer, percent, std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  if (const auto point = text.find('.'); point != std::string::npos)
    text[point] = DecimalSeparator();
  return text;
}

}  // namespace

std::vector<std::string> SplitSourceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::int32_t SearchRegisters(std::int32_t registerCount, std::int32_t inputCount) noexcept {
  return std::max(registerCount, inputCount);
}

std::optional<std::string> RegisterRaiseNote(std::int32_t registerCount, std::int32_t inputCount) {
  const std::int32_t given = std::clamp(registerCount, 1, MaxRegisters);
  const std::int32_t used = ProgramRegisters(registerCount, inputCount);
  if (used <= given) return std::nullopt;
  return "The samples have " + std::to_string(inputCount) + " inputs, so the search uses " +
         std::to_string(used) + " registers instead of " + std::to_string(given) + ".";
}

std::vector<std::string> ReportLines(std::int32_t matches, std::int32_t sampleCount, double margin,
                                     std::int32_t clones) {
  return {"// model correctness: " + std::to_string(matches) + " of " + std::to_string(sampleCount),
          "// margin of error: " + FormatMarginPercent(margin) + "%",
          "// model clones: " + std::to_string(clones)};
}

std::string SearchEndText(TSearchEnd end, std::int32_t matches, std::int32_t sampleCount) {
  const std::string matched = std::to_string(matches) + " of " + std::to_string(sampleCount) +
                              (sampleCount == 1 ? " sample" : " samples") + " matched";
  switch (end) {
    case TSearchEnd::Matched:
      return "every sample matched (" + std::to_string(sampleCount) + ")";
    case TSearchEnd::GenerationLimit:
      return "ended by the generation limit: " + matched;
    case TSearchEnd::TimeLimit:
      return "ended by the time limit: " + matched;
    case TSearchEnd::AttemptLimit:
      return "ended by the attempt limit: " + matched;
    case TSearchEnd::Stopped:
      break;
  }
  return "stopped: " + matched;
}

std::string FormatElapsed(std::chrono::milliseconds elapsed) {
  const long long ms = elapsed.count() < 0 ? 0 : elapsed.count();
  return std::to_string(ms / 3600000) + "h" + std::to_string(ms / 60000 % 60) + "m" +
         std::to_string(ms % 60000 / 1000) + "s";
}

TSearchRun::TSearchRun(TSampleData& samples, const TSearchParameters& parameters,
                       Clock::time_point started, std::int32_t attempt)
    : samples_(samples),
      parameters_(parameters),
      attempt_(attempt),
      startSeed_(parameters.Seed.value_or(ClockSeed())),
      started_(started) {
  CheckSearchMemory(Shape(), ScoringThreads(parameters.Threads), MemoryLimit());
  // The population's draws come from this thread's source.
  SetSeed(startSeed_);
  try {
    search_ = std::make_unique<TMovar>(parameters.InstructionCount, parameters.PopulationSize,
                                       parameters.RegisterCount);
    // Attempts on other threads share the set; only a change of margin writes to it.
    if (samples_.GetMargin() != parameters.Margin()) samples_.SetMargin(parameters.Margin());
    search_->SetProgressive(parameters.Progressive);
    search_->SetMinimumWindow(parameters.MinimumWindow);
    search_->SetLinearScaling(parameters.LinearScaling);
    search_->SetFitnessRule({parameters.RankByMatches, parameters.MarginWeights});
    search_->SetPointMutations(parameters.PointMutations);
    search_->SetThreads(parameters.Threads);
    search_->SetSamples(samples_);
    if (parameters.RefineTrials > 0) {
      // A stream of its own, so the population's draws are those of the plain search.
      refiner_ = std::make_unique<TRefiner>(MixSeed(startSeed_, RefinerSalt),
                                            parameters.RefineTrials, parameters.ScaledConstants);
    }
    if (parameters.ConstantFitting > 0) fitter_ = std::make_unique<TConstantFitter>(FitEvaluations);
  } catch (const std::bad_alloc&) {
    throw SearchOutOfMemory(Shape(), ScoringThreads(parameters.Threads));
  }
}

TSearchShape TSearchRun::Shape() const noexcept {
  return {parameters_.PopulationSize, parameters_.InstructionCount,
          SearchRegisters(parameters_.RegisterCount, samples_.InputCount()), samples_.Count()};
}

TSearchRun::~TSearchRun() = default;

void TSearchRun::ScoreGeneration(const TSearchObserver& observer, Clock::time_point& lastPump) {
  if (!observer.Pump) {
    search_->Evaluate();
    return;
  }
  const std::int32_t population = search_->PopulationSize();
  // A slice for every thread keeps the time between two looks at the clock the same. A
  // slice too small to share would leave all but one thread idle, and one just large
  // enough would spend a good part of its time handing out the work.
  const std::int32_t shared =
      search_->Threads() > 1 ? SharedSlices * search_->ParallelPrograms() : 0;
  const std::int32_t slice = std::max(ScoringSlice * search_->Threads(), shared);
  for (std::int32_t first = 0; first < population; first += slice) {
    search_->EvaluateRange(first, std::min(population, first + slice));
    if (Clock::now() - lastPump >= PumpInterval) {
      observer.Pump();
      lastPump = Clock::now();
    }
  }
}

TModelUpdate ShowProgram(TTuringEvaluator program, const TSampleData& samples,
                         std::int32_t clones) {
  TModelUpdate update;
  update.SampleCount = samples.Count();
  update.Predictions.reserve(static_cast<std::size_t>(samples.Count()));
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    const double prediction = program.Execute(samples.Inputs(i));
    if (samples.WithinMargin(i, prediction)) ++update.Matches;
    update.Predictions.push_back(prediction);
    update.Error = AddAbsoluteError(update.Error, prediction, samples.GetY(i));
  }
  update.Lines = ReportLines(update.Matches, update.SampleCount, samples.GetMargin(), clones);
  for (std::string& line : SplitSourceLines(program.EmitSource())) {
    update.Lines.push_back(std::move(line));
  }
  update.Model = std::move(program);
  return update;
}

TModelUpdate TSearchRun::Show(const TTuringEvaluator& shown) const {
  TModelUpdate update = ShowProgram(shown, samples_, search_->Clones());
  update.Attempt = attempt_;
  update.Seed = startSeed_;
  update.Generation = search_->Generation();
  return update;
}

TSearchResult TSearchRun::Run(const TSearchObserver& observer) {
  try {
    return RunGenerations(observer);
  } catch (const std::bad_alloc&) {
    throw SearchOutOfMemory(Shape(), search_->Threads());
  }
}

TSearchResult TSearchRun::RunGenerations(const TSearchObserver& observer) {
  const Clock::time_point start = started_;
  Clock::time_point lastPump = Clock::now();
  const TTuringEvaluator* shown = nullptr;
  TSearchResult result;
  result.Seed = startSeed_;
  std::int32_t matches = 0;
  bool stop = false;
  result.End = TSearchEnd::Stopped;
  while (!stop && !(observer.StopRequested && observer.StopRequested())) {
    ScoreGeneration(observer, lastPump);
    const bool refined = refiner_ && refiner_->Refine(*search_);
    // The window the best was scored on, before the next generation grows it.
    const std::int32_t scoredLast = search_->LastScored();
    const std::vector<const TTuringEvaluator*> fitted =
        fitter_ ? fitter_->FitBest(*search_, parameters_.ConstantFitting)
                : std::vector<const TTuringEvaluator*>{};
    search_->NextGeneration();
    const TTuringEvaluator& best = search_->GetProgram(0);
    const bool bestFitted = std::find(fitted.begin(), fitted.end(), &best) != fitted.end();
    // A refined best may be the same object as before, changed in place.
    if (&best != shown || refined || bestFitted) {
      shown = &best;
      TModelUpdate update = Show(search_->ScoredProgram(best, scoredLast));
      if (update.Matches != update.SampleCount && parameters_.LinearScaling &&
          parameters_.MarginLine) {
        if (const std::optional<TTuringEvaluator> lined = WithMarginLine(best, samples_))
          update = Show(*lined);
      }
      matches = update.Matches;
      result.Matches = update.Matches;
      result.Error = update.Error;
      result.Matched = update.Matches == update.SampleCount;
      if (observer.ModelFound) observer.ModelFound(update);
      if (observer.ModelChanged) observer.ModelChanged(update);
      result.Lines = std::move(update.Lines);
      result.Model = std::move(update.Model);
      stop = result.Matched;
    }
    result.Generations = search_->Generation();
    result.Elapsed = std::chrono::round<std::chrono::milliseconds>(Clock::now() - start);
    if (observer.Progress) {
      observer.Progress(TSearchProgress{attempt_, startSeed_, result.Generations,
                                        search_->Threshold(), matches, result.Elapsed});
    }
    if (observer.GenerationDone) observer.GenerationDone(result.Generations, result.Elapsed);
    if (observer.Pump) {
      observer.Pump();
      lastPump = Clock::now();
    }
    if (stop) {
      result.End = TSearchEnd::Matched;
    } else if (parameters_.GenerationLimit > 0 &&
               result.Generations >= parameters_.GenerationLimit) {
      result.End = TSearchEnd::GenerationLimit;
      break;
    } else if (parameters_.TimeLimit.count() > 0 && Clock::now() - start >= parameters_.TimeLimit) {
      result.End = TSearchEnd::TimeLimit;
      break;
    }
  }
  return result;
}
