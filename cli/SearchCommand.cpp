#include "cli/SearchCommand.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "cli/AttemptCoordinatorFactory.h"
#include "cli/ModelExport.h"
#include "cli/Options.h"
#include "cli/ProgressFile.h"
#include "core/model/Liveness.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "core/search/SampleSplit.h"
#include "core/search/SearchRun.h"
#include "exchange/ColumnMatch.h"
#include "exchange/SampleFile.h"
#include "exchange/TextFile.h"
#include "frontend/FrontTable.h"
#include "restart/RestartSearch.h"
#include "watch/BestModels.h"
#include "watch/FitFigures.h"
#include "watch/ModelFront.h"

namespace {

std::atomic<bool> interrupted{false};

#ifdef SIGHUP
constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};
#else
constexpr int StopSignals[] = {SIGINT, SIGTERM};
#endif

extern "C" void OnInterrupt(int) {
  interrupted.store(true);
}

void LoadSampleFile(const std::string& file, TSampleData& samples) {
  TSampleRead read = ReadSampleFile(file);
  // A search on nothing would only find the zero model, and a check on nothing says nothing.
  if (read.Rows() == 0)
    throw std::runtime_error(file + ": no samples, the file holds no line of data");
  if (read.Readable() == 0) throw std::runtime_error(file + ": " + UnreadableSummary(read));
  for (const std::string& note : ReadNotes(read, TUnreadableChoice::Leave))
    std::cerr << "movar-search: " << note << '\n';
  std::move(read).MoveInto(samples, TUnreadableChoice::Leave);
}

bool IsTableName(const std::string& file) {
  std::string lower = file;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.ends_with(".csv") || lower.ends_with(".tsv");
}

// --validation: read as the samples are, a table with the same columns. Where the samples
// and the check rows both name their columns, the names find them, not their order.
TSampleData ReadValidation(const TCliOptions& options, const TSampleData& samples) {
  const std::vector<std::string>& names = samples.Names();
  TSampleData rows(0);
  if (!options.Import.File.empty() || IsTableName(options.ValidationFile)) {
    ImportSamples({options.ValidationFile, options.Import.XColumns, options.Import.YColumn}, rows,
                  std::cerr, names);
    return rows;
  }
  LoadSampleFile(options.ValidationFile, rows);
  if (names.empty() || rows.Names().empty()) return rows;
  try {
    return ColumnsByName(rows, names);
  } catch (const std::invalid_argument& error) {
    throw std::runtime_error(options.ValidationFile + ": " + error.what());
  }
}

// --write-samples replaces its file: never one the run reads or writes besides, whatever
// name reaches it.
void RefuseOverwrite(const TCliOptions& options) {
  const std::string& target = options.WriteSamplesFile;
  if (target.empty()) return;
  const std::pair<const char*, const std::string*> others[] = {
      {"--samples", &options.SamplesFile},
      {"--import", &options.Import.File},
      {"--validation", &options.ValidationFile},
      {"--progress-file", &options.ProgressFile}};
  for (const auto& [option, file] : others) {
    if (file->empty() || !SameFile(target, *file)) continue;
    throw std::runtime_error("--write-samples: " + target + " is also the file of " + option);
  }
}

void PrepareSamples(const TCliOptions& options, TSampleData& samples) {
  if (!options.Import.File.empty()) {
    ImportSamples(options.Import, samples, std::cerr);
  } else if (!options.SamplesFile.empty()) {
    LoadSampleFile(options.SamplesFile, samples);
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

// A word the shell passes on as it is: quoted where it holds anything but plain characters.
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("_./-+=:,@%").find(c) != std::string_view::npos;
  });
  if (plain) return word;
  std::string quoted = "'";
  for (const char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The options that run one attempt again as a plain search on the same samples: attempt
// holds its seed, sizes and generation limit.
std::string ReplayOptions(const TCliOptions& options, const TSearchParameters& attempt) {
  std::string text = "--seed " + std::to_string(attempt.Seed.value_or(0)) + " --generations " +
                     std::to_string(attempt.GenerationLimit);
  if (!options.SamplesFile.empty()) text += " --samples " + ShellWord(options.SamplesFile);
  if (!options.Import.File.empty()) {
    text += " --import " + ShellWord(options.Import.File);
    for (const std::string& columns : options.Import.XColumns)
      text += " --x-column " + ShellWord(columns);
    if (!options.Import.YColumn.empty()) text += " --y-column " + ShellWord(options.Import.YColumn);
  }
  // The sizes and the margin too: a replay without them would search another space.
  text += " --registers " + std::to_string(attempt.RegisterCount) + " --instructions " +
          std::to_string(attempt.InstructionCount) + " --population " +
          std::to_string(attempt.PopulationSize);
  if (attempt.MarginPercent != MarginSetting.Default)
    text += " --margin " + std::to_string(attempt.MarginPercent);
  if (!attempt.Progressive) text += " --no-progressive";
  if (attempt.MinimumWindow > 0) text += " --min-window " + std::to_string(attempt.MinimumWindow);
  if (attempt.RefineTrials > 0) text += " --refine " + std::to_string(attempt.RefineTrials);
  if (attempt.ScaledConstants) text += " --scaled-constants";
  if (attempt.ConstantFitting > 0)
    text += " --constant-fitting " + std::to_string(attempt.ConstantFitting);
  if (attempt.LinearScaling) text += " --linear-scaling";
  if (attempt.LinearScaling && attempt.MarginLine) text += " --margin-line";
  if (attempt.RankByMatches) text += " --rank-by-matches";
  if (attempt.MarginWeights) text += " --margin-weights";
  if (attempt.PointMutations > 0)
    text += " --point-mutations " + std::to_string(attempt.PointMutations);
  return text;
}

// What a run ends with, in either mode.
struct TAnswer {
  bool Matched = false;
  std::vector<std::string> Lines;
  std::int32_t Generations = 0;
  std::optional<TTuringEvaluator> Model;
  std::optional<TAttemptOutcome> Attempt;  // with restarts, the attempt that answers
  std::string Sizes;                       // of that attempt, with the size ladder
  std::string Elapsed;                     // on stderr after the report
  TSearchEnd End = TSearchEnd::Stopped;
  std::int32_t Matches = 0;
};

// "held-out: 20 samples, RMSE 0.0123, R² 0.998"
std::string HeldOutLine(const TFitFigures& fit) {
  return "held-out: " + std::to_string(fit.Count) + (fit.Count == 1 ? " sample" : " samples") +
         ", RMSE " + FormatModelError(fit.Rmse) + ", R\u00b2 " + FormatModelError(fit.RSquared);
}

// What a plain run and a run with restarts share: the progress file, Ctrl+C, and the report.
class TRunFrame {
 public:
  // Only a process that prints the answer writes the progress file. heldOut: the rows that
  // check the models, or none.
  TRunFrame(const TCliOptions& options, const TSampleData& samples, const TSampleData* heldOut,
            bool prints)
      : options_(options), samples_(samples), heldOut_(heldOut), front_(samples, heldOut) {
    if (prints && !options.ProgressFile.empty()) {
      progressFile_.emplace(options.ProgressFile,
                            std::vector<std::string>{options.SamplesFile, options.Import.File,
                                                     options.ValidationFile});
    }
  }

  void Watch(TSearchObserver& observer) {
    // A progress file that can no longer be written stops the run as Ctrl+C does.
    observer.StopRequested = [this] {
      return interrupted.load() || (progressFile_ && !progressFile_->Healthy());
    };
    if (progressFile_) {
      observer.Progress = [this](const TSearchProgress& figures) { progressFile_->Write(figures); };
    }
    // The front costs a pass over the held-out rows per model found: only when asked for.
    if (options_.Front || heldOut_ != nullptr) {
      observer.ModelFound = [this](const TModelUpdate& update) { front_.Offer(update); };
    }
  }

  // Ctrl+C, and the TERM or HUP a service manager or a closed terminal sends, end the run
  // after the generation in progress, and only while it runs: the model is still printed.
  template <typename Run>
  auto Interruptible(Run run) {
    for (const int stop : StopSignals)
      std::signal(stop, OnInterrupt);
    auto result = run();
    for (const int stop : StopSignals)
      std::signal(stop, SIG_DFL);
    return result;
  }

  int Report(const TAnswer& answer) {
    for (const std::string& line : answer.Lines)
      std::cout << line << '\n';
    std::cout << "generations: " << answer.Generations << '\n';
    if (answer.Attempt) {
      std::cout << "attempt: " << answer.Attempt->Attempt << '\n';
      std::cout << "seed: " << answer.Attempt->Seed << '\n';
      if (!answer.Sizes.empty()) std::cout << "sizes: " << answer.Sizes << '\n';
    }
    if (heldOut_ != nullptr && answer.Model)
      std::cout << HeldOutLine(ModelFit(*answer.Model, *heldOut_)) << '\n';
    const TFrontModel* suggested = front_.Suggested();
    const TTuringEvaluator* picked = answer.Model ? &*answer.Model : nullptr;
    if (options_.PickSuggested && suggested != nullptr) picked = &suggested->Model;
    if (!options_.Emit.empty() && picked != nullptr) {
      PrintModelForms(std::cout, options_.Emit, *picked, samples_,
                      {SampleSourceName(options_), samples_.GetMargin()});
    }
    if (options_.Front) {
      TFrontTable table;
      table.Show(front_);
      for (const std::string& line : FrontTableLines(table))
        std::cout << line << '\n';
    }
    RequireWrittenOutput();
    std::cerr << answer.Elapsed << '\n';
    std::cerr << SearchEndText(answer.End, answer.Matches, samples_.Count()) << '\n';
    if (answer.Model)
      std::cerr << "model size: " << ModelSize(*answer.Model) << " live instructions\n";
    if (suggested != nullptr) {
      std::cerr << "suggested model: size " << suggested->Size << ", held-out error "
                << FormatModelError(suggested->HeldOut->Error)
                << (options_.PickSuggested ? ", printed by --emit" : "") << '\n';
    }
    // After the model is out: a failed write then costs the file, never the result.
    if (progressFile_) progressFile_->Close();
    return answer.Matched ? 0 : 1;
  }

 private:
  const TCliOptions& options_;
  const TSampleData& samples_;
  const TSampleData* heldOut_;
  TModelFront front_;
  std::optional<TProgressFile> progressFile_;
};

int SearchPlain(const TCliOptions& options, TSampleData& samples, const TSampleData* heldOut,
                const TSearchParameters& parameters,
                std::chrono::steady_clock::time_point started) {
  TSearchRun run(samples, parameters, started);
  if (run.Search().Progressive() && run.Search().Window() == 0) {
    std::cerr << "movar-search: warning: with fewer than 10 samples the progressive search "
                 "scores none of them, so its first model never changes; use --no-progressive\n";
  }
  TRunFrame frame(options, samples, heldOut, true);
  TSearchObserver observer;
  frame.Watch(observer);
  const bool progress = isatty(2) != 0;
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
  TSearchResult result = frame.Interruptible([&] { return run.Run(observer); });
  if (progress) std::cerr << '\n';
  const int status = frame.Report({result.Matched,
                                   std::move(result.Lines),
                                   result.Generations,
                                   std::move(result.Model),
                                   std::nullopt,
                                   {},
                                   "elapsed: " + FormatElapsed(result.Elapsed),
                                   result.End,
                                   result.Matches});
#ifdef MOVAR_COUNT_INSTRUCTIONS
  std::cerr << "interpreted instructions: " << run.Search().Interpreted() << '\n';
#endif
  return status;
}

int SearchWithRestarts(const TCliOptions& options, TSampleData& samples, const TSampleData* heldOut,
                       const TSearchParameters& parameters) {
  std::unique_ptr<TAttemptCoordinator> coordinator = MakeCoordinator();
  TRestartSearch search(samples, parameters, options.Restart, *coordinator);
  TRunFrame frame(options, samples, heldOut, coordinator->Prints());
  TRestartObserver observer;
  frame.Watch(observer);
  TAttemptOutcome best;
  observer.AttemptEnded = [&](const TAttemptOutcome& outcome) {
    if (!outcome.Matched && !IsBetter(outcome, best)) return;
    if (IsBetter(outcome, best)) best = outcome;
    const char* state = outcome.Matched ? "matched" : "best so far,";
    if (const auto pass = search.ShortProgramPass(outcome.Attempt)) {
      const std::string lengths =
          pass->MinLength == pass->MaxLength
              ? std::to_string(pass->MaxLength)
              : std::to_string(pass->MinLength) + " to " + std::to_string(pass->MaxLength);
      const std::string which = pass->EveryInput ? " that read every input, part " +
                                                       std::to_string(pass->Part + 1) + " of " +
                                                       std::to_string(pass->Parts)
                                : pass->Constant ? std::string(" with a constant")
                                                 : std::string();
      std::fprintf(stderr, "attempt %lld  short programs of %s instructions%s  %s %d of %d\n",
                   static_cast<long long>(outcome.Attempt), lengths.c_str(), which.c_str(), state,
                   outcome.Matches, samples.Count());
      return;
    }
    std::fprintf(stderr, "attempt %lld  seed %u  generations %d  %s %d of %d  (replay: %s)\n",
                 static_cast<long long>(outcome.Attempt), outcome.Seed, outcome.Generations, state,
                 outcome.Matches, samples.Count(),
                 ReplayOptions(options, search.AttemptParameters(outcome.Attempt)).c_str());
  };
  TRestartResult result = frame.Interruptible([&] { return search.Run(observer); });
  if (!coordinator->Prints()) return result.Answer.Matched ? 0 : 1;
  TAttemptOutcome& answer = result.Answer;
  std::string sizes;
  if (options.Restart.SizeLadder && answer.Attempt >= 0) {
    const TSearchParameters attempt = search.AttemptParameters(answer.Attempt);
    sizes = std::to_string(attempt.RegisterCount) + " registers, " +
            std::to_string(attempt.InstructionCount) + " instructions, population " +
            std::to_string(attempt.PopulationSize);
  }
  return frame.Report(
      {answer.Matched, answer.Lines, answer.Generations, answer.Model, answer, std::move(sizes),
       "elapsed: " + FormatElapsed(result.Elapsed) + ", " +
           std::to_string(result.TotalGenerations) + " generations in all attempts of this process",
       result.End, answer.Matches});
}

}  // namespace

int RunSearch(const TCliOptions& options) {
  RefuseOverwrite(options);
  const std::uint32_t seed = options.Search.Seed.value_or(ClockSeed());
  std::cerr << "seed: " << seed << '\n';
  SetSeed(seed);
  TSampleData samples(0);
  PrepareSamples(options, samples);
  if (const std::optional<std::string> note =
          RegisterRaiseNote(options.Search.RegisterCount, samples.InputCount())) {
    std::cerr << "movar-search: " << *note << '\n';
  }

  const auto started = std::chrono::steady_clock::now();
  TSearchParameters parameters = options.Search;
  // A generated sample is drawn from the seed first, and the search continues that stream.
  parameters.Seed = Seed();
  std::optional<TSampleData> heldOut;
  if (parameters.HoldoutPercent > 0) {
    const std::int32_t all = samples.Count();
    TSampleSplit split = SplitSamples(samples, parameters.HoldoutPercent, *parameters.Seed);
    samples = std::move(split.Searched);
    heldOut = std::move(split.HeldOut);
    std::cerr << "held out: " << heldOut->Count() << " of " << all << " samples";
    // Figures of no rows would be NaN and would suggest a model on nothing.
    if (heldOut->Count() == 0) {
      std::cerr << " (too few samples to hold any out: nothing is checked, no model suggested)";
      heldOut.reset();
    }
    std::cerr << '\n';
  } else if (!options.ValidationFile.empty()) {
    heldOut = ReadValidation(options, samples);
    if (heldOut->InputCount() != samples.InputCount()) {
      throw std::runtime_error(
          options.ValidationFile + ": " + std::to_string(heldOut->InputCount()) +
          " inputs where the samples have " + std::to_string(samples.InputCount()));
    }
  }
  const TSampleData* checked = heldOut ? &*heldOut : nullptr;
  if (options.Restarts) return SearchWithRestarts(options, samples, checked, parameters);
  return SearchPlain(options, samples, checked, parameters, started);
}
