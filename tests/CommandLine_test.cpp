// The window's command line: a sample file named there opens at start as "Open" opens it, and
// the generated sample stays when there is none or it cannot be read.
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/CommandLine.h"
#include "core/model/DecimalSeparator.h"
#include "tests/OpeningTesting.h"

class TestCommandLine : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { SetDecimalSeparator("."); }
  void startFileOpensAsOpenDoes_data() { AddSampleFileRows(); }
  void startFileOpensAsOpenDoes();
  void withoutFileTheGeneratedSampleStays();
  void namesAfterDoubleDashAreFiles();
  void unknownOptionIsRefused();

 private:
  QTemporaryDir dir_;
};

void TestCommandLine::startFileOpensAsOpenDoes() {
  QFETCH(QByteArray, content);
  const QString path = PrepareSampleFile(dir_.filePath(QStringLiteral("start.mvs")), content);
  QVERIFY(!path.isEmpty());
  const TOpenOutcome expected = OpenedByDialog(path);

  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> generated = Rows(form.SampleSet());
  TCommandLine commandLine;
  QVERIFY(commandLine.Parse({QStringLiteral("movar-tester"), path}));
  QCOMPARE(commandLine.StartFile(), std::optional<QString>(path));
  commandLine.OpenStartFile(form);

  CompareOutcomes(Outcome(form, script, generated), expected);
  QCOMPARE(Grid(form).rowCount(), form.SampleSet().Count());
  if (content.isEmpty()) {
    QCOMPARE(script.Errors.size(), 1);  // the error box, over the generated sample
    QCOMPARE(Rows(form.SampleSet()), generated);
  } else {
    QVERIFY(Rows(form.SampleSet()) != generated);
    QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), form.SampleSet().Count());
  }
}

void TestCommandLine::withoutFileTheGeneratedSampleStays() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> generated = Rows(form.SampleSet());
  TCommandLine commandLine;
  QVERIFY(commandLine.Parse({QStringLiteral("movar-tester")}));
  QVERIFY(!commandLine.StartFile());
  commandLine.OpenStartFile(form);
  QCOMPARE(generated.size(), 100);
  QCOMPARE(Rows(form.SampleSet()), generated);
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());
}

void TestCommandLine::namesAfterDoubleDashAreFiles() {
  TCommandLine commandLine;
  QVERIFY(commandLine.Parse(
      {QStringLiteral("movar-tester"), QStringLiteral("--"), QStringLiteral("-odd.mvs")}));
  QCOMPARE(commandLine.StartFile(), std::optional<QString>(QStringLiteral("-odd.mvs")));
}

void TestCommandLine::unknownOptionIsRefused() {
  TCommandLine commandLine;
  QVERIFY(!commandLine.Parse({QStringLiteral("movar-tester"), QStringLiteral("--frobnicate")}));
}

QTEST_MAIN(TestCommandLine)
#include "CommandLine_test.moc"
