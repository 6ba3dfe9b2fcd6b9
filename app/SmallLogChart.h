#pragma once
// A small chart beside the model text: a short title in a smaller font, no legend, a value
// axis along the bottom and an error axis on a logarithmic scale, both labelled tersely.

#include <QChartView>

class QLogValueAxis;
class QValueAxis;
class QXYSeries;
struct TErrorRange;

class TSmallLogChart : public QChartView {
  Q_OBJECT

 public:
  TSmallLogChart(const QString& title, QWidget* parent);

  [[nodiscard]] QValueAxis* ValueAxis() const noexcept { return axisX_; }
  [[nodiscard]] QLogValueAxis* ErrorAxis() const noexcept { return axisY_; }

 protected:
  void changeEvent(QEvent* event) override;
  // Adds the series to the chart on both axes.
  void Attach(QXYSeries* series);
  // The error axis over range, labelled at every decade or every few where many would not fit.
  void ShowErrorRange(const TErrorRange& range);

 private:
  QValueAxis* axisX_ = nullptr;
  QLogValueAxis* axisY_ = nullptr;
  // Labels for the plot's height, refitted whenever the chart lays the plot out anew.
  void FitErrorLabels(const QRectF& plotArea);
};
