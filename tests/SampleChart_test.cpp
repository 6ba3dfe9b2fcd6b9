// The chart: markers where a series has few points, so that a single sample shows.
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>

#include "app/SampleChart.h"
#include "frontend/SeriesPoints.h"

class TestSampleChart : public QObject {
  Q_OBJECT

 private slots:
  void markersOnlyForFewPoints_data();
  void markersOnlyForFewPoints();
  void singlePointIsInsideTheAxes();
};

namespace {

std::vector<TSamplePoint> Line(std::size_t count) {
  std::vector<TSamplePoint> points;
  for (std::size_t i = 0; i < count; ++i)
    points.push_back({static_cast<double>(i), 2.0 * static_cast<double>(i)});
  return points;
}

}  // namespace

void TestSampleChart::markersOnlyForFewPoints_data() {
  QTest::addColumn<int>("series");
  QTest::addColumn<int>("count");
  QTest::addColumn<bool>("markers");
  for (int series : {TSampleChart::SampleSeries, TSampleChart::ModelSeries}) {
    const QByteArray name = series == TSampleChart::SampleSeries ? "Sample " : "Model ";
    QTest::newRow(name + "1") << series << 1 << true;
    QTest::newRow(name + "limit") << series << int(MarkerLimit) << true;
    QTest::newRow(name + "past limit") << series << int(MarkerLimit) + 1 << false;
    QTest::newRow(name + "100") << series << 100 << false;  // the generated samples
  }
}

void TestSampleChart::markersOnlyForFewPoints() {
  QFETCH(int, series);
  QFETCH(int, count);
  QFETCH(bool, markers);
  TSampleChart chart(nullptr);
  chart.SetPoints(series, Line(static_cast<std::size_t>(count)));
  QCOMPARE(chart.Series(series)->pointsVisible(), markers);
  QCOMPARE(chart.Series(series)->count(), count);
  // The other series is empty and marks nothing; a series emptied again marks nothing.
  QVERIFY(!chart.Series(1 - series)->pointsVisible() || chart.Series(1 - series)->count() == 0);
  chart.SetPoints(series, Line(100));
  QVERIFY(!chart.Series(series)->pointsVisible());
}

void TestSampleChart::singlePointIsInsideTheAxes() {
  TSampleChart chart(nullptr);
  chart.SetPoints(TSampleChart::SampleSeries, {{5, 7}});
  const auto axes = chart.chart()->axes();
  QCOMPARE(axes.size(), 2);
  const auto* x = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Horizontal).constFirst());
  const auto* y = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical).constFirst());
  QVERIFY(x->min() < 5 && 5 < x->max());
  QVERIFY(y->min() < 7 && 7 < y->max());
}

QTEST_MAIN(TestSampleChart)
#include "SampleChart_test.moc"
