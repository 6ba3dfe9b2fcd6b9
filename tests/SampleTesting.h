#pragma once
// Helpers shared by the exchange tests: a scoped decimal separator and sample sets
// built and compared row by row.

#include <cstdint>
#include <initializer_list>

#include <gtest/gtest.h>

#include "core/model/DecimalSeparator.h"
#include "core/model/SD.h"

// Sets the separator for one scope and restores the default ".".
struct TSeparator {
  explicit TSeparator(const char* separator) { SetDecimalSeparator(separator); }
  ~TSeparator() { SetDecimalSeparator("."); }
  TSeparator(const TSeparator&) = delete;
  TSeparator& operator=(const TSeparator&) = delete;
};

inline TSampleData MakeSet(std::initializer_list<TSamplePoint> points) {
  TSampleData samples(static_cast<std::int32_t>(points.size()));
  std::int32_t i = 0;
  for (const TSamplePoint& p : points) {
    samples.SetX(i, p.X);
    samples.SetY(i++, p.Y);
  }
  return samples;
}

inline void ExpectRows(std::initializer_list<TSamplePoint> expected, const TSampleData& samples) {
  ASSERT_EQ(static_cast<std::int32_t>(expected.size()), samples.Count());
  std::int32_t i = 0;
  for (const TSamplePoint& p : expected) {
    EXPECT_EQ(p.X, samples.GetX(i)) << "row " << i;
    EXPECT_EQ(p.Y, samples.GetY(i)) << "row " << i;
    ++i;
  }
}
