// The window: its state at start, the parameter boxes, sample generation and display, and
// the search run with its control states, driven through the real widgets offscreen.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGraphicsView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <limits>

#include "core/model/DecimalSeparator.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "exchange/SampleValue.h"
#include "tests/WindowTestKit.h"

namespace {

const QStringList RunControls{
    "UpDown1", "UpDown2", "UpDown3", "opRandomSample", "opIncrementalSearch",
    "tb1",     "Button1", "Button2", "edSeed"};
const QStringList RunCommands{"Open1", "Save1", "PastData1", "Past1"};
const QStringList CopyCommands{"CopyData1", "CopyChart1", "CopyModel1", "About1", "Copy1", "Copy2"};

// Failures seen from inside a running search, reported after it ended.
QStringList IdleStateFaults(const TForm1& form, bool running) {
  QStringList faults;
  for (const QString& name : RunControls) {
    if (Control<QWidget>(form, name.toLatin1())->isEnabled() == running) faults << name;
  }
  for (const QString& name : RunCommands) {
    if (Control<QAction>(form, name.toLatin1())->isEnabled() == running) faults << name;
  }
  for (const QString& name : CopyCommands) {
    if (!Control<QAction>(form, name.toLatin1())->isEnabled()) faults << name;
  }
  if (Control<QPushButton>(form, "Button3")->isEnabled() != running) faults << "Button3";
  return faults;
}

QString FirstModelLine(const TForm1& form) {
  return Control<QPlainTextEdit>(form, "memTest")->toPlainText().section('\n', 0, 0);
}

}  // namespace

class TestUnit1 : public QObject {
  Q_OBJECT

 private slots:
  void startState();
  void parameterBoxes_data();
  void parameterBoxes();
  void parameterTextsCannotBeTyped();
  void sampleGenerate();
  void gridInSetOrderChartInXOrder();
  void emptySetLeavesHeaderOnly();
  void axesFollowExtremeValues();
  void largeSetKeepsEveryPointAndDrawsFewer();
  void runStatesAndStop();
  void runToFullMatchFromFixedSeed();
  void marginLineFollowsTrackBarAndSeparator();
  void closingDuringRunStopsThenCloses();
  void exitCloses();
  void localeChangeRereadsSeparator();
  void separatorIsFirstCharacterOfSymbol_data();
  void separatorIsFirstCharacterOfSymbol();
  void labelNames_data();
  void labelNames();
  void opensAtItsSizeCentredWherever();
  void marginTextBesideTrackBar();
  void tabFollowsThePanelDown();
  void everyControlHasATooltip();
  void titleNamesTheFileAndMarksUnsavedSamples();
};

void TestUnit1::startState() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QCOMPARE(form.windowTitle(), QStringLiteral("Movar Tester"));

  QAbstractItemModel& grid = Grid(form);
  QCOMPARE(grid.rowCount(), 100);  // plus the header row: 101
  QCOMPARE(grid.columnCount(), 2);
  QCOMPARE(grid.headerData(0, Qt::Horizontal).toString(), QStringLiteral("x"));
  QCOMPARE(grid.headerData(1, Qt::Horizontal).toString(), QStringLiteral("y"));
  QCOMPARE(grid.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
  QCOMPARE(grid.headerData(99, Qt::Vertical).toString(), QStringLiteral("100"));
  QCOMPARE(Cell(form, 0, 0), QStringLiteral("0.000000"));
  QCOMPARE(Cell(form, 0, 1), QStringLiteral("0.000000"));
  QCOMPARE(Cell(form, 99, 0), QStringLiteral("99.000000"));

  const QList<QPointF> sample = ChartPoints(form, TSampleChart::SampleSeries);
  QCOMPARE(sample.size(), 100);
  for (int i = 0; i < 100; ++i) {
    QCOMPARE(sample[i].x(), form.SampleSet().GetX(i));
    QCOMPARE(sample[i].y(), form.SampleSet().GetY(i));
  }
  QVERIFY(ChartPoints(form, TSampleChart::ModelSeries).isEmpty());

  QVERIFY(IdleStateFaults(form, false).isEmpty());
  QVERIFY(!Control<QCheckBox>(form, "opRandomSample")->isChecked());
  QVERIFY(Control<QCheckBox>(form, "opIncrementalSearch")->isChecked());
  QVERIFY(Control<QPushButton>(form, "btPlot")->isHidden());
  QCOMPARE(Control<QPlainTextEdit>(form, "memTest")->toPlainText(),
           QStringLiteral("double model(double valueX) {\ndouble var[1];\nvar[0] = valueX;\n"
                          "return var[0];\n}"));
  QCOMPARE(Control<QLineEdit>(form, "Edit6")->text(), QStringLiteral("0"));
  QCOMPARE(Control<QLineEdit>(form, "Edit5")->text(), QStringLiteral("0h0m0s"));
  QCOMPARE(Control<QSlider>(form, "tb1")->value(), 10);
  QCOMPARE(Control<QSlider>(form, "tb1")->toolTip(), QStringLiteral("10%"));
  QCOMPARE(form.SampleSet().GetMargin(), 0.1);
}

void TestUnit1::parameterBoxes_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("edit");
  QTest::addColumn<int>("minimum");
  QTest::addColumn<int>("maximum");
  QTest::addColumn<int>("step");
  QTest::addColumn<QString>("initial");
  QTest::newRow("Variables") << "UpDown1"
                             << "Edit1" << 1 << 20 << 1 << "2";
  QTest::newRow("Instructions") << "UpDown2"
                                << "Edit2" << 2 << 100 << 1 << "5";
  QTest::newRow("Start population") << "UpDown3"
                                    << "Edit3" << 100 << 32000 << 10 << "100";
}

void TestUnit1::parameterBoxes() {
  QFETCH(QString, box);
  QFETCH(QString, edit);
  QFETCH(int, minimum);
  QFETCH(int, maximum);
  QFETCH(int, step);
  QFETCH(QString, initial);
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* spin = Control<QSpinBox>(form, box.toLatin1());
  auto* text = Control<QLineEdit>(form, edit.toLatin1());
  QCOMPARE(text->text(), initial);

  QTest::keyClick(spin, Qt::Key_Up);
  QCOMPARE(text->text(), QString::number(initial.toInt() + step));
  QTest::keyClick(spin, Qt::Key_Down);
  QTest::keyClick(spin, Qt::Key_Down);
  QCOMPARE(text->text(), QString::number(std::max(minimum, initial.toInt() - step)));

  spin->setValue(maximum);
  QTest::keyClick(spin, Qt::Key_Up);
  QCOMPARE(text->text(), QString::number(maximum));  // stops, no wrap-around
  spin->setValue(minimum);
  QTest::keyClick(spin, Qt::Key_Down);
  QCOMPARE(text->text(), QString::number(minimum));
}

void TestUnit1::parameterTextsCannotBeTyped() {
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* population = Control<QSpinBox>(form, "UpDown3");
  population->setValue(990);
  QTest::keyClick(population, Qt::Key_Up);
  // Plain digits: the search reads them back as an integer.
  QCOMPARE(Control<QLineEdit>(form, "Edit3")->text(), QStringLiteral("1000"));
  population->setValue(32000);
  QCOMPARE(Control<QLineEdit>(form, "Edit3")->text(), QStringLiteral("32000"));

  QTest::keyClicks(population, "57");
  QTest::keyClick(population, Qt::Key_Backspace);
  QCOMPARE(Control<QLineEdit>(form, "Edit3")->text(), QStringLiteral("32000"));
  QCOMPARE(population->value(), 32000);
}

void TestUnit1::sampleGenerate() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowRows(form, {{5, 5}, {6, 6}, {7, 7}});

  SetSeed(4711);
  form.Button1Click();
  const TSampleData& samples = form.SampleSet();
  QCOMPARE(samples.Count(), 100);
  const double y1 = samples.GetY(1);
  for (int i = 0; i < 100; ++i)
    QCOMPARE(samples.GetX(i), double(i));
  QCOMPARE(Grid(form).rowCount(), 100);
  QCOMPARE(Cell(form, 1, 1), QString::fromStdString(FormatGridValue(y1)));
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).at(1).y(), y1);

  Control<QCheckBox>(form, "opRandomSample")->setChecked(true);
  QTest::mouseClick(Control<QPushButton>(form, "Button1"), Qt::LeftButton);
  QCOMPARE(samples.Count(), 100);
  for (int i = 0; i < 100; ++i) {
    QVERIFY(samples.GetX(i) >= 0 && samples.GetX(i) < 1);
    QVERIFY(samples.GetY(i) >= 0 && samples.GetY(i) < 1);
    if (i > 0) QVERIFY(samples.GetX(i - 1) <= samples.GetX(i));
  }
  QVERIFY(samples.GetY(1) != y1);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).at(50).x(), samples.GetX(50));
  QCOMPARE(samples.GetMargin(), 0.1);  // generation leaves the margin alone
}

void TestUnit1::gridInSetOrderChartInXOrder() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowRows(form, {{3, 30}, {1, 10}, {2, 20}, {1, 11}, {1, 12}});

  QCOMPARE(Cell(form, 0, 0), QStringLiteral("3.000000"));
  QCOMPARE(Cell(form, 3, 1), QStringLiteral("11.000000"));
  const QList<QPointF> expected{{1, 10}, {1, 11}, {1, 12}, {2, 20}, {3, 30}};
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries), expected);
}

void TestUnit1::emptySetLeavesHeaderOnly() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowRows(form, {});
  QCOMPARE(Grid(form).rowCount(), 0);
  QVERIFY(ChartPoints(form, TSampleChart::SampleSeries).isEmpty());
  QVERIFY(ChartPoints(form, TSampleChart::ModelSeries).isEmpty());
}

void TestUnit1::axesFollowExtremeValues() {
  TScriptedServices script;
  TForm1 form(script.Services());
  const double max = std::numeric_limits<double>::max();
  // A flat series where adding one changes nothing, and one spanning the whole double range.
  for (const auto& [low, high] : {std::pair{1e20, 1e20}, std::pair{-max, max}}) {
    ShowRows(form, {{low, low}, {high, high}});
    const auto axes = Control<TSampleChart>(form, "chTest")->chart()->axes();
    QCOMPARE(axes.size(), 2);
    for (const QAbstractAxis* axis : axes) {
      const auto* values = qobject_cast<const QValueAxis*>(axis);
      QVERIFY(values != nullptr);
      QVERIFY(values->min() < values->max());
      QVERIFY(std::isfinite(values->max() - values->min()));
      QVERIFY(values->min() <= std::max(low, -max / 4));
      QVERIFY(values->max() >= std::min(high, max / 4));
    }
  }
}

void TestUnit1::largeSetKeepsEveryPointAndDrawsFewer() {
  TScriptedServices script;
  TForm1 form(script.Services());
  TSampleData& samples = form.SampleSet();
  samples.SetCount(50000);
  for (int i = 0; i < 50000; ++i) {
    samples.SetX(i, 49999 - i);  // reversed, so the chart has to order them
    samples.SetY(i, i % 7 == 3 ? -5.0 : i % 5);
  }
  form.btPlotClick();
  const QList<QPointF> all = ChartPoints(form, TSampleChart::SampleSeries);
  QCOMPARE(all.size(), 50000);
  QCOMPARE(all.first(), QPointF(0, samples.GetY(49999)));
  QCOMPARE(all.last(), QPointF(49999, samples.GetY(0)));
  const QList<QPointF> drawn =
      Control<TSampleChart>(form, "chTest")->Series(TSampleChart::SampleSeries)->points();
  QVERIFY(drawn.size() < all.size());
  const auto byY = [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); };
  QCOMPARE(std::min_element(drawn.begin(), drawn.end(), byY)->y(), -5.0);
  QCOMPARE(std::max_element(drawn.begin(), drawn.end(), byY)->y(), 4.0);
}

void TestUnit1::runStatesAndStop() {
  TScriptedServices script;
  TForm1 form(script.Services());
  SetSeed(99);
  form.Button1Click();
  Control<QSpinBox>(form, "UpDown3")->setValue(32000);  // no match within one generation

  QStringList faultsWhileRunning;
  QString generationAtStop;
  QTimer::singleShot(0, &form, [&] {
    faultsWhileRunning = IdleStateFaults(form, true);
    generationAtStop = Control<QLineEdit>(form, "Edit6")->text();
    QTest::mouseClick(Control<QPushButton>(form, "Button3"), Qt::LeftButton);
  });
  QVERIFY(!form.Running());
  form.Button2Click();

  QVERIFY2(faultsWhileRunning.isEmpty(), qPrintable(faultsWhileRunning.join(' ')));
  QVERIFY(!form.Running());
  QVERIFY2(IdleStateFaults(form, false).isEmpty(),
           qPrintable(IdleStateFaults(form, false).join(' ')));
  // The stop is seen after the generation in progress: it is the last one counted.
  QVERIFY(!generationAtStop.isEmpty());
  QVERIFY(Control<QLineEdit>(form, "Edit6")->text().toInt() >= generationAtStop.toInt());
  QVERIFY(Control<QLineEdit>(form, "Edit6")->text().toInt() <= generationAtStop.toInt() + 1);
  QVERIFY(FirstModelLine(form).startsWith("// model correctness: "));
  QVERIFY(FirstModelLine(form).endsWith(" of 100"));
  QCOMPARE(Control<QPlainTextEdit>(form, "memTest")->textCursor().position(), 0);
  const QList<QPointF> model = ChartPoints(form, TSampleChart::ModelSeries);
  QCOMPARE(model.size(), 100);  // one point per sample, matched or not
  for (int i = 0; i < 100; ++i)
    QCOMPARE(model[i].x(), double(i));

  // A new sample empties the model series and takes the model text, which was of the
  // samples before, with it.
  form.Button1Click();
  QVERIFY(ChartPoints(form, TSampleChart::ModelSeries).isEmpty());
  QCOMPARE(FirstModelLine(form), QStringLiteral("double model(double valueX) {"));
}

void TestUnit1::runToFullMatchFromFixedSeed() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowRows(form, {{0, 0},
                  {1, 1},
                  {2, 2},
                  {3, 3},
                  {4, 4},
                  {5, 5},
                  {6, 6},
                  {7, 7},
                  {8, 8},
                  {9, 9},
                  {10, 10},
                  {11, 11}});
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("12345"));

  bool watchdogFired = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  connect(&watchdog, &QTimer::timeout, &form, [&] {
    watchdogFired = true;
    form.Button3Click();
  });
  watchdog.start(60000);
  form.Button2Click();

  QVERIFY(!watchdogFired);
  QCOMPARE(FirstModelLine(form), QStringLiteral("// model correctness: 12 of 12"));
  const QStringList lines = Control<QPlainTextEdit>(form, "memTest")->toPlainText().split('\n');
  QCOMPARE(lines.at(1), QStringLiteral("// margin of error: 10.00%"));
  QVERIFY(lines.at(2).startsWith("// model clones: "));
  QCOMPARE(lines.at(3), QStringLiteral("double model(double valueX) {"));
  QVERIFY(Control<QPushButton>(form, "Button2")->isEnabled());
  QVERIFY(Control<QLineEdit>(form, "Edit5")->text().endsWith('s'));

  // The same seed runs the same search, whatever was drawn in between.
  const QString firstRun = Control<QPlainTextEdit>(form, "memTest")->toPlainText();
  const QString firstGenerations = Control<QLineEdit>(form, "Edit6")->text();
  (void)RandomInt(1000);
  form.Button2Click();
  QCOMPARE(Control<QPlainTextEdit>(form, "memTest")->toPlainText(), firstRun);
  QCOMPARE(Control<QLineEdit>(form, "Edit6")->text(), firstGenerations);
}

void TestUnit1::marginLineFollowsTrackBarAndSeparator() {
  TScriptedServices script;
  script.DecimalPoint = QStringLiteral(",");
  TForm1 form(script.Services());
  Control<QSlider>(form, "tb1")->setValue(0);
  QTimer::singleShot(0, &form, [&] { form.Button3Click(); });
  form.Button2Click();
  const QStringList lines = Control<QPlainTextEdit>(form, "memTest")->toPlainText().split('\n');
  QCOMPARE(lines.at(1), QStringLiteral("// margin of error: 0,00%"));
  QCOMPARE(form.SampleSet().GetMargin(), 0.0);  // the run's margin stays in the set
  SetDecimalSeparator(".");
}

void TestUnit1::closingDuringRunStopsThenCloses() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  bool closedWhileRunning = true;
  QTimer::singleShot(0, &form, [&] {
    form.close();
    closedWhileRunning = !form.isVisible();
  });
  form.Button2Click();
  QVERIFY(!closedWhileRunning);  // the run ended first
  QVERIFY(!form.isVisible());
  QVERIFY(!form.Running());
}

void TestUnit1::exitCloses() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  Control<QAction>(form, "Exit1")->trigger();
  QVERIFY(!form.isVisible());
}

void TestUnit1::localeChangeRereadsSeparator() {
  TScriptedServices script;
  script.DecimalPoint = QStringLiteral(",");
  TForm1 form(script.Services());
  QCOMPARE(Cell(form, 2, 0), QStringLiteral("2,000000"));

  QSignalSpy changed(&Grid(form), &QAbstractItemModel::dataChanged);
  script.DecimalPoint = QStringLiteral(".");
  QEvent localeChange(QEvent::LocaleChange);
  QCoreApplication::sendEvent(&form, &localeChange);
  QCOMPARE(Cell(form, 2, 0), QStringLiteral("2.000000"));
  QCOMPARE(changed.size(), 1);  // the view is told to draw the new texts
}

void TestUnit1::separatorIsFirstCharacterOfSymbol_data() {
  QTest::addColumn<QString>("symbol");
  QTest::addColumn<QString>("cell");
  QTest::newRow("comma then point") << QStringLiteral(",.") << QStringLiteral("2,000000");
  QTest::newRow("U+066B") << QString(QChar(0x066B)) << QStringLiteral("2.000000");
  QTest::newRow("U+066B then comma")
      << QString(QChar(0x066B)) + QLatin1Char(',') << QStringLiteral("2.000000");
}

void TestUnit1::separatorIsFirstCharacterOfSymbol() {
  QFETCH(QString, symbol);
  QFETCH(QString, cell);
  TScriptedServices script;
  script.DecimalPoint = symbol;
  TForm1 form(script.Services());
  QCOMPARE(Cell(form, 2, 0), cell);
  SetDecimalSeparator(".");
}

void TestUnit1::labelNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("buddy");
  QTest::newRow("Label1") << "Label1"
                          << "Variables:"
                          << "UpDown1";
  QTest::newRow("Label2") << "Label2"
                          << "Instructions:"
                          << "UpDown2";
  QTest::newRow("Label3") << "Label3"
                          << "Start population:"
                          << "UpDown3";
  QTest::newRow("Label4") << "Label4"
                          << "Elapsed time:"
                          << "Edit5";
  QTest::newRow("Label5") << "Label5"
                          << "Margin of error:"
                          << "tb1";
  QTest::newRow("Label6") << "Label6"
                          << "Generation:"
                          << "Edit6";
}

void TestUnit1::labelNames() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(QString, buddy);
  TScriptedServices script;
  TForm1 form(script.Services());
  const auto* label = Control<QLabel>(form, name.toLatin1());
  QCOMPARE(label->text(), caption);
  QCOMPARE(label->buddy(), Control<QWidget>(form, buddy.toLatin1()));
}

void TestUnit1::opensAtItsSizeCentredWherever() {
  // Made like any other widget, without the program entry's help.
  TScriptedServices script;
  TForm1 form(script.Services());
  QCOMPARE(form.size(), QSize(783, 540));
  const QRect screen = form.screen()->availableGeometry();
  const QPoint offset = form.frameGeometry().center() - screen.center();
  QVERIFY2(offset.manhattanLength() <= 2,
           qPrintable(QStringLiteral("off centre by %1, %2").arg(offset.x()).arg(offset.y())));
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.size(), QSize(783, 540));
}

void TestUnit1::marginTextBesideTrackBar() {
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* track = Control<QSlider>(form, "tb1");
  const auto* text = Control<QLabel>(form, "lbMargin");
  QCOMPARE(text->text(), QStringLiteral("10%"));
  for (int value : {25, 0, 40}) {
    track->setValue(value);
    QCOMPARE(text->text(), QString::number(value) + '%');
    QCOMPARE(track->toolTip(), text->text());
  }
  QTest::keyClick(track, Qt::Key_PageDown);
  QCOMPARE(text->text(), QStringLiteral("38%"));
  QCOMPARE(track->toolTip(), QStringLiteral("38%"));
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  // Beside the track bar, on its line.
  QCOMPARE(text->parentWidget(), track->parentWidget());
  QVERIFY(text->geometry().left() >= track->geometry().right());
  QVERIFY(text->geometry().top() < track->geometry().bottom());
  QVERIFY(text->geometry().bottom() > track->geometry().top());
}

void TestUnit1::tabFollowsThePanelDown() {
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  QApplication::setActiveWindow(&form);
  QVERIFY(QTest::qWaitForWindowActive(&form));
  const QStringList panel{"UpDown1",         "UpDown2",   "UpDown3",     "edSeed",
                          "opRandomSample",  "Button1",   "tb1",         "opIncrementalSearch",
                          "opRestartSearch", "edHoldout", "edTimeLimit", "edGenerationLimit",
                          "Button2"};  // "Stop" is off while idle
  // The named control that holds the focus: a spin box's own line edit counts as the box.
  const auto focused = [&form] {
    QWidget* widget = QApplication::focusWidget();
    while (widget && widget != &form && widget->objectName().isEmpty())
      widget = widget->parentWidget();
    if (widget && qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
      widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
  };
  Control<QWidget>(form, "UpDown1")->setFocus();
  QStringList order{focused()};
  for (int step = 1; step < panel.size() + 4; ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << focused();
  }
  QCOMPARE(order.mid(0, panel.size()), panel);
  // The boxes the window writes are passed by, before and after the panel.
  for (const char* box : {"Edit6", "edRate", "Edit5", "memTest", "edFormula"})
    QVERIFY2(!order.contains(QLatin1String(box)), box);
}

void TestUnit1::everyControlHasATooltip() {
  TScriptedServices script;
  TForm1 form(script.Services());
  QStringList controls;
  QStringList bare;
  for (QWidget* widget : form.findChildren<QWidget*>()) {
    const bool control =
        qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
        (qobject_cast<QLineEdit*>(widget) &&
         !qobject_cast<QAbstractSpinBox*>(widget->parentWidget())) ||
        qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QComboBox*>(widget) ||
        qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
        qobject_cast<QGraphicsView*>(widget);
    // Dialogs, menus and the parts Qt adds to its widgets have no names of ours.
    const QString name = widget->objectName();
    if (!control || name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
        !widget->isVisibleTo(&form))
      continue;
    controls << name;
    if (widget->toolTip().isEmpty()) bare << name;
  }
  QVERIFY2(controls.size() >= 20, qPrintable(controls.join(' ')));
  QCOMPARE(bare, QStringList());
}

void TestUnit1::titleNamesTheFileAndMarksUnsavedSamples() {
  QTemporaryDir dir;
  const QString sampleFile = Write(dir, "wave.mvs", "1,2\r\n3,4\r\n");
  const QString table = Write(dir, "table.csv", "t,v\n1,2\n3,5\n");
  TScriptedServices script;
  TForm1 form(script.Services());
  script.DialogScript = [](QDialog&) { return true; };
  const auto title = [&form] {
    return QStringList{form.windowTitle(), form.isWindowModified() ? "modified" : "saved"};
  };
  const QString dash = QStringLiteral(" \u2014 Movar Tester");
  QCOMPARE(title(), (QStringList{"Movar Tester", "saved"}));

  QGuiApplication::clipboard()->setText(QStringLiteral("5 6 7 8"));
  form.PastData1Click();
  QCOMPARE(title(), (QStringList{"Movar Tester[*]", "modified"}));
  form.OpenFile(sampleFile);
  QCOMPARE(title(), (QStringList{"wave.mvs[*]" + dash, "saved"}));
  Control<QAction>(form, "Undo1")->trigger();
  QCOMPARE(title(), (QStringList{"Movar Tester[*]", "modified"}));
  Control<QAction>(form, "Redo1")->trigger();
  QCOMPARE(title(), (QStringList{"wave.mvs[*]" + dash, "saved"}));

  script.DialogAnswers = {table};
  form.Import1Click();
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{1, 2}, {3, 5}}));
  QCOMPARE(title(), (QStringList{"table.csv[*]" + dash, "modified"}));
  script.DialogAnswers = {dir.filePath(QStringLiteral("kept.mvs"))};
  form.Save1Click();
  QCOMPARE(title(), (QStringList{"kept.mvs[*]" + dash, "saved"}));
  form.Button1Click();
  QCOMPARE(title(), (QStringList{"Movar Tester", "saved"}));
}

QTEST_MAIN(TestUnit1)
#include "Unit1_test.moc"
