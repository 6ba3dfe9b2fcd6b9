// The recent sample files and the last folder: kept between runs in the window's settings,
// listed in "Open Recent", opened from there as "Open" opens them, and never the user's own
// settings in a test.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/model/DecimalSeparator.h"
#include "tests/OpeningTesting.h"
#include "app/RecentFiles.h"

namespace {

QMenu& RecentMenu(const TForm1& form) {
  return *Control<QMenu>(form, "RecentFiles1");
}

QStringList ItemTexts(const TForm1& form) {
  QStringList texts;
  for (const QAction* item : RecentMenu(form).actions())
    texts.append(item->text());
  return texts;
}

}  // namespace

class TestRecentFiles : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { SetDecimalSeparator("."); }
  void listKeepsNewestFirstWithoutRepeats();
  void filesAndFolderKeptBetweenRuns();
  void recentItemOpensAsOpenDoes_data() { AddSampleFileRows(); }
  void recentItemOpensAsOpenDoes();
  void menuShowsEmptyListAndEscapesNames();
  void recentMenuDisabledWhileSearchRuns();
  void desktopSettingsLiveInTestLocation();

 private:
  QTemporaryDir dir_;
};

void TestRecentFiles::listKeepsNewestFirstWithoutRepeats() {
  TRecentFiles recent(nullptr);
  QVERIFY(recent.Files().isEmpty());
  QVERIFY(recent.LastFolder().isEmpty());
  for (int i = 0; i < 10; ++i)
    recent.Remember(QStringLiteral("/data/%1.mvs").arg(i));
  recent.Remember(QStringLiteral("/data/../data/5.mvs"));
  recent.Remember(QStringLiteral("/other/x.mvs"));
  QCOMPARE(recent.Files(),
           (QStringList{"/other/x.mvs", "/data/5.mvs", "/data/9.mvs", "/data/8.mvs", "/data/7.mvs",
                        "/data/6.mvs", "/data/4.mvs", "/data/3.mvs"}));
  QCOMPARE(recent.LastFolder(), QStringLiteral("/other"));
  recent.Forget(QStringLiteral("/data/9.mvs"));
  recent.Forget(QStringLiteral("/data/never.mvs"));
  QCOMPARE(recent.Files().size(), 7);
  QVERIFY(!recent.Files().contains(QStringLiteral("/data/9.mvs")));
  QCOMPARE(recent.LastFolder(), QStringLiteral("/other"));  // forgetting keeps the folder
}

void TestRecentFiles::filesAndFolderKeptBetweenRuns() {
  const QString ini = dir_.filePath(QStringLiteral("kept.ini"));
  QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("a")) &&
          QDir(dir_.path()).mkpath(QStringLiteral("b")));
  const QString saved = dir_.filePath(QStringLiteral("a/one.mvs"));
  const QString opened = dir_.filePath(QStringLiteral("b/two.mvs"));
  QVERIFY(!PrepareSampleFile(opened, "1,2\r\n").isEmpty());
  const auto settings = [ini] { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
  {
    TScriptedServices script;
    TWindowServices services = script.Services();
    services.Settings = settings;
    TForm1 form(services);
    script.DialogAnswers = {saved, opened, dir_.filePath(QStringLiteral("none/x.mvs"))};
    form.Save1Click();
    form.Open1Click();
    form.Save1Click();  // fails: a failed save is not remembered
    QCOMPARE(script.Errors.size(), 1);
  }
  TScriptedServices script;
  TWindowServices services = script.Services();
  services.Settings = settings;
  TForm1 next(services);
  QCOMPARE(ItemTexts(next), (QStringList{"&1 " + QDir::toNativeSeparators(opened),
                                         "&2 " + QDir::toNativeSeparators(saved)}));
  for (const char* dialog : {"OpenDialog1", "SaveDialog1"}) {
    QCOMPARE(Control<QFileDialog>(next, dialog)->directory().absolutePath(),
             QFileInfo(opened).absolutePath());
  }
}

void TestRecentFiles::recentItemOpensAsOpenDoes() {
  QFETCH(QByteArray, content);
  const QString path = dir_.filePath(QStringLiteral("recent.mvs"));
  QVERIFY(!PrepareSampleFile(path, "5,6\r\n").isEmpty());
  TScriptedServices script;
  TForm1 form(script.Services());
  script.DialogAnswers = {path};
  form.Open1Click();
  form.Button1Click();  // back to the generated sample before the file is opened again
  const QList<QPointF> before = Rows(form.SampleSet());
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());
  QVERIFY(!PrepareSampleFile(path, content).isEmpty());
  const TOpenOutcome expected = OpenedByDialog(path);

  QCOMPARE(ItemTexts(form), QStringList{"&1 " + QDir::toNativeSeparators(path)});
  RecentMenu(form).actions().constFirst()->trigger();
  CompareOutcomes(Outcome(form, script, before), expected);
  if (content.isEmpty()) {
    QCOMPARE(ItemTexts(form), QStringList{"No recent files"});  // a file gone leaves the list
  } else {
    QCOMPARE(ItemTexts(form), QStringList{"&1 " + QDir::toNativeSeparators(path)});
  }
}

void TestRecentFiles::menuShowsEmptyListAndEscapesNames() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QCOMPARE(ItemTexts(form), QStringList{"No recent files"});
  QVERIFY(!RecentMenu(form).actions().constFirst()->isEnabled());
  const QString path = dir_.filePath(QStringLiteral("fish & chips.mvs"));
  script.DialogAnswers = {path};
  form.Save1Click();
  QVERIFY(script.Errors.isEmpty());
  QCOMPARE(ItemTexts(form), QStringList{"&1 " + QDir::toNativeSeparators(dir_.path()) +
                                        QDir::separator() + "fish && chips.mvs"});
}

void TestRecentFiles::recentMenuDisabledWhileSearchRuns() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QAction* menu = RecentMenu(form).menuAction();
  QVERIFY(menu->isEnabled());
  bool enabledDuringSearch = true;
  QTimer::singleShot(0, &form, [&] {
    enabledDuringSearch = form.Running() && menu->isEnabled();
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(!enabledDuringSearch);
  QVERIFY(menu->isEnabled());
}

void TestRecentFiles::desktopSettingsLiveInTestLocation() {
  const std::unique_ptr<QSettings> settings = DesktopServices().Settings();
  const QString tests = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QVERIFY2(settings->fileName().startsWith(tests + QLatin1Char('/')),
           qPrintable(settings->fileName()));
  QVERIFY(tests.contains(QStringLiteral("qttest")));
}

QTEST_MAIN(TestRecentFiles)
#include "RecentFiles_test.moc"
