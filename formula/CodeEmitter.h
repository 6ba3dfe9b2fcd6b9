#pragma once
// Code that reproduces a model bit for bit: every guard of the interpreter and its rule
// that a failed instruction leaves its register unchanged, in long double arithmetic
// rounded to double at every store. Only instructions that can reach the result appear.

#include <optional>
#include <string>

#include "core/model/Liveness.h"
#include "formula/ModelOrigin.h"
#include "core/model/TE.h"

// C and C++ at once: double name(double x), needing only <math.h>; a model of several
// inputs takes them in column order, double name(double x1, double x2, ...), each named
// as InputIdentifiers names the origin's columns.
[[nodiscard]] std::string EmitC(const TTuringEvaluator& program, const TModelOrigin& origin,
                                const std::string& name = "model");

// Python with NumPy: name(x) for a number or an array of them, in numpy.longdouble; a
// model of several inputs takes them in column order, numbers or arrays alike.
[[nodiscard]] std::string EmitPython(const TTuringEvaluator& program, const TModelOrigin& origin,
                                     const std::string& name = "model");

// A double as a literal that C and Python both read back as the same double.
[[nodiscard]] std::string DoubleLiteral(double value);
