#include "python/FitSearch.h"

#include <mutex>

#include "core/model/Random.h"
#include "core/search/SampleSplit.h"
#include "core/search/SearchRun.h"
#include "formula/ModelFormula.h"
#include "restart/AttemptCoordinator.h"
#include "restart/RestartSearch.h"

namespace {

// GiNaC shares its numbers between threads without locks, and Python threads may fit at once.
std::mutex formulaMutex;

void TakeFormula(TFitOutcome& outcome, const TSampleData& samples) {
  if (!outcome.Model) return;
  const std::lock_guard lock(formulaMutex);
  const TModelFormula formula = MakeFormula(*outcome.Model, samples);
  outcome.FormulaAvailable = formula.Available;
  outcome.Formula = formula.Plain;
  outcome.Latex = formula.Latex;
  outcome.Sympy = formula.Sympy;
  outcome.FormulaNote = FormulaNote(formula);
}

// What a plain run's result and the answering attempt of a run with restarts both hold.
template <typename TAnswer>
TFitOutcome OutcomeOf(TAnswer& answer) {  // takes its model and text
  TFitOutcome outcome;
  outcome.Matched = answer.Matched;
  outcome.Generations = answer.Generations;
  outcome.TotalGenerations = answer.Generations;
  outcome.Matches = answer.Matches;
  outcome.Error = answer.Error;
  outcome.Lines = std::move(answer.Lines);
  outcome.Model = std::move(answer.Model);
  return outcome;
}

TFitOutcome RunPlain(TSampleData& samples, const TSearchParameters& parameters,
                     const TSearchObserver& observer, const TFitHooks& hooks) {
  TSearchRun run(samples, parameters);
  if (run.Search().Progressive() && run.Search().Window() == 0 && hooks.Warn) {
    hooks.Warn(
        "with fewer than 10 samples the progressive search scores none of them, so its first "
        "model never changes; use progressive=False");
  }
  TSearchResult result = run.Run(observer);
  TFitOutcome outcome = OutcomeOf(result);
  outcome.Elapsed = result.Elapsed;
  return outcome;
}

TFitOutcome RunRestarts(TSampleData& samples, const TRunSettings& settings,
                        const TSearchParameters& parameters, const TSearchObserver& observer) {
  TAttemptCoordinator alone;
  TRestartSearch search(samples, parameters, settings.Restart, alone);
  TRestartObserver restartObserver;
  restartObserver.StopRequested = observer.StopRequested;
  restartObserver.ModelFound = observer.ModelFound;
  TRestartResult result = search.Run(restartObserver);
  TFitOutcome outcome = OutcomeOf(result.Answer);
  outcome.TotalGenerations = result.TotalGenerations;
  outcome.Attempt = result.Answer.Attempt;
  outcome.AttemptSeed = result.Answer.Seed;
  outcome.Elapsed = result.Elapsed;
  return outcome;
}

}  // namespace

TFitOutcome RunFit(TSampleData& samples, const TRunSettings& settings, const TFitHooks& hooks) {
  TSearchParameters parameters = settings.Search;
  // Given samples draw nothing, so the search starts from the seed itself.
  parameters.Seed = parameters.Seed.value_or(ClockSeed());
  if (const auto note = RegisterRaiseNote(parameters.RegisterCount, samples.InputCount());
      note && hooks.Warn) {
    hooks.Warn(*note);
  }
  std::optional<TSampleSplit> split;
  if (parameters.HoldoutPercent > 0)
    split = SplitSamples(samples, parameters.HoldoutPercent, *parameters.Seed);
  TSampleData& searched = split ? split->Searched : samples;
  const TSampleData* heldOut = split ? &split->HeldOut : nullptr;

  bool stopped = false;
  TModelFront front(searched, heldOut);
  TSearchObserver observer;
  observer.StopRequested = [&] {
    if (!stopped && hooks.StopRequested && hooks.StopRequested()) stopped = true;
    return stopped;
  };
  observer.ModelFound = [&front](const TModelUpdate& update) { front.Offer(update); };
  TFitOutcome outcome = settings.Restarts ? RunRestarts(searched, settings, parameters, observer)
                                          : RunPlain(searched, parameters, observer, hooks);
  outcome.Stopped = stopped;
  outcome.Seed = *parameters.Seed;
  outcome.SampleCount = searched.Count();
  if (heldOut != nullptr && outcome.Model) outcome.HeldOut = ModelFit(*outcome.Model, *heldOut);
  const TFrontModel* suggested = front.Suggested();
  for (const TFrontModel* model : front.Front()) {
    if (model == suggested) outcome.Suggested = outcome.Front.size();
    outcome.Front.push_back(*model);
  }
  if (!stopped) TakeFormula(outcome, searched);
  return outcome;
}
