// Long work off the window's thread: the window keeps handling its events, shows a busy
// cursor, offers "Cancel" after a moment, and hands back the work's failure.
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/BusyWork.h"

using namespace std::chrono_literals;

class TestBusyWork : public QObject {
  Q_OBJECT

 private slots:
  void windowKeepsHandlingEventsWithABusyCursor();
  void cancelReturnsAtOnceWhileTheWorkRunsOn();
  void failureOfTheWorkIsThrownHere();
};

void TestBusyWork::windowKeepsHandlingEventsWithABusyCursor() {
  QWidget window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  // A timer of the window's thread stands for its repaints.
  QList<qint64> ticks;
  QElapsedTimer clock;
  QTimer timer;
  bool busyCursor = true;
  connect(&timer, &QTimer::timeout, [&] {
    ticks.append(clock.elapsed());
    const QCursor* cursor = QApplication::overrideCursor();
    busyCursor = busyCursor && cursor && cursor->shape() == Qt::WaitCursor;
  });
  timer.start(10);
  clock.start();
  std::atomic<bool> offThread{false};
  const auto caller = std::this_thread::get_id();
  QVERIFY(TBusyWork::Run(&window, QStringLiteral("Working"), [&] {
    offThread = std::this_thread::get_id() != caller;
    std::this_thread::sleep_for(600ms);
  }));
  timer.stop();
  QVERIFY(offThread);
  QVERIFY(busyCursor);
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QVERIFY2(ticks.size() >= 6, qPrintable(QString::number(ticks.size())));
  ticks.prepend(0);
  // Never frozen: gaps of 20 ms or so, with room for a busy machine.
  for (qsizetype i = 1; i < ticks.size(); ++i)
    QVERIFY2(ticks[i] - ticks[i - 1] < 250, qPrintable(QString::number(ticks[i] - ticks[i - 1])));
  // The work took longer than the delay: the dialog was shown and is gone again.
  QVERIFY(window.findChild<QProgressDialog*>() == nullptr);
}

void TestBusyWork::cancelReturnsAtOnceWhileTheWorkRunsOn() {
  QWidget window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto finished = std::make_shared<std::atomic<bool>>(false);
  QString label;
  QTimer::singleShot(150, [&] {
    auto* dialog = window.findChild<QProgressDialog*>(QStringLiteral("BusyDialog"));
    if (!dialog) return;
    label = dialog->labelText();
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
  });
  const bool done = TBusyWork::Run(
      &window, QStringLiteral("Opening big.mvs"),
      [release, finished] {
        while (!release->load())
          std::this_thread::sleep_for(1ms);
        finished->store(true);
      },
      50ms);
  QVERIFY(!done);
  QCOMPARE(label, QStringLiteral("Opening big.mvs"));
  QVERIFY(!finished->load());  // still running, its results owned by itself
  QVERIFY(QApplication::overrideCursor() == nullptr);
  release->store(true);
  QTRY_VERIFY(finished->load());
}

void TestBusyWork::failureOfTheWorkIsThrownHere() {
  QWidget window;
  QVERIFY_THROWS_EXCEPTION(
      std::runtime_error,
      TBusyWork::Run(&window, QStringLiteral("Failing"), [] { throw std::runtime_error("no"); }));
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QVERIFY(TBusyWork::Run(&window, QStringLiteral("Quick"), [] {}));
}

QTEST_MAIN(TestBusyWork)
#include "BusyWork_test.moc"
