#pragma once
// The command line of movar-search.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/ImportOptions.h"

struct TCliOptions {
  std::optional<std::uint32_t> Seed;
  std::int32_t Registers = 2;
  std::int32_t Instructions = 5;
  std::int32_t Population = 100;
  std::int32_t MarginPercent = 10;
  bool Progressive = true;
  bool RandomSample = false;
  std::string SamplesFile;
  std::string WriteSamplesFile;
  TCliImportOptions Import;           // --import, --x-column, --y-column
  std::string ProgressFile;           // empty: none
  std::int64_t Generations = 0;       // 0: no limit
  std::int32_t Threads = 0;           // 0: all cores
  std::int64_t TimeLimitSeconds = 0;  // 0: no limit
  // Restarts: attempts of Luby-sequence lengths, run side by side on the threads.
  bool Restarts = false;
  std::int64_t RestartUnit = 0;  // 0: the default unit
  std::int64_t Attempts = 0;     // 0: no limit
  // The additions to the search; --restarts turns on all of them, the --no- options one
  // by one. Given alone they change a plain search, which is how an attempt is replayed.
  std::optional<std::int32_t> MinimumWindow;
  std::optional<std::int32_t> RefineTrials;
  std::optional<bool> ScaledConstants;
  bool Help = false;
  bool Version = false;
  std::vector<std::string> Emit;  // forms of the final model printed after the report
};

// Throws std::invalid_argument with a one-line message naming the option.
[[nodiscard]] TCliOptions ParseOptions(const std::vector<std::string>& arguments);

[[nodiscard]] const char* Usage() noexcept;
