#pragma once
// A small chart of the front: the error of each size's best model on a logarithmic axis,
// the suggested model marked.

#include <QChartView>

class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;
class TFrontTable;

class TFrontChart : public QChartView {
  Q_OBJECT

 public:
  explicit TFrontChart(QWidget* parent);

  void Show(const TFrontTable& table);

  [[nodiscard]] QLineSeries* Line() const noexcept { return line_; }
  [[nodiscard]] QScatterSeries* SuggestedPoint() const noexcept { return suggested_; }
  [[nodiscard]] QLogValueAxis* ErrorAxis() const noexcept { return axisY_; }

 private:
  QLineSeries* line_ = nullptr;
  QScatterSeries* suggested_ = nullptr;
  QValueAxis* axisX_ = nullptr;
  QLogValueAxis* axisY_ = nullptr;
};
