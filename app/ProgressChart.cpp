#include "app/ProgressChart.h"

#include <algorithm>

#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>

#include "frontend/SeriesPoints.h"

namespace {

// An attempt keeps its colour while older lines leave the chart.
const QColor LineColours[TProgressChart::LegendLines] = {QColor(0, 128, 0),   QColor(0, 0, 192),
                                                         QColor(192, 96, 0),  QColor(128, 0, 128),
                                                         QColor(0, 128, 128), QColor(96, 96, 96)};

}  // namespace

TProgressChart::TProgressChart(QWidget* parent)
    : TSmallLogChart(QStringLiteral("Best error"), parent) {
  QLegend* legend = chart()->legend();
  legend->setAlignment(Qt::AlignRight);
  legend->setFont(ErrorAxis()->labelsFont());
  Start();
}

void TProgressChart::Start() {
  history_.Clear();
  KeepLines(0);
  ShowLegend();
  ValueAxis()->setRange(0, 1);
  ErrorAxis()->setRange(0.1, 10);
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
    Attach(line);
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
  ShowErrorRange(axis);
  ValueAxis()->setRange(0, NiceCeiling(history_.LastGeneration()));
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
    lines_[i]->setName(QStringLiteral("attempt %1").arg(line.Attempt));
    lines_[i]->replace(steps);
  }
  ShowLegend();
}

// One line needs no legend. Colours repeat after LegendLines, so older lines go unnamed.
void TProgressChart::ShowLegend() {
  QLegend* legend = chart()->legend();
  legend->setVisible(lines_.size() > 1);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    for (QLegendMarker* marker : legend->markers(lines_[i]))
      marker->setVisible(i + LegendLines >= lines_.size());
  }
}
