// The "Test data" group: the grid's columns fit every set it is given, every input shows
// under its name, scattered samples are drawn as points, and a set of several inputs offers
// the chart's views.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineSeries>
#include <QValueAxis>
#include <QTableView>
#include <QTest>

#include "app/TestDataBox.h"
#include "core/model/DecimalSeparator.h"
#include "frontend/SeriesPoints.h"
#include "tests/WindowTestKit.h"

namespace {

void SetRows(TSampleData& samples, std::initializer_list<TSamplePoint> rows) {
  samples.Reshape(static_cast<std::int32_t>(rows.size()), 1);
  std::int32_t i = 0;
  for (const TSamplePoint& p : rows) {
    samples.SetX(i, p.X);
    samples.SetY(i++, p.Y);
  }
  samples.UpdateBounds();
}

// Rows of inputs and y.
void SetRows(TSampleData& samples, std::int32_t inputs,
             std::initializer_list<std::vector<double>> rows) {
  samples.Reshape(static_cast<std::int32_t>(rows.size()), inputs);
  std::int32_t i = 0;
  for (const std::vector<double>& row : rows) {
    for (std::int32_t k = 0; k < inputs; ++k)
      samples.SetX(i, k, row[static_cast<std::size_t>(k)]);
    samples.SetY(i++, row.back());
  }
  samples.UpdateBounds();
}

QStringList Headers(const QTableView& grid) {
  QStringList headers;
  for (int column = 0; column < grid.model()->columnCount(); ++column)
    headers << grid.model()->headerData(column, Qt::Horizontal).toString();
  return headers;
}

QStringList Row(const QTableView& grid, int row) {
  QStringList cells;
  for (int column = 0; column < grid.model()->columnCount(); ++column)
    cells << grid.model()->index(row, column).data().toString();
  return cells;
}

QList<QPointF> Points(const TSampleChart& chart, int series) {
  QList<QPointF> points;
  for (const TSamplePoint& p : chart.Points(series))
    points.append(QPointF(p.X, p.Y));
  return points;
}

// The columns whose width is less than that of a text they show.
QStringList CutColumns(const QTableView& grid) {
  QStringList cut;
  const QAbstractItemModel& model = *grid.model();
  for (int column = 0; column < model.columnCount(); ++column) {
    for (int row = 0; row < model.rowCount(); ++row) {
      const QString text = model.index(row, column).data().toString();
      if (grid.columnWidth(column) < grid.fontMetrics().horizontalAdvance(text)) {
        cut << QStringLiteral("%1: %2").arg(column).arg(text);
        break;
      }
    }
  }
  return cut;
}

}  // namespace

class TestTestDataBox : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetDecimalSeparator("."); }
  void columnsFitEachNewSet();
  void scatteredSamplesAreDrawnAsPoints();
  void gridShowsEveryInputUnderItsName_data();
  void gridShowsEveryInputUnderItsName();
  void oneInputOffersNoChartChoice();
  void chartShowsTheChosenInputOrMeasuredAgainstPredicted();
};

void TestTestDataBox::columnsFitEachNewSet() {
  TSampleData samples(0);
  TTestDataBox box(samples, nullptr);
  auto* grid = Control<QTableView>(box, "sgTest");
  SetRows(samples, {{1, 2}, {3, 4}});
  box.Show(SeriesPoints(samples));
  QVERIFY(CutColumns(*grid).isEmpty());
  const int narrow = grid->columnWidth(1);

  SetRows(samples, {{1, -1.0 / 30000}, {123456789.125, 1.5e300}, {-2.5e-9, 0.25}});
  box.Show(SeriesPoints(samples));
  QCOMPARE(CutColumns(*grid), QStringList());
  QVERIFY(grid->columnWidth(1) > narrow);
}

void TestTestDataBox::scatteredSamplesAreDrawnAsPoints() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const auto* chart = Control<TSampleChart>(form, "chTest");
  const QLineSeries* samples = chart->Series(TSampleChart::SampleSeries);
  const auto drawnAsLine = [samples] {
    return samples->pen().style() != Qt::NoPen && !samples->pointsVisible();
  };
  QVERIFY(drawnAsLine());  // the sine sample, x ascending

  QGuiApplication::clipboard()->setText(QStringLiteral("3 1\r\n1 2\r\n2 5\r\n0 4"));
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()).size(), 4);
  QCOMPARE(samples->pen().style(), Qt::NoPen);
  QVERIFY(samples->pointsVisible());
  QCOMPARE(samples->count(), 4);
  QCOMPARE(samples->pen().color(), QColor(255, 0, 0));  // the markers keep the series' colour

  // Ascending again, but more than a line shows apart.
  QString many;
  for (int i = 0; i <= LineLimit; ++i)
    many += QStringLiteral("%1 %2\r\n").arg(i).arg(i % 3);
  QGuiApplication::clipboard()->setText(many);
  form.PastData1Click();
  QCOMPARE(form.SampleSet().Count(), LineLimit + 1);
  QVERIFY(!drawnAsLine());

  form.Button1Click();
  QVERIFY(drawnAsLine());
  // The model's curve is a line whatever the samples.
  QCOMPARE(chart->Series(TSampleChart::ModelSeries)->pen().style(), Qt::SolidLine);
}

void TestTestDataBox::gridShowsEveryInputUnderItsName_data() {
  QTest::addColumn<QStringList>("names");
  QTest::addColumn<QStringList>("headers");
  QTest::newRow("one input") << QStringList() << QStringList{"x", "y"};
  QTest::newRow("one input, named") << QStringList{"time", "value"} << QStringList{"time", "value"};
  QTest::newRow("three inputs") << QStringList() << QStringList{"x1", "x2", "x3", "y"};
  QTest::newRow("three inputs, named")
      << QStringList{"a", "b", "c", "d"} << QStringList{"a", "b", "c", "d"};
}

void TestTestDataBox::gridShowsEveryInputUnderItsName() {
  QFETCH(QStringList, names);
  QFETCH(QStringList, headers);
  TSampleData samples(0);
  TTestDataBox box(samples, nullptr);
  auto* grid = Control<QTableView>(box, "sgTest");
  const std::int32_t inputs = static_cast<std::int32_t>(headers.size()) - 1;
  if (inputs == 1) {
    SetRows(samples, {{1, 2}, {3, 4}});
  } else {
    SetRows(samples, 3, {{1, 2, 3, 4}, {5, 6, 7, 8}});
  }
  std::vector<std::string> set;
  for (const QString& name : names)
    set.push_back(name.toStdString());
  samples.SetNames(set);
  box.Show(SeriesPoints(samples));
  QCOMPARE(Headers(*grid), headers);
  QCOMPARE(Row(*grid, 1), inputs == 1
                              ? (QStringList{"3.000000", "4.000000"})
                              : (QStringList{"5.000000", "6.000000", "7.000000", "8.000000"}));
  QCOMPARE(CutColumns(*grid), QStringList());

  // A set of another shape is read again: no column of the last is left over.
  SetRows(samples, {{9, 10}});
  samples.SetNames({});
  box.Show(SeriesPoints(samples));
  QCOMPARE(Headers(*grid), (QStringList{"x", "y"}));
  QCOMPARE(Row(*grid, 0), (QStringList{"9.000000", "10.000000"}));
}

void TestTestDataBox::oneInputOffersNoChartChoice() {
  TSampleData samples(0);
  TTestDataBox box(samples, nullptr);
  box.show();
  SetRows(samples, {{1, 2}, {3, 4}});
  box.Show(SeriesPoints(samples));
  QVERIFY(!Control<QComboBox>(box, "cbChartX")->isVisible());
  const TSampleChart& chart = box.Chart();
  QVERIFY(!chart.AsPoints(TSampleChart::SampleSeries));
  QCOMPARE(Points(chart, TSampleChart::SampleSeries), (QList<QPointF>{{1, 2}, {3, 4}}));
  QCOMPARE(chart.AxisX()->titleText(), QString());  // as the chart has always been
}

void TestTestDataBox::chartShowsTheChosenInputOrMeasuredAgainstPredicted() {
  TSampleData samples(0);
  TTestDataBox box(samples, nullptr);
  box.show();
  SetRows(samples, 2, {{1, 30, 5}, {2, 10, 6}, {3, 20, 8}});
  samples.SetNames({"theta", "sigma", "period"});
  box.Show(SeriesPoints(samples));
  TSampleChart& chart = box.Chart();
  auto* choice = Control<QComboBox>(box, "cbChartX");
  QVERIFY(choice->isVisible());
  QCOMPARE(choice->count(), 3);
  QCOMPARE(choice->itemText(1), QStringLiteral("sigma"));
  QCOMPARE(choice->itemText(2), QStringLiteral("measured against predicted"));
  QCOMPARE(choice->currentIndex(), 0);
  QVERIFY(chart.AsPoints(TSampleChart::SampleSeries));
  QCOMPARE(Points(chart, TSampleChart::SampleSeries), (QList<QPointF>{{1, 5}, {2, 6}, {3, 8}}));
  QCOMPARE(chart.AxisX()->titleText(), QStringLiteral("theta"));
  QCOMPARE(chart.AxisY()->titleText(), QStringLiteral("period"));

  chart.ShowModel(samples, {5, 7, 8});
  QVERIFY(chart.AsPoints(TSampleChart::ModelSeries));
  QCOMPARE(Points(chart, TSampleChart::ModelSeries), (QList<QPointF>{{1, 5}, {2, 7}, {3, 8}}));

  // The user picks the second input: both series follow it, ordered by it.
  choice->setFocus();
  QTest::keyClick(choice, Qt::Key_Down);
  QCOMPARE(chart.View(), 1);
  QCOMPARE(Points(chart, TSampleChart::SampleSeries), (QList<QPointF>{{10, 6}, {20, 8}, {30, 5}}));
  QCOMPARE(Points(chart, TSampleChart::ModelSeries), (QList<QPointF>{{10, 7}, {20, 8}, {30, 5}}));
  QCOMPARE(chart.AxisX()->titleText(), QStringLiteral("sigma"));

  // Measured against predicted: the samples at their predictions, the diagonal as a line.
  QTest::keyClick(choice, Qt::Key_Down);
  QCOMPARE(Points(chart, TSampleChart::SampleSeries), (QList<QPointF>{{5, 5}, {7, 6}, {8, 8}}));
  QVERIFY(chart.AsPoints(TSampleChart::SampleSeries));
  QVERIFY(!chart.AsPoints(TSampleChart::ModelSeries));
  QCOMPARE(Points(chart, TSampleChart::ModelSeries), (QList<QPointF>{{5, 5}, {8, 8}}));
  QCOMPARE(chart.AxisX()->titleText(), QStringLiteral("predicted period"));
  QCOMPARE(chart.AxisY()->titleText(), QStringLiteral("measured period"));

  // A new set of the same shape keeps the view; its model is gone.
  SetRows(samples, 2, {{1, 1, 1}});
  box.Show(SeriesPoints(samples));
  QCOMPARE(choice->currentIndex(), 2);
  QVERIFY(Points(chart, TSampleChart::SampleSeries).isEmpty());
  // Back to one input: the chart as it always was.
  SetRows(samples, {{4, 5}});
  box.Show(SeriesPoints(samples));
  QVERIFY(!choice->isVisible());
  QVERIFY(!chart.AsPoints(TSampleChart::SampleSeries));
  QCOMPARE(Points(chart, TSampleChart::SampleSeries), (QList<QPointF>{{4, 5}}));
}

QTEST_MAIN(TestTestDataBox)
#include "TestDataBox_test.moc"
