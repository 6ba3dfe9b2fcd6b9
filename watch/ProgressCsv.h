#pragma once
// The lines of movar-search's progress file: one per generation, comma-separated, numbers
// always with "." whatever the user's locale, so that plotting tools read them as they are.

#include <string>

#include "core/search/SearchRun.h"

// "generation,attempt,best_error,matches,elapsed_ms"
[[nodiscard]] std::string ProgressCsvHeader();
// "12,0,3.25,40,118": the error as the shortest text that reads back to the same double.
[[nodiscard]] std::string ProgressCsvLine(const TSearchProgress& progress);
