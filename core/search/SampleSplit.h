#pragma once
// TSampleSplit: a sample set cut in two, the rows a search scores and the rows held out of
// it to check its models on. Which rows are held out follows from the seed alone, so a run
// repeats with its seed whatever the thread count.

#include <cstdint>

#include "core/model/SD.h"

struct TSampleSplit {
  TSampleData Searched;
  TSampleData HeldOut;
};

// Holds out percent % of the rows (a share truncated toward zero), drawn from a stream mixed
// from seed, so the search's own draws stay those of a run without it. Both parts keep the
// rows in their order and the set's margin. percent lies in 0 .. 100; at 0 nothing is held
// out and no number is drawn.
[[nodiscard]] TSampleSplit SplitSamples(const TSampleData& samples, std::int32_t percent,
                                        std::uint32_t seed);
