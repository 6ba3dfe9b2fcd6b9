#pragma once
// A program as bytes, for the rank of an MPI job that found the answer to hand it to the
// rank that prints it. Both run the same build, so a double travels as its bytes.

#include <cstdint>
#include <span>
#include <vector>

#include "core/model/TE.h"

[[nodiscard]] std::vector<std::uint8_t> PackProgram(const TTuringEvaluator& program);

// Throws std::invalid_argument for bytes that PackProgram did not make.
[[nodiscard]] TTuringEvaluator UnpackProgram(std::span<const std::uint8_t> bytes);
