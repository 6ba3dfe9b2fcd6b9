// movar-search: the search of the workbench without its window.
#include <atomic>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "core/model/DecimalSeparator.h"
#include "version/MovarVersion.h"
#include "cli/ModelExport.h"
#include "cli/Options.h"
#include "cli/ProgressFile.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "exchange/SampleFile.h"
#include "cli/AttemptCoordinatorFactory.h"
#include "restart/BestMode.h"
#include "restart/RestartSearch.h"
#include "core/search/SearchRun.h"

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
  interrupted.store(true);
}

void UseLocaleDecimalSeparator() {
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    SetDecimalSeparator(std::localeconv()->decimal_point);
  }
  // Keep the C library's own number texts locale-free.
  std::setlocale(LC_NUMERIC, "C");
}

void PrepareSamples(const TCliOptions& options, TSampleData& samples) {
  if (!options.Import.File.empty()) {
    ImportSamples(options.Import, samples, std::cerr);
  } else if (!options.SamplesFile.empty()) {
    TSampleRead read = ReadSampleFile(options.SamplesFile);
    // A search on nothing would only find the zero model.
    if (read.Rows() == 0) {
      throw std::runtime_error(options.SamplesFile +
                               ": no samples, the file holds no line of data");
    }
    if (read.Readable() == 0)
      throw std::runtime_error(options.SamplesFile + ": " + UnreadableSummary(read));
    if (read.Unreadable() > 0) {
      std::cerr << "movar-search: "
                << UnreadableSummary(read, ChoiceOutcome(TUnreadableChoice::Leave)) << '\n';
    }
    std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
  } else {
    samples.SetCount(100);
    if (options.RandomSample) {
      samples.GenerateRandom();
    } else {
      samples.GenerateSine();
    }
  }
  if (!options.WriteSamplesFile.empty()) SaveToFile(samples, options.WriteSamplesFile);
}

// A model that never reached its reader is no result: say why and fail.
void RequireWrittenOutput() {
  errno = 0;
  std::cout.flush();
  if (std::cout && std::fflush(stdout) == 0) return;
  const int cause = errno != 0 ? errno : EIO;
  throw std::runtime_error("cannot write the model to standard output: " +
                           std::generic_category().message(cause));
}

void PrintAnswer(const TAttemptOutcome& answer) {
  for (const std::string& line : answer.Lines)
    std::cout << line << '\n';
  std::cout << "generations: " << answer.Generations << '\n';
  std::cout << "attempt: " << answer.Attempt << '\n';
  std::cout << "seed: " << answer.Seed << '\n';
}

// The options that run one attempt again as a plain search on the same samples.
std::string ReplayOptions(const TSearchParameters& parameters, std::uint32_t seed,
                          std::int32_t generations) {
  std::string text =
      "--seed " + std::to_string(seed) + " --generations " + std::to_string(generations);
  if (parameters.MinimumWindow > 0)
    text += " --min-window " + std::to_string(parameters.MinimumWindow);
  if (parameters.RefineTrials > 0) text += " --refine " + std::to_string(parameters.RefineTrials);
  if (parameters.ScaledConstants) text += " --scaled-constants";
  return text;
}

int SearchWithRestarts(const TCliOptions& options, TSampleData& samples,
                       const TSearchParameters& parameters) {
  TRestartParameters restart;
  if (options.RestartUnit > 0) restart.Unit = options.RestartUnit;
  restart.AttemptLimit = options.Attempts;
  std::unique_ptr<TAttemptCoordinator> coordinator = MakeCoordinator();
  TRestartSearch search(samples, parameters, restart, *coordinator);

  TRestartObserver observer;
  observer.StopRequested = [] { return interrupted.load(); };
  TAttemptOutcome best;
  observer.AttemptEnded = [&](const TAttemptOutcome& outcome) {
    if (!outcome.Matched && !IsBetter(outcome, best)) return;
    if (IsBetter(outcome, best)) best = outcome;
    std::fprintf(
        stderr, "attempt %lld  seed %u  generations %d  %s %d of %d  (replay: %s)\n",
        static_cast<long long>(outcome.Attempt), outcome.Seed, outcome.Generations,
        outcome.Matched ? "matched" : "best so far,", outcome.Matches, samples.Count(),
        ReplayOptions(parameters, outcome.Seed, search.AttemptLength(outcome.Attempt)).c_str());
  };
  std::optional<TProgressFile> progressFile;
  if (!options.ProgressFile.empty() && coordinator->Prints()) {
    progressFile.emplace(options.ProgressFile);
    observer.Progress = [&](const TSearchProgress& figures) { progressFile->Write(figures); };
  }
  std::signal(SIGINT, OnInterrupt);
  const TRestartResult result = search.Run(observer);
  std::signal(SIGINT, SIG_DFL);
  if (!coordinator->Prints()) return result.Answer.Matched ? 0 : 1;
  PrintAnswer(result.Answer);
  if (!options.Emit.empty() && result.Answer.Model) {
    PrintModelForms(std::cout, options.Emit, *result.Answer.Model, samples,
                    {SampleSourceName(options), samples.GetMargin()});
  }
  RequireWrittenOutput();
  std::cerr << "elapsed: " << FormatElapsed(result.Elapsed) << ", " << result.TotalGenerations
            << " generations in all attempts of this process\n";
  if (progressFile) progressFile->Close();
  return result.Answer.Matched ? 0 : 1;
}

int Search(const TCliOptions& options) {
  if (options.Seed) {
    SetSeed(*options.Seed);
  } else {
    RandomizeSeed();
  }
  std::cerr << "seed: " << Seed() << '\n';

  TSampleData samples(0);
  PrepareSamples(options, samples);

  const auto started = std::chrono::steady_clock::now();
  TSearchParameters parameters;
  parameters.InstructionCount = options.Instructions;
  parameters.PopulationSize = options.Population;
  parameters.RegisterCount = options.Registers;
  parameters.MarginPercent = options.MarginPercent;
  parameters.Progressive = options.Progressive;
  parameters.GenerationLimit = options.Generations;
  parameters.Threads = options.Threads;
  parameters.TimeLimit = std::chrono::seconds(options.TimeLimitSeconds);
  // --restarts turns every addition on; each can still be turned off on its own.
  if (options.Restarts) parameters = WithBestModeAdditions(parameters);
  parameters.MinimumWindow = options.MinimumWindow.value_or(parameters.MinimumWindow);
  parameters.RefineTrials = options.RefineTrials.value_or(parameters.RefineTrials);
  parameters.ScaledConstants = options.ScaledConstants.value_or(parameters.ScaledConstants);
  // A generated sample is drawn from the seed first, and the search continues that stream.
  parameters.Seed = Seed();
  if (options.Restarts) return SearchWithRestarts(options, samples, parameters);
  TSearchRun run(samples, parameters, started);
  if (run.Search().Progressive() && run.Search().Window() == 0) {
    std::cerr << "movar-search: warning: with fewer than 10 samples the progressive search "
                 "scores none of them, so its first model never changes; use --no-progressive\n";
  }

  const bool progress = isatty(2) != 0;
  TSearchObserver observer;
  observer.StopRequested = [] { return interrupted.load(); };
  if (progress) {
    // A terminal shows a few updates a second, however fast the generations go.
    observer.GenerationDone = [&run, shown = std::chrono::milliseconds(-1000)](
                                  std::int32_t generation,
                                  std::chrono::milliseconds elapsed) mutable {
      if (elapsed - shown < std::chrono::milliseconds(100)) return;
      shown = elapsed;
      const double seconds = std::max<double>(elapsed.count(), 1) / 1000.0;
      std::fprintf(stderr, "\rgeneration %d  best error %.10g  %.1f generations/s   ", generation,
                   run.Search().Threshold(), generation / seconds);
    };
  }
  std::optional<TProgressFile> progressFile;
  if (!options.ProgressFile.empty()) {
    progressFile.emplace(options.ProgressFile);
    observer.Progress = [&](const TSearchProgress& figures) { progressFile->Write(figures); };
  }
  std::signal(SIGINT, OnInterrupt);
  const TSearchResult result = run.Run(observer);
  std::signal(SIGINT, SIG_DFL);
  if (progress) std::cerr << '\n';

  for (const std::string& line : result.Lines)
    std::cout << line << '\n';
  std::cout << "generations: " << result.Generations << '\n';
  if (!options.Emit.empty() && result.Model) {
    PrintModelForms(std::cout, options.Emit, *result.Model, samples,
                    {SampleSourceName(options), samples.GetMargin()});
  }
  RequireWrittenOutput();
  std::cerr << "elapsed: " << FormatElapsed(result.Elapsed) << '\n';
  // After the model is out: a failed write then costs the file, never the result.
  if (progressFile) progressFile->Close();
#ifdef MOVAR_COUNT_INSTRUCTIONS
  std::cerr << "interpreted instructions: " << run.Search().Interpreted() << '\n';
#endif
  return result.Matched ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  UseLocaleDecimalSeparator();
  TCliOptions options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::cerr << "movar-search: " << error.what() << '\n';
    return 2;
  }
  if (options.Help) {
    std::cout << Usage();
    return 0;
  }
  if (options.Version) {
    std::cout << "movar-search " << MovarVersion << '\n';
    return 0;
  }
  try {
    return Search(options);
  } catch (const std::exception& error) {
    std::cerr << "movar-search: " << error.what() << '\n';
    return 2;
  }
}
