#pragma once
// A small chart beside the model text: a short title in a smaller font, no legend, a value
// axis along the bottom and an error axis on a logarithmic scale, both labelled tersely.

#include <QChartView>

class QLogValueAxis;
class QValueAxis;
class QXYSeries;

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

 private:
  QValueAxis* axisX_ = nullptr;
  QLogValueAxis* axisY_ = nullptr;
};
