#include "SearchRun.h"

#include <charconv>

#include "DecimalSeparator.h"

namespace {

using Clock = std::chrono::steady_clock;

// Programs scored between two looks at the clock while a generation is scored.
constexpr std::int32_t ScoringSlice = 16;

std::vector<std::string> SplitSourceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

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

std::vector<std::string> ReportLines(std::int32_t matches, std::int32_t sampleCount, double margin,
                                     std::int32_t clones) {
  return {"// model correctness: " + std::to_string(matches) + " of " + std::to_string(sampleCount),
          "// margin of error: " + FormatMarginPercent(margin) + "%",
          "// model clones: " + std::to_string(clones)};
}

std::string FormatElapsed(std::chrono::milliseconds elapsed) {
  const long long ms = elapsed.count() < 0 ? 0 : elapsed.count();
  return std::to_string(ms / 3600000) + "h" + std::to_string(ms / 60000 % 60) + "m" +
         std::to_string(ms % 60000 / 1000) + "s";
}

TSearchRun::TSearchRun(TSampleData& samples, const TSearchParameters& parameters)
    : samples_(samples), parameters_(parameters) {
  search_ = std::make_unique<TMovar>(parameters.InstructionCount, parameters.PopulationSize,
                                     parameters.RegisterCount);
  samples_.SetMargin(parameters.Margin);
  search_->SetProgressive(parameters.Progressive);
  search_->SetThreads(parameters.Threads);
  search_->SetSamples(samples_);
}

void TSearchRun::ScoreGeneration(const TSearchObserver& observer, Clock::time_point& lastPump) {
  if (!observer.Pump) {
    search_->Evaluate();
    return;
  }
  const std::int32_t population = search_->PopulationSize();
  // A slice for every thread keeps the time between two looks at the clock the same.
  const std::int32_t slice = ScoringSlice * search_->Threads();
  for (std::int32_t first = 0; first < population; first += slice) {
    search_->EvaluateRange(first, std::min(population, first + slice));
    if (Clock::now() - lastPump >= PumpInterval) {
      observer.Pump();
      lastPump = Clock::now();
    }
  }
}

TModelUpdate TSearchRun::Show(const TTuringEvaluator& shown) const {
  // Running the program changes only its working registers; the copy keeps Show const.
  TTuringEvaluator program = shown;
  TModelUpdate update;
  update.SampleCount = samples_.Count();
  update.Predictions.reserve(static_cast<std::size_t>(samples_.Count()));
  for (std::int32_t i = 0; i < samples_.Count(); ++i) {
    const double prediction = program.Execute(samples_.GetX(i));
    if (samples_.WithinMargin(i, prediction)) ++update.Matches;
    update.Predictions.push_back(prediction);
  }
  update.Lines =
      ReportLines(update.Matches, update.SampleCount, samples_.GetMargin(), search_->Clones());
  for (std::string& line : SplitSourceLines(program.EmitSource())) {
    update.Lines.push_back(std::move(line));
  }
  update.Model = std::move(program);
  return update;
}

TSearchResult TSearchRun::Run(const TSearchObserver& observer) {
  const Clock::time_point start = Clock::now();
  Clock::time_point lastPump = start;
  const TTuringEvaluator* shown = nullptr;
  TSearchResult result;
  bool stop = false;
  while (!stop && !(observer.StopRequested && observer.StopRequested())) {
    ScoreGeneration(observer, lastPump);
    search_->NextGeneration();
    const TTuringEvaluator& best = search_->GetProgram(0);
    if (&best != shown) {
      shown = &best;
      TModelUpdate update = Show(best);
      result.Matched = update.Matches == update.SampleCount;
      if (observer.ModelChanged) observer.ModelChanged(update);
      result.Lines = std::move(update.Lines);
      result.Model = std::move(update.Model);
      stop = result.Matched;
    }
    result.Generations = search_->Generation();
    result.Elapsed = std::chrono::round<std::chrono::milliseconds>(Clock::now() - start);
    if (observer.GenerationDone) observer.GenerationDone(result.Generations, result.Elapsed);
    if (observer.Pump) {
      observer.Pump();
      lastPump = Clock::now();
    }
    if (parameters_.GenerationLimit > 0 && result.Generations >= parameters_.GenerationLimit) break;
  }
  return result;
}
