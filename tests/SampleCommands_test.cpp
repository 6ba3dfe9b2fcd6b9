// The sample-set commands while a search holds the set: every command that would replace it
// does nothing, whoever calls it, and works again once the set is free.
#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "app/SampleCommands.h"
#include "core/model/DecimalSeparator.h"
#include "tests/WindowTestKit.h"

namespace {

void RunCommand(TSampleCommands& commands, const QString& command, const QString& file) {
  if (command == "Sample generate") {
    commands.Generate(command, false, 7);
  } else if (command == "Open") {
    commands.Open();
  } else if (command == "open a file") {
    commands.OpenFile(file);
  } else if (command == "Import") {
    commands.Import();
  } else {
    QGuiApplication::clipboard()->setText(QStringLiteral("7\t8\r\n9\t10\r\n"));
    commands.Paste();
  }
}

}  // namespace

class TestSampleCommands : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetDecimalSeparator("."); }
  void lockedCommandsLeaveTheSet_data();
  void lockedCommandsLeaveTheSet();

 private:
  QTemporaryDir dir_;
};

void TestSampleCommands::lockedCommandsLeaveTheSet_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<QByteArray>("content");
  QTest::newRow("Sample generate") << "Sample generate" << QByteArray();
  QTest::newRow("Open") << "Open" << QByteArray("1,2\r\n3,4\r\n");
  QTest::newRow("open a file") << "open a file" << QByteArray("1,2\r\n3,4\r\n");
  QTest::newRow("Import") << "Import" << QByteArray("x,y\n1,2\n3,4\n");
  QTest::newRow("Paste Data") << "Paste Data" << QByteArray();
}

void TestSampleCommands::lockedCommandsLeaveTheSet() {
  QFETCH(QString, command);
  QFETCH(QByteArray, content);
  const QString file = Write(dir_, "samples.txt", content);
  TScriptedServices script;
  script.DialogScript = [](QDialog&) { return true; };
  TForm1 form(script.Services());
  auto& commands = *form.findChild<TSampleCommands*>();
  ShowRows(form, {{1, -1}, {2, -2}, {3, -3}});
  const QList<QPointF> before = Rows(form.SampleSet());

  commands.SetLocked(true);
  for (const char* name : {"Open1", "Import1", "Save1", "PastData1", "Past1", "Undo1", "Redo1"})
    QVERIFY2(!Control<QAction>(form, name)->isEnabled(), name);
  QVERIFY(!Control<QMenu>(form, "RecentFiles1")->menuAction()->isEnabled());
  script.DialogAnswers = {file};
  RunCommand(commands, command, file);
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.DialogsShown.isEmpty());
  QVERIFY(script.Messages.isEmpty());
  QVERIFY(script.Errors.isEmpty());

  commands.SetLocked(false);
  QVERIFY(Control<QAction>(form, "Open1")->isEnabled());
  QVERIFY(!Control<QAction>(form, "Undo1")->isEnabled());  // nothing to undo yet
  RunCommand(commands, command, file);
  QVERIFY(Rows(form.SampleSet()) != before);
  QVERIFY(script.Errors.isEmpty());
  QVERIFY(Control<QAction>(form, "Undo1")->isEnabled());
}

QTEST_MAIN(TestSampleCommands)
#include "SampleCommands_test.moc"
