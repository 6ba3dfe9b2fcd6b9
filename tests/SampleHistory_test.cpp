// Undo and Redo of the commands that replace the samples, the bound on what the history
// keeps, and the question before pasted or imported samples are lost by closing.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include "core/model/DecimalSeparator.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "app/SampleHistory.h"
#include "tests/WindowTestKit.h"

namespace {

QAction& Command(const TForm1& form, const char* name) {
  return *Control<QAction>(form, name);
}

TSampleHistory& History(const TForm1& form) {
  auto* history = form.findChild<TSampleHistory*>();
  if (!history) qFatal("no history");
  return *history;
}

// Runs one of the four commands that replace the samples, its dialogs answered.
void RunCommand(TForm1& form, TScriptedServices& script, const QString& command,
                const QString& file) {
  script.DialogAnswers = {file};
  script.DialogScript = [](QDialog&) { return true; };
  if (command == "Sample generate") {
    QTest::mouseClick(Control<QPushButton>(form, "Button1"), Qt::LeftButton);
  } else if (command == "Open") {
    Command(form, "Open1").trigger();
  } else if (command == "Import") {
    Command(form, "Import1").trigger();
  } else {
    QGuiApplication::clipboard()->setText(QStringLiteral("7\t8\r\n9\t10\r\n"));
    Command(form, "PastData1").trigger();
  }
}

// A set of one's own making, so that every command has something to replace.
void ShowKnownRows(TForm1& form) {
  ShowRows(form, {{1, -1}, {2, -2}, {3, -3}});
}

}  // namespace

class TestSampleHistory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init() { SetDecimalSeparator("."); }
  void undoAndRedoEachCommand_data();
  void undoAndRedoEachCommand();
  void keysAndMenu();
  void newStepDropsRedo();
  void nothingChangedIsNoStep();
  void keepsTwentySteps();
  void memoryBoundDropsOldestSteps();
  void stepTooLargeIsNotKept();
  void undoIsOffDuringSearch();
  void closingAsksAboutPastedOrImportedData_data();
  void closingAsksAboutPastedOrImportedData();
  void closingAsksAfterUndoBringsPastedDataBack();
  void closingDuringSearchAsksWhenItEnds();
  void closingWithoutQuestion_data();
  void closingWithoutQuestion();
  void undoAndRedoKeepInputsAndNames();

 private:
  QTemporaryDir dir_;
  QString sampleFile_;
  QString csvFile_;
};

void TestSampleHistory::initTestCase() {
  QVERIFY(dir_.isValid());
  sampleFile_ = Write(dir_, "four.mvs", "4,40\r\n5,50\r\n");
  csvFile_ = Write(dir_, "two.csv", "x;y\r\n0,5;1,5\r\n2,5;3,5\r\n");
}

void TestSampleHistory::undoAndRedoEachCommand_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<QString>("undoText");
  QTest::newRow("Sample generate") << "Sample generate"
                                   << "Undo Sample generate";
  QTest::newRow("Open") << "Open"
                        << "Undo Open four.mvs";
  QTest::newRow("Import") << "Import"
                          << "Undo Import two.csv";
  QTest::newRow("Paste Data") << "Paste Data"
                              << "Undo Paste Data";
}

void TestSampleHistory::undoAndRedoEachCommand() {
  QFETCH(QString, command);
  QFETCH(QString, undoText);
  TScriptedServices script;
  TForm1 form(script.Services());
  QVERIFY(!Command(form, "Undo1").isEnabled());  // the first sample is no step
  ShowKnownRows(form);
  const QList<QPointF> before = Rows(form.SampleSet());

  SetSeed(5);
  RunCommand(form, script, command, command == "Open" ? sampleFile_ : csvFile_);
  QVERIFY(script.Errors.isEmpty());
  const QList<QPointF> after = Rows(form.SampleSet());
  QVERIFY(after != before);
  QCOMPARE(Command(form, "Undo1").text(), undoText);
  QVERIFY(Command(form, "Undo1").isEnabled());
  QVERIFY(!Command(form, "Redo1").isEnabled());

  const int messages = script.Messages.size();
  Command(form, "Undo1").trigger();
  QCOMPARE(Rows(form.SampleSet()), before);
  QCOMPARE(form.SampleSet().MinY(), -3.0);  // tight bounds, as the set had
  QCOMPARE(form.SampleSet().MaxX(), 3.0);
  QCOMPARE(Grid(form).rowCount(), 3);  // shown again
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 3);
  QCOMPARE(Command(form, "Redo1").text(),
           undoText.replace(QStringLiteral("Undo"), QStringLiteral("Redo")));
  QVERIFY(!Command(form, "Undo1").isEnabled());

  Command(form, "Redo1").trigger();
  QCOMPARE(Rows(form.SampleSet()), after);
  QCOMPARE(Grid(form).rowCount(), after.size());
  QCOMPARE(script.Messages.size(), messages);  // Undo and Redo confirm nothing
}

void TestSampleHistory::keysAndMenu() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  ShowKnownRows(form);
  const QList<QPointF> before = Rows(form.SampleSet());
  RunCommand(form, script, QStringLiteral("Paste Data"), {});
  const QList<QPointF> pasted = Rows(form.SampleSet());

  QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(Rows(form.SampleSet()), before);
  QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(Rows(form.SampleSet()), pasted);
  QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(Rows(form.SampleSet()), pasted);
  // No key of the window's menus is bound twice: Qt would call it ambiguous and run nothing.
  QSet<const QAction*> commands;
  for (const QMenu* menu : form.findChildren<QMenu*>()) {
    for (const QAction* action : menu->actions())
      commands.insert(action);
  }
  QList<QKeySequence> keys;
  for (const QAction* action : commands) {
    for (const QKeySequence& key : action->shortcuts()) {
      QVERIFY2(!keys.contains(key), qPrintable(key.toString()));
      keys.append(key);
    }
  }

  auto* edit = Control<QMenu>(form, "Edit4");
  QCOMPARE(edit->actions().at(0), &Command(form, "Undo1"));
  QCOMPARE(edit->actions().at(1), &Command(form, "Redo1"));
  QVERIFY(edit->actions().at(2)->isSeparator());
  auto* file = Control<QMenu>(form, "File1");
  QCOMPARE(file->actions().at(1), &Command(form, "Import1"));
  QCOMPARE(file->actions().at(1)->text(), QStringLiteral("Import\u2026"));

  script.SaveAnswers = {QMessageBox::Discard};
  QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
  QVERIFY(!form.isVisible());
  QCOMPARE(script.SaveQuestions.size(), 1);  // the pasted samples
}

void TestSampleHistory::newStepDropsRedo() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowKnownRows(form);
  RunCommand(form, script, QStringLiteral("Paste Data"), {});
  Command(form, "Undo1").trigger();
  QVERIFY(Command(form, "Redo1").isEnabled());
  RunCommand(form, script, QStringLiteral("Open"), sampleFile_);
  QVERIFY(!Command(form, "Redo1").isEnabled());
  QCOMPARE(History(form).Stack().count(), 1);
  Command(form, "Undo1").trigger();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, -1}, {2, -2}, {3, -3}}));
}

void TestSampleHistory::nothingChangedIsNoStep() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QGuiApplication::clipboard()->setText(QStringLiteral("  \r\n"));
  form.PastData1Click();  // nothing to paste
  script.DialogAnswers = {dir_.filePath(QStringLiteral("missing.mvs"))};
  form.Open1Click();  // a file that is not there
  QCOMPARE(script.Errors.size(), 1);
  QCOMPARE(History(form).Stack().count(), 0);
  QVERIFY(!Command(form, "Undo1").isEnabled());
}

void TestSampleHistory::keepsTwentySteps() {
  TScriptedServices script;
  TForm1 form(script.Services());
  SetSeed(9);
  QList<QList<QPointF>> sets{Rows(form.SampleSet())};
  for (int i = 0; i < 25; ++i) {
    form.Button1Click();
    sets.append(Rows(form.SampleSet()));
  }
  QCOMPARE(History(form).Stack().count(), TSampleHistory::StepLimit);
  for (int i = 0; i < 20; ++i)
    Command(form, "Undo1").trigger();
  QVERIFY(!Command(form, "Undo1").isEnabled());
  QCOMPARE(Rows(form.SampleSet()), sets[5]);  // twenty steps back from the last
  QCOMPARE(History(form).ReservedBytes(), 20 * TSampleHistory::SetBytes(100));
}

void TestSampleHistory::memoryBoundDropsOldestSteps() {
  TSampleData samples(0);
  // Room for steps of 10 samples and one of 30, not for all of them.
  TSampleHistory history(samples, nullptr, TSampleHistory::SetBytes(50));
  const auto fill = [](std::int32_t count, double value) {
    return [count, value](TSampleData& set) {
      set.SetCount(count);
      for (std::int32_t i = 0; i < count; ++i)
        set.SetY(i, value);
      return true;
    };
  };
  for (int i = 1; i <= 4; ++i)
    QVERIFY(history.Record(QStringLiteral("step %1").arg(i), TSampleOrigin::Generated, fill(10, i))
                .isEmpty());
  QCOMPARE(history.Stack().count(), 4);
  QCOMPARE(history.ReservedBytes(), TSampleHistory::SetBytes(40));
  QVERIFY(history.Record(QStringLiteral("big"), TSampleOrigin::Generated, fill(30, 9)).isEmpty());
  // The big step reserves 30; only the last two small ones fit beside it.
  QCOMPARE(history.Stack().count(), 3);
  QVERIFY(history.ReservedBytes() <= history.Budget());
  QCOMPARE(history.UndoAction()->text(), QStringLiteral("Undo big"));
  QCOMPARE(history.Stack().text(0), QStringLiteral("step 3"));
  QCOMPARE(history.KeptBytes(), TSampleHistory::SetBytes(30));

  // The rebuilt steps still go back and forth.
  history.UndoAction()->trigger();
  QCOMPARE(samples.Count(), 10);
  QCOMPARE(samples.GetY(0), 4.0);
  history.UndoAction()->trigger();
  history.UndoAction()->trigger();
  QCOMPARE(samples.GetY(0), 2.0);
  QVERIFY(!history.UndoAction()->isEnabled());
  for (int i = 0; i < 3; ++i)
    history.RedoAction()->trigger();
  QCOMPARE(samples.Count(), 30);
  QCOMPARE(samples.GetY(0), 9.0);
}

void TestSampleHistory::stepTooLargeIsNotKept() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowKnownRows(form);
  RunCommand(form, script, QStringLiteral("Paste Data"), {});
  QVERIFY(Command(form, "Undo1").isEnabled());

  // A window whose history may keep 50 samples: a 100-sample step cannot be kept.
  TSampleData samples(0);
  TSampleHistory history(samples, nullptr, TSampleHistory::SetBytes(50));
  QVERIFY(history
              .Record(QStringLiteral("small"), TSampleOrigin::Pasted,
                      [](TSampleData& set) {
                        set.SetCount(10);
                        return true;
                      })
              .isEmpty());
  const QString note =
      history.Record(QStringLiteral("Open huge.mvs"), TSampleOrigin::File, [](TSampleData& set) {
        set.SetCount(100);
        return true;
      });
  QCOMPARE(note,
           QStringLiteral("This step cannot be undone: Undo keeps sets of up to 50 samples."));
  QCOMPARE(samples.Count(), 100);  // the command itself ran
  QCOMPARE(history.Stack().count(), 0);
  QVERIFY(!history.UndoAction()->isEnabled());
  QCOMPARE(history.UndoAction()->text(), QStringLiteral("Can't Undo Open huge.mvs"));
  QVERIFY(!history.Unsaved());

  // The next step that fits is kept again; going back from a huge set is not.
  QVERIFY(!history
               .Record(QStringLiteral("shrink"), TSampleOrigin::Pasted,
                       [](TSampleData& set) {
                         set.SetCount(5);
                         return true;
                       })
               .isEmpty());
  QVERIFY(history
              .Record(QStringLiteral("grow"), TSampleOrigin::Pasted,
                      [](TSampleData& set) {
                        set.SetCount(20);
                        return true;
                      })
              .isEmpty());
  QCOMPARE(history.UndoAction()->text(), QStringLiteral("Undo grow"));
}

void TestSampleHistory::undoIsOffDuringSearch() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowKnownRows(form);
  RunCommand(form, script, QStringLiteral("Paste Data"), {});
  const QList<QPointF> searched = Rows(form.SampleSet());
  bool offWhileRunning = false;
  QTimer::singleShot(0, &form, [&] {
    offWhileRunning = !Command(form, "Undo1").isEnabled() && !Command(form, "Redo1").isEnabled();
    Command(form, "Undo1").trigger();
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(offWhileRunning);
  QCOMPARE(Rows(form.SampleSet()), searched);
  QVERIFY(Command(form, "Undo1").isEnabled());  // back once the search is over
  QVERIFY(!Command(form, "Redo1").isEnabled());
}

void TestSampleHistory::closingAsksAboutPastedOrImportedData_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<QString>("question");
  QTest::newRow("Paste Data") << "Paste Data"
                              << "The pasted test data has not been saved. Save it before closing?";
  QTest::newRow("Import") << "Import"
                          << "The imported test data has not been saved. Save it before closing?";
}

void TestSampleHistory::closingAsksAboutPastedOrImportedData() {
  QFETCH(QString, command);
  QFETCH(QString, question);
  const QString saved = dir_.filePath(command + QStringLiteral(".mvs"));
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  RunCommand(form, script, command, csvFile_);

  script.SaveAnswers = {QMessageBox::Cancel};
  QVERIFY(!form.close());
  QVERIFY(form.isVisible());
  QCOMPARE(script.SaveQuestions, QStringList{question});

  // Save, but the save dialog is cancelled: the window stays.
  script.SaveAnswers = {QMessageBox::Save};
  script.DialogAnswers.clear();
  QVERIFY(!form.close());
  QCOMPARE(script.DialogsShown.last()->objectName(), QStringLiteral("SaveDialog1"));

  // Save into a folder that does not exist: the error shows, the window stays.
  script.SaveAnswers = {QMessageBox::Save};
  script.DialogAnswers = {dir_.filePath(QStringLiteral("no/such/folder.mvs"))};
  QVERIFY(!form.close());
  QCOMPARE(script.Errors.size(), 1);

  script.SaveAnswers = {QMessageBox::Save};
  script.DialogAnswers = {saved};
  QVERIFY(form.close());
  QVERIFY(QFile::exists(saved));
  QCOMPARE(script.SaveQuestions.size(), 4);
}

void TestSampleHistory::closingAsksAfterUndoBringsPastedDataBack() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  RunCommand(form, script, QStringLiteral("Paste Data"), {});
  form.Button1Click();
  QVERIFY(!History(form).Unsaved());
  Command(form, "Undo1").trigger();  // the pasted set is back, still unsaved
  script.SaveAnswers = {QMessageBox::Discard};
  QVERIFY(form.close());
  QCOMPARE(script.SaveQuestions.size(), 1);
}

void TestSampleHistory::closingDuringSearchAsksWhenItEnds() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  RunCommand(form, script, QStringLiteral("Paste Data"), {});
  script.SaveAnswers = {QMessageBox::Cancel};
  QTimer::singleShot(0, &form, [&] {
    form.close();
    QVERIFY(script.SaveQuestions.isEmpty());  // not while the search runs
  });
  form.Button2Click();
  QCOMPARE(script.SaveQuestions.size(), 1);
  QVERIFY(form.isVisible());  // the answer was Cancel
  // A later search that ends does not close the window on its own.
  QTimer::singleShot(0, &form, [&] { form.Button3Click(); });
  form.Button2Click();
  QVERIFY(form.isVisible());
  QCOMPARE(script.SaveQuestions.size(), 1);
}

void TestSampleHistory::closingWithoutQuestion_data() {
  QTest::addColumn<QString>("command");
  QTest::newRow("generated at start") << "";
  QTest::newRow("Sample generate") << "Sample generate";
  QTest::newRow("Open") << "Open";
  QTest::newRow("pasted, then saved") << "save";
  QTest::newRow("saved, undone, redone") << "save, undo, redo";
}

void TestSampleHistory::closingWithoutQuestion() {
  QFETCH(QString, command);
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  if (command.startsWith(QStringLiteral("save"))) {
    RunCommand(form, script, QStringLiteral("Paste Data"), {});
    script.DialogAnswers = {dir_.filePath(QStringLiteral("kept.mvs"))};
    form.Save1Click();
    if (command.contains(QStringLiteral("undo"))) {
      Command(form, "Undo1").trigger();
      Command(form, "Redo1").trigger();
    }
  } else if (!command.isEmpty()) {
    RunCommand(form, script, command, sampleFile_);
  }
  script.SaveAnswers = {QMessageBox::Cancel};
  QVERIFY(form.close());
  QVERIFY(script.SaveQuestions.isEmpty());
}

void TestSampleHistory::undoAndRedoKeepInputsAndNames() {
  const QString path = Write(dir_, "pendulum.csv", "theta,sigma,period\n1,2,3\n4,5,6\n");
  TScriptedServices script;
  TForm1 form(script.Services());
  RunCommand(form, script, QStringLiteral("Import"), path);
  QVERIFY(script.Errors.isEmpty());
  const std::vector<std::string> names{"theta", "sigma", "period"};
  QCOMPARE(form.SampleSet().Names(), names);
  RunCommand(form, script, QStringLiteral("Sample generate"), QString());
  QCOMPARE(form.SampleSet().InputCount(), 1);
  QCOMPARE(Grid(form).columnCount(), 2);

  Command(form, "Undo1").trigger();
  QCOMPARE(form.SampleSet().InputCount(), 2);
  QCOMPARE(form.SampleSet().Names(), names);
  QCOMPARE(form.SampleSet().GetX(1, 1), 5.0);
  QCOMPARE(Grid(form).headerData(1, Qt::Horizontal).toString(), QStringLiteral("sigma"));
  QCOMPARE(Grid(form).columnCount(), 3);
  Command(form, "Redo1").trigger();
  QCOMPARE(form.SampleSet().Names(), std::vector<std::string>());
  QCOMPARE(Grid(form).headerData(0, Qt::Horizontal).toString(), QStringLiteral("x"));
}

QTEST_MAIN(TestSampleHistory)
#include "SampleHistory_test.moc"
