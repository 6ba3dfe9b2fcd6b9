#include "app/FrontChart.h"

#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include "frontend/FrontTable.h"

TFrontChart::TFrontChart(QWidget* parent)
    : TSmallLogChart(QStringLiteral("Error by size"), parent) {
  QChart* chart = this->chart();
  line_ = new QLineSeries(chart);
  line_->setPointsVisible(true);
  line_->setPen(QPen(QColor(0, 0, 192), 1));
  suggested_ = new QScatterSeries(chart);
  suggested_->setMarkerSize(9);
  suggested_->setColor(QColor(192, 96, 0));
  Attach(line_);
  Attach(suggested_);
}

void TFrontChart::Show(const TFrontTable& table) {
  const TFrontPlot plot = FrontPlot(table);
  ValueAxis()->setRange(0, plot.SizeAxis);
  ShowErrorRange(plot.ErrorAxis);
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(plot.Points.size()));
  for (const TSamplePoint& point : plot.Points)
    points.append(QPointF(point.X, point.Y));
  line_->replace(points);
  suggested_->clear();
  if (plot.Suggested) suggested_->append(points[static_cast<qsizetype>(*plot.Suggested)]);
}
