#pragma once
// A small chart of the front: the error of each size's best model on a logarithmic axis,
// the suggested model marked.

#include "app/SmallLogChart.h"

class QLineSeries;
class QScatterSeries;
class TFrontTable;

class TFrontChart : public TSmallLogChart {
  Q_OBJECT

 public:
  explicit TFrontChart(QWidget* parent);

  void Show(const TFrontTable& table);

  [[nodiscard]] QLineSeries* Line() const noexcept { return line_; }
  [[nodiscard]] QScatterSeries* SuggestedPoint() const noexcept { return suggested_; }

 private:
  QLineSeries* line_ = nullptr;
  QScatterSeries* suggested_ = nullptr;
};
