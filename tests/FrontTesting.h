#pragma once
// Models of a known size for the front's tests: x + 1 + ... + 1, size additions, whose value
// at x is x + size, and samples with y = 0.

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/SD.h"
#include "core/search/SearchRun.h"
#include "tests/ProgramTesting.h"

// Size 0: an addition to register 1, which never reaches the result.
inline TTuringEvaluator Sized(std::int32_t size) {
  if (size == 0) return Program(1, {TInstruction{1, opAdd, ConstantOperand, 1}});
  return Program(1, std::vector<TInstruction>(static_cast<std::size_t>(size),
                                              TInstruction{0, opAdd, ConstantOperand, 1}));
}

// A model of the given size with the error the search gave it, found over three samples.
inline TModelUpdate Found(std::int32_t size, double error, std::int32_t generation = 0) {
  TModelUpdate update;
  update.Model = Sized(size);
  update.Error = error;
  update.Matches = size;
  update.SampleCount = 3;
  update.Predictions = {error, 0, 0};
  update.Generation = generation;
  update.Lines = {"// size " + std::to_string(size)};
  return update;
}

// x = 0, 1, ...; y = 0.
inline TSampleData Zeros(std::int32_t count) {
  TSampleData samples(count);
  for (std::int32_t i = 0; i < count; ++i)
    samples.SetX(i, i);
  return samples;
}
