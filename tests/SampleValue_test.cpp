#include "exchange/SampleValue.h"

#include <cmath>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "core/model/Random.h"
#include "tests/SampleTesting.h"

namespace {

struct TFormatRow {
  double Value;
  const char* Sample;
  const char* Grid;
};

const TFormatRow FormatRows[] = {
    {0.0, "0.00000000", "0.000000"},
    {-0.0, "-0.00000000", "0.000000"},  // a file keeps the sign, the grid shows none
    {0.5, "0.50000000", "0.500000"},
    {-2, "-2.00000000", "-2.000000"},
    {99, "99.00000000", "99.000000"},
    {2.0 / 3, "0.66666667", "0.666667"},
    {0.123456789, "0.12345679", "0.123457"},
    {1234.5678, "1234.56780000", "1234.567800"},
    {12345.6789012345678, "12345.67890123", "12345.678901"},
    {123456789.123456789, "123456789.12345680", "123456789.123457"},
    // Rounding to the last decimal, and to nothing.
    {0.0000006, "0.00000060", "0.000001"},
    {0.0000125, "0.00001250", "0.000013"},
    {1e-8, "0.00000001", "1E-8"},
    // A value the 8 decimals would move by more than a hundred-thousandth of itself keeps
    // its digits, the fewest that read back; the grid shows up to 7 of them, never a zero.
    {0.000000006, "6E-9", "6E-9"},
    {-0.000000006, "-6E-9", "-6E-9"},
    {-0.000000004, "-4E-9", "-4E-9"},
    {0.000000005, "5E-9", "5E-9"},
    {2.5e-8, "2.5E-8", "2.5E-8"},
    {-0.0000004, "-0.00000040", "-4E-7"},
    {0.00012345678, "1.2345678E-4", "1.234568E-4"},
    {1.0 / 30000, "3.3333333333333335E-5", "3.333333E-5"},
    {1e-300, "1E-300", "1E-300"},
    {std::numeric_limits<double>::denorm_min(), "5E-324", "4.940656E-324"},
    {-9.99999996e-10, "-9.99999996E-10", "-1E-9"},  // the carry raises the exponent
    // Just within and just beyond a hundred-thousandth; a value of a random sample.
    {0.0001000009, "0.00010000", "0.000100"},
    {0.0001000011, "1.000011E-4", "1.000011E-4"},
    {0.0012345678, "0.00123457", "0.001235"},
    {0.000620678998529911, "0.00062068", "0.000621"},
    // A carry through every digit raises the exponent.
    {9.999999999, "10.00000000", "10.000000"},
    {0.999999999, "1.00000000", "1.000000"},
    {-99999.999999999, "-100000.00000000", "-100000.000000"},
    // The switch to scientific notation, also when rounding reaches it.
    {1e14, "100000000000000.00000000", "100000000000000.000000"},
    {1e15, "1000000000000000.00000000", "1E15"},
    {999999999999999.9, "999999999999999.90000000", "1E15"},
    {1e16, "1E16", "1E16"},
    {9999999999999999.0, "1E16", "1E16"},
    {-1e16, "-1E16", "-1E16"},
    {1.5e20, "1.5E20", "1.5E20"},
    {1234567890123456789.0, "1.234567890123457E18", "1.23456789012346E18"},
    {1e300, "1E300", "1E300"},
    {std::numeric_limits<double>::max(), "1.797693134862316E308", "1.79769313486232E308"},
    // The 18 exact digits decide ties, not the nearest short text: 0.125 is exact.
    {0.125, "0.12500000", "0.125000"},
    {1.0000000000000002, "1.00000000", "1.000000"},
};

}  // namespace

TEST(SampleValue, FormatsSampleAndGridTexts) {
  for (const TFormatRow& row : FormatRows) {
    EXPECT_EQ(row.Sample, FormatSampleValue(row.Value)) << row.Value;
    EXPECT_EQ(row.Grid, FormatGridValue(row.Value)) << row.Value;
  }
}

TEST(SampleValue, FormatsWithTheSeparatorInForce) {
  const TSeparator comma(",");
  EXPECT_EQ("-1,50000000", FormatSampleValue(-1.5));
  EXPECT_EQ("1,5E20", FormatSampleValue(1.5e20));
  EXPECT_EQ("0,000000", FormatGridValue(0));
}

TEST(SampleValue, FormatsValuesNoTextReadsBack) {
  EXPECT_EQ("INF", FormatSampleValue(std::numeric_limits<double>::infinity()));
  EXPECT_EQ("-INF", FormatSampleValue(-std::numeric_limits<double>::infinity()));
  EXPECT_EQ("NAN", FormatSampleValue(std::numeric_limits<double>::quiet_NaN()));
}

TEST(SampleValue, ParsesAcceptedTexts) {
  const struct {
    const char* Text;
    double Value;
  } rows[] = {
      {"1.5", 1.5},
      {"+1.5", 1.5},
      {" -1.5 ", -1.5},
      {"   7", 7},
      {"1.5e3", 1500},
      {"1.5E+03", 1500},
      {"15e-1", 1.5},
      {".5", 0.5},
      {"5.", 5},
      {"5E", 5},
      {"5e-", 5},
      {".", 0},
      {"-.", 0},
      {"007", 7},
      {"0.1", 0.1},
      {"1e0000000000002", 100},
      {"0e4999", 0},
      {"1E-400", 0},
      {"1e308", 1e308},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {"2.2250738585072011e-308", 2.2250738585072011e-308},
  };
  for (const auto& row : rows) {
    const std::optional<double> value = ParseSampleValue(row.Text);
    ASSERT_TRUE(value.has_value()) << row.Text;
    EXPECT_EQ(row.Value, *value) << row.Text;
  }
}

// Texts short of a digit the CSV reader asks for read as the sample text always read them,
// and say so; the strict reading refuses them.
TEST(SampleValue, TextsCutShortOfADigitAreToldApart) {
  const struct {
    const char* Text;
    double Value;
    bool CutShort;
  } rows[] = {
      {"2.5e", 2.5, true},      {"1e+", 1, true},      {"-3E-", -3, true}, {".", 0, true},
      {"-.", -0.0, true},       {" .e ", 0, true},     {"5.", 5, false},   {".5", 0.5, false},
      {"1e5", 1e5, false},      {"-0.0", -0.0, false}, {"007", 7, false},  {"0e0", 0, false},
      {"1.5E+03", 1500, false},
  };
  for (const auto& row : rows) {
    const TSampleValueRead read = ReadSampleValue(row.Text);
    ASSERT_TRUE(read.Value.has_value()) << row.Text;
    EXPECT_EQ(row.Value, *read.Value) << row.Text;
    EXPECT_EQ(std::signbit(row.Value), std::signbit(*read.Value)) << row.Text;
    EXPECT_EQ(row.CutShort, read.CutShort) << row.Text;
    EXPECT_EQ(row.CutShort, !ParseWholeSampleValue(row.Text).has_value()) << row.Text;
  }
  for (const char* text : {"", "e5", "1x", "-"}) {
    EXPECT_FALSE(ReadSampleValue(text).Value.has_value()) << text;
    EXPECT_FALSE(ReadSampleValue(text).CutShort) << text;
  }
}

TEST(SampleValue, RejectsTexts) {
  const char* rows[] = {"",       " ",     "-",      "+",       "E5",     "e",     "1.5x", "1,5",
                        "1.5.2",  "- 1",   "1 5",    "1e5.",    "1e+-5",  "\t1",   "1\t",  "1E400",
                        "-1E400", "1e500", "1e5000", "1e-5000", "0e5000", "1e499", "0x10", "inf",
                        "nan",    "1_000", "+-5",    "++5",     "-+5",    "--5",   "-inf"};
  for (const char* text : rows)
    EXPECT_FALSE(ParseSampleValue(text).has_value()) << '"' << text << '"';
  EXPECT_FALSE(ParseSampleValue(std::string("1\0", 2)).has_value());
}

namespace {

// The number text rules spelt out on the characters of the library's 18 digits and on its
// printf, as a second opinion on the integer arithmetic that FormatSampleValue uses.
struct TDigitText {
  std::string Digits;  // no trailing zeros; empty when the value rounds to nothing
  int Exponent = 0;    // the value is 0.Digits × 10^Exponent
};

// The 18 digits cut to count (count < 0: none), half up on the next one.
TDigitText RoundedDigits(double value, int count, int decimals) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                 std::chars_format::scientific, 17);
  const std::string all = std::string(1, buffer[0]) + std::string(buffer + 2, 17);
  TDigitText text;
  std::from_chars(buffer + 20 + (buffer[20] == '+'), end.ptr, text.Exponent);
  ++text.Exponent;
  if (decimals >= 0) count = std::min(text.Exponent + decimals, count);
  if (count < 0) return {};
  text.Digits = all.substr(0, static_cast<std::size_t>(count));
  if (all[static_cast<std::size_t>(count)] >= '5') {
    int i = count - 1;
    while (i >= 0 && text.Digits[static_cast<std::size_t>(i)] == '9')
      text.Digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++text.Digits[static_cast<std::size_t>(i)];
    } else {
      text.Digits = "1";
      ++text.Exponent;
    }
  }
  while (!text.Digits.empty() && text.Digits.back() == '0')
    text.Digits.pop_back();
  return text;
}

std::string Scientific(double value, const std::string& digits, int exponent) {
  std::string text = value < 0 ? "-" : "";
  text += digits[0];
  if (digits.size() > 1) text += "." + digits.substr(1);
  return text + "E" + std::to_string(exponent);
}

std::string FixedText(double value, const TDigitText& rounded, int decimals) {
  const auto at = [&rounded](int i) {
    return i >= 0 && i < static_cast<int>(rounded.Digits.size())
               ? rounded.Digits[static_cast<std::size_t>(i)]
               : '0';
  };
  std::string text = value < 0 ? "-" : "";
  if (rounded.Exponent <= 0) text += '0';
  for (int i = 0; i < rounded.Exponent; ++i)
    text += at(i);
  text += '.';
  for (int i = 0; i < decimals; ++i)
    text += at(rounded.Exponent + i);
  return text;
}

// The fewest digits that read back: at each length printf's correctly rounded digits, else
// their neighbour on the value's other side, which the wider half of the interval around
// a power of two may hold.
std::string ShortestText(double value) {
  const double magnitude = std::fabs(value);
  for (int count = 1; count <= 17; ++count) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*e", count - 1, magnitude);
    std::string digits = buffer[0] + std::string(count > 1 ? buffer + 2 : buffer + 1,
                                                 static_cast<std::size_t>(count - 1));
    int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    const double nearest = std::strtod(buffer, nullptr);
    if (nearest != magnitude) {
      // One unit in the last place toward the value; 9..9 + 1 and 10..0 - 1 change length,
      // and a shorter text was tried already.
      const char stop = nearest < magnitude ? '9' : '0';
      int i = count - 1;
      while (i >= 0 && digits[static_cast<std::size_t>(i)] == stop)
        digits[static_cast<std::size_t>(i--)] = nearest < magnitude ? '0' : '9';
      if (i < 0 || (i == 0 && stop == '0' && digits[0] == '1')) continue;
      digits[static_cast<std::size_t>(i)] += nearest < magnitude ? 1 : -1;
    }
    while (digits.size() > 1 && digits.back() == '0')
      digits.pop_back();
    const std::string text = Scientific(value, digits, exponent);
    if (std::strtod(text.c_str() + (value < 0), nullptr) == magnitude) return text;
  }
  return "unreadable";
}

std::string ReferenceText(double value, int decimals, int maxDigits) {
  const std::string zero = "0." + std::string(static_cast<std::size_t>(decimals), '0');
  if (value == 0) return zero;
  // How far the sample text's 8 decimals move the value, read back as a double.
  const TDigitText sample = RoundedDigits(value, 16, 8);
  const long double back =
      sample.Digits.empty() ? 0.0L : std::strtod(FixedText(value, sample, 8).c_str(), nullptr);
  const bool lossy = std::fabs(back - value) > 1e-5L * std::fabs(value);
  const TDigitText rounded = RoundedDigits(value, maxDigits, decimals);
  if (lossy || rounded.Digits.empty()) {
    if (decimals == 8) return ShortestText(value);
    const TDigitText digits = RoundedDigits(value, 7, -1);
    return Scientific(value, digits.Digits, digits.Exponent - 1);
  }
  if (rounded.Exponent > maxDigits) return Scientific(value, rounded.Digits, rounded.Exponent - 1);
  return FixedText(value, rounded, decimals);
}

}  // namespace

// Carries through every digit, values just beside each rounding boundary, every binade.
TEST(SampleValue, FormatsAsTheRulesSpeltOutOnDigitCharacters) {
  std::vector<double> values = {
      9.999999995,         99999999.999999995,  0.000000005, 0.0000000049999999,
      9999999999999999.5,  999999999999999.95,  1e16,        9999999999999998.0,
      0.99999999499999999, 123456789.123456789, 1e-9,        5e-9};
  for (int e = -40; e <= 60; ++e) {
    const double power = std::ldexp(1.0, e);
    values.insert(values.end(), {power, std::nextafter(power, 0.0), 3 * power, 10 * power});
  }
  for (int e = -12; e <= 20; ++e) {
    const double power = std::pow(10.0, e);
    for (const double boundary : {power, 5 * power, 9.5 * power, 4.9999999999 * power}) {
      values.insert(values.end(),
                    {boundary, std::nextafter(boundary, 0.0), std::nextafter(boundary, HUGE_VAL)});
    }
  }
  TRandomStream random(404);
  for (int n = 0; n < 200000; ++n)
    values.push_back(std::ldexp(random.Real() + 0.5, random.Int(100) - 40));
  // No value rounds to zero: a negative value's text is its magnitude's after a "-".
  for (const double magnitude : values) {
    const std::string sample = ReferenceText(magnitude, 8, 16);
    const std::string grid = ReferenceText(magnitude, 6, 15);
    ASSERT_EQ(sample, FormatSampleValue(magnitude)) << magnitude;
    ASSERT_EQ(grid, FormatGridValue(magnitude)) << magnitude;
    ASSERT_EQ("-" + sample, FormatSampleValue(-magnitude)) << magnitude;
    ASSERT_EQ("-" + grid, FormatGridValue(-magnitude)) << magnitude;
  }
}

// Whatever its size, a value comes back from its text within a hundred-thousandth of
// itself; the small ones the fixed text would move further come back exactly.
TEST(SampleValue, TextKeepsEveryValueWithinAHundredThousandth) {
  TRandomStream random(99);
  for (const char* separator : {".", ","}) {
    const TSeparator guard(separator);
    for (int n = 0; n < 20000; ++n) {
      const double value = std::ldexp(random.Real() + 0.5, random.Int(1100) - 1070);
      for (const double signed_ : {value, -value}) {
        const std::string text = FormatSampleValue(signed_);
        const std::optional<double> back = ParseSampleValue(text);
        ASSERT_TRUE(back.has_value()) << text;
        if (text.find('E') != std::string::npos && value < 1) {
          ASSERT_EQ(signed_, *back) << text;
        } else {
          ASSERT_LE(std::fabs(*back - signed_), 1e-5 * value) << text;
        }
      }
    }
  }
}

// Values whose eight decimals would move them by just about a hundred-thousandth: the text's
// digits are judged on 18 digits, the check on the doubles, and the two must not disagree.
// 9.99990000099999e-6 as "0.00001000" moves by a hair more than 1e-5 of itself.
TEST(SampleValue, AValueAtTheLimitOfTheFixedTextIsKept) {
  for (const double value : {9.99990000099999e-06, 9.9999000009999e-06, 1.99998000019999e-05,
                             4.99995000049999e-06, 9.999900001e-06}) {
    for (const double signed_ : {value, -value}) {
      const std::string text = FormatSampleValue(signed_);
      const std::optional<double> back = ParseSampleValue(text);
      ASSERT_TRUE(back.has_value()) << text;
      EXPECT_LE(std::fabs(*back - signed_), 1e-5 * std::fabs(signed_)) << text;
    }
  }
  EXPECT_EQ(9.99990000099999e-06, ParseSampleValue(FormatSampleValue(9.99990000099999e-06)));
}

// Short plain texts take a quicker road than long ones; leading zeros make a text long
// without changing its value, so both roads must agree on every text.
TEST(SampleValue, ShortAndLongTextsOfOneValueReadAlike) {
  const char alphabet[] = "0123456789.,-+ e";
  TRandomStream random(77);
  for (const char* separator : {".", ","}) {
    const TSeparator guard(separator);
    for (int n = 0; n < 100000; ++n) {
      std::string text;
      const int length = 1 + random.Int(24);
      for (int i = 0; i < length; ++i) {
        text += alphabet[random.Int(random.Int(4) == 0 ? 16 : 11)];
      }
      // After a sign and blanks, 40 zeros: past the short road's limit.
      std::string padded = text;
      padded.insert(std::min(text.find_first_not_of(" +-"), text.size()), 40, '0');
      const std::optional<double> shortRead = ParseSampleValue(text);
      // Zeros may turn a failing text into a number ("e5", "-"), never the other way.
      if (!shortRead) continue;
      const std::optional<double> longRead = ParseSampleValue(padded);
      ASSERT_TRUE(longRead.has_value()) << '"' << text << '"';
      ASSERT_EQ(std::signbit(*shortRead), std::signbit(*longRead)) << '"' << text << '"';
      ASSERT_EQ(shortRead, longRead) << '"' << text << '"';
    }
  }
}

TEST(SampleValue, ParsesOnlyTheSeparatorInForce) {
  const TSeparator comma(",");
  EXPECT_EQ(1.5, ParseSampleValue("1,5"));
  EXPECT_EQ(0, ParseSampleValue(","));
  EXPECT_FALSE(ParseSampleValue("1.5").has_value());
}

TEST(SampleValue, ParsesToTheNearestDouble) {
  // Halfway between 1 and its successor: ties go to even, one more digit goes up.
  EXPECT_EQ(1.0, ParseSampleValue("1.00000000000000011102230246251565404236316680908203125"));
  EXPECT_EQ(std::nextafter(1.0, 2.0),
            ParseSampleValue("1.000000000000000111022302462515654042363166809082031250001"));
  // The same beyond a thousand digits, where a digit far out still decides.
  const std::string half = "1.00000000000000011102230246251565404236316680908203125";
  EXPECT_EQ(1.0, ParseSampleValue(half + std::string(1200, '0')));
  EXPECT_EQ(std::nextafter(1.0, 2.0), ParseSampleValue(half + std::string(1200, '0') + "1"));
  EXPECT_EQ(0.0444, ParseSampleValue(".0444" + std::string(1200, '0') + "1"));
  // Subnormals are kept; below half the smallest one the value becomes zero.
  EXPECT_EQ(std::numeric_limits<double>::denorm_min(), ParseSampleValue("3e-324"));
  EXPECT_EQ(0, ParseSampleValue("2e-324"));
  EXPECT_TRUE(std::signbit(*ParseSampleValue("-2e-324")));
  // Digits far past the decimal point and many leading zeros.
  EXPECT_EQ(1.5, ParseSampleValue(std::string(5000, '0') + "1.5"));
  EXPECT_EQ(1e-5, ParseSampleValue("0." + std::string(4, '0') + "1"));
  EXPECT_EQ(0, ParseSampleValue("0." + std::string(5000, '0') + "1"));
  EXPECT_EQ(1e30, ParseSampleValue("1" + std::string(30, '0')));
  EXPECT_FALSE(ParseSampleValue("1" + std::string(400, '0')).has_value());
  EXPECT_EQ(1.0, ParseSampleValue("1" + std::string(400, '0') + "e-400"));
}

TEST(SampleValue, FormattedTextReadsBackToTheSameText) {
  const double values[] = {1.0 / 3,
                           -2.0 / 3,
                           0.1,
                           123456789.123456789,
                           9007199254740993.0,
                           99999999.99999999,
                           1e-8,
                           5e-9,
                           1.5e20,
                           1e300,
                           -7.25e-3};
  for (const double value : values) {
    const std::string text = FormatSampleValue(value);
    const std::optional<double> back = ParseSampleValue(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(text, FormatSampleValue(*back));
  }
  // A power of ten that no double holds reads back just below itself, in the decade whose
  // texts carry one more digit.
  EXPECT_EQ("1E23", FormatSampleValue(1.0000000000000004e23));
  EXPECT_EQ("9.999999999999999E22", FormatSampleValue(*ParseSampleValue("1E23")));
  // Rounding to 18 digits first can carry a value just below a tie up to it.
  EXPECT_EQ("5.400000000000001E307", FormatSampleValue(5.4000000000000005e307));
  EXPECT_EQ("5.400000000000002E307", FormatSampleValue(*ParseSampleValue("5.400000000000001E307")));
  // Sixteen digits of the largest double round above it: that text does not read back.
  EXPECT_FALSE(ParseSampleValue(FormatSampleValue(std::numeric_limits<double>::max())));
}
