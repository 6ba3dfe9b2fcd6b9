#pragma once
// Point mutations and tournaments: variation around the good programs of a population,
// not only around its best. A point mutation changes one thing of one instruction (its
// operation, one operand or its constant), so a child stays next to its parent.

#include <cstdint>
#include <span>

#include "core/model/Random.h"
#include "core/model/TE.h"

// A constant at a scale formulas use: 1 .. 10, a tenth from 0.1 to 10, or a power of ten
// from 1e-4 to 1e4.
[[nodiscard]] double ScaledConstant(TRandomStream& random) noexcept;

// value moved by up to its size (at least 1) times a scale of 1, 0.1, ... down to
// 10^-(scales - 1), drawn first, either way.
[[nodiscard]] double NudgedConstant(double value, std::int32_t scales,
                                    TRandomStream& random) noexcept;

// Changes exactly one instruction among 0 .. ExecEnd in exactly one place: its operation,
// its destination, its source (another register, or a constant where the operation takes
// one), or its constant (nudged, or drawn anew at a useful scale). The program stays one the
// search could have drawn: registers in range, no constant for a one-operand function.
void MutatePoint(TTuringEvaluator& program, TRandomStream& random) noexcept;

// Draws size entries of errors (each uniformly, repeats allowed) and returns the one of lowest
// error, the lower index on a tie. errors must not be empty.
[[nodiscard]] std::int32_t Tournament(std::span<const double> errors, std::int32_t size,
                                      TRandomStream& random) noexcept;
