// The window's data commands: sample files through the dialog seam, the clipboard of the
// offscreen platform, the model and chart copies, the margin hint, and what stays
// available while a search runs.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include "core/model/DecimalSeparator.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "tests/WindowTestKit.h"

namespace {

void WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(content);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SetClipboardText(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

// A right click where the mouse reaches the control; the items of the menu that opened.
QList<QAction*> RightClickMenu(const TForm1& form, QAbstractScrollArea& control, const char* menu) {
  const QPoint at(20, 20);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, control.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(control.viewport(), &click);
  auto* popup = Control<QMenu>(form, menu);
  if (!popup->isVisible()) return {};
  popup->hide();
  return popup->actions();
}

}  // namespace

class TestDataCommands : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetDecimalSeparator("."); }
  void saveThenOpenRoundTrip();
  void dialogsAreSetUpAndRemember();
  void cancelledDialogsChangeNothing();
  void openMissingFileShowsErrorAndKeepsSet();
  void saveIntoMissingFolderShowsError();
  void saveOnFullDiskNamesFileAndReason();
  void openAsksAboutUnreadableLines();
  void copyPasteRoundTripThroughClipboard();
  void pasteOfNothingChangesNothing_data();
  void pasteOfNothingChangesNothing();
  void pasteAsksAboutUnreadablePairs();
  void pasteThatCannotMakeOneSetSaysWhy();
  void copyDataOfSeveralInputsWritesEveryColumnWithNames();
  void copyChartLeavesPictureOnly();
  void copyModelWholeOrSelection();
  void marginHint_data();
  void marginHint();
  void shortcutsAndPopupMenus();
  void copyCommandsWorkDuringRun();
  void cancelledLoadsLeaveTheSetUnchanged();
  void loadsRunOffTheWindowThread();

 private:
  QTemporaryDir dir_;
};

void TestDataCommands::saveThenOpenRoundTrip() {
  QVERIFY(dir_.isValid());
  const QString path = dir_.filePath(QStringLiteral("round.mvs"));
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowRows(form, {{3, -1.5}, {1, 2.25}, {2, 1e20}});
  const QList<QPointF> saved = Rows(form.SampleSet());

  WriteFile(path, "stale content that the save replaces\r\n");
  script.DialogAnswers = {path};
  form.Save1Click();
  QVERIFY(ReadFile(path).startsWith("3"));
  QVERIFY(script.Messages.isEmpty());  // saving confirms nothing

  SetSeed(3);
  form.Button1Click();
  QCOMPARE(form.SampleSet().Count(), 100);
  script.DialogAnswers = {path};
  form.Open1Click();
  QVERIFY(script.Errors.isEmpty());
  QVERIFY(script.Messages.isEmpty());
  QCOMPARE(Rows(form.SampleSet()), saved);
  QCOMPARE(Grid(form).rowCount(), 3);
  QCOMPARE(Cell(form, 0, 0), QStringLiteral("3.000000"));  // file order in the grid
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).first(), QPointF(1, 2.25));
  QVERIFY(ChartPoints(form, TSampleChart::ModelSeries).isEmpty());
}

void TestDataCommands::dialogsAreSetUpAndRemember() {
  const QString path = dir_.filePath(QStringLiteral("kept.mvs"));
  TScriptedServices script;
  TForm1 form(script.Services());
  script.DialogAnswers = {path, path};
  form.Save1Click();
  form.Open1Click();
  QCOMPARE(script.DialogsShown.size(), 2);
  QFileDialog* save = script.DialogsShown[0];
  QFileDialog* open = script.DialogsShown[1];
  QCOMPARE(save->objectName(), QStringLiteral("SaveDialog1"));
  QCOMPARE(open->objectName(), QStringLiteral("OpenDialog1"));
  for (QFileDialog* dialog : {save, open}) {
    QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("Movar Sample (*.mvs)")});
    QCOMPARE(dialog->defaultSuffix(), QStringLiteral("mvs"));
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);    // open takes missing names too
    QCOMPARE(dialog->selectedFiles(), QStringList{path});  // the name last chosen
  }
  QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
  QVERIFY(save->testOption(QFileDialog::DontConfirmOverwrite));
  QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);
}

void TestDataCommands::cancelledDialogsChangeNothing() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  form.Open1Click();
  form.Save1Click();
  QCOMPARE(script.DialogsShown.size(), 2);
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.Errors.isEmpty() && script.Messages.isEmpty());
}

void TestDataCommands::openMissingFileShowsErrorAndKeepsSet() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  const QString missing = dir_.filePath(QStringLiteral("missing.mvs"));
  script.DialogAnswers = {missing};
  form.Open1Click();
  QCOMPARE(script.Errors.size(), 1);
  QVERIFY(script.Errors[0].startsWith(QStringLiteral("Cannot open file \"")));
  QVERIFY(script.Errors[0].contains(QStringLiteral("missing.mvs")));
  QVERIFY(script.Errors[0].endsWith('.'));
  QCOMPARE(Rows(form.SampleSet()), before);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 100);
  QVERIFY(script.Messages.isEmpty());
}

void TestDataCommands::saveIntoMissingFolderShowsError() {
  TScriptedServices script;
  TForm1 form(script.Services());
  // A folder that cannot hold files whoever runs the test: a plain file in the path.
  const QString blocker = dir_.filePath(QStringLiteral("plain-file"));
  WriteFile(blocker, "x");
  const QList<QPointF> before = Rows(form.SampleSet());
  script.DialogAnswers = {blocker + QStringLiteral("/out.mvs")};
  form.Save1Click();
  QCOMPARE(script.Errors.size(), 1);
  QVERIFY(script.Errors[0].startsWith(QStringLiteral("Cannot create file \"")));
  QVERIFY(script.Errors[0].endsWith('.'));
  QCOMPARE(Rows(form.SampleSet()), before);
}

// /dev/full fails every write as a full disk does.
void TestDataCommands::saveOnFullDiskNamesFileAndReason() {
  if (!QFile::exists(QStringLiteral("/dev/full"))) QSKIP("this system has no /dev/full");
  TScriptedServices script;
  TForm1 form(script.Services());
  script.DialogAnswers = {QStringLiteral("/dev/full")};
  form.Save1Click();
  QCOMPARE(
      script.Errors,
      QStringList{QStringLiteral("Stream write error \"/dev/full\". No space left on device.")});
}

void TestDataCommands::openAsksAboutUnreadableLines() {
  const QString path = dir_.filePath(QStringLiteral("partly.mvs"));
  // A header and blank lines are no samples; for a line that does not read the user chooses.
  WriteFile(path, "x,y\r\n1,2\r\n\r\n1;5,abc\r\n3,4\r\n\r\n");
  const QString question = QStringLiteral(
      "1 of 3 lines could not be read as two numbers (line 4). Load the test data without it, "
      "or with it as the sample (0, 0)?");
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  script.DialogAnswers = {path, path, path};
  script.UnreadableAnswers = {std::nullopt, TUnreadableChoice::AsZero, TUnreadableChoice::Leave};
  form.Open1Click();
  QCOMPARE(Rows(form.SampleSet()), before);  // cancelled
  QCOMPARE(Grid(form).rowCount(), before.size());
  form.Open1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {0, 0}, {3, 4}}));
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 3);
  form.Open1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {3, 4}}));
  QCOMPARE(Grid(form).rowCount(), 2);
  // One message, the question, for each load; the load itself says nothing more.
  QCOMPARE(script.UnreadableQuestions, (QStringList{question, question, question}));
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());
}

void TestDataCommands::copyPasteRoundTripThroughClipboard() {
  TScriptedServices script;
  TForm1 source(script.Services());
  ShowRows(source, {{0.5, -2}, {1e-7, 123456.75}});
  source.CopyData1Click();
  QCOMPARE(script.Messages, QStringList{"Test data copied."});
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  QVERIFY(copied->hasText());
  QVERIFY(!copied->hasImage());

  TForm1 target(script.Services());
  Control<QAction>(target, "Past1")->trigger();  // the grid popup's "Paste"
  QCOMPARE(script.Messages.last(), QStringLiteral("Test data pasted."));
  QCOMPARE(Rows(target.SampleSet()), Rows(source.SampleSet()));
  QCOMPARE(Grid(target).rowCount(), 2);
  QCOMPARE(ChartPoints(target, TSampleChart::SampleSeries).size(), 2);

  // An empty set copies as the empty text and is still confirmed.
  ShowRows(source, {});
  source.CopyData1Click();
  QCOMPARE(QGuiApplication::clipboard()->text(), QString());
  QCOMPARE(script.Messages.last(), QStringLiteral("Test data copied."));
}

void TestDataCommands::pasteOfNothingChangesNothing_data() {
  QTest::addColumn<QString>("clipboard");
  QTest::addColumn<QString>("message");
  QTest::newRow("empty") << ""
                         << "";
  QTest::newRow("blanks and breaks") << "  \r\n\t \r\n"
                                     << "";
  QTest::newRow("single item") << "42"
                               << "Nothing was pasted: the clipboard holds no pair of numbers.";
  QTest::newRow("names only") << "a b\r\nc d\r\n"
                              << "Nothing was pasted: the one pair on the clipboard could not be "
                                 "read as two numbers (line 2).";
}

void TestDataCommands::pasteOfNothingChangesNothing() {
  QFETCH(QString, clipboard);
  QFETCH(QString, message);
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  SetClipboardText(clipboard);
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()), before);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 100);
  QCOMPARE(script.Messages, message.isEmpty() ? QStringList() : QStringList{message});
  QVERIFY(script.Errors.isEmpty());
}

void TestDataCommands::pasteAsksAboutUnreadablePairs() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  SetClipboardText(QStringLiteral("1;2;x;4;5 6\r\n7 y"));
  script.UnreadableAnswers = {std::nullopt, TUnreadableChoice::AsZero, TUnreadableChoice::Leave};
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.Messages.isEmpty());
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {0, 0}, {5, 6}, {0, 0}}));
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {5, 6}}));
  QCOMPARE(script.UnreadableQuestions.size(), 3);
  QCOMPARE(script.UnreadableQuestions[0],
           QStringLiteral("2 of 4 pairs could not be read as two numbers (lines 1 and 2). Load "
                          "the test data without them, or with each as the sample (0, 0)?"));
  QCOMPARE(script.Messages, (QStringList{"Test data pasted.", "Test data pasted."}));
}

void TestDataCommands::pasteThatCannotMakeOneSetSaysWhy() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  QString header;
  for (int k = 0; k < 18; ++k)
    header += (k > 0 ? QStringLiteral("\tc") : QStringLiteral("c")) + QString::number(k);
  SetClipboardText(header + QStringLiteral("\r\n"));
  form.PastData1Click();
  QCOMPARE(script.Messages, QStringList{"Nothing was pasted. The samples have 17 inputs; a "
                                        "sample set takes at most 16."});
  QCOMPARE(Rows(form.SampleSet()), before);
  QCOMPARE(form.SampleSet().InputCount(), 1);
  QVERIFY(script.Errors.isEmpty());
}

void TestDataCommands::copyDataOfSeveralInputsWritesEveryColumnWithNames() {
  TScriptedServices script;
  TForm1 form(script.Services());
  TSampleData& samples = form.SampleSet();
  samples.Reshape(2, 2);
  const double rows[2][3] = {{1, 2, 3}, {4, 5.5, 6}};
  for (std::int32_t i = 0; i < 2; ++i) {
    samples.SetX(i, 0, rows[i][0]);
    samples.SetX(i, 1, rows[i][1]);
    samples.SetY(i, rows[i][2]);
  }
  samples.SetNames({"theta", "sigma", "period"});
  form.btPlotClick();
  form.CopyData1Click();
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QStringLiteral("theta\tsigma\tperiod\r\n"
                          "1.00000000\t2.00000000\t3.00000000\r\n"
                          "4.00000000\t5.50000000\t6.00000000\r\n"));
  QCOMPARE(script.Messages.last(), QStringLiteral("Test data copied."));

  // Pasted back, what Copy wrote makes the same set, names and all.
  SetSeed(2);
  form.Button1Click();
  script.DialogScript = [](QDialog&) { return true; };
  form.PastData1Click();
  QVERIFY(script.Errors.isEmpty());
  QCOMPARE(samples.InputCount(), 2);
  QCOMPARE(samples.Names(), (std::vector<std::string>{"theta", "sigma", "period"}));
  QCOMPARE(samples.GetX(1, 1), 5.5);
  QCOMPARE(samples.GetY(1), 6.0);
}

void TestDataCommands::copyChartLeavesPictureOnly() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.resize(783, 540);
  form.show();
  SetClipboardText(QStringLiteral("old text"));
  Control<QAction>(form, "Copy2")->trigger();  // the chart popup's "Copy"
  QCOMPARE(script.Messages, QStringList{"Chart copied."});

  const QMimeData* picture = QGuiApplication::clipboard()->mimeData();
  QVERIFY(!picture->hasText());
  QVERIFY(picture->hasImage());
  const QSize area = Control<TSampleChart>(form, "chTest")->size();
  const auto image = qvariant_cast<QImage>(picture->imageData());
  QCOMPARE(image.size(), area - QSize(1, 1));
  const QByteArray svg = picture->data(QStringLiteral("image/svg+xml"));
  QVERIFY(svg.contains("<svg"));
  QVERIFY(svg.contains("Test data"));  // the chart's title, drawn as text
  // Something of the red sample curve reached the bitmap.
  bool red = false;
  for (int y = 0; y < image.height() && !red; ++y) {
    for (int x = 0; x < image.width() && !red; ++x)
      red = image.pixelColor(x, y) == QColor(255, 0, 0);
  }
  QVERIFY(red);
}

void TestDataCommands::copyModelWholeOrSelection() {
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* memo = Control<QPlainTextEdit>(form, "memTest");
  form.CopyModel1Click();
  QCOMPARE(QGuiApplication::clipboard()->text(), memo->toPlainText());
  QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());

  QTextCursor cursor(memo->document());
  cursor.setPosition(0);
  cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  form.CopyModel1Click();
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("double model(double valueX) {\n"));
  QCOMPARE(script.Messages, (QStringList{"Model copied.", "Model copied."}));
}

void TestDataCommands::marginHint_data() {
  QTest::addColumn<int>("position");
  QTest::addColumn<QString>("hint");
  QTest::newRow("0") << 0 << "0%";
  QTest::newRow("10") << 10 << "10%";
  QTest::newRow("25") << 25 << "25%";
  QTest::newRow("40") << 40 << "40%";
}

void TestDataCommands::marginHint() {
  QFETCH(int, position);
  QFETCH(QString, hint);
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* track = Control<QSlider>(form, "tb1");
  track->setValue(position == 10 ? 0 : 10);
  track->setValue(position);
  QCOMPARE(track->toolTip(), hint);
  QCOMPARE(form.SampleSet().GetMargin(), 0.1);  // only a search sets the margin
}

void TestDataCommands::shortcutsAndPopupMenus() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
  QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(script.DialogsShown.size(), 2);
  QCOMPARE(script.DialogsShown[0]->objectName(), QStringLiteral("OpenDialog1"));
  QCOMPARE(script.DialogsShown[1]->objectName(), QStringLiteral("SaveDialog1"));
  QTest::keyClick(&form, Qt::Key_F1);
  QCOMPARE(script.Messages.size(), 1);  // the author credit

  const QList<QAction*> gridItems{Control<QAction>(form, "Copy1"), Control<QAction>(form, "Past1")};
  QCOMPARE(RightClickMenu(form, *Control<QTableView>(form, "sgTest"), "PopupMenu1"), gridItems);
  const QList<QAction*> chartItems{Control<QAction>(form, "Copy2")};
  QCOMPARE(RightClickMenu(form, *Control<TSampleChart>(form, "chTest"), "PopupMenu2"), chartItems);
}

void TestDataCommands::copyCommandsWorkDuringRun() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  SetClipboardText(QStringLiteral("1 2 3 4"));
  bool ranDuringSearch = false;
  QTimer::singleShot(0, &form, [&] {
    ranDuringSearch = form.Running();
    for (const char* name : {"CopyModel1", "CopyChart1", "About1", "CopyData1", "Open1", "Save1",
                             "PastData1", "Past1"}) {
      Control<QAction>(form, name)->trigger();
    }
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(ranDuringSearch);
  QCOMPARE(script.Messages.size(), 4);  // the copies and About ran; the rest were disabled
  QCOMPARE(script.Messages.last(), QStringLiteral("Test data copied."));
  QVERIFY(script.DialogsShown.isEmpty());
  QCOMPARE(Rows(form.SampleSet()), before);  // the search's set was not pasted over
}

void TestDataCommands::cancelledLoadsLeaveTheSetUnchanged() {
  const QString path = dir_.filePath(QStringLiteral("other.mvs"));
  WriteFile(path, "1,2\r\n3,4\r\n");
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowRows(form, {{7, 8}, {9, 10}, {11, 12}});
  form.SampleSet().SetMargin(0.25);
  script.CancelBusy = true;
  script.DialogAnswers = {path};
  form.Open1Click();
  SetClipboardText(QStringLiteral("5 6 7 8"));
  form.PastData1Click();
  QCOMPARE(script.BusyLabels,
           (QStringList{QStringLiteral("Opening ") + path, QStringLiteral("Pasting the samples")}));
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{7, 8}, {9, 10}, {11, 12}}));
  QCOMPARE(Grid(form).rowCount(), 3);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 3);
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());

  // Not cancelled, the same commands replace the points and keep the set's margin.
  script.CancelBusy = false;
  script.DialogAnswers = {path};
  form.Open1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {3, 4}}));
  QCOMPARE(form.SampleSet().GetMargin(), 0.25);
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{5, 6}, {7, 8}}));
  QCOMPARE(form.SampleSet().GetMargin(), 0.25);
  QCOMPARE(script.Messages, QStringList{"Test data pasted."});
}

void TestDataCommands::loadsRunOffTheWindowThread() {
  // A file of 200000 lines, read by a thread of its own while the window keeps painting.
  QByteArray content;
  for (int i = 0; i < 200000; ++i)
    content += QByteArray::number(i) + ',' + QByteArray::number(i % 7) + "\r\n";
  const QString path = dir_.filePath(QStringLiteral("large.mvs"));
  WriteFile(path, content);
  TScriptedServices script;
  script.RealBusy = true;
  TForm1 form(script.Services());
  script.DialogAnswers = {path, dir_.filePath(QStringLiteral("missing.mvs"))};
  form.Open1Click();
  QCOMPARE(form.SampleSet().Count(), 200000);
  QCOMPARE(form.SampleSet().GetY(199999), 199999 % 7);
  QCOMPARE(Grid(form).rowCount(), 200000);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 200000);
  QVERIFY(QApplication::overrideCursor() == nullptr);
  // A failure on the reading thread reaches the error box and changes nothing.
  form.Open1Click();
  QCOMPARE(script.Errors.size(), 1);
  QVERIFY(script.Errors[0].startsWith(QStringLiteral("Cannot open file \"")));
  QCOMPARE(form.SampleSet().Count(), 200000);
  SetClipboardText(QStringLiteral("1 2\r\n3 4"));
  form.PastData1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {3, 4}}));
}

QTEST_MAIN(TestDataCommands)
#include "DataCommands_test.moc"
