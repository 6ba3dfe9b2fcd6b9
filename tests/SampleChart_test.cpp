// The chart: markers where a series has few points, so that a single sample shows.
#include <QAbstractAxis>
#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>

#include "app/SampleChart.h"
#include "frontend/SeriesPoints.h"
#include "tests/WindowTestKit.h"

class TestSampleChart : public QObject {
  Q_OBJECT

 private slots:
  void markersOnlyForFewPoints_data();
  void markersOnlyForFewPoints();
  void singlePointIsInsideTheAxes();
  void tinyValuesAreDrawnInUnitsTheAxesCanLabel();
  void aSmallPlotGetsFewerTicks();
  void chartsFollowThePalette();
  void legendGivesWayInASmallChartOfSeveralInputs();
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

void TestSampleChart::tinyValuesAreDrawnInUnitsTheAxesCanLabel() {
  // Values below 1e-12 would leave the axes with the labels of the data before.
  TSampleChart chart(nullptr);
  chart.SetPoints(TSampleChart::SampleSeries, Line(100));
  std::vector<TSamplePoint> tiny;
  for (int i = 0; i < 5; ++i)
    tiny.push_back({i * 1e-14, (i - 2) * 3e-13});
  chart.SetPoints(TSampleChart::SampleSeries, tiny);
  const QValueAxis* x = chart.AxisX();
  const QValueAxis* y = chart.AxisY();
  QVERIFY2(x->min() <= 0 && 4 <= x->max() && x->max() <= 10, qPrintable(QString::number(x->max())));
  QVERIFY2(y->min() <= -6 && 6 <= y->max() && y->max() <= 10,
           qPrintable(QString::number(y->max())));
  QCOMPARE(x->titleText(), QString::fromUtf8("\u00d71e-14"));
  QCOMPARE(y->titleText(), QString::fromUtf8("\u00d71e-13"));
  QCOMPARE(chart.Series(TSampleChart::SampleSeries)->at(4), QPointF(4, 6));
  QCOMPARE(chart.Points(TSampleChart::SampleSeries)[4].Y, 2 * 3e-13);  // the data as they are
  // A model of ordinary size beside them: both series in units of 1 again.
  chart.SetPoints(TSampleChart::ModelSeries, {{0, 1}, {4e-14, 2}});
  QCOMPARE(y->titleText(), QString());
  QCOMPARE(chart.Series(TSampleChart::SampleSeries)->at(4).y(), 2 * 3e-13);
  QCOMPARE(x->titleText(), QString::fromUtf8("\u00d71e-14"));  // x is still tiny
}

void TestSampleChart::aSmallPlotGetsFewerTicks() {
  // Labels closer than they are long would be elided to "...", all of them.
  TSampleChart chart(nullptr);
  chart.resize(600, 400);
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  chart.SetPoints(TSampleChart::SampleSeries, Line(100));  // x from 0 to 99, y to 198
  QTRY_COMPARE(chart.AxisX()->tickCount(), 6);             // 0, 20, ... 100
  const int tall = chart.AxisY()->tickCount();
  chart.resize(160, 400);
  QTRY_VERIFY2(chart.AxisX()->tickCount() < 6,
               qPrintable(QString::number(chart.AxisX()->tickCount())));
  QVERIFY(chart.AxisX()->tickCount() >= 3);
  QCOMPARE(chart.AxisX()->max(), 100.0);  // still the whole range
  chart.resize(600, 110);
  QTRY_VERIFY2(chart.AxisY()->tickCount() < tall,
               qPrintable(QString::number(chart.AxisY()->tickCount())));
  QTRY_COMPARE(chart.AxisX()->tickCount(), 6);
}

void TestSampleChart::chartsFollowThePalette() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Mid, QColor(90, 90, 90));
  dark.setColor(QPalette::Midlight, QColor(60, 60, 60));
  const auto faults = [&form](const QPalette& palette) {
    QStringList faults;
    for (const char* name : {"chTest", "chProgress", "chFront"}) {
      QChart& chart = *Control<QChartView>(form, name)->chart();
      if (chart.backgroundBrush().color() != palette.color(QPalette::Base)) faults << name;
      if (chart.titleBrush().color() != palette.color(QPalette::Text)) faults << name;
      if (chart.legend()->labelColor() != palette.color(QPalette::Text)) faults << name;
      for (QAbstractAxis* axis : chart.axes()) {
        if (axis->labelsColor() != palette.color(QPalette::Text) ||
            axis->gridLineColor() != palette.color(QPalette::Midlight))
          faults << QStringLiteral("%1 axis").arg(name);
      }
    }
    return faults;
  };
  QVERIFY(form.palette().color(QPalette::Base) != dark.color(QPalette::Base));
  QCOMPARE(faults(form.palette()), QStringList());
  form.setPalette(dark);
  QCOMPARE(faults(dark), QStringList());
  // The series keep their colours.
  QCOMPARE(Control<TSampleChart>(form, "chTest")->Series(TSampleChart::SampleSeries)->color(),
           QColor(255, 0, 0));
  form.setPalette(QPalette());
  QCOMPARE(faults(form.palette()), QStringList());
}

void TestSampleChart::legendGivesWayInASmallChartOfSeveralInputs() {
  TSampleData one(3);
  TSampleData two(3, 2);
  TSampleChart chart(nullptr);
  chart.resize(300, 160);
  chart.show();
  chart.ShowSamples(one, SeriesPoints(one));
  QVERIFY(chart.chart()->legend()->isVisible());  // one input: as it always was
  chart.ShowSamples(two, {});
  QVERIFY(!chart.chart()->legend()->isVisible());
  chart.resize(300, 400);
  QVERIFY(chart.chart()->legend()->isVisible());
}

QTEST_MAIN(TestSampleChart)
#include "SampleChart_test.moc"
