#pragma once
// The command line of movar-search.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
  std::int64_t Generations = 0;  // 0: no limit
  std::int32_t Threads = 0;      // 0: all cores
  bool Help = false;
  std::vector<std::string> Emit;  // forms of the final model printed after the report
};

// Throws std::invalid_argument with a one-line message naming the option.
[[nodiscard]] TCliOptions ParseOptions(const std::vector<std::string>& arguments);

[[nodiscard]] const char* Usage() noexcept;
