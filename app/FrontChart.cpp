#include "app/FrontChart.h"

#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include "frontend/FrontTable.h"

TFrontChart::TFrontChart(QWidget* parent) : QChartView(new QChart(), parent) {
  QChart* chart = this->chart();
  chart->setTitle(QStringLiteral("Error by size"));
  QFont small = chart->titleFont();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  chart->setTitleFont(small);
  chart->legend()->hide();
  setMinimumHeight(100);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);

  axisX_ = new QValueAxis(chart);
  axisX_->setLabelFormat(QStringLiteral("%g"));
  axisX_->setTickCount(3);
  axisY_ = new QLogValueAxis(chart);
  axisY_->setLabelFormat(QStringLiteral("%g"));
  axisY_->setBase(10);
  for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{axisX_, axisY_}) {
    axis->setLabelsFont(small);
  }
  chart->addAxis(axisX_, Qt::AlignBottom);
  chart->addAxis(axisY_, Qt::AlignLeft);

  line_ = new QLineSeries(chart);
  line_->setPointsVisible(true);
  line_->setPen(QPen(QColor(0, 0, 192), 1));
  suggested_ = new QScatterSeries(chart);
  suggested_->setMarkerSize(9);
  suggested_->setColor(QColor(192, 96, 0));
  for (QXYSeries* series : std::initializer_list<QXYSeries*>{line_, suggested_}) {
    chart->addSeries(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
  }
}

void TFrontChart::Show(const TFrontTable& table) {
  const TFrontPlot plot = FrontPlot(table);
  axisX_->setRange(0, plot.SizeAxis);
  axisY_->setRange(plot.ErrorAxis.Min, plot.ErrorAxis.Max);
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(plot.Points.size()));
  for (const TSamplePoint& point : plot.Points)
    points.append(QPointF(point.X, point.Y));
  line_->replace(points);
  suggested_->clear();
  if (plot.Suggested) suggested_->append(points[static_cast<qsizetype>(*plot.Suggested)]);
}
