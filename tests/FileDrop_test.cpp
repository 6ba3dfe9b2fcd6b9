// Sample files dropped on the window: opened as "Open" opens them wherever they land, refused
// while a search runs; other drags are not taken.
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "core/model/DecimalSeparator.h"
#include "app/FileDrop.h"
#include "tests/OpeningTesting.h"

namespace {

QMimeData* Files(const QList<QUrl>& urls) {
  auto* data = new QMimeData();
  data->setUrls(urls);
  return data;
}

// A drag as the desktop delivers it: to the window, at the centre of a control.
class TDrag {
 public:
  TDrag(TForm1& form, const QWidget& over, QMimeData* data)
      : window_(*form.windowHandle()), at_(over.mapTo(&form, over.rect().center())), data_(data) {}

  bool Enter() {
    QDragEnterEvent enter(at_, Qt::CopyAction, data_.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window_, &enter);
    return enter.isAccepted();
  }
  bool Drop() {
    QDropEvent drop(at_, Qt::CopyAction, data_.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window_, &drop);
    return drop.isAccepted();
  }

 private:
  QWindow& window_;
  QPoint at_;
  std::unique_ptr<QMimeData> data_;
};

}  // namespace

class TestFileDrop : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { SetDecimalSeparator("."); }
  void dropOpensAsOpenDoes_data();
  void dropOpensAsOpenDoes();
  void dragWithoutLocalFileIsNotTaken();
  void firstLocalFileOfDragCounts();
  void dropRefusedWhileSearchRuns();

 private:
  QTemporaryDir dir_;
};

void TestFileDrop::dropOpensAsOpenDoes_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("control");
  // Each file row onto each kind of place: the window's own area, the grid, and the text box
  // and the chart, which take drops of their own.
  for (const char* control : {"GroupBox1", "sgTest", "memTest", "chTest"}) {
    for (const auto& [name, content] : SampleFiles()) {
      QTest::addRow("%s on %s", name, control) << content << QString::fromLatin1(control);
    }
  }
}

void TestFileDrop::dropOpensAsOpenDoes() {
  QFETCH(QByteArray, content);
  QFETCH(QString, control);
  const QString path = PrepareSampleFile(dir_.filePath(QStringLiteral("dropped.mvs")), content);
  QVERIFY(!path.isEmpty());
  const TOpenOutcome expected = OpenedByDialog(path);

  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  auto* over = form.findChild<QWidget*>(control);
  QVERIFY(over);
  TDrag drag(form, *over, Files({QUrl::fromLocalFile(path)}));
  QVERIFY(drag.Enter());
  QVERIFY(drag.Drop());
  // The file opens once the drop has finished.
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());
  QCoreApplication::processEvents();
  CompareOutcomes(Outcome(form, script, before), expected);
}

void TestFileDrop::dragWithoutLocalFileIsNotTaken() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  auto* text = new QMimeData();
  text->setText(QStringLiteral("1 2 3 4"));
  const QWidget& box = *Control<QWidget>(form, "GroupBox1");
  QVERIFY(!TDrag(form, box, text).Enter());
  QVERIFY(!TDrag(form, box, Files({QUrl(QStringLiteral("https://example.org/a.mvs"))})).Enter());
  QCOMPARE(Rows(form.SampleSet()).size(), 100);
}

void TestFileDrop::firstLocalFileOfDragCounts() {
  QMimeData data;
  QCOMPARE(TFileDrop::DroppedFile(&data), QString());
  data.setUrls({QUrl(QStringLiteral("https://example.org/a.mvs")),
                QUrl::fromLocalFile(QStringLiteral("/tmp/b.mvs")),
                QUrl::fromLocalFile(QStringLiteral("/tmp/c.mvs"))});
  QCOMPARE(TFileDrop::DroppedFile(&data), QStringLiteral("/tmp/b.mvs"));
  QCOMPARE(TFileDrop::DroppedFile(nullptr), QString());
}

void TestFileDrop::dropRefusedWhileSearchRuns() {
  const QString path =
      PrepareSampleFile(dir_.filePath(QStringLiteral("busy.mvs")), QByteArray("1,2\r\n"));
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  const QList<QPointF> before = Rows(form.SampleSet());
  bool entered = true;
  bool dropped = true;
  bool ranDuringSearch = false;
  QTimer::singleShot(0, &form, [&] {
    ranDuringSearch = form.Running();
    TDrag drag(form, *Control<QWidget>(form, "sgTest"), Files({QUrl::fromLocalFile(path)}));
    entered = drag.Enter();
    dropped = drag.Drop();
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(ranDuringSearch);
  QVERIFY(!entered);
  QVERIFY(!dropped);
  QTest::qWait(20);  // nothing was queued to open after the run either
  QCOMPARE(Rows(form.SampleSet()), before);
}

QTEST_MAIN(TestFileDrop)
#include "FileDrop_test.moc"
