#pragma once
// TSearchRun: one complete search from its parameters to its end (every sample matched,
// a stop request, or a generation limit). The window and the headless tool both drive
// it; they supply only the display and the stop request through TSearchObserver.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Movar.h"
#include "SD.h"

struct TSearchParameters {
  std::int32_t InstructionCount = 5;
  std::int32_t PopulationSize = 100;
  std::int32_t RegisterCount = 1;
  double Margin = 0.1;
  bool Progressive = true;
  std::int64_t GenerationLimit = 0;  // 0: no limit
  std::int32_t Threads = 0;          // scoring threads; 0: every core
};

// What the caller shows whenever the best program changes.
struct TModelUpdate {
  std::vector<double> Predictions;  // one per sample, in the order of the set
  std::int32_t Matches = 0;
  std::int32_t SampleCount = 0;
  std::vector<std::string> Lines;         // the three report lines, then the model source
  std::optional<TTuringEvaluator> Model;  // the program shown
};

struct TSearchObserver {
  std::function<void(const TModelUpdate&)> ModelChanged;
  std::function<void(std::int32_t generation, std::chrono::milliseconds elapsed)> GenerationDone;
  // Lets the caller handle pending input: after every generation, and while a long
  // generation is scored, about every PumpInterval.
  std::function<void()> Pump;
  std::function<bool()> StopRequested;
};

struct TSearchResult {
  bool Matched = false;
  std::int32_t Generations = 0;
  std::vector<std::string> Lines;         // the model text shown last
  std::optional<TTuringEvaluator> Model;  // the program of that text
  std::chrono::milliseconds Elapsed{0};
};

class TSearchRun {
 public:
  static constexpr std::chrono::milliseconds PumpInterval{100};

  // Creates the population search and lends it the samples, whose margin it sets.
  TSearchRun(TSampleData& samples, const TSearchParameters& parameters);

  TSearchResult Run(const TSearchObserver& observer);

  [[nodiscard]] const TMovar& Search() const noexcept { return *search_; }

 private:
  void ScoreGeneration(const TSearchObserver& observer,
                       std::chrono::steady_clock::time_point& lastPump);
  TModelUpdate Show(const TTuringEvaluator& best) const;

  TSampleData& samples_;
  TSearchParameters parameters_;
  std::unique_ptr<TMovar> search_;
};

// "// model correctness: ..." and the two lines after it.
[[nodiscard]] std::vector<std::string> ReportLines(std::int32_t matches, std::int32_t sampleCount,
                                                   double margin, std::int32_t clones);
// Hours, minutes and seconds as "1h2m3s"; the hours do not wrap after a day.
[[nodiscard]] std::string FormatElapsed(std::chrono::milliseconds elapsed);
