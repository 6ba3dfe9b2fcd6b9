#pragma once
// TRefiner: a local search on the best program of a generation. Evolution alone changes a
// constant only by drawing it anew, uniformly over 0 .. 9999.9999, so a nearly right model
// can wait thousands of generations for the last digits. The refiner tries small changes
// (constants nudged at scales from 1 to 1e-8, or one instruction drawn anew) and keeps
// each one that lowers the error on the samples being scored.

#include <cstdint>
#include <memory>

#include "core/model/Random.h"
#include "core/model/TE.h"

class TMovar;

class TRefiner {
 public:
  // trials: changes tried per generation; scaledConstants: a new instruction's constant is
  // drawn at a useful scale (small integers, powers of ten) half of the time.
  TRefiner(std::uint32_t seed, std::int32_t trials, bool scaledConstants) noexcept;
  ~TRefiner();
  TRefiner(const TRefiner&) = delete;
  TRefiner& operator=(const TRefiner&) = delete;

  // Call between Evaluate and NextGeneration. Refines the program with the lowest error
  // and records its new error, so the ranking takes it; true when it changed.
  bool Refine(TMovar& search);

 private:
  void Mutate(TTuringEvaluator& program);

  TRandomStream random_;
  std::int32_t trials_;
  bool scaledConstants_;
  std::unique_ptr<TTuringEvaluator> candidate_;
};
