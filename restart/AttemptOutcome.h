#pragma once
// What one restart attempt ended with, and the order that picks the answer of a run.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/model/TE.h"

struct TAttemptOutcome {
  std::int64_t Attempt = -1;  // -1: no attempt ended yet
  std::uint32_t Seed = 0;
  std::int32_t Generations = 0;
  bool Matched = false;
  std::int32_t Matches = 0;
  double Error = std::numeric_limits<double>::infinity();  // over every sample
  std::vector<std::string> Lines;                          // the model text the attempt showed last
  // The program of that text; only where the attempt ran in this process.
  std::optional<TTuringEvaluator> Model;
  // Model as ProgramWire packs it, for a coordinator to hand to the printing process.
  std::vector<std::uint8_t> Program;
};

// Better: a match before anything else (the lowest attempt among matches), then more
// samples matched, a lower error, a lower attempt. The same outcomes give the same
// answer in whatever order they end.
[[nodiscard]] inline bool IsBetter(const TAttemptOutcome& a, const TAttemptOutcome& b) noexcept {
  if (a.Attempt < 0 || b.Attempt < 0) return b.Attempt < 0 && a.Attempt >= 0;
  if (a.Matched != b.Matched) return a.Matched;
  if (!a.Matched) {
    if (a.Matches != b.Matches) return a.Matches > b.Matches;
    if (a.Error != b.Error) return a.Error < b.Error;
  }
  return a.Attempt < b.Attempt;
}
