#pragma once
// The names a model's inputs take in formulas and emitted code: the sample set's column
// names made into identifiers that C, Python and GiNaC all accept, or x for one input and
// x1 ... xn for several when the set has no names.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TSampleData;

// One identifier per input, in column order, no two alike, none a keyword of C or Python
// nor a name the emitted code uses itself.
[[nodiscard]] std::vector<std::string> InputIdentifiers(std::span<const std::string> columnNames,
                                                        std::int32_t inputCount);
[[nodiscard]] std::vector<std::string> InputIdentifiers(const TSampleData& samples);
