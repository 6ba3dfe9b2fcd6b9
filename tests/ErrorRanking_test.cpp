#include "ErrorRanking.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

#include "Random.h"

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

void ExpectSameRanking(const std::vector<double>& errors) {
  TRanked plain = Identity(errors);
  TRanked fast = Identity(errors);
  const auto count = static_cast<std::int32_t>(errors.size());
  TErrorRanking::ExchangeSort(plain.Errors.data(), plain.Order.data(), count);
  TErrorRanking::Sort(fast.Errors.data(), fast.Order.data(), count);
  ASSERT_EQ(plain.Order, fast.Order) << "count " << count;
  for (std::int32_t i = 0; i < count; ++i) {
    ASSERT_EQ(std::bit_cast<std::uint64_t>(plain.Errors[i]),
              std::bit_cast<std::uint64_t>(fast.Errors[i]));
  }
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
