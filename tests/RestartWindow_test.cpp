// The window's restart mode: off at start, attempts on every core when checked, the
// attempt and its seed under the generation, and Stop ending every attempt.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "restart/AttemptSeed.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "tests/WindowTestKit.h"

class TestRestartWindow : public QObject {
  Q_OBJECT

 private slots:
  void uncheckedAtStartAndDisabledWhileRunning();
  void findsTheSineAndNamesTheAttempt();
  void stopEndsEveryAttemptAndTheWindowAnswers();
};

void TestRestartWindow::uncheckedAtStartAndDisabledWhileRunning() {
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* restart = Control<QCheckBox>(form, "opRestartSearch");
  QCOMPARE(restart->text(), QStringLiteral("Restart stalled searches"));
  QVERIFY(!restart->isChecked());
  QVERIFY(restart->isEnabled());
  QVERIFY(Control<QLabel>(form, "lbAttempt")->text().isEmpty());

  // A plain search leaves the attempt line empty.
  bool enabledWhileRunning = true;
  QTimer::singleShot(0, &form, [&] {
    enabledWhileRunning = restart->isEnabled();
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(!enabledWhileRunning);
  QVERIFY(restart->isEnabled());
  QVERIFY(Control<QLabel>(form, "lbAttempt")->text().isEmpty());
}

void TestRestartWindow::findsTheSineAndNamesTheAttempt() {
  TScriptedServices script;
  TForm1 form(script.Services());
  SetSeed(9);
  form.Button1Click();
  // The seed box seeds the search: attempt 0 starts from it.
  const std::uint32_t first = 4242;
  Control<QLineEdit>(form, "edSeed")->setText(QString::number(first));
  Control<QCheckBox>(form, "opRestartSearch")->setChecked(true);

  bool watchdogFired = false;
  QTimer::singleShot(60000, &form, [&] {
    watchdogFired = true;
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(!watchdogFired);
  QCOMPARE(Control<QPlainTextEdit>(form, "memTest")->toPlainText().section('\n', 0, 0),
           QStringLiteral("// model correctness: 100 of 100"));
  // "attempt k · seed S", with S the seed of attempt k of this run, or the short programs'
  // "attempt 1 · short programs".
  const QString caption = Control<QLabel>(form, "lbAttempt")->text();
  const QStringList words = caption.split(' ');
  QCOMPARE(words[0], QStringLiteral("attempt"));
  QCOMPARE(words[2], QString(QChar(0x00b7)));
  if (words[3] == QStringLiteral("short")) {
    QCOMPARE(caption, QStringLiteral("attempt 1 \u00b7 short programs"));
  } else {
    QCOMPARE(words.size(), 5);
    const std::int64_t attempt = words[1].toLongLong();
    // The searches are numbered around the short programs' attempt 1.
    QCOMPARE(words[4].toUInt(), AttemptSeed(first, attempt > 1 ? attempt - 1 : attempt));
  }
  QVERIFY(Control<QLineEdit>(form, "Edit6")->text().toInt() > 0);
  QVERIFY(Control<QPushButton>(form, "Button2")->isEnabled());
}

void TestRestartWindow::stopEndsEveryAttemptAndTheWindowAnswers() {
  TScriptedServices script;
  TForm1 form(script.Services());
  // Uniform random points at margin 0: no model matches them in the time the test waits.
  SetSeed(5);
  Control<QCheckBox>(form, "opRandomSample")->setChecked(true);
  form.Button1Click();
  Control<QCheckBox>(form, "opRestartSearch")->setChecked(true);
  Control<QSlider>(form, "tb1")->setValue(0);

  // The window keeps handling events while the attempts run: timers fire, and Stop
  // (itself a timer here) reaches the attempts.
  int ticks = 0;
  QTimer ticker;
  connect(&ticker, &QTimer::timeout, &form, [&] { ++ticks; });
  ticker.start(50);
  QTimer::singleShot(1000, &form, [&] { form.Button3Click(); });
  QElapsedTimer clock;
  clock.start();
  form.Button2Click();
  ticker.stop();
  QVERIFY(clock.elapsed() >= 1000);
  QVERIFY(clock.elapsed() < 20000);
  QVERIFY2(ticks >= 2, qPrintable(QString::number(ticks)));
  QVERIFY(!form.Running());
  QVERIFY(
      Control<QPlainTextEdit>(form, "memTest")->toPlainText().startsWith("// model correctness"));
  QVERIFY(!Control<QLabel>(form, "lbAttempt")->text().isEmpty());
}

QTEST_MAIN(TestRestartWindow)
#include "RestartWindow_test.moc"
