#include "app/ChartPalette.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLegend>
#include <QPalette>
#include <QPen>

void FollowPalette(QChart& chart, const QPalette& palette) {
  const QColor text = palette.color(QPalette::Text);
  chart.setBackgroundBrush(palette.brush(QPalette::Base));
  chart.setBackgroundPen(QPen(palette.color(QPalette::Mid)));
  chart.setTitleBrush(text);
  chart.legend()->setLabelColor(text);
  for (QAbstractAxis* axis : chart.axes()) {
    axis->setLabelsColor(text);
    axis->setTitleBrush(text);
    axis->setLinePenColor(palette.color(QPalette::Mid));
    axis->setGridLineColor(palette.color(QPalette::Midlight));
    axis->setMinorGridLineColor(palette.color(QPalette::Midlight));
  }
}
