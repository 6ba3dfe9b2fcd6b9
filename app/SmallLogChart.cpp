#include "app/SmallLogChart.h"

#include <algorithm>

#include <QGraphicsLayout>
#include <QLogValueAxis>
#include <QValueAxis>
#include <QXYSeries>

#include "app/ChartPalette.h"
#include "watch/ProgressHistory.h"

namespace {

// Labels a small chart's error axis has room for at its least height, and the height one
// more label needs.
constexpr int LeastErrorLabels = 3;
constexpr qreal ErrorLabelSpacing = 24;

}  // namespace

TSmallLogChart::TSmallLogChart(const QString& title, QWidget* parent)
    : QChartView(new QChart(), parent) {
  QChart* chart = this->chart();
  chart->setTitle(title);
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
  axisX_->setTickCount(3);  // a small chart: more labels would not fit
  axisY_ = new QLogValueAxis(chart);
  axisY_->setLabelFormat(QStringLiteral("%g"));
  axisY_->setBase(10);
  for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{axisX_, axisY_}) {
    axis->setLabelsFont(small);
  }
  chart->addAxis(axisX_, Qt::AlignBottom);
  chart->addAxis(axisY_, Qt::AlignLeft);
  FollowPalette(*chart, palette());
  connect(chart, &QChart::plotAreaChanged, this, &TSmallLogChart::FitErrorLabels);
}

void TSmallLogChart::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) FollowPalette(*chart(), palette());
  QChartView::changeEvent(event);
}

void TSmallLogChart::Attach(QXYSeries* series) {
  chart()->addSeries(series);
  series->attachAxis(axisX_);
  series->attachAxis(axisY_);
}

void TSmallLogChart::ShowErrorRange(const TErrorRange& range) {
  axisY_->setRange(range.Min, range.Max);
  FitErrorLabels(chart()->plotArea());
}

void TSmallLogChart::FitErrorLabels(const QRectF& plotArea) {
  const int room = static_cast<int>(plotArea.height() / ErrorLabelSpacing);
  axisY_->setBase(LogAxisBase({axisY_->min(), axisY_->max()}, std::max(LeastErrorLabels, room)));
}
