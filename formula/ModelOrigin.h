#pragma once
// Where a model comes from: the samples it was found for and the margin of error. Emitted
// code names both in its comment line.

#include <string>

struct TModelOrigin {
  std::string Samples;  // a file name, or what generated the samples
  double Margin = 0.1;
};

// "Movar Tester model for sine.mvs, margin of error 10.00%".
[[nodiscard]] std::string DescribeOrigin(const TModelOrigin& origin);
