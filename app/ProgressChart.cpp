#include "app/ProgressChart.h"

#include <algorithm>

#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>

#include "frontend/SeriesPoints.h"

namespace {

// An attempt keeps its colour while older lines leave the chart.
const QColor LineColours[] = {QColor(0, 128, 0),   QColor(0, 0, 192),   QColor(192, 96, 0),
                              QColor(128, 0, 128), QColor(0, 128, 128), QColor(96, 96, 96)};

}  // namespace

TProgressChart::TProgressChart(QWidget* parent) : QChartView(new QChart(), parent) {
  QChart* chart = this->chart();
  chart->setTitle(QStringLiteral("Best error"));
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
  Start();
}

void TProgressChart::Start() {
  history_.Clear();
  KeepLines(0);
  axisX_->setRange(0, 1);
  axisY_->setRange(0.1, 10);
  sinceRedraw_.invalidate();
}

void TProgressChart::Add(const TSearchProgress& progress) {
  history_.Add(progress);
  if (sinceRedraw_.isValid() && sinceRedraw_.elapsed() < RedrawInterval.count()) return;
  Redraw();
}

void TProgressChart::Finish() {
  Redraw();
}

void TProgressChart::KeepLines(std::size_t count) {
  while (lines_.size() > count) {
    chart()->removeSeries(lines_.back());
    delete lines_.back();
    lines_.pop_back();
  }
  while (lines_.size() < count) {
    auto* line = new QLineSeries(chart());
    chart()->addSeries(line);
    line->attachAxis(axisX_);
    line->attachAxis(axisY_);
    lines_.push_back(line);
  }
}

void TProgressChart::Redraw() {
  sinceRedraw_.start();
  const std::vector<TProgressHistory::TLine>& all = history_.Lines();
  const std::size_t drawn = std::min(all.size(), MaxLines);
  KeepLines(drawn);
  const TErrorRange range = history_.ErrorRange().value_or(TErrorRange{1, 1});
  const TErrorRange axis = LogAxisRange(range);
  // Ranges that change only now and then: each change lays the chart out anew.
  axisY_->setRange(axis.Min, axis.Max);
  axisX_->setRange(0, NiceCeiling(history_.LastGeneration()));
  for (std::size_t i = 0; i < drawn; ++i) {
    const TProgressHistory::TLine& line = all[all.size() - drawn + i];
    // The best error holds until the next change: steps, not slopes.
    const std::vector<TSamplePoint> points = DisplayPoints(line.Points);
    QList<QPointF> steps;
    steps.reserve(static_cast<qsizetype>(2 * points.size()));
    for (std::size_t k = 0; k < points.size(); ++k) {
      const double y = LogAxisValue(points[k].Y, range);
      if (k > 0) steps.append(QPointF(points[k].X, steps.back().y()));
      steps.append(QPointF(points[k].X, y));
    }
    lines_[i]->setPen(
        QPen(LineColours[static_cast<std::size_t>(line.Attempt) % std::size(LineColours)], 1));
    lines_[i]->setName(QStringLiteral("attempt %1, seed %2").arg(line.Attempt).arg(line.Seed));
    lines_[i]->replace(steps);
  }
}
