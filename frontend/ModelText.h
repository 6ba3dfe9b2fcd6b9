#pragma once
// The model text as the window shows it: the report lines and the model source as the
// search gives them, and, for samples with column names, a comment before the source that
// says which column each parameter stands for.

#include <string>
#include <vector>

#include "core/model/SD.h"
#include "core/model/TE.h"

// Whether the set's column names say more than the ones it is shown with without names
// (x and y, x1 ... xn and y): a file's header "x;y" does not.
[[nodiscard]] bool HasOwnNames(const TSampleData& samples);

// "// valueX1: theta, valueX2: sigma; y: period" ("valueX" for one input); empty unless
// HasOwnNames.
[[nodiscard]] std::string InputNamesComment(const TSampleData& samples);

// The lines with InputNamesComment before the line that opens the source; unchanged
// without names.
[[nodiscard]] std::vector<std::string> NamedModelText(std::vector<std::string> lines,
                                                      const TSampleData& samples);

// The model shown before any search: it returns the first input.
[[nodiscard]] TTuringEvaluator FirstModel(const TSampleData& samples);
// Its text: the source alone, with the names comment.
[[nodiscard]] std::vector<std::string> FirstModelText(const TSampleData& samples);
