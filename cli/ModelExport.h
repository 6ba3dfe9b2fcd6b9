#pragma once
// The --emit forms of the final model: its formula, in plain text or LaTeX, with the note
// on guards and the check under it, or its exact code in C or Python.

#include <ostream>
#include <string>
#include <vector>

#include "formula/ModelOrigin.h"
#include "cli/Options.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

void PrintModelForms(std::ostream& out, const std::vector<std::string>& forms,
                     const TTuringEvaluator& model, const TSampleData& samples,
                     const TModelOrigin& origin);

// The sample file as given, or the generated sample that the options choose.
[[nodiscard]] std::string SampleSourceName(const TCliOptions& options);
