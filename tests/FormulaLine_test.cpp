// The formula line under the model text and the commands that copy the model's other forms.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "core/model/Random.h"
#include "tests/WindowTestKit.h"

class TestFormulaLine : public QObject {
  Q_OBJECT

 private slots:
  void startsWithTheIdentity();
  void followsTheBestModelOfASearch();
  void copyCommands_data();
  void copyCommands();
  void severalInputsTakeTheColumnNames();
};

namespace {

// y = 2x at x = 0 .. 11: a search from a fixed seed finds it.
void RunLine(TForm1& form) {
  ShowRows(form, {{0, 0},
                  {1, 2},
                  {2, 4},
                  {3, 6},
                  {4, 8},
                  {5, 10},
                  {6, 12},
                  {7, 14},
                  {8, 16},
                  {9, 18},
                  {10, 20},
                  {11, 22}});
  // The seed box seeds the search; empty, the search would take the clock's.
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("12345"));
  form.Button2Click();
}

}  // namespace

void TestFormulaLine::startsWithTheIdentity() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QCOMPARE(Control<QLineEdit>(form, "edFormula")->text(), QStringLiteral("x"));
  QVERIFY(Control<QLineEdit>(form, "edFormula")->isReadOnly());
  QVERIFY(Control<QLabel>(form, "lbFormulaNote")->text().startsWith("Checked against the model"));
}

void TestFormulaLine::followsTheBestModelOfASearch() {
  TScriptedServices script;
  TForm1 form(script.Services());
  RunLine(form);
  QVERIFY(Control<QPlainTextEdit>(form, "memTest")
              ->toPlainText()
              .startsWith("// model correctness: 12 of 12"));
  QCOMPARE(Control<QLineEdit>(form, "edFormula")->text(), QStringLiteral("2*x"));
}

void TestFormulaLine::copyCommands_data() {
  QTest::addColumn<QString>("action");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("contains");
  QTest::newRow("formula") << "CopyFormula1"
                           << "Formula copied."
                           << "2*x"
                           << "2*x";
  QTest::newRow("latex") << "CopyFormulaLatex1"
                         << "Formula copied as LaTeX."
                         << "2 x"
                         << "2 x";
  QTest::newRow("c") << "CopyModelC1"
                     << "Model copied as C."
                     << "#include <math.h>"
                     << "// Movar Tester model for the generated sine sample, margin of error "
                        "10.00%\ndouble model(double x) {";
  QTest::newRow("python") << "CopyModelPython1"
                          << "Model copied as Python."
                          << "# Movar Tester model for"
                          << "def model(x):";
}

void TestFormulaLine::copyCommands() {
  QFETCH(QString, action);
  QFETCH(QString, message);
  QFETCH(QString, start);
  QFETCH(QString, contains);
  TScriptedServices script;
  TForm1 form(script.Services());
  RunLine(form);
  QApplication::clipboard()->clear();
  Control<QAction>(form, action.toLatin1())->trigger();
  const QString text = QApplication::clipboard()->text();
  QVERIFY2(text.startsWith(start), qPrintable(text));
  QVERIFY2(text.contains(contains), qPrintable(text));
  QCOMPARE(script.Messages, QStringList{message});
  // In the Edit menu and in the model text's menu.
  QVERIFY(
      Control<QMenu>(form, "Edit4")->actions().contains(Control<QAction>(form, action.toLatin1())));
  QVERIFY(Control<QMenu>(form, "PopupMenu3")
              ->actions()
              .contains(Control<QAction>(form, action.toLatin1())));
}

void TestFormulaLine::severalInputsTakeTheColumnNames() {
  TScriptedServices script;
  TForm1 form(script.Services());
  // period = theta + sigma on a grid, where no one input explains it.
  TSampleData& samples = form.SampleSet();
  samples.Reshape(12, 2);
  for (std::int32_t i = 0; i < 12; ++i) {
    samples.SetX(i, 0, i % 4);
    samples.SetX(i, 1, 10.0 * (i / 4));
    samples.SetY(i, i % 4 + 10.0 * (i / 4));
  }
  samples.SetNames({"theta", "sigma", "period"});
  form.btPlotClick();
  QCOMPARE(Control<QLineEdit>(form, "edFormula")->text(), QStringLiteral("theta"));
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("12345"));
  Control<QLineEdit>(form, "edGenerationLimit")->setText(QStringLiteral("3000"));
  form.Button2Click();

  const QString text = Control<QPlainTextEdit>(form, "memTest")->toPlainText();
  QVERIFY2(text.startsWith("// model correctness: 12 of 12"), qPrintable(text));
  QVERIFY2(text.contains("\n// valueX1: theta, valueX2: sigma; y: period\n"
                         "double model(double valueX1, double valueX2) {"),
           qPrintable(text));
  const QString formula = Control<QLineEdit>(form, "edFormula")->text();
  QVERIFY2(formula.contains("theta") && formula.contains("sigma") && !formula.contains("x1"),
           qPrintable(formula));
  form.CopyModelPython1Click();
  QVERIFY2(QApplication::clipboard()->text().contains("def model(theta, sigma"),
           qPrintable(QApplication::clipboard()->text()));
  form.CopyFormula1Click();
  QCOMPARE(QApplication::clipboard()->text(), formula);
}

QTEST_MAIN(TestFormulaLine)
#include "FormulaLine_test.moc"
