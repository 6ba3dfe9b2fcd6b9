#include "core/model/MarginBand.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// value moved by by, and by a few units of the double it rounds to beyond that.
double Moved(long double value, long double by) {
  const double rounded = static_cast<double>(value);
  const long double unit =
      static_cast<long double>(std::nextafter(std::fabs(rounded), HUGE_VAL)) - std::fabs(rounded);
  return static_cast<double>(value + by + (by > 0 ? 4 : -4) * unit);
}

}  // namespace

// The edges and the test describe one band. They part only by rounding: below the sample the
// test takes 1 - Margin as a double, which may stand half a unit of 1 off. So a value a
// thousandth of a millionth of a millionth of the distance, and a few units of itself, inside
// either edge holds and one as far beyond does not, for samples anywhere between the bounds
// and margins small and large.
TEST(MarginBand, TheEdgesAndTheTestAgree) {
  for (const double margin : {0.01, 0.1, 0.25, 0.5, 0.9}) {
    for (int k = 1; k < 300; ++k) {
      const double y = 2 + 5 * std::sin(k * 1.7);
      const TMarginBand band{y, -3, 7, margin};
      const long double below = 1e-15L * (y + 3);
      const long double above = 1e-15L * (7 - y);
      ASSERT_LT(band.Low(), y) << margin << " " << y;
      ASSERT_GT(band.High(), y) << margin << " " << y;
      EXPECT_TRUE(band.Holds(Moved(band.Low(), below))) << margin << " " << y;
      EXPECT_TRUE(band.Holds(Moved(band.High(), -above))) << margin << " " << y;
      EXPECT_FALSE(band.Holds(Moved(band.Low(), -below))) << margin << " " << y;
      EXPECT_FALSE(band.Holds(Moved(band.High(), above))) << margin << " " << y;
    }
  }
}

// At the highest and the lowest y the band closes on that side, and no margin opens it beyond
// the bounds: at margin 1 every value between them holds and none outside.
TEST(MarginBand, TheBandClosesAtTheBoundsAndStaysWithinThem) {
  const TMarginBand top{7, -3, 7, 0.1};
  EXPECT_EQ(7.0L, top.High());
  EXPECT_EQ(6.0, static_cast<double>(top.Low()));
  EXPECT_TRUE(top.Holds(7));
  EXPECT_FALSE(top.Holds(std::nextafter(7.0, 8.0)));
  EXPECT_TRUE(top.Holds(6.5));

  const TMarginBand bottom{-3, -3, 7, 0.1};
  EXPECT_EQ(-3.0L, bottom.Low());
  EXPECT_EQ(-2.0, static_cast<double>(bottom.High()));
  EXPECT_FALSE(bottom.Holds(std::nextafter(-3.0, -4.0)));
  EXPECT_TRUE(bottom.Holds(-2.5));

  const TMarginBand whole{1, -3, 7, 1};
  EXPECT_TRUE(whole.Holds(-3));
  EXPECT_TRUE(whole.Holds(7));
  EXPECT_FALSE(whole.Holds(std::nextafter(-3.0, -4.0)));
  EXPECT_FALSE(whole.Holds(std::nextafter(7.0, 8.0)));
  EXPECT_FALSE(whole.Holds(std::nan("")));
}
