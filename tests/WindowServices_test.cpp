// The desktop's file dialog: the list of completions of a typed name goes with the dialog.
#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/WindowServices.h"

class TestWindowServices : public QObject {
  Q_OBJECT

 private slots:
  void completionListGoesWithTheDialog();
};

void TestWindowServices::completionListGoesWithTheDialog() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  for (const char* name : {"small.mvs", "smaller.mvs"}) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  QFileDialog dialog(nullptr, QString(), dir.path());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QVERIFY(edit);
  QVERIFY(edit->completer());
  QAbstractItemView* popup = edit->completer()->popup();
  // The folder is read in the background; type again until the completions are there.
  QTRY_VERIFY_WITH_TIMEOUT(
      [&] {
        edit->clear();
        QTest::keyClicks(edit, "sma");
        return popup->isVisible();
      }(),
      10000);
  dialog.hide();  // as accepting it does
  QVERIFY(popup->isVisible());
  DismissCompletion(dialog);
  QVERIFY(!popup->isVisible());
}

QTEST_MAIN(TestWindowServices)
#include "WindowServices_test.moc"
