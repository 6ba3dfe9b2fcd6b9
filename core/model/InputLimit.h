#pragma once
// How many inputs a sample may have. A program holds each input in a register of its own,
// so the limit stays below the register file's size.

#include <cstdint>

inline constexpr std::int32_t MaxInputs = 16;
