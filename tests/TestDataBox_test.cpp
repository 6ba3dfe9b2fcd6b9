// The "Test data" group: the grid's columns fit every set it is given.
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineSeries>
#include <QTableView>
#include <QTest>

#include "app/TestDataBox.h"
#include "core/model/DecimalSeparator.h"
#include "frontend/SeriesPoints.h"
#include "tests/WindowTestKit.h"

namespace {

void SetRows(TSampleData& samples, std::initializer_list<TSamplePoint> rows) {
  samples.SetCount(static_cast<std::int32_t>(rows.size()));
  std::int32_t i = 0;
  for (const TSamplePoint& p : rows) {
    samples.SetX(i, p.X);
    samples.SetY(i++, p.Y);
  }
  samples.UpdateBounds();
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

QTEST_MAIN(TestTestDataBox)
#include "TestDataBox_test.moc"
