#pragma once
// Where a model comes from: the samples it was found for and the margin of error, which
// emitted code names in its comment line, and the samples' column names, which name its
// inputs.

#include <string>
#include <vector>

struct TModelOrigin {
  std::string Samples;  // a file name, or what generated the samples
  double Margin = 0.1;
  std::vector<std::string> Columns = {};  // the inputs' then y's, or none (TSampleData::Names)
};

// "Movar Tester model for sine.mvs, margin of error 10.00%".
[[nodiscard]] std::string DescribeOrigin(const TModelOrigin& origin);
