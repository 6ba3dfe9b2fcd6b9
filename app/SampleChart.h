#pragma once
// The line chart of the samples and the model: two series addressed by index, 0 "Sample"
// in red and 1 "Model" in green, axes that follow the data, and its picture for the
// clipboard. Samples held out of a search are marked over the sample line.

#include <array>
#include <vector>

#include <QChartView>

#include "core/model/SD.h"

class QLineSeries;
class QMimeData;
class QScatterSeries;
class QValueAxis;

class TSampleChart : public QChartView {
  Q_OBJECT

 public:
  static constexpr int SampleSeries = 0;
  static constexpr int ModelSeries = 1;
  static constexpr qreal LineMarkerSize = 5;
  static constexpr qreal ScatterMarkerSize = 3;

  explicit TSampleChart(QWidget* parent);

  [[nodiscard]] QLineSeries* Series(int index) const { return series_[index]; }
  // Every point of the series, ordered by x. A long series is drawn from fewer points that
  // cover the same pixels (DisplayPoints), so Series() may hold fewer.
  [[nodiscard]] const std::vector<TSamplePoint>& Points(int index) const { return points_[index]; }
  // Replaces every point of the series in one call; the points come ordered by x, drawn
  // as a line or, asPoints, as markers only. The axes then span both series.
  void SetPoints(int index, std::vector<TSamplePoint> points, bool asPoints = false);
  [[nodiscard]] bool AsPoints(int index) const noexcept { return asPoints_[index]; }
  void Clear(int index) { SetPoints(index, {}); }
  // Marks these samples as held out of the search; none clears the marks.
  void MarkHeldOut(const std::vector<TSamplePoint>& points);
  [[nodiscard]] QScatterSeries* HeldOut() const noexcept { return heldOut_; }

  // The chart as it is drawn now, one pixel less than its area each way: a bitmap
  // (PNG on the clipboard) and an SVG vector picture. The caller owns the result.
  [[nodiscard]] QMimeData* Picture();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void FollowData();

  std::array<QLineSeries*, 2> series_{};
  std::array<std::vector<TSamplePoint>, 2> points_;
  std::array<bool, 2> asPoints_{};
  QScatterSeries* heldOut_ = nullptr;
  QValueAxis* axisX_ = nullptr;
  QValueAxis* axisY_ = nullptr;
};
