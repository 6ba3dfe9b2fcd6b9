#pragma once
// How much algebra a formula may cost. Sizes count the nodes of the expression written out
// as a tree; they bound GiNaC's time, which cannot be interrupted.

#include <cstddef>

struct TExpressionLimits {
  std::size_t MaxNodes = 2000;      // beyond it there is no formula to show
  std::size_t SimplifyNodes = 400;  // beyond it the expression is shown as built
  std::size_t ExpandTerms = 300;    // expanding must not give more terms than this
  std::size_t NormalNodes = 80;     // rational normalisation only for small expressions
};
