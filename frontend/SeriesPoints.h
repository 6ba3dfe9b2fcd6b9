#pragma once
// The points of a chart series and the range its axes show. A series keeps its points in
// ascending order of x, points with equal x in the order of the set, so that a set not
// sorted by x still draws as a curve from left to right.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/model/SD.h"

// (x, y) of every sample, x being the given input.
[[nodiscard]] std::vector<TSamplePoint> SeriesPoints(const TSampleData& samples,
                                                     std::int32_t input = 0);
// (x of sample i, values[i]): a model's predictions, one per sample.
[[nodiscard]] std::vector<TSamplePoint> SeriesPoints(const TSampleData& samples,
                                                     std::span<const double> values,
                                                     std::int32_t input = 0);

// (predictions[i], y of sample i) ordered by prediction: measured against predicted. A
// prediction that is not finite has no place on the axis and is left out.
[[nodiscard]] std::vector<TSamplePoint> MeasuredPoints(const TSampleData& samples,
                                                       std::span<const double> predictions);
// The line where measured equals predicted, across everything the points span either way;
// none without points.
[[nodiscard]] std::vector<TSamplePoint> DiagonalPoints(std::span<const TSamplePoint> points);

// What a chart draws of a long series: up to DisplaySlices slices of equal width in x, each
// kept as its first, lowest, highest and last point, in their order. A line through these
// covers the same pixels as one through every point at any width up to DisplaySlices
// pixels, and keeps the series' range; series of up to DisplayLimit points pass unchanged.
inline constexpr std::size_t DisplayLimit = 20000;
inline constexpr std::size_t DisplaySlices = 4096;
[[nodiscard]] std::vector<TSamplePoint> DisplayPoints(std::vector<TSamplePoint> ordered);

// Samples are drawn as points instead of a line when the line would go back in x or hold
// more samples than a chart can show apart: either way it draws a zig-zag, not a curve.
inline constexpr std::int32_t LineLimit = 300;
[[nodiscard]] bool DrawAsPoints(const TSampleData& samples) noexcept;

// What a chart draws of many points shown as markers: the first point in each cell of a
// ScatterCells x ScatterCells grid over their range, in their order. Markers a few pixels
// wide in one cell cover nearly the same pixels; up to DisplayLimit points pass unchanged.
inline constexpr std::size_t ScatterCells = 256;
[[nodiscard]] std::vector<TSamplePoint> ScatterPoints(std::vector<TSamplePoint> ordered);

// A series of at most this many points also draws a marker at each point: a line alone
// does not show a single point, and hides how few there are.
inline constexpr std::size_t MarkerLimit = 30;

struct TSeriesRange {
  double MinX = 0;
  double MaxX = 0;
  double MinY = 0;
  double MaxY = 0;
};

// The smallest range holding the points of both series, widened by one each way where
// it would be empty; nothing when neither series has a point.
[[nodiscard]] std::optional<TSeriesRange> SeriesRange(std::span<const TSamplePoint> first,
                                                      std::span<const TSamplePoint> second);

// Qt's charts take an axis whose values all lie within 1e-12 of zero for an empty one and keep
// the labels of the range before, so a chart draws values that small in units of a power of
// ten: x in units of 10^ExponentX, y of 10^ExponentY (0: as they are).
struct TChartUnits {
  int ExponentX = 0;
  int ExponentY = 0;
  friend bool operator==(const TChartUnits&, const TChartUnits&) = default;
};
// Values up to this size, zero aside, are drawn in units of the power of ten below them.
inline constexpr double SmallestPlainValue = 1e-9;
[[nodiscard]] TChartUnits ChartUnits(const TSeriesRange& range) noexcept;
[[nodiscard]] std::vector<TSamplePoint> InUnits(std::vector<TSamplePoint> points,
                                                const TChartUnits& units);
[[nodiscard]] TSeriesRange InUnits(TSeriesRange range, const TChartUnits& units) noexcept;
// An axis title with the unit of its numbers: "y (×1e-13)", or "×1e-13" for no title; in
// units of 1 the title alone.
[[nodiscard]] std::string TitleInUnits(const std::string& title, int exponent);

// Most ticks an axis of the chart gets: at the window's first size a tick more on the y axis
// leaves too little height for each label, which the chart then elides to "...".
inline constexpr int MostXTicks = 6;
inline constexpr int MostYTicks = 5;

// Room one label of an axis needs along it, in pixels: a number of a few digits across the
// x axis, a line of text up the y axis.
inline constexpr double XTickRoom = 48;
inline constexpr double YTickRoom = 15;
// The ticks an axis of this length has room for, from three up to most.
[[nodiscard]] int TicksThatFit(double length, double room, int most) noexcept;

struct TAxisScale {
  double Min = 0;
  double Max = 1;
  int TickCount = 2;
};

// Bounds on whole steps of 1, 2 or 5 times a power of ten around [min, max], with the fewest
// steps that still leave at most mostTicks ticks (three at least: a span across zero needs
// them). Nothing when min < max does not hold or the span is too wide or too narrow for such
// steps.
[[nodiscard]] std::optional<TAxisScale> ReadableScale(double min, double max, int mostTicks);
