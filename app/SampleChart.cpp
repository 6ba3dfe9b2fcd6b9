#include "app/SampleChart.h"

#include <QBuffer>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMimeData>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include "app/ChartPalette.h"
#include "frontend/SeriesPoints.h"

namespace {

QLineSeries* AddSeries(QChart& chart, const QString& name, const QColor& color) {
  auto* series = new QLineSeries(&chart);
  series->setName(name);
  QPen pen(color);
  pen.setWidth(1);
  series->setPen(pen);
  series->setMarkerSize(TSampleChart::LineMarkerSize);
  chart.addSeries(series);
  return series;
}

}  // namespace

// The view owns the chart it is built with; setChart() would orphan a default one.
TSampleChart::TSampleChart(QWidget* parent) : QChartView(new QChart(), parent) {
  QChart* chart = this->chart();
  chart->setTitle(QStringLiteral("Test data"));
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setPlotAreaBackgroundVisible(false);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);  // the chart fills the view, no grey frame
  series_[SampleSeries] = AddSeries(*chart, QStringLiteral("Sample"), QColor(255, 0, 0));
  series_[ModelSeries] = AddSeries(*chart, QStringLiteral("Model"), QColor(0, 128, 0));

  axisX_ = new QValueAxis(chart);
  axisY_ = new QValueAxis(chart);
  for (QValueAxis* axis : {axisX_, axisY_})
    axis->setLabelFormat(QStringLiteral("%g"));
  chart->addAxis(axisX_, Qt::AlignBottom);
  chart->addAxis(axisY_, Qt::AlignLeft);
  for (QLineSeries* series : series_) {
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
  }
  heldOut_ = new QScatterSeries(chart);
  heldOut_->setName(QStringLiteral("Held out"));
  heldOut_->setMarkerSize(7);
  heldOut_->setColor(Qt::transparent);
  heldOut_->setBorderColor(QColor(0, 0, 192));
  chart->addSeries(heldOut_);
  heldOut_->attachAxis(axisX_);
  heldOut_->attachAxis(axisY_);
  MarkHeldOut({});
  setRenderHint(QPainter::Antialiasing);
  FollowPalette(*chart, palette());
  FollowData();
}

void TSampleChart::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) FollowPalette(*chart(), palette());
  QChartView::changeEvent(event);
}

void TSampleChart::SetPoints(int index, std::vector<TSamplePoint> points, bool asPoints) {
  // Every change redraws both series, and a line series is costly per point: a long one
  // gets the points that draw the same curve.
  points_[index] = std::move(points);
  asPoints_[index] = asPoints;
  const std::vector<TSamplePoint> drawn =
      asPoints ? ScatterPoints(points_[index]) : DisplayPoints(points_[index]);
  QList<QPointF> qtPoints;
  qtPoints.reserve(static_cast<qsizetype>(drawn.size()));
  for (const TSamplePoint& p : drawn) {
    qtPoints.append(QPointF(p.X, p.Y));
  }
  series_[index]->replace(qtPoints);
  QPen pen = series_[index]->pen();
  pen.setStyle(asPoints ? Qt::NoPen : Qt::SolidLine);
  series_[index]->setPen(pen);
  series_[index]->setPointsVisible(asPoints || points_[index].size() <= MarkerLimit);
  // Many markers drawn large merge into a blot.
  series_[index]->setMarkerSize(asPoints ? ScatterMarkerSize : LineMarkerSize);
  FollowData();
}

void TSampleChart::MarkHeldOut(const std::vector<TSamplePoint>& points) {
  QList<QPointF> marks;
  for (const TSamplePoint& p : DisplayPoints(points))
    marks.append(QPointF(p.X, p.Y));
  heldOut_->replace(marks);
  // The legend names the marks only while there are any.
  for (QLegendMarker* marker : chart()->legend()->markers(heldOut_))
    marker->setVisible(!marks.isEmpty());
}

void TSampleChart::FollowData() {
  const auto range = SeriesRange(points_[SampleSeries], points_[ModelSeries]);
  if (!range) {
    axisX_->setRange(0, 1);
    axisY_->setRange(0, 1);
    return;
  }
  axisX_->setRange(range->MinX, range->MaxX);
  axisY_->setRange(range->MinY, range->MaxY);
  axisX_->applyNiceNumbers();
  axisY_->applyNiceNumbers();
}

QMimeData* TSampleChart::Picture() {
  const QSize size = this->size().shrunkBy(QMargins(0, 0, 1, 1)).expandedTo(QSize(1, 1));
  const QRect area(QPoint(0, 0), size);

  QByteArray svg;
  QBuffer buffer(&svg);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(area);
  generator.setTitle(chart()->title());
  {
    QPainter painter(&generator);
    render(&painter, area, area);
  }

  auto* mime = new QMimeData();
  mime->setImageData(grab(area).toImage());
  mime->setData(QStringLiteral("image/svg+xml"), svg);
  return mime;
}
