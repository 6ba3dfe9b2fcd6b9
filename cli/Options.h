#pragma once
// The command line of movar-search. The search settings' options, their help and their
// ranges come from the table of settings, and the values given fill the search's and the
// restarts' parameters directly.

#include <string>
#include <vector>

#include "cli/ImportOptions.h"
#include "restart/RunSettings.h"

// The search's, the restarts' and the mode's settings (TRunSettings), and the rest.
struct TCliOptions : TRunSettings {
  bool RandomSample = false;
  std::string SamplesFile;
  std::string WriteSamplesFile;
  TCliImportOptions Import;       // --import, --x-column, --y-column
  std::string ProgressFile;       // empty: none
  std::vector<std::string> Emit;  // forms of the final model printed after the report
  bool Front = false;             // print the front after the report
  // Which model --emit prints: the run's answer, or the front's suggestion, which needs
  // held-out rows.
  bool PickSuggested = false;
  std::string ValidationFile;  // rows to check the models on instead of held-out ones
  bool Help = false;
  bool Version = false;
};

// Throws std::invalid_argument with a one-line message naming the option.
[[nodiscard]] TCliOptions ParseOptions(const std::vector<std::string>& arguments);

// The --help text.
[[nodiscard]] std::string Usage();
