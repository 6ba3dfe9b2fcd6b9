#pragma once
// The line chart of the samples and the model: two series addressed by index, 0 "Sample"
// in red and 1 "Model" in green, axes that follow the data, and its picture for the
// clipboard. Samples held out of a search are marked over the sample line. A set of several
// inputs is drawn in one of its views (ChartView.h): samples and predictions as points over
// one input, or the samples measured against predicted with the diagonal as a line; the
// choice of view sits in the chart's top corner, where the title of one input's chart is.

#include <array>
#include <optional>
#include <vector>

#include <QChartView>

#include "core/model/SD.h"
#include "frontend/ChartView.h"
#include "frontend/SeriesPoints.h"

class QComboBox;
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

  // The set on show, which must outlive the chart or the next call; ordered: its points for
  // one input (SeriesPoints), made where the set was read. The model's predictions go.
  void ShowSamples(const TSampleData& samples, std::vector<TSamplePoint> ordered);
  // A model's predictions, one per sample of the set.
  void ShowModel(const TSampleData& samples, std::vector<double> predictions);
  void ClearModel();
  // A view of the set (ChartView.h); one it does not have shows the first.
  void SetView(int view);
  [[nodiscard]] int View() const noexcept { return view_; }

  // Marks these samples as held out of the search; none clears the marks.
  void MarkHeldOut(const TSampleData* heldOut);
  [[nodiscard]] QScatterSeries* HeldOut() const noexcept { return heldOut_; }
  [[nodiscard]] QValueAxis* AxisX() const noexcept { return axisX_; }
  [[nodiscard]] QValueAxis* AxisY() const noexcept { return axisY_; }

  // The chart as it is drawn now, one pixel less than its area each way: a bitmap
  // (PNG on the clipboard) and an SVG vector picture. The caller owns the result.
  [[nodiscard]] QMimeData* Picture();

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FollowData();
  // Puts the points in the series as SetPoints does, the axes left as they are.
  void Draw(int index, std::vector<TSamplePoint> points, bool asPoints);
  // Draws the set and the model in the view chosen.
  void Redraw();
  void DrawHeldOut();
  // The views of the set in the choice, shown only when there is more than one.
  void OfferViews();
  // A small chart of several inputs keeps its room for the axes' numbers and names.
  void FitLegend();
  // The axes' titles, with the units the numbers are drawn in.
  void ShowTitles(const TAxisTitles& titles);
  // Fewer ticks where the plot is too small for the labels of all, which the chart would elide.
  void FitTicks(const QRectF& plotArea);

  std::array<QLineSeries*, 2> series_{};
  std::array<std::vector<TSamplePoint>, 2> points_;
  std::array<bool, 2> asPoints_{};
  QScatterSeries* heldOut_ = nullptr;
  QValueAxis* axisX_ = nullptr;
  QValueAxis* axisY_ = nullptr;
  const TSampleData* samples_ = nullptr;
  std::vector<double> predictions_;
  std::optional<TSampleData> heldOutSet_;
  int view_ = 0;
  TChartUnits units_;
  int mostXTicks_ = MostXTicks;
  int mostYTicks_ = MostYTicks;
  TAxisTitles titles_;
  QComboBox* cbChartX = nullptr;
};
