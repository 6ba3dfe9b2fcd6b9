// The window's place, size and splitters between runs, its first size on small and scaled
// screens, and the restart box that is kept with them.
#include <QCheckBox>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include "app/WindowPlacement.h"
#include "tests/WindowTestKit.h"

namespace {

QList<int> Sizes(const TForm1& form, const char* splitter) {
  return Control<QSplitter>(form, splitter)->sizes();
}

}  // namespace

class TestWindowPlacement : public QObject {
  Q_OBJECT

 private slots:
  void firstFrameFitsTheFreeArea();
  void keptBetweenRuns();
};

void TestWindowPlacement::firstFrameFitsTheFreeArea() {
  const QSize size(783, 540);
  const QSize frame(2, 30);
  // A large screen: the window's own size, centred.
  QCOMPARE(FirstFrame(size, frame, QRect(0, 0, 1920, 1040)), QRect(567, 235, 785, 570));
  // 1920 x 1080 at twice the scale, under a panel of 20: the title bar stays on screen.
  const QRect scaled(0, 10, 960, 530);
  const QRect fitted = FirstFrame(size, frame, scaled);
  QCOMPARE(fitted.size(), QSize(785, 530));
  QVERIFY(scaled.contains(fitted));
  QVERIFY(scaled.contains(FirstFrame({2000, 2000}, frame, scaled)));

  // The window itself can be made that small.
  TScriptedServices script;
  TForm1 form(script.Services());
  const QSize least = form.minimumSizeHint().expandedTo(form.minimumSize());
  QVERIFY2(least.width() <= scaled.width() - frame.width() &&
               least.height() <= scaled.height() - frame.height(),
           qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
}

void TestWindowPlacement::keptBetweenRuns() {
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("window.ini"));
  TScriptedServices script;
  TWindowServices services = script.Services();
  services.Settings = [ini] { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
  QList<int> data;
  QList<int> model;
  {
    TForm1 first(services);
    // The first start: the window's own size, the restart box off.
    QCOMPARE(first.size(), QSize(TForm1::OuterWidth, TForm1::OuterHeight));
    QVERIFY(!Control<QCheckBox>(first, "opRestartSearch")->isChecked());
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    first.resize(900, 640);
    auto* split = Control<QSplitter>(first, "Splitter1");
    split->setSizes({split->sizes()[0] + 60, split->sizes()[1] - 60});
    data = Sizes(first, "Splitter1");
    Control<QSplitter>(first, "Splitter2")->setSizes({150, 500});
    model = Sizes(first, "Splitter2");
    Control<QCheckBox>(first, "opRestartSearch")->setChecked(true);
    QVERIFY(first.close());
  }
  {
    TForm1 next(services);
    QCOMPARE(next.size(), QSize(900, 640));
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QCOMPARE(Sizes(next, "Splitter1"), data);
    QCOMPARE(Sizes(next, "Splitter2"), model);
    QVERIFY(Control<QCheckBox>(next, "opRestartSearch")->isChecked());
    // The box keeps each change at once; the place only as the window closes.
    Control<QCheckBox>(next, "opRestartSearch")->setChecked(false);
    next.resize(700, 500);
  }
  TForm1 last(services);
  QVERIFY(!Control<QCheckBox>(last, "opRestartSearch")->isChecked());
  QCOMPARE(last.size(), QSize(900, 640));
}

QTEST_MAIN(TestWindowPlacement)
#include "WindowPlacement_test.moc"
