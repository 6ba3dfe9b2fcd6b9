#include "core/scoring/ErrorRanking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

#include "core/model/Random.h"
#include "core/scoring/WorkerPool.h"

namespace {

struct TRanked {
  std::vector<double> Errors;
  std::vector<std::int32_t> Order;
};

TRanked Identity(const std::vector<double>& errors) {
  TRanked ranked{errors, std::vector<std::int32_t>(errors.size())};
  std::iota(ranked.Order.begin(), ranked.Order.end(), 0);
  return ranked;
}

// On the calling thread, and shared by two threads where the array is large enough.
void ExpectSameRanking(const TRanked& input) {
  static TWorkerPool pool(2);
  TRanked plain = input;
  const std::vector<double>& errors = input.Errors;
  const auto count = static_cast<std::int32_t>(errors.size());
  TErrorRanking::ExchangeSort(plain.Errors.data(), plain.Order.data(), count);
  for (TWorkerPool* threads : {static_cast<TWorkerPool*>(nullptr), &pool}) {
    TRanked fast = input;
    TErrorRanking::Sort(fast.Errors.data(), fast.Order.data(), count, threads);
    ASSERT_EQ(plain.Order, fast.Order) << "count " << count << (threads ? ", two threads" : "");
    for (std::int32_t i = 0; i < count; ++i) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(plain.Errors[i]),
                std::bit_cast<std::uint64_t>(fast.Errors[i]));
    }
  }
}

void ExpectSameRanking(const std::vector<double>& errors) {
  ExpectSameRanking(Identity(errors));
}

// count errors drawn from an alphabet of `distinct` values, the first value a zero of
// random sign and, with withInfinity, the last one +infinity.
std::vector<double> Drawn(std::int32_t count, std::int32_t distinct, bool withInfinity) {
  std::vector<double> errors(static_cast<std::size_t>(count));
  for (double& e : errors) {
    const std::int32_t k = RandomInt(distinct);
    if (k == 0) {
      e = RandomInt(2) == 0 ? 0.0 : -0.0;
    } else {
      e = withInfinity && k == distinct - 1 ? std::numeric_limits<double>::infinity() : k * 1.5;
    }
  }
  return errors;
}

}  // namespace

TEST(ErrorRanking, ExchangeSortIsNotStableAndKeepsTheReigningBest) {
  // The exchange moves the first 2 behind the later 1: equal errors change their order.
  TRanked r = Identity({2, 2, 1});
  TErrorRanking::ExchangeSort(r.Errors.data(), r.Order.data(), 3);
  EXPECT_EQ((std::vector<std::int32_t>{2, 1, 0}), r.Order);
  TRanked tie = Identity({1, 3, 1});
  TErrorRanking::ExchangeSort(tie.Errors.data(), tie.Order.data(), 3);
  EXPECT_EQ(0, tie.Order[0]) << "a tie does not unseat index 0";
}

TEST(ErrorRanking, MatchesTheExchangeSortOnArraysFullOfTies) {
  SetSeed(5);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (int n = 0; n < 3000; ++n) {
    const std::int32_t count = RandomInt(n < 2900 ? 70 : 1500);
    const std::int32_t distinct = 1 + RandomInt(n % 3 == 0 ? 4 : 40);
    std::vector<double> errors(static_cast<std::size_t>(count));
    for (double& e : errors) {
      const std::int32_t k = RandomInt(distinct + 2);
      e = k == distinct ? inf : k == distinct + 1 && n % 5 == 0 ? nan : k * 0.25;
    }
    ExpectSameRanking(errors);
  }
}

TEST(ErrorRanking, MatchesTheExchangeSortOnSortedAndReversedRuns) {
  for (std::int32_t count : {0, 1, 2, 3, 17, 64, 65, 400}) {
    std::vector<double> up(static_cast<std::size_t>(count)), down(up.size()), saw(up.size());
    for (std::int32_t i = 0; i < count; ++i) {
      up[i] = i;
      down[i] = count - i;
      saw[i] = i % 7 + (i % 3 == 0 ? 0.0 : -0.0);
    }
    ExpectSameRanking(up);
    ExpectSameRanking(down);
    ExpectSameRanking(saw);
  }
}

TEST(ErrorRanking, MatchesTheExchangeSortForEverySizeAndAlphabet) {
  SetSeed(11);
  // Small and large populations are sorted by different means.
  for (std::int32_t count : {4, 5, 9, 33, 100, 257, 1000, 3000, 4095, 4096, 6000}) {
    for (std::int32_t distinct = 1; distinct <= 10; ++distinct) {
      if (count >= 3000 && distinct % 3 != 1) continue;  // the reference is quadratic
      SCOPED_TRACE(testing::Message() << count << " errors of " << distinct << " values");
      ExpectSameRanking(Drawn(count, distinct, distinct % 2 == 0));
    }
  }
}

TEST(ErrorRanking, OneLargeClassAmongDistinctErrorsAsInASearch) {
  // Programs with the same output share an error, partial sums cut off above the threshold
  // are nearly all different.
  SetSeed(12);
  // Two threads split the errors near their median: the class below it, or at it.
  for (const double shared : {12.5, 50.0})
    for (std::int32_t count : {200, 2500}) {
      std::vector<double> errors(static_cast<std::size_t>(count));
      for (double& e : errors)
        e = RandomInt(5) == 0 ? shared : RandomReal() * 100;
      ExpectSameRanking(errors);
      std::sort(errors.begin(), errors.end());
      ExpectSameRanking(errors);
      std::reverse(errors.begin(), errors.end());
      ExpectSameRanking(errors);
    }
}

TEST(ErrorRanking, OrdersEveryDoubleAsTheComparisonDoes) {
  // Signs, magnitudes and bit patterns that an integer key of the double could misorder.
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> alphabet = {-inf,
                                        -std::numeric_limits<double>::max(),
                                        -1.0,
                                        -std::numeric_limits<double>::denorm_min(),
                                        -0.0,
                                        0.0,
                                        std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::min(),
                                        1.0,
                                        std::nextafter(1.0, 2.0),
                                        256.0,
                                        std::numeric_limits<double>::max(),
                                        inf};
  SetSeed(13);
  for (int round = 0; round < 200; ++round) {
    std::vector<double> errors(static_cast<std::size_t>(RandomInt(80)));
    for (double& e : errors)
      e = alphabet[static_cast<std::size_t>(RandomInt(static_cast<std::int32_t>(alphabet.size())))];
    ExpectSameRanking(errors);
  }
}

TEST(ErrorRanking, CarriesAnyOrderArrayAlong) {
  // The order array holds whatever the caller put there, not only 0 .. count - 1.
  SetSeed(14);
  for (int round = 0; round < 100; ++round) {
    TRanked input{Drawn(RandomInt(300), 1 + RandomInt(6), true), {}};
    for (std::size_t i = 0; i < input.Errors.size(); ++i)
      input.Order.push_back(1000 - 7 * static_cast<std::int32_t>(i));
    ExpectSameRanking(input);
  }
}
