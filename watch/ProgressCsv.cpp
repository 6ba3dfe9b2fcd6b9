#include "watch/ProgressCsv.h"

#include <charconv>

std::string ProgressCsvHeader() {
  return "generation,attempt,best_error,matches,elapsed_ms";
}

std::string ProgressCsvLine(const TSearchProgress& progress) {
  char error[32];
  const auto end = std::to_chars(error, error + sizeof error, progress.BestError).ptr;
  return std::to_string(progress.Generation) + ',' + std::to_string(progress.Attempt) + ',' +
         std::string(error, end) + ',' + std::to_string(progress.Matches) + ',' +
         std::to_string(progress.Elapsed.count());
}
