#include "watch/RateMeter.h"

#include <gtest/gtest.h>

#include "core/model/DecimalSeparator.h"

using std::chrono::milliseconds;

TEST(RateMeter, RateOfTheRunUntilTheFirstWindowIsFull) {
  TRateMeter meter;
  meter.Start();
  EXPECT_FALSE(meter.Recent());
  meter.Count(milliseconds(0));
  EXPECT_FALSE(meter.Recent());  // no time has passed
  for (int i = 1; i < 50; ++i)
    meter.Count(milliseconds(10 * i));
  ASSERT_TRUE(meter.Recent());
  EXPECT_DOUBLE_EQ(50 * 1000.0 / 490, *meter.Recent());
}

TEST(RateMeter, FollowsTheLastWindowWhenTheSearchSlowsDown) {
  TRateMeter meter;
  meter.Start();
  for (int i = 1; i <= 1000; ++i)
    meter.Count(milliseconds(i));  // 1000 per second
  for (int i = 1; i <= 10; ++i)
    meter.Count(milliseconds(1000 + 100 * i));  // then 10 per second
  ASSERT_TRUE(meter.Recent());
  EXPECT_DOUBLE_EQ(10, *meter.Recent());
  EXPECT_DOUBLE_EQ(1010 / 2.0, *meter.Average(milliseconds(2000)));
  EXPECT_EQ(1010, meter.Generations());

  meter.Start();
  EXPECT_EQ(0, meter.Generations());
  EXPECT_FALSE(meter.Recent());
}

TEST(RateMeter, TimesThatGoBackDoNotCount) {
  TRateMeter meter;
  meter.Start();
  meter.Count(milliseconds(500));
  meter.Count(milliseconds(200));  // another attempt's clock
  EXPECT_DOUBLE_EQ(4, *meter.Recent());
}

TEST(RateMeter, FormatKeepsAboutThreeFiguresAndTheSeparator) {
  EXPECT_EQ("", FormatRate(std::nullopt));
  EXPECT_EQ("12346/s", FormatRate(12345.6));
  EXPECT_EQ("100/s", FormatRate(100));
  EXPECT_EQ("12.3/s", FormatRate(12.34));
  EXPECT_EQ("0.50/s", FormatRate(0.5));
  EXPECT_EQ("", FormatRate(-1));
  SetDecimalSeparator(",");
  EXPECT_EQ("12,3/s", FormatRate(12.34));
  SetDecimalSeparator(".");
}
