#pragma once
// TSearchRun: one complete search from its parameters to its end (every sample matched,
// a stop request, or a generation limit). The window and the headless tool both drive
// it; they supply only the display and the stop request through TSearchObserver.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/search/Movar.h"
#include "core/search/ConstantFitter.h"
#include "core/search/Refiner.h"
#include "core/model/SD.h"
#include "core/search/SearchMemory.h"
#include "core/search/SearchParameters.h"

// What the caller shows whenever the best program changes.
struct TModelUpdate {
  std::vector<double> Predictions;  // one per sample, in the order of the set
  std::int32_t Matches = 0;
  std::int32_t SampleCount = 0;
  // The sum of the absolute errors over every sample, summed as the search scores; with
  // progressive search the search itself scores only the samples of its window.
  double Error = 0;
  std::vector<std::string> Lines;         // the three report lines, then the model source
  std::optional<TTuringEvaluator> Model;  // the program shown
  std::int32_t Attempt = 0;               // with restarts, the attempt that found the model
  std::uint32_t Seed = 0;                 // the seed that attempt started from
  std::int32_t Generation = 0;            // of that attempt, when the model was found
  bool ShortProgram = false;              // found by trying every short program: no seed repeats it
};

// The figures of one finished generation, for progress charts and logs. With restarts,
// Attempt and Seed name the attempt the generation belongs to; a plain run is attempt 0
// with the seed the search started from.
struct TSearchProgress {
  std::int32_t Attempt = 0;
  std::uint32_t Seed = 0;
  std::int32_t Generation = 0;  // of that attempt
  double BestError = 0;         // the best error of that generation
  std::int32_t Matches = 0;     // of the best model shown last in that attempt
  std::chrono::milliseconds Elapsed{0};
};

struct TSearchObserver {
  // Called on the caller's thread after every generation, before GenerationDone.
  std::function<void(const TSearchProgress&)> Progress;
  std::function<void(const TModelUpdate&)> ModelChanged;
  // Every model a search shows, in the order found. A plain run finds what it shows; with
  // restarts, ModelChanged gets only what beats the run's best so far and this gets the
  // models of every attempt.
  std::function<void(const TModelUpdate&)> ModelFound;
  std::function<void(std::int32_t generation, std::chrono::milliseconds elapsed)> GenerationDone;
  // Lets the caller handle pending input: after every generation, and while a long
  // generation is scored, about every PumpInterval.
  std::function<void()> Pump;
  std::function<bool()> StopRequested;
};

// Why a search ended.
enum class TSearchEnd { Matched, Stopped, GenerationLimit, TimeLimit, AttemptLimit };

struct TSearchResult {
  bool Matched = false;
  std::uint32_t Seed = 0;  // the seed the search started from
  TSearchEnd End = TSearchEnd::Stopped;
  std::int32_t Generations = 0;
  std::vector<std::string> Lines;         // the model text shown last
  std::optional<TTuringEvaluator> Model;  // the program of that text
  std::chrono::milliseconds Elapsed{0};
  std::int32_t Matches = 0;  // of the model shown last
  double Error = 0;          // of the model shown last, over every sample
};

class TSearchRun {
 public:
  static constexpr std::chrono::milliseconds PumpInterval{100};

  // Creates the population search and lends it the samples, whose margin it sets. The
  // calling thread's random source starts from the parameters' seed, or from the clock
  // when they name none, and the run draws from it. The elapsed time counts from started,
  // which callers take before they read the parameters; attempt names the run in its
  // reports when it is one attempt of several. A search that needs more memory than the
  // computer or the process allows is refused, and so is one whose allocations fail: both
  // throw TSearchMemoryError, whose text names the size.
  TSearchRun(TSampleData& samples, const TSearchParameters& parameters,
             std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now(),
             std::int32_t attempt = 0);
  ~TSearchRun();

  // An allocation that fails during the run also ends in TSearchMemoryError.
  TSearchResult Run(const TSearchObserver& observer);

  [[nodiscard]] const TMovar& Search() const noexcept { return *search_; }
  // The seed the search started from: the one that repeats it.
  [[nodiscard]] std::uint32_t StartSeed() const noexcept { return startSeed_; }

 private:
  [[nodiscard]] TSearchShape Shape() const noexcept;
  TSearchResult RunGenerations(const TSearchObserver& observer);
  void ScoreGeneration(const TSearchObserver& observer,
                       std::chrono::steady_clock::time_point& lastPump);
  TModelUpdate Show(const TTuringEvaluator& best) const;

  TSampleData& samples_;
  TSearchParameters parameters_;
  std::int32_t attempt_;
  std::uint32_t startSeed_;
  std::chrono::steady_clock::time_point started_;
  std::unique_ptr<TMovar> search_;
  std::unique_ptr<TRefiner> refiner_;
  std::unique_ptr<TConstantFitter> fitter_;
};

// The update that shows program on the samples: its predictions, matches, error and text.
[[nodiscard]] TModelUpdate ShowProgram(TTuringEvaluator program, const TSampleData& samples,
                                       std::int32_t clones);

// A prediction's absolute error added to a sum, as the search adds it: in long double,
// rounded to a double at every step.
[[nodiscard]] inline double AddAbsoluteError(double sum, double prediction, double y) noexcept {
  const double difference = static_cast<double>(static_cast<long double>(prediction) - y);
  return static_cast<double>(static_cast<long double>(sum) + std::fabs(difference));
}

// The register count a search on samples of inputCount inputs uses: one for each input at
// least.
[[nodiscard]] std::int32_t SearchRegisters(std::int32_t registerCount,
                                           std::int32_t inputCount) noexcept;
// The one line that says the register count was raised to hold every input; nothing when
// it was not.
[[nodiscard]] std::optional<std::string> RegisterRaiseNote(std::int32_t registerCount,
                                                           std::int32_t inputCount);

// The lines of a model source (TTuringEvaluator::EmitSource), without their CR LF.
[[nodiscard]] std::vector<std::string> SplitSourceLines(const std::string& text);

// "// model correctness: ..." and the two lines after it.
[[nodiscard]] std::vector<std::string> ReportLines(std::int32_t matches, std::int32_t sampleCount,
                                                   double margin, std::int32_t clones);
// "ended by the time limit: 37 of 100 samples matched", "every sample matched (100)"; the
// headless search writes it to stderr, the window shows it in its status line.
[[nodiscard]] std::string SearchEndText(TSearchEnd end, std::int32_t matches,
                                        std::int32_t sampleCount);
// Hours, minutes and seconds as "1h2m3s"; the hours do not wrap after a day.
[[nodiscard]] std::string FormatElapsed(std::chrono::milliseconds elapsed);
