#pragma once
// A formula as the source of a SymPy expression (Add, Mul, Pow, Piecewise, Integer,
// Rational, Float, Symbol and the functions), for Python to evaluate with SymPy's names and
// nothing else. Numbers from doubles become Floats of the same value.

#include <span>
#include <string>

#include <ginac/ginac.h>

// inputNames[k]: how input k is named (InputIdentifiers); the symbol's own name without.
// Throws std::invalid_argument for what a model's formula never holds.
[[nodiscard]] std::string SympyText(const GiNaC::ex& e,
                                    std::span<const std::string> inputNames = {});
