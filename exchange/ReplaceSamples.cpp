#include "exchange/ReplaceSamples.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

void ReplaceSamples(TSampleData& samples, std::span<const TSamplePoint> points) {
  if (points.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::out_of_range("Range check error");
  }
  const auto count = static_cast<std::int32_t>(points.size());
  samples.SetCount(count);
  for (std::int32_t i = 0; i < count; ++i) {
    samples.SetX(i, points[i].X);
    samples.SetY(i, points[i].Y);
  }
  // SetX and SetY only widen: the kept rows' old values would otherwise stay in the bounds.
  samples.UpdateBounds();
}

void ReplaceSamples(TSampleData& samples, const TSampleData& rows) {
  TSampleData copy = rows;
  copy.SetMargin(samples.GetMargin());
  copy.UpdateBounds();
  samples = std::move(copy);
}

void ReplaceSamples(TSampleData& samples, TSampleData&& rows) {
  rows.SetMargin(samples.GetMargin());
  rows.UpdateBounds();
  samples = std::move(rows);
}
