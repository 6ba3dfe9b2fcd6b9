#include "core/model/Random.h"

#include <gtest/gtest.h>

#include <array>

TEST(Random, WorkedExampleFromSeedZero) {
  SetSeed(0);
  const std::array<std::uint32_t, 6> seeds = {1u,         134775814u,  3698175007u,
                                              870078620u, 1172187917u, 2884733762u};
  for (std::uint32_t expected : seeds) {
    (void)RandomReal();
    EXPECT_EQ(expected, Seed());
  }
  SetSeed(0);
  const std::array<int, 6> draws = {0, 3, 86, 20, 27, 67};
  for (int expected : draws)
    EXPECT_EQ(expected, RandomInt(100));
}

TEST(Random, RandomIntTakesTheUpperHalfOfTheProduct) {
  SetSeed(7);
  EXPECT_EQ(0, RandomInt(1));
  EXPECT_EQ(7u * 134775813u + 1u, Seed()) << "RandomInt(1) still steps";

  // The step from 4294967294 yields the largest seed.
  const std::uint32_t beforeLargest = (0xFFFFFFFFu - 1u) * 3645876429u;  // inverse multiplier
  SetSeed(beforeLargest);
  EXPECT_EQ(99, RandomInt(100));
  EXPECT_EQ(0xFFFFFFFFu, Seed());
  SetSeed(beforeLargest);
  EXPECT_EQ(0x7FFFFFFE, RandomInt(0x7FFFFFFF));
}

TEST(Random, RandomRealStaysBelowOne) {
  const std::uint32_t beforeZero = (0u - 1u) * 3645876429u;
  SetSeed(beforeZero);
  EXPECT_EQ(0.0, RandomReal());
  const std::uint32_t beforeLargest = (0xFFFFFFFFu - 1u) * 3645876429u;
  SetSeed(beforeLargest);
  EXPECT_EQ(4294967295.0 / 4294967296.0, RandomReal());
}

TEST(Random, RandomizeSeedChangesTheSeed) {
  SetSeed(12345);
  RandomizeSeed();
  const std::uint32_t first = Seed();
  RandomizeSeed();
  EXPECT_NE(first, Seed()) << "a nanosecond clock moves between two calls";
}

TEST(Random, SeedAfterJumpsAsManyStepsAhead) {
  for (std::uint32_t start : {0u, 1u, 123456789u, 0xFFFFFFFFu}) {
    SetSeed(start);
    std::uint64_t taken = 0;
    for (std::uint64_t steps : {0ull, 1ull, 2ull, 7ull, 1000ull, 65537ull}) {
      while (taken < steps) {
        (void)RandomInt(2);
        ++taken;
      }
      EXPECT_EQ(Seed(), SeedAfter(start, steps)) << start << " + " << steps;
    }
    EXPECT_EQ(start, SeedAfter(start, 1ull << 32)) << "the full period returns";
  }
}

TEST(Random, StreamsDrawLikeTheProcessSource) {
  SetSeed(99);
  TRandomStream stream(99);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(RandomInt(1000 + i), stream.Int(1000 + i));
    EXPECT_EQ(RandomReal(), stream.Real());
  }
  EXPECT_EQ(Seed(), stream.Seed());
}
