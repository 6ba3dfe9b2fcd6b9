// Watching and repeating a search in the window: the progress chart, the rate, the seed
// box and the front, driven through the real widgets offscreen.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QGuiApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>
#include <QValueAxis>

#include <cmath>

#include "app/FrontChart.h"
#include "app/FrontList.h"
#include "app/FrontTableModel.h"
#include "app/ProgressChart.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "app/SeedField.h"
#include "formula/CodeEmitter.h"
#include "formula/ModelFormula.h"
#include "tests/FrontTesting.h"
#include "tests/WindowTestKit.h"

namespace {

// x sin x at 20 points: found from seed 9 in 78 generations, through several best models.
void ShowWaveRows(TForm1& form) {
  TSampleData& samples = form.SampleSet();
  samples.SetCount(20);
  for (std::int32_t i = 0; i < 20; ++i) {
    const double x = i * 0.5;
    samples.SetX(i, x);
    samples.SetY(i, std::sin(x) * x);
  }
  samples.UpdateBounds();
  form.btPlotClick();
}

QString FirstLine(const QString& text) {
  return text.section('\n', 0, 0);
}

QString ModelText(const TForm1& form) {
  return Control<QPlainTextEdit>(form, "memTest")->toPlainText();
}

QString FormulaText(const TForm1& form) {
  return Control<QLineEdit>(form, "edFormula")->text();
}

// What a copy command puts on the clipboard.
QString Copied(const TForm1& form, const char* action) {
  QApplication::clipboard()->clear();
  Control<QAction>(form, action)->trigger();
  return QApplication::clipboard()->text();
}

// Runs "Code search" to its end; a search that has not ended after a minute is stopped
// and reported.
bool SearchToTheEnd(TForm1& form) {
  bool stopped = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &form, [&] {
    stopped = true;
    form.Button3Click();
  });
  watchdog.start(60000);
  Control<QPushButton>(form, "Button2")->click();
  return !stopped;
}

TSearchProgress Figures(std::int32_t attempt, std::int32_t generation, double error) {
  TSearchProgress progress;
  progress.Attempt = attempt;
  progress.Generation = generation;
  progress.BestError = error;
  return progress;
}

}  // namespace

class TestSearchWatch : public QObject {
  Q_OBJECT

 private slots:
  void chartGetsEveryGenerationAndResets();
  void chartDrawsAFewTimesASecondAndOneLinePerAttempt();
  void errorAxisLabelsOnlyTheDecadesThereIsRoomFor();
  void rateIsShownDuringAndAfterARun();
  void seedBoxRepeatsTheSearchOfTheCommandLine();
  void placeholderSeedRepeatsARun();
  void seedBoxSeedsSampleGenerate();
  void seedBoxTakesOnlySeeds();
  void frontFillsAndAChosenRowIsShownEverywhere();
  void frontShowsNewModelsAtMostOnceASecond();
  void newSamplesTakeTheOldModelsViews_data();
  void newSamplesTakeTheOldModelsViews();
  void closingOffersToKeepTheModel();
};

void TestSearchWatch::chartGetsEveryGenerationAndResets() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowWaveRows(form);
  auto* chart = Control<TProgressChart>(form, "chProgress");
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("9"));
  QVERIFY(SearchToTheEnd(form));

  const int generations = Control<QLineEdit>(form, "Edit6")->text().toInt();
  QCOMPARE(generations, 78);
  QCOMPARE(chart->History().Generations(), 78);
  QCOMPARE(chart->Lines().size(), std::size_t(1));
  const QList<QPointF> drawn = chart->Lines()[0]->points();
  QVERIFY(drawn.size() >= 2);
  QCOMPARE(drawn.front().x(), 1.0);
  QCOMPARE(drawn.back().x(), 78.0);  // the last generation is drawn once the run ends
  for (const QPointF& p : drawn) {
    QVERIFY(p.y() >= chart->ErrorAxis()->min());
    QVERIFY(p.y() <= chart->ErrorAxis()->max());
  }
  QVERIFY(chart->ErrorAxis()->min() > 0);
  QCOMPARE(chart->GenerationAxis()->max(), 100.0);

  // The next search starts a new chart: what the first run drew is gone when it reports.
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("5"));
  qint64 countedAtFirstLook = -1;
  QTimer::singleShot(0, &form, [&] { countedAtFirstLook = chart->History().Generations(); });
  QVERIFY(SearchToTheEnd(form));
  QVERIFY(countedAtFirstLook >= 0 && countedAtFirstLook < 78);
  QCOMPARE(chart->History().Generations(), Control<QLineEdit>(form, "Edit6")->text().toLongLong());
}

void TestSearchWatch::chartDrawsAFewTimesASecondAndOneLinePerAttempt() {
  TProgressChart chart(nullptr);
  chart.Start();
  chart.Add(Figures(0, 1, 100));  // the first figures are drawn at once
  QCOMPARE(chart.Lines().size(), std::size_t(1));
  QVERIFY(!chart.chart()->legend()->isVisible());
  QSignalSpy replaced(chart.Lines()[0], &QXYSeries::pointsReplaced);
  for (std::int32_t g = 2; g <= 2000; ++g)
    chart.Add(Figures(0, g, 100.0 / g));
  // 2000 generations in far less than a redraw interval: at most one more redraw.
  QVERIFY2(replaced.size() <= 1, qPrintable(QString::number(replaced.size())));
  QCOMPARE(chart.History().Generations(), 2000);

  for (std::int32_t g = 1; g <= 10; ++g)
    chart.Add(Figures(1, g, 0));  // a restart that hits every sample exactly
  chart.Finish();
  QCOMPARE(chart.Lines().size(), std::size_t(2));
  const QList<QPointF> first = chart.Lines()[0]->points();
  QCOMPARE(first.back(), QPointF(2000, 100.0 / 2000));
  const QList<QPointF> restart = chart.Lines()[1]->points();
  QCOMPARE(restart.back().x(), 10.0);
  QCOMPARE(restart.back().y(), chart.ErrorAxis()->min());  // zero sits at the bottom
  QVERIFY(chart.ErrorAxis()->min() < 100.0 / 2000);
  QVERIFY(chart.ErrorAxis()->max() >= 100);
  QVERIFY(chart.Lines()[0]->pen().color() != chart.Lines()[1]->pen().color());
  // Two lines need a legend, with their attempt numbers; the latest lines only, once
  // the colours repeat.
  QVERIFY(chart.chart()->legend()->isVisible());
  const auto named = [&chart] {
    QCoreApplication::processEvents();  // the legend lays out its markers later
    QStringList names;
    for (QLegendMarker* marker : chart.chart()->legend()->markers()) {
      if (marker->isVisible()) names << marker->label();
    }
    return names;
  };
  QCOMPARE(named(), (QStringList{"attempt 0", "attempt 1"}));
  for (std::int32_t attempt = 2; attempt < 9; ++attempt)
    chart.Add(Figures(attempt, 1, attempt));
  chart.Finish();
  QCOMPARE(named(), (QStringList{"attempt 3", "attempt 4", "attempt 5", "attempt 6", "attempt 7",
                                 "attempt 8"}));

  chart.Start();
  QVERIFY(chart.Lines().empty());
  QVERIFY(!chart.chart()->legend()->isVisible());
  QCOMPARE(chart.History().Generations(), 0);
}

// The decades a log axis labels: the powers of its base within its range.
int LabelledDecades(const QLogValueAxis& axis) {
  const double step = std::round(std::log10(axis.base()));
  const double low = std::ceil(std::log10(axis.min()) / step - 1e-9);
  const double high = std::floor(std::log10(axis.max()) / step + 1e-9);
  return static_cast<int>(high - low + 1);
}

void TestSearchWatch::errorAxisLabelsOnlyTheDecadesThereIsRoomFor() {
  // Errors from 1e3 down to 1e-13: seventeen decades and more, far too many labels for a
  // small chart, which would elide every one of them.
  TProgressChart chart(nullptr);
  chart.resize(200, chart.minimumHeight());
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  chart.Start();
  chart.Add(Figures(0, 1, 1e3));
  chart.Add(Figures(0, 2, 1e-13));
  chart.Finish();
  QCoreApplication::processEvents();
  const int small = LabelledDecades(*chart.ErrorAxis());
  QVERIFY2(small >= 2 && small <= 3, qPrintable(QString::number(small)));
  chart.resize(200, 600);  // room for more, and they come back
  QCoreApplication::processEvents();
  const int tall = LabelledDecades(*chart.ErrorAxis());
  QVERIFY2(tall > small, qPrintable(QString("%1 %2").arg(small).arg(tall)));
}

void TestSearchWatch::rateIsShownDuringAndAfterARun() {
  TScriptedServices script;
  TForm1 form(script.Services());
  SetSeed(99);
  form.Button1Click();
  Control<QSlider>(form, "tb1")->setValue(0);  // no match: the run ends by "Stop"
  auto* rate = Control<QLineEdit>(form, "edRate");
  const QRegularExpression figure(QStringLiteral("^[0-9]+(\\.[0-9]+)?/s$"));
  // The rate appears while the run goes on, however busy the machine; then Stop.
  QString during;
  double seenAt = 0;
  QElapsedTimer clock;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &form, [&] {
    during = rate->text();
    if (figure.match(during).hasMatch() || clock.elapsed() > 30000) {
      seenAt = clock.elapsed() / 1000.0;
      poll.stop();
      form.Button3Click();
    }
  });
  clock.start();
  poll.start(50);
  form.Button2Click();
  const double runSeconds = clock.elapsed() / 1000.0;
  QVERIFY2(figure.match(during).hasMatch(), qPrintable(during));
  const QString after = rate->text();
  QVERIFY2(figure.match(after).hasMatch(), qPrintable(after));
  // The run's average agrees with the generations counted over the time it ran.
  const double generations = Control<QLineEdit>(form, "Edit6")->text().toDouble();
  const double perSecond = after.chopped(2).toDouble();
  QVERIFY(perSecond > 0);
  const double seconds = generations / perSecond;
  QVERIFY2(seconds > 0.5 * seenAt && seconds < 1.5 * runSeconds + 0.1,
           qPrintable(QStringLiteral("%1 generations at %2 in a run of %3 s")
                          .arg(generations)
                          .arg(after)
                          .arg(runSeconds)));
}

void TestSearchWatch::seedBoxRepeatsTheSearchOfTheCommandLine() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowWaveRows(form);
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString path = folder.filePath(QStringLiteral("wave.mvs"));
  script.DialogAnswers = {path};
  form.Save1Click();
  QVERIFY(script.Errors.isEmpty());

  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("9"));
  QVERIFY(SearchToTheEnd(form));

  QProcess cli;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
  cli.setProcessEnvironment(environment);
  // The window's parameters as they stand: 2 registers, 5 instructions, 100 programs,
  // a margin of 10 % and progressive search.
  cli.start(QStringLiteral(MOVAR_SEARCH_PATH),
            {"--samples", path, "--seed", "9", "--registers", "2", "--instructions", "5",
             "--population", "100", "--margin", "10"});
  QVERIFY(cli.waitForFinished(60000));
  QCOMPARE(cli.exitCode(), 0);
  QStringList printed = QString::fromLatin1(cli.readAllStandardOutput()).split('\n');
  QCOMPARE(printed.takeLast(), QString());
  QCOMPARE(printed.takeLast(), QStringLiteral("generations: 78"));
  QCOMPARE(ModelText(form), printed.join('\n'));
  QCOMPARE(Control<QLineEdit>(form, "Edit6")->text(), QStringLiteral("78"));
  QCOMPARE(Control<QLineEdit>(form, "edSeed")->placeholderText(), QStringLiteral("9"));
}

void TestSearchWatch::placeholderSeedRepeatsARun() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowWaveRows(form);
  auto* seed = Control<QLineEdit>(form, "edSeed");
  QVERIFY(seed->placeholderText().isEmpty());
  SetSeed(9);  // the empty box takes a seed from the clock instead
  QVERIFY(SearchToTheEnd(form));
  const QString used = seed->placeholderText();
  QVERIFY(!used.isEmpty());
  const QString model = ModelText(form);
  const QString generations = Control<QLineEdit>(form, "Edit6")->text();

  // Other draws in between do not matter: the seed is set right before the search.
  SetSeed(1);
  (void)RandomInt(1000);
  seed->setText(used);
  QVERIFY(SearchToTheEnd(form));
  QCOMPARE(ModelText(form), model);
  QCOMPARE(Control<QLineEdit>(form, "Edit6")->text(), generations);
  QCOMPARE(seed->placeholderText(), used);
}

void TestSearchWatch::seedBoxSeedsSampleGenerate() {
  TScriptedServices script;
  TForm1 form(script.Services());
  Control<QCheckBox>(form, "opRandomSample")->setChecked(true);
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("1000"));
  form.Button1Click();
  const QList<QPointF> first = ChartPoints(form, TSampleChart::SampleSeries);
  (void)RandomInt(7);
  form.Button1Click();
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries), first);

  SetSeed(1000);
  TSampleData expected(100);
  expected.GenerateRandom();
  QCOMPARE(form.SampleSet().GetX(0), expected.GetX(0));
  QCOMPARE(form.SampleSet().GetY(99), expected.GetY(99));

  // Empty again: the draws go on from where the source stands.
  Control<QLineEdit>(form, "edSeed")->clear();
  form.Button1Click();
  QVERIFY(ChartPoints(form, TSampleChart::SampleSeries) != first);
}

void TestSearchWatch::seedBoxTakesOnlySeeds() {
  TScriptedServices script;
  TForm1 form(script.Services());
  auto* seed = Control<QLineEdit>(form, "edSeed");
  seed->setFocus();
  QTest::keyClicks(seed, QStringLiteral("42x-7"));
  QCOMPARE(seed->text(), QStringLiteral("427"));
  seed->clear();
  QTest::keyClicks(seed, QStringLiteral("4294967296"));
  QCOMPARE(seed->text(), QStringLiteral("429496729"));  // the last digit would overflow
  QCOMPARE(Control<TSeedField>(form, "edSeed")->Value(), std::optional<std::uint32_t>(429496729));

  // Like the parameters, the seed is fixed while a search runs.
  bool enabledWhileRunning = true;
  QTimer::singleShot(0, &form, [&] {
    enabledWhileRunning = seed->isEnabled();
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(!enabledWhileRunning);
  QVERIFY(seed->isEnabled());
}

void TestSearchWatch::frontFillsAndAChosenRowIsShownEverywhere() {
  TScriptedServices script;
  TForm1 form(script.Services());
  ShowWaveRows(form);
  // Seed 3 without the progressive window and with no margin: sin(x), then x*sin(x).
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("3"));
  Control<QSlider>(form, "tb1")->setValue(0);
  Control<QCheckBox>(form, "opIncrementalSearch")->setChecked(false);
  QVERIFY(SearchToTheEnd(form));

  auto* list = Control<TFrontList>(form, "lvFront");
  const TFrontTable& table = list->Rows().Table();
  QVERIFY2(table.RowCount() >= 2, qPrintable(QString::number(table.RowCount())));
  QCOMPARE(list->model()->rowCount(), int(table.RowCount()));
  QVERIFY(!table.HasHeldOut());
  QCOMPARE(list->model()->columnCount(), 6);  // no held-out columns
  for (std::size_t i = 1; i < table.RowCount(); ++i) {
    QVERIFY(table.Model(i).Size > table.Model(i - 1).Size);
    QVERIFY(table.Model(i).Fit.Error < table.Model(i - 1).Fit.Error);
  }
  // The chart draws one point per row.
  QCOMPARE(Control<TFrontChart>(form, "chFront")->Line()->count(), int(table.RowCount()));

  // Choosing the smallest model shows it in the text, the chart, the formula line, and every
  // copy command takes it.
  const TFrontModel& chosen = table.Model(0);
  QVERIFY(FormulaText(form) !=
          list->model()->index(0, list->model()->columnCount() - 1).data().toString());
  const QRect cell = list->visualRect(list->model()->index(0, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  QStringList lines;
  for (const std::string& line : chosen.Lines)
    lines << QString::fromStdString(line);
  QCOMPARE(ModelText(form), lines.join('\n'));
  const QList<QPointF> drawn = ChartPoints(form, TSampleChart::ModelSeries);
  QCOMPARE(drawn.size(), 20);
  for (int i = 0; i < 20; ++i)
    QCOMPARE(drawn[i].y(), chosen.Predictions[static_cast<std::size_t>(i)]);
  const TModelFormula formula = MakeFormula(chosen.Model, form.SampleSet());
  const TModelOrigin origin{"the generated sine sample", form.SampleSet().GetMargin()};
  QCOMPARE(FormulaText(form),
           list->model()->index(0, list->model()->columnCount() - 1).data().toString());
  QCOMPARE(FormulaText(form), QString::fromStdString(formula.Plain));
  QCOMPARE(Copied(form, "CopyModel1"), lines.join('\n'));
  QCOMPARE(Copied(form, "CopyFormula1"), QString::fromStdString(formula.Plain));
  QCOMPARE(Copied(form, "CopyFormulaLatex1"), QString::fromStdString(formula.Latex));
  QCOMPARE(Copied(form, "CopyModelC1"), QString::fromStdString(EmitC(chosen.Model, origin)));
  QCOMPARE(Copied(form, "CopyModelPython1"),
           QString::fromStdString(EmitPython(chosen.Model, origin)));

  // The keyboard chooses too: the last row is the lowest error.
  QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
  QCOMPARE(FirstLine(ModelText(form)),
           QString::fromStdString(table.Model(table.RowCount() - 1).Lines.front()));

  // A new sample set leaves the front's predictions without their samples: it goes.
  form.Button1Click();
  QCOMPARE(list->model()->rowCount(), 0);
  QCOMPARE(Control<TFrontChart>(form, "chFront")->Line()->count(), 0);

  // A search starts with an empty front.
  ShowWaveRows(form);
  QVERIFY(SearchToTheEnd(form));
  QVERIFY(list->model()->rowCount() >= 2);
  int listedAtFirstLook = 99;
  QTimer::singleShot(0, &form, [&] { listedAtFirstLook = list->model()->rowCount(); });
  QVERIFY(SearchToTheEnd(form));
  QVERIFY(listedAtFirstLook <= 1);
}

void TestSearchWatch::frontShowsNewModelsAtMostOnceASecond() {
  TSampleData samples(3);
  TFrontList list(nullptr, nullptr);
  // Each size with a lower error than the smaller ones.
  const auto model = [](int size) { return Found(size, 100.0 / size); };
  list.Offer(model(1));  // no run, no front
  QCOMPARE(list.model()->rowCount(), 0);
  list.Start(samples, nullptr);
  list.Offer(model(1));  // the first of a run at once
  QCOMPARE(list.model()->rowCount(), 1);
  for (int size = 2; size <= 6; ++size)
    list.Offer(model(size));
  QCOMPARE(list.model()->rowCount(), 1);  // the rest wait for the next showing
  QTRY_COMPARE_WITH_TIMEOUT(list.model()->rowCount(), 6, 5000);

  list.Offer(model(7));
  list.Finish();  // the end of a run shows everything, and the rows stay
  QCOMPARE(list.model()->rowCount(), 7);
  list.Offer(model(8));  // the run is over
  QCOMPARE(list.model()->rowCount(), 7);
  list.Clear();
  QCOMPARE(list.model()->rowCount(), 0);
}

void TestSearchWatch::newSamplesTakeTheOldModelsViews_data() {
  QTest::addColumn<QString>("command");
  for (const char* command : {"Sample generate", "Undo", "Redo", "Open", "Paste Data"})
    QTest::newRow(command) << QString::fromLatin1(command);
}

void TestSearchWatch::newSamplesTakeTheOldModelsViews() {
  QFETCH(QString, command);
  QTemporaryDir dir;
  const QString path = Write(dir, "forty.mvs", QByteArray("1,1\r\n").repeated(40));
  TScriptedServices script;
  TForm1 form(script.Services());
  const QString firstText = ModelText(form);
  const QString firstFormula = FormulaText(form);
  const auto* note = Control<QLabel>(form, "lbFormulaNote");
  const QString firstNote = note->text();
  form.Button1Click();  // a step to undo
  if (command == "Redo") Control<QAction>(form, "Undo1")->trigger();
  ShowWaveRows(form);
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("9"));
  Control<QSpinBox>(form, "edHoldout")->setValue(20);
  QVERIFY(SearchToTheEnd(form));
  QVERIFY(ModelText(form) != firstText);
  QVERIFY(FormulaText(form) != firstFormula);
  const auto* progress = Control<TProgressChart>(form, "chProgress");
  QVERIFY(!progress->Lines().empty());
  auto* sampleChart = Control<TSampleChart>(form, "chTest");
  QCOMPARE(sampleChart->HeldOut()->count(), 4);

  if (command == "Sample generate") form.Button1Click();
  if (command == "Undo") Control<QAction>(form, "Undo1")->trigger();
  if (command == "Redo") Control<QAction>(form, "Redo1")->trigger();
  if (command == "Open") form.OpenFile(path);
  if (command == "Paste Data") {
    QApplication::clipboard()->setText(QStringLiteral("1 2 3 4"));
    form.PastData1Click();
  }
  QVERIFY(script.Errors.isEmpty());
  // The window looks as it did at its start, for the samples it has now.
  QCOMPARE(ModelText(form), firstText);
  QCOMPARE(FormulaText(form), firstFormula);
  QVERIFY(progress->Lines().empty());
  QVERIFY(progress->History().Lines().empty());
  QVERIFY(ChartPoints(form, TSampleChart::ModelSeries).isEmpty());
  QCOMPARE(sampleChart->HeldOut()->count(), 0);
  QCOMPARE(Control<TFrontList>(form, "lvFront")->model()->rowCount(), 0);
  if (form.SampleSet().Count() != 100) QVERIFY(note->text() != firstNote);
}

void TestSearchWatch::closingOffersToKeepTheModel() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("found.c"));
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  QVERIFY(form.close());  // the first model was found by no one
  form.show();
  ShowWaveRows(form);
  Control<QLineEdit>(form, "edSeed")->setText(QStringLiteral("9"));
  QVERIFY(SearchToTheEnd(form));
  const QString found = ModelText(form);

  // Cancel keeps the window; a cancelled file dialog too; Save writes the model text.
  script.ModelAnswers = {TModelCloseAnswer::Cancel, TModelCloseAnswer::Save,
                         TModelCloseAnswer::Save};
  script.DialogAnswers = {std::nullopt, path};
  QVERIFY(!form.close());
  QVERIFY(!form.close());
  QVERIFY(form.isVisible());
  QVERIFY(form.close());
  QCOMPARE(script.ModelQuestions.size(), 3);
  QCOMPARE(script.ModelQuestions[0],
           QStringLiteral(
               "The model found has not been copied or saved. Copy or save it before closing?"));
  QCOMPARE(script.DialogsShown.last()->objectName(), QStringLiteral("SaveDialog2"));
  QCOMPARE(script.DialogsShown.last()->defaultSuffix(), QStringLiteral("c"));
  QFile saved(path);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(saved.readAll()), found + '\n');

  // Saved, it is kept: no question; a new run finds another, and Copy puts it on the
  // clipboard.
  form.show();
  QVERIFY(form.close());
  QCOMPARE(script.ModelQuestions.size(), 3);
  form.show();
  QVERIFY(SearchToTheEnd(form));
  script.ModelAnswers = {TModelCloseAnswer::Copy};
  QApplication::clipboard()->clear();
  QVERIFY(form.close());
  QCOMPARE(QApplication::clipboard()->text(), ModelText(form));
  QCOMPARE(script.Messages.last(), QStringLiteral("Model copied."));

  // A copy command keeps it as well; a save that fails keeps the window and says why.
  form.show();
  QVERIFY(SearchToTheEnd(form));
  Control<QAction>(form, "CopyModelPython1")->trigger();
  QVERIFY(form.close());
  QCOMPARE(script.ModelQuestions.size(), 4);
  form.show();
  QVERIFY(SearchToTheEnd(form));
  script.ModelAnswers = {TModelCloseAnswer::Save};
  script.DialogAnswers = {dir.filePath(QStringLiteral("missing/found.c"))};
  QVERIFY(!form.close());
  QCOMPARE(script.Errors.size(), 1);
  QVERIFY2(script.Errors[0].startsWith(QStringLiteral("Cannot save the model to \"")),
           qPrintable(script.Errors[0]));
}

QTEST_MAIN(TestSearchWatch)
#include "SearchWatch_test.moc"
