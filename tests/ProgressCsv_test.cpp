#include "watch/ProgressCsv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/model/DecimalSeparator.h"

TEST(ProgressCsv, OneLinePerGenerationInTheHeadersOrder) {
  EXPECT_EQ("generation,attempt,best_error,matches,elapsed_ms", ProgressCsvHeader());
  TSearchProgress progress;
  progress.Generation = 12;
  progress.Attempt = 3;
  progress.BestError = 3.25;
  progress.Matches = 40;
  progress.Elapsed = std::chrono::milliseconds(118);
  EXPECT_EQ("12,3,3.25,40,118", ProgressCsvLine(progress));
}

TEST(ProgressCsv, TheErrorReadsBackExactlyWithAPointInAnyLocale) {
  SetDecimalSeparator(",");
  TSearchProgress progress;
  progress.BestError = 0.1 + 0.2;
  const std::string line = ProgressCsvLine(progress);
  SetDecimalSeparator(".");
  const std::string error = line.substr(4, line.rfind(",0,0") - 4);
  EXPECT_EQ("0.30000000000000004", error);
  EXPECT_EQ(progress.BestError, std::strtod(error.c_str(), nullptr));
}
