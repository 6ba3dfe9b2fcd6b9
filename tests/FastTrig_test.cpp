#include "core/scoring/FastTrig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/scoring/FunctionCache.h"

namespace {

using Extended = long double;

// MOVAR_TRIG_SCALE multiplies the argument counts (a slow sanitizer build may lower it).
double Scale() {
  const char* s = std::getenv("MOVAR_TRIG_SCALE");
  return s != nullptr ? std::max(0.001, std::atof(s)) : 1.0;
}

std::uint64_t Count(double n) {
  return static_cast<std::uint64_t>(std::max(1.0, n * Scale()));
}

// What the interpreter stores, from the library.
double LibrarySin(double x) {
  return static_cast<double>(std::sin(Extended{x}));
}
double LibraryCos(double x) {
  return static_cast<double>(std::cos(Extended{x}));
}
double LibraryTan(double x) {
  return static_cast<double>(std::tan(Extended{x}));
}

bool Same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct TTally {
  std::uint64_t Calls = 0, Fallbacks = 0, Wrong = 0;
  double FirstWrong = 0;

  void Check(double x) {
    struct TCase {
      bool (*Fast)(double, double&) noexcept;
      double (*Library)(double);
    };
    static constexpr TCase Cases[] = {{fasttrig::Sine, LibrarySin},
                                      {fasttrig::Cosine, LibraryCos},
                                      {fasttrig::Tangent, LibraryTan}};
    for (const TCase& c : Cases) {
      ++Calls;
      double result;
      if (!c.Fast(x, result)) {
        ++Fallbacks;
      } else if (!Same(result, c.Library(x)) && Wrong++ == 0) {
        FirstWrong = x;
      }
    }
  }
  void Add(const TTally& other) {
    if (Wrong == 0 && other.Wrong != 0) FirstWrong = other.FirstWrong;
    Calls += other.Calls, Fallbacks += other.Fallbacks, Wrong += other.Wrong;
  }
  double FallbackRate() const { return Calls == 0 ? 0 : static_cast<double>(Fallbacks) / Calls; }
  void Expect(const char* group) const {
    std::printf("%s: %llu calls, %llu fallbacks (%.3f%%)\n", group,
                static_cast<unsigned long long>(Calls), static_cast<unsigned long long>(Fallbacks),
                100 * FallbackRate());
    EXPECT_EQ(Wrong, 0u) << group << ": first differing argument " << std::hexfloat << FirstWrong;
  }
};

// The double nearest k*pi/4 or a neighbour of it, from a three-piece pi/4.
double NearQuarterPi(std::int64_t k, int neighbour) {
  constexpr Extended Q1 = 0x1.921fb544p-1L, Q2 = 0x1.0b4611a6p-35L, Q3 = 0x98cc51701b839a25p-133L;
  const Extended kk = static_cast<Extended>(k);
  double v = static_cast<double>(kk * Q1 + (kk * Q2 + kk * Q3));
  for (; neighbour > 0; --neighbour)
    v = std::nextafter(v, HUGE_VAL);
  for (; neighbour < 0; ++neighbour)
    v = std::nextafter(v, -HUGE_VAL);
  return v;
}

double RandomInBinade(std::mt19937_64& rng, int exponent) {
  const double mantissa = 1 + static_cast<double>(rng() >> 12) * 0x1p-52;
  return std::ldexp(rng() & 1 ? -mantissa : mantissa, exponent);
}

// One argument of the mixture the long check draws from.
double MixedArgument(std::mt19937_64& rng) {
  switch (rng() % 6) {
    case 0:  // an integer or k/10000, times a small integer
      return static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) /
             (rng() & 1 ? 1.0 : 10000.0) * static_cast<double>(rng() % 100);
    case 1:
      return static_cast<double>(static_cast<std::int64_t>(rng() % 200001) - 100000) / 10000.0;
    case 2:
      return NearQuarterPi(
          static_cast<std::int64_t>(rng() % (std::uint64_t{1} << (rng() % 40 + 1))),
          static_cast<int>(rng() % 7) - 3);
    case 3:
      return RandomInBinade(rng, static_cast<int>(rng() % 93) - 30);
    case 4:
      return RandomInBinade(rng, static_cast<int>(rng() % 1075) - 1074);
    default: {
      const double x = std::bit_cast<double>(rng());
      return std::isfinite(x) && std::fabs(x) < 0x1p63 ? x : 1.0 / static_cast<double>(rng() | 1);
    }
  }
}

TEST(FastTrig, ProgramOperands) {
  TTally tally;
  const auto integers = static_cast<std::int64_t>(Count(300000));
  for (std::int64_t i = -integers; i <= integers; ++i)
    tally.Check(static_cast<double>(i));
  // k/10000 constants and their products with the integers 0..99, as the operands see them.
  const auto constants = static_cast<std::int64_t>(Count(10000));
  for (std::int64_t k = -constants; k <= constants; ++k) {
    const double c = static_cast<double>(k) / 10000.0;
    for (int j = 0; j < 100; j += 1 + (k & 1))
      tally.Check(c * j);
  }
  tally.Expect("program operands");
  // Most such arguments need no library call; a gross bound would show here.
  EXPECT_LT(tally.FallbackRate(), 0.03);
}

TEST(FastTrig, NearMultiplesOfQuarterPi) {
  TTally tally;
  const auto n = static_cast<std::int64_t>(Count(100000));
  for (std::int64_t k = -n; k <= n; ++k) {
    for (int d = -2; d <= 2; ++d)
      tally.Check(NearQuarterPi(k, d));
  }
  std::mt19937_64 rng(7);
  for (std::uint64_t i = 0; i < Count(200000); ++i) {
    const auto k = static_cast<std::int64_t>(rng() % (std::uint64_t{1} << (rng() % 44 + 1)));
    for (int d = -1; d <= 1; ++d)
      tally.Check(NearQuarterPi(k, d));
  }
  tally.Expect("near multiples of pi/4");
}

TEST(FastTrig, ZerosTinyAndSubnormal) {
  TTally tally;
  const double specials[] = {0.0,
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::min(),
                             std::nextafter(std::numeric_limits<double>::min(), 0.0),
                             0x1p-32,
                             -0x1p-32};
  for (double x : specials)
    tally.Check(x);
  std::mt19937_64 rng(11);
  for (int e = -1074; e <= -20; ++e) {
    for (std::uint64_t i = 0; i < Count(200); ++i)
      tally.Check(RandomInBinade(rng, e));
  }
  tally.Expect("tiny and subnormal");
  double r;
  ASSERT_TRUE(fasttrig::Sine(-0.0, r));
  EXPECT_TRUE(std::signbit(r));
  ASSERT_TRUE(fasttrig::Tangent(-0.0, r));
  EXPECT_TRUE(std::signbit(r));
  ASSERT_TRUE(fasttrig::Sine(std::numeric_limits<double>::denorm_min(), r));
  EXPECT_EQ(r, std::numeric_limits<double>::denorm_min());
}

TEST(FastTrig, EveryBinadeAndRandomBits) {
  TTally tally;
  std::mt19937_64 rng(13);
  for (int e = -20; e < 63; ++e) {
    for (std::uint64_t i = 0; i < Count(10000); ++i)
      tally.Check(RandomInBinade(rng, e));
  }
  for (std::uint64_t i = 0; i < Count(300000); ++i) {
    const double x = std::bit_cast<double>(rng());
    if (std::isfinite(x) && std::fabs(x) < 0x1p63) tally.Check(x);
  }
  tally.Expect("binades and random bits");
  // From 2^63 on the interpreter does not call the library; NaN is never answered.
  double r;
  EXPECT_FALSE(fasttrig::Sine(0x1p63, r));
  EXPECT_FALSE(fasttrig::Cosine(std::nan(""), r));
  EXPECT_FALSE(fasttrig::Tangent(-HUGE_VAL, r));
}

// The cache's computation is what the interpreter stores, on either side of every limit.
TEST(FastTrig, CacheComputeMatchesInterpreter) {
  std::mt19937_64 rng(17);
  for (int i = 0; i < 200000; ++i) {
    const double x =
        i < 4 ? std::ldexp(1.0, 32 + 31 * (i & 1)) * (i & 2 ? -1 : 1) : MixedArgument(rng);
    const double sin = std::fabs(x) >= 0x1p63 ? 0.0 : LibrarySin(x);
    const double cos = std::fabs(x) >= 0x1p63 ? 0.0 : LibraryCos(x);
    const double tan = std::fabs(x) >= 0x1p63 ? NAN : LibraryTan(x);
    ASSERT_TRUE(Same(TFunctionCache::Compute(TFunctionCache::fnSin, x), sin)) << x;
    ASSERT_TRUE(Same(TFunctionCache::Compute(TFunctionCache::fnCos, x), cos)) << x;
    const double t = TFunctionCache::Compute(TFunctionCache::fnTan, x);
    ASSERT_TRUE(std::isnan(tan) ? std::isnan(t) : Same(t, tan)) << x;
  }
}

// The long check: MOVAR_TRIG_LONG arguments (10^9 by default) on two threads. Run with
// --gtest_also_run_disabled_tests --gtest_filter=FastTrig.DISABLED_LongCheck.
TEST(FastTrig, DISABLED_LongCheck) {
  const char* env = std::getenv("MOVAR_TRIG_LONG");
  const std::uint64_t total = env != nullptr ? std::strtoull(env, nullptr, 10) : 1000000000ull;
  constexpr int Threads = 2;
  std::vector<TTally> tallies(Threads);
  std::vector<std::thread> threads;
  for (int t = 0; t < Threads; ++t) {
    threads.emplace_back([&, t] {
      std::mt19937_64 rng(1000 + t);
      for (std::uint64_t i = t; i < total; i += Threads)
        tallies[t].Check(MixedArgument(rng));
    });
  }
  for (std::thread& t : threads)
    t.join();
  TTally all;
  for (const TTally& t : tallies)
    all.Add(t);
  all.Expect("long check");
}

}  // namespace
