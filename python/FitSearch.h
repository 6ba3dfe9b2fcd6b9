#pragma once
// One search for a Python caller, plain or with restarts, run as movar-search runs it with
// the same settings and seed, so that both answer with the same model; then the formula of
// that model. The caller supplies the stop request and sees whether it ended the run.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/model/SD.h"
#include "core/model/TE.h"
#include "restart/RunSettings.h"
#include "watch/FitFigures.h"
#include "watch/ModelFront.h"

struct TFitOutcome {
  bool Matched = false;
  bool Stopped = false;           // the stop request ended the run
  std::uint32_t Seed = 0;         // the run's, which repeats it
  std::int32_t Generations = 0;   // of the answer (of its attempt, with restarts)
  std::int64_t Attempt = -1;      // with restarts, the attempt that answers
  std::uint32_t AttemptSeed = 0;  // and the seed that replays it as a plain search
  std::int64_t TotalGenerations = 0;
  std::int32_t Matches = 0;
  std::int32_t SampleCount = 0;  // searched: without the rows held out
  double Error = 0;              // the sum of absolute errors over every sample searched
  // With rows held out of the search: the answer's figures on them.
  std::optional<TFitFigures> HeldOut;
  std::chrono::milliseconds Elapsed{0};
  std::vector<std::string> Lines;  // the model text, as movar-search prints it
  std::optional<TTuringEvaluator> Model;
  // The formula and its note; no Plain, Latex or Sympy when it outgrew the limits.
  bool FormulaAvailable = false;
  std::string Formula;
  std::string Latex;
  std::string Sympy;
  std::vector<std::string> FormulaNote;
  // The models of lowest error for their size that beat every smaller one, by size, from
  // every attempt; with rows held out, the index of the one the front suggests.
  std::vector<TFrontModel> Front;
  std::optional<std::size_t> Suggested;
};

// What the caller hears of a run while it goes on, on the thread that runs it.
struct TFitHooks {
  std::function<bool()> StopRequested;
  // Said once before the run starts, as movar-search says it on stderr.
  std::function<void(const std::string&)> Warn;
};

// The samples' margin is set from the settings; with a holdout, the rows held out are drawn
// from the seed as movar-search draws them. Throws what the search throws (a search too
// large for the memory: TSearchMemoryError).
[[nodiscard]] TFitOutcome RunFit(TSampleData& samples, const TRunSettings& settings,
                                 const TFitHooks& hooks);
