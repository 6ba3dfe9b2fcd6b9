// The search session on its own, with a parameter panel and a model box but no window around
// them: the run state it announces, a close request during a run, and a run asked for inside
// a run.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableView>
#include <QSlider>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <memory>

#include "app/ModelBox.h"
#include "app/ParameterPanel.h"
#include "app/SampleChart.h"
#include "app/SearchSession.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "tests/WindowTestKit.h"

namespace {

// A session over a sine sample that no model of the first generations matches.
struct TSessionRig {
  TScriptedServices script;
  TWindowServices services = script.Services();
  QWidget window;
  TSampleData samples{100};
  TParameterPanel* panel = new TParameterPanel(&window);
  TSampleChart* chart = new TSampleChart(&window);
  TModelBox* model = new TModelBox(samples, *chart, services, &window);
  TSearchSession session{samples, *panel, *model, services, window};

  TSessionRig() {
    SetSeed(99);
    samples.GenerateSine();
    Control<QSpinBox>(*panel, "UpDown3")->setValue(32000);
  }

  // The controls of the panel that are in the wrong state for running or idle.
  [[nodiscard]] QStringList PanelFaults(bool running) const {
    QStringList faults;
    for (const char* name : {"UpDown1", "UpDown2", "UpDown3", "edSeed", "opRandomSample", "Button1",
                             "tb1", "opIncrementalSearch", "opRestartSearch", "Button2",
                             "edHoldout", "edTimeLimit", "edGenerationLimit"}) {
      if (Control<QWidget>(*panel, name)->isEnabled() == running) faults << name;
    }
    if (Control<QPushButton>(*panel, "Button3")->isEnabled() != running) faults << "Button3";
    return faults;
  }
};

}  // namespace

class TestSearchSession : public QObject {
  Q_OBJECT

 private slots:
  void runStateIsAnnouncedAndRestored();
  void closeDuringRunWaitsForTheRunToEnd();
  void noRunStartsInsideARun();
  void aLimitEndsTheRunAndSaysSo();
  void heldOutRowsAreNotSearchedButShown();
  void aShareOfATinySetHoldsNothingOutAndSaysSo();
};

void TestSearchSession::runStateIsAnnouncedAndRestored() {
  TSessionRig rig;
  QSignalSpy changed(&rig.session, &TSearchSession::RunningChanged);
  QStringList faultsWhileRunning{"not run"};
  bool runningSeen = false;
  QTimer::singleShot(0, &rig.window, [&] {
    runningSeen = rig.session.Running();
    faultsWhileRunning = rig.PanelFaults(true);
    rig.session.Stop();
  });
  rig.session.Run();

  QVERIFY(runningSeen);
  QVERIFY2(faultsWhileRunning.isEmpty(), qPrintable(faultsWhileRunning.join(' ')));
  QVERIFY(!rig.session.Running());
  QVERIFY2(rig.PanelFaults(false).isEmpty(), qPrintable(rig.PanelFaults(false).join(' ')));
  QCOMPARE(changed.size(), 2);
  QCOMPARE(changed.at(0).at(0).toBool(), true);
  QCOMPARE(changed.at(1).at(0).toBool(), false);
  QVERIFY(rig.script.Errors.isEmpty());
}

void TestSearchSession::closeDuringRunWaitsForTheRunToEnd() {
  TSessionRig rig;
  QSignalSpy deferred(&rig.session, &TSearchSession::CloseDeferred);
  QVERIFY(!rig.session.DeferClose());  // idle: the window may close at once
  bool deferredDuringRun = false;
  bool runningWhenDeferredSent = true;
  connect(&rig.session, &TSearchSession::CloseDeferred, &rig.window,
          [&] { runningWhenDeferredSent = rig.session.Running(); });
  QTimer::singleShot(0, &rig.window, [&] {
    deferredDuringRun = rig.session.DeferClose();
    QVERIFY(deferred.isEmpty());
  });
  rig.session.Run();  // ends without "Stop": the close request stops it
  QVERIFY(deferredDuringRun);
  QCOMPARE(deferred.size(), 1);
  QVERIFY(!runningWhenDeferredSent);

  // A run ended by "Stop" alone closes nothing.
  QTimer::singleShot(0, &rig.window, [&] { rig.session.Stop(); });
  rig.session.Run();
  QCOMPARE(deferred.size(), 1);
}

void TestSearchSession::noRunStartsInsideARun() {
  TSessionRig rig;
  QSignalSpy changed(&rig.session, &TSearchSession::RunningChanged);
  bool stillRunning = false;
  QStringList faultsAfterInnerRun{"not run"};
  QTimer::singleShot(0, &rig.window, [&] {
    // Were a second run started here, this stop would end it, not the first.
    QTimer::singleShot(0, &rig.window, [&] { rig.session.Stop(); });
    rig.session.Run();
    stillRunning = rig.session.Running();
    faultsAfterInnerRun = rig.PanelFaults(true);
    rig.session.Stop();
  });
  rig.session.Run();
  QVERIFY(stillRunning);
  QVERIFY2(faultsAfterInnerRun.isEmpty(), qPrintable(faultsAfterInnerRun.join(' ')));
  QCOMPARE(changed.size(), 2);
}

void TestSearchSession::aLimitEndsTheRunAndSaysSo() {
  TSessionRig rig;
  Control<QSpinBox>(*rig.panel, "UpDown3")->setValue(100);
  Control<QSlider>(*rig.panel, "tb1")->setValue(0);
  Control<QLineEdit>(*rig.panel, "edGenerationLimit")->setText(QStringLiteral("3"));
  QSignalSpy ended(&rig.session, &TSearchSession::Ended);
  rig.session.Run();  // no "Stop": the limit ends it
  QCOMPARE(Control<QLineEdit>(*rig.panel, "Edit6")->text(), QStringLiteral("3"));
  QCOMPARE(ended.size(), 2);
  QCOMPARE(ended.at(0).at(0).toString(), QString());  // cleared as the run starts
  const QString status = ended.at(1).at(0).toString();
  QVERIFY2(status.startsWith(QStringLiteral("Ended by the generation limit: ")) &&
               status.endsWith(QStringLiteral(" of 100 samples matched.")),
           qPrintable(status));

  QTimer::singleShot(0, &rig.window, [&] { rig.session.Stop(); });
  Control<QLineEdit>(*rig.panel, "edGenerationLimit")->clear();
  rig.session.Run();
  QVERIFY2(ended.last().at(0).toString().startsWith(QStringLiteral("Stopped: ")),
           qPrintable(ended.last().at(0).toString()));
}

void TestSearchSession::heldOutRowsAreNotSearchedButShown() {
  TSessionRig rig;
  Control<QSpinBox>(*rig.panel, "UpDown3")->setValue(100);
  Control<QSlider>(*rig.panel, "tb1")->setValue(0);
  Control<QSpinBox>(*rig.panel, "edHoldout")->setValue(20);
  Control<QLineEdit>(*rig.panel, "edGenerationLimit")->setText(QStringLiteral("2"));
  QSignalSpy ended(&rig.session, &TSearchSession::Ended);
  rig.session.Run();
  const QString text = Control<QPlainTextEdit>(*rig.model, "memTest")->toPlainText();
  QVERIFY2(text.contains(QRegularExpression(QStringLiteral("^// model correctness: \\d+ of 80$"),
                                            QRegularExpression::MultilineOption)),
           qPrintable(text));
  QVERIFY(ended.last().at(0).toString().endsWith(QStringLiteral(" of 80 samples matched.")));
  // The model's curve covers every row, the held-out ones too.
  QCOMPARE(rig.chart->Points(TSampleChart::ModelSeries).size(), std::size_t{100});
  QCOMPARE(rig.samples.Count(), 100);
  QCOMPARE(rig.chart->HeldOut()->count(), 20);
  // The front checks its models on the held-out rows.
  QCOMPARE(Control<QTableView>(*rig.model, "lvFront")->model()->columnCount(), 9);
}

void TestSearchSession::aShareOfATinySetHoldsNothingOutAndSaysSo() {
  TSessionRig rig;
  rig.samples.SetCount(4);  // a fifth of 4 rows is no row
  rig.samples.GenerateSine();
  Control<QSlider>(*rig.panel, "tb1")->setValue(0);
  Control<QSpinBox>(*rig.panel, "edHoldout")->setValue(20);
  Control<QLineEdit>(*rig.panel, "edGenerationLimit")->setText(QStringLiteral("2"));
  QSignalSpy ended(&rig.session, &TSearchSession::Ended);
  rig.session.Run();
  const QString status = ended.last().at(0).toString();
  QVERIFY2(
      status.endsWith(QStringLiteral(" of 4 samples matched. Nothing held out: too few samples.")),
      qPrintable(status));
  // No held-out columns of NaN in the front, and no rows marked in the chart.
  QCOMPARE(Control<QTableView>(*rig.model, "lvFront")->model()->columnCount(), 6);
  QCOMPARE(rig.chart->HeldOut()->count(), 0);
}

QTEST_MAIN(TestSearchSession)
#include "SearchSession_test.moc"
