// movar-search: the search of the workbench without its window.
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include "DecimalSeparator.h"
#include "ModelExport.h"
#include "Options.h"
#include "Random.h"
#include "SD.h"
#include "SearchRun.h"

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
  if (!options.SamplesFile.empty()) {
    const std::int32_t unreadable = samples.LoadFromFile(options.SamplesFile);
    if (unreadable > 0) {
      std::cerr << "movar-search: " << unreadable << " of " << samples.Count()
                << " lines could not be read and were loaded as (0, 0)\n";
    }
  } else {
    samples.SetCount(100);
    if (options.RandomSample) {
      samples.GenerateRandom();
    } else {
      samples.GenerateSine();
    }
  }
  if (!options.WriteSamplesFile.empty()) samples.SaveToFile(options.WriteSamplesFile);
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

  TSearchParameters parameters;
  parameters.InstructionCount = options.Instructions;
  parameters.PopulationSize = options.Population;
  parameters.RegisterCount = options.Registers;
  parameters.Margin = options.MarginPercent / 100.0;
  parameters.Progressive = options.Progressive;
  parameters.GenerationLimit = options.Generations;
  parameters.Threads = options.Threads;
  TSearchRun run(samples, parameters);

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
  std::cerr << "elapsed: " << FormatElapsed(result.Elapsed) << '\n';
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
  try {
    return Search(options);
  } catch (const std::exception& error) {
    std::cerr << "movar-search: " << error.what() << '\n';
    return 2;
  }
}
