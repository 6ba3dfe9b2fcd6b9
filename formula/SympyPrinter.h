#pragma once
// A formula as the source of a SymPy expression (Add, Mul, Pow, Piecewise, Integer,
// Rational, Float, Symbol and the functions), for Python to evaluate with SymPy's names and
// nothing else. Numbers from doubles become Floats of the same value.

#include <string>

#include <ginac/ginac.h>

// Throws std::invalid_argument for what a model's formula never holds.
[[nodiscard]] std::string SympyText(const GiNaC::ex& e);
