// File > Import: the file dialog, the import dialog driven through its real widgets, the
// samples it gives and the report of skipped rows.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/model/DecimalSeparator.h"
#include "app/ImportDialog.h"
#include "core/model/SD.h"
#include "tests/WindowTestKit.h"

namespace {

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i)
    items << box.itemText(i);
  return items;
}

// Picks an item by typing its first letters into the box, as a user does.
void Choose(QComboBox& box, const QString& text) {
  const int index = box.findText(text);
  QVERIFY2(index >= 0, qPrintable(text));
  box.setFocus();
  while (box.currentIndex() < index)
    QTest::keyClick(&box, Qt::Key_Down);
  while (box.currentIndex() > index)
    QTest::keyClick(&box, Qt::Key_Up);
}

const QByteArray Measurements =
    "\xEF\xBB\xBF"
    "id;time;value;note\r\n"
    "1;0,5;10;\"first; with \"\"quotes\"\"\"\r\n"
    "2;1,5;n/a;missing\r\n"
    "\r\n"
    "3;2,5;30;\"two\r\nlines\"\r\n"
    "4;3,5;40\r\n";

// The columns ticked as inputs, by their titles.
QStringList Ticked(const QListWidget& list) {
  QStringList ticked;
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->checkState() == Qt::Checked) ticked << list.item(row)->text();
  }
  return ticked;
}

// Ticks or unticks a column as a user does from the keyboard.
void Toggle(QListWidget& list, int row) {
  list.setFocus();
  list.setCurrentRow(row);
  QTest::keyClick(&list, Qt::Key_Space);
}

QStringList PreviewTitles(const QTableWidget& preview) {
  QStringList titles;
  for (int column = 0; column < preview.columnCount(); ++column)
    titles << preview.horizontalHeaderItem(column)->text();
  return titles;
}

const QByteArray Pendulum =
    "length,amplitude,mass,period\n"
    "1,0.1,2,2.006\n"
    "2,0.2,3,2.842\n"
    "0.5,0.3,1,1.428\n";

}  // namespace

class TestImportDialog : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetDecimalSeparator("."); }
  void importThroughTheDialog();
  void dialogShowsWhatWasDetected();
  void dialogFollowsTheUsersChoices();
  void cancelledImportChangesNothing();
  void quoteNeverClosedShowsAShortCell();
  void wideFileShowsItsFirstColumns();
  void importReadsOffTheWindowThread();
  void unreadableImportShowsErrorAndKeepsSet_data();
  void unreadableImportShowsErrorAndKeepsSet();
  void importIsOffDuringSearch();
  void tablesGoToTheDialog_data();
  void tablesGoToTheDialog();
  void severalNumberColumnsTickEveryInputButTheLast();
  void theUserTicksInputsAndSeesWhatCannotBeImported();
  void importOfSeveralInputsReachesEveryView();

 private:
  QTemporaryDir dir_;
};

void TestImportDialog::importThroughTheDialog() {
  const QString path = Write(dir_, "measurements.csv", Measurements);
  TScriptedServices script;
  TForm1 form(script.Services());
  script.DialogAnswers = {path};
  script.DialogScript = [](QDialog& dialog) {
    Choose(*Control<QComboBox>(dialog, "cbColumnX"), QStringLiteral("2: time"));
    Choose(*Control<QComboBox>(dialog, "cbColumnY"), QStringLiteral("3: value"));
    QTest::mouseClick(Control<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    return dialog.result() == QDialog::Accepted;
  };
  Control<QAction>(form, "Import1")->trigger();

  QCOMPARE(script.DialogsShown.size(), 1);
  QCOMPARE(script.DialogsShown[0]->objectName(), QStringLiteral("OpenDialog2"));
  QCOMPARE(script.DialogsShown[0]->windowTitle(), QStringLiteral("Import"));
  QVERIFY(script.Errors.isEmpty());
  // The last row lacks a field: it is left out, not read as if nothing could be shifted.
  QCOMPARE(Rows(form.SampleSet()), (QList<QPointF>{{0.5, 10}, {2.5, 30}}));
  QCOMPARE(Grid(form).rowCount(), 2);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 2);
  QCOMPARE(script.Messages,
           QStringList{"Test data imported: 2 samples; 1 row skipped because a chosen cell is not "
                       "a number (line 3); 1 row skipped because it does not have the header's "
                       "4 fields (line 7)."});
}

void TestImportDialog::dialogShowsWhatWasDetected() {
  const std::string text = Measurements.mid(3).toStdString();
  TImportDialog dialog(text, QStringLiteral("measurements.csv"), nullptr);
  QCOMPARE(Control<QComboBox>(dialog, "cbDelimiter")->currentText(),
           QStringLiteral("Semicolon (;)"));
  QCOMPARE(Control<QComboBox>(dialog, "cbDecimal")->currentText(), QStringLiteral("Comma (,)"));
  QVERIFY(Control<QCheckBox>(dialog, "opHeader")->isChecked());
  QCOMPARE(Items(*Control<QComboBox>(dialog, "cbColumnX")),
           (QStringList{"1: id", "2: time", "3: value", "4: note"}));
  // The first two columns of numbers after the row index, until the user picks others.
  QCOMPARE(Control<QComboBox>(dialog, "cbColumnX")->currentText(), QStringLiteral("2: time"));
  QCOMPARE(Control<QComboBox>(dialog, "cbColumnY")->currentText(), QStringLiteral("3: value"));

  auto* preview = Control<QTableWidget>(dialog, "sgPreview");
  QCOMPARE(preview->rowCount(), 4);  // the empty line is no row
  QCOMPARE(preview->columnCount(), 4);
  QCOMPARE(preview->horizontalHeaderItem(0)->text(), QStringLiteral("1: id"));
  QCOMPARE(preview->horizontalHeaderItem(1)->text(), QStringLiteral("2: time [x]"));
  QCOMPARE(preview->horizontalHeaderItem(2)->text(), QStringLiteral("3: value [y]"));
  QCOMPARE(preview->item(0, 3)->text(), QStringLiteral("first; with \"quotes\""));
  QCOMPARE(preview->item(2, 3)->text(), QStringLiteral("two\r\nlines"));
  QCOMPARE(preview->item(3, 3), nullptr);  // a short row
  QCOMPARE(Control<QLabel>(dialog, "lbNote")->text(),
           QStringLiteral("The first 4 rows of data are shown; 2 of them will be skipped: a "
                          "chosen cell is not a number, or the row does not have the header's 4 "
                          "fields."));
  QCOMPARE(preview->item(3, 0)->toolTip(),
           QStringLiteral("Skipped: the row does not have the header's 4 fields."));
  QCOMPARE(dialog.Settings().Dialect, (TCsvDialect{';', ',', true}));
}

void TestImportDialog::dialogFollowsTheUsersChoices() {
  const std::string text = Measurements.mid(3).toStdString();
  TImportDialog dialog(text, QStringLiteral("measurements.csv"), nullptr);
  auto* preview = Control<QTableWidget>(dialog, "sgPreview");
  auto* note = Control<QLabel>(dialog, "lbNote");
  auto* ok = Control<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok);

  // y among the inputs is refused until the user picks another column.
  Choose(*Control<QComboBox>(dialog, "cbColumnY"), QStringLiteral("2: time"));
  QCOMPARE(note->text(), QStringLiteral("Column 2 is chosen as an input and as y."));
  QVERIFY(!ok->isEnabled());
  Choose(*Control<QComboBox>(dialog, "cbColumnY"), QStringLiteral("3: value"));
  QVERIFY(!preview->item(1, 0)->toolTip().isEmpty());  // the "n/a" row, greyed
  QVERIFY(preview->item(0, 0)->toolTip().isEmpty());

  // Without a header the names go, and the header line becomes a row that is skipped.
  QTest::mouseClick(Control<QCheckBox>(dialog, "opHeader"), Qt::LeftButton);
  QCOMPARE(Items(*Control<QComboBox>(dialog, "cbColumnX")),
           (QStringList{"Column 1", "Column 2", "Column 3", "Column 4"}));
  QCOMPARE(Control<QComboBox>(dialog, "cbColumnY")->currentText(), QStringLiteral("Column 3"));
  QCOMPARE(preview->rowCount(), 5);
  QVERIFY(note->text().contains(QStringLiteral("3 of them will be skipped")));

  // Under a decimal point no cell with a comma reads.
  Choose(*Control<QComboBox>(dialog, "cbDecimal"), QStringLiteral("Point (.)"));
  Choose(*Control<QComboBox>(dialog, "cbColumnX"), QStringLiteral("Column 2"));
  QVERIFY(note->text().contains(QStringLiteral("5 of them will be skipped")));
  QVERIFY(ok->isEnabled());

  // Another delimiter: one column, so both choices fall back to it.
  Choose(*Control<QComboBox>(dialog, "cbDelimiter"), QStringLiteral("Tab"));
  QCOMPARE(preview->columnCount(), 1);
  QCOMPARE(Items(*Control<QComboBox>(dialog, "cbColumnY")), QStringList{"Column 1"});
  const TCsvImportSettings settings = dialog.Settings();
  QCOMPARE(settings.Dialect, (TCsvDialect{'\t', '.', false}));
  QCOMPARE(settings.X, std::vector<TColumnChoice>{TColumnChoice::ByNumber(1)});
  QCOMPARE(settings.Y, TColumnChoice::ByNumber(1));
}

void TestImportDialog::cancelledImportChangesNothing() {
  const QString path = Write(dir_, "cancelled.csv", "x,y\n1,2\n");
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  form.Import1Click();  // the file dialog cancelled
  script.DialogAnswers = {path};
  bool shown = false;
  script.DialogScript = [&shown](QDialog& dialog) {
    shown = qobject_cast<TImportDialog*>(&dialog) != nullptr;
    QTest::mouseClick(
        Control<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Cancel),
        Qt::LeftButton);
    return dialog.result() == QDialog::Accepted;
  };
  form.Import1Click();
  QVERIFY(shown);
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());
  QVERIFY(!Control<QAction>(form, "Undo1")->isEnabled());
}

void TestImportDialog::quoteNeverClosedShowsAShortCell() {
  const std::string text = "x,y\n1,\"2\n" + std::string(100000, 'z');
  TImportDialog dialog(text, QStringLiteral("broken.csv"), nullptr);
  auto* preview = Control<QTableWidget>(dialog, "sgPreview");
  QCOMPARE(preview->rowCount(), 1);
  QCOMPARE(preview->item(0, 1)->text().size(), 200);
  QVERIFY(Control<QLabel>(dialog, "lbNote")->text().contains(QStringLiteral("1 of them")));
}

void TestImportDialog::wideFileShowsItsFirstColumns() {
  std::string text;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 5000; ++column)
      text += std::to_string(row * column) + (column == 4999 ? "\n" : ",");
  }
  TImportDialog dialog(text, QStringLiteral("wide.csv"), nullptr);
  auto* preview = Control<QTableWidget>(dialog, "sgPreview");
  QCOMPARE(preview->columnCount(), TImportDialog::PreviewColumns);
  QCOMPARE(preview->horizontalHeaderItem(TImportDialog::PreviewColumns - 1)->text(),
           QStringLiteral("Column 200"));
  QCOMPARE(preview->item(2, 199)->text(), QStringLiteral("398"));
  // Too many columns of numbers to be inputs: the first is x until the user ticks more.
  QCOMPARE(dialog.Settings().X, std::vector<TColumnChoice>{TColumnChoice::ByNumber(1)});
  QCOMPARE(Control<QLabel>(dialog, "lbNote")->text(),
           QStringLiteral("The first 3 rows of data and the first 200 of their 5000 columns are "
                          "shown; each has numbers in both chosen columns."));
  // A column past the preview can still be chosen.
  auto* y = Control<QComboBox>(dialog, "cbColumnY");
  QCOMPARE(y->count(), 5000);
  y->setCurrentIndex(4999);
  QCOMPARE(dialog.Settings().Y, TColumnChoice::ByNumber(5000));

  // Narrow files say nothing of columns.
  const std::string narrow = "1,2\n3,4\n";
  TImportDialog small(narrow, QStringLiteral("narrow.csv"), nullptr);
  QCOMPARE(Control<QLabel>(small, "lbNote")->text(),
           QStringLiteral("The first 2 rows of data are shown; each has numbers in both chosen "
                          "columns."));
}

void TestImportDialog::importReadsOffTheWindowThread() {
  QByteArray content = "t,v\n";
  for (int i = 0; i < 100000; ++i)
    content += QByteArray::number(i) + ',' + QByteArray::number(i % 5) + '\n';
  const QString path = Write(dir_, "large.csv", content);
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  int dialogs = 0;
  script.DialogScript = [&dialogs](QDialog&) { return ++dialogs > 0; };

  // Cancelled while the file is read: no dialog, no change.
  script.CancelBusy = true;
  script.DialogAnswers = {path};
  form.Import1Click();
  QCOMPARE(script.BusyLabels, QStringList{QStringLiteral("Importing ") + path});
  QCOMPARE(dialogs, 0);
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.Messages.isEmpty() && script.Errors.isEmpty());
  QVERIFY(!Control<QAction>(form, "Undo1")->isEnabled());

  // On a thread of its own, both the reading and the import of the chosen columns.
  script.CancelBusy = false;
  script.RealBusy = true;
  script.BusyLabels.clear();
  script.DialogAnswers = {path, dir_.filePath(QStringLiteral("missing.csv"))};
  form.Import1Click();
  QCOMPARE(script.BusyLabels, (QStringList{QStringLiteral("Importing ") + path,
                                           QStringLiteral("Importing large.csv")}));
  QCOMPARE(dialogs, 1);
  QCOMPARE(form.SampleSet().Count(), 100000);
  QCOMPARE(form.SampleSet().GetY(99999), 99999 % 5);
  QCOMPARE(ChartPoints(form, TSampleChart::SampleSeries).size(), 100000);
  QCOMPARE(script.Messages,
           QStringList{QStringLiteral("Test data imported: 100000 samples; no rows skipped.")});
  QVERIFY(QApplication::overrideCursor() == nullptr);
  // A failure on the reading thread reaches the error box and changes nothing.
  form.Import1Click();
  QCOMPARE(script.Errors.size(), 1);
  QVERIFY2(script.Errors[0].startsWith(QStringLiteral("Cannot open file \"")),
           qPrintable(script.Errors[0]));
  QCOMPARE(form.SampleSet().Count(), 100000);
}

void TestImportDialog::unreadableImportShowsErrorAndKeepsSet_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("error");
  QTest::newRow("no numbers") << QByteArray("x,y\na,b\nc,d\n")
                              << "None of the 3 rows has numbers in both column 1 and column 2.";
  QTest::newRow("header only") << QByteArray("x;y\r\n") << "The file holds no rows of data.";
  QTest::newRow("UTF-32") << QByteArray("\xFF\xFE\0\0x\0\0\0", 8)
                          << "UTF-32 text cannot be imported; save the file as UTF-8 or UTF-16.";
}

void TestImportDialog::unreadableImportShowsErrorAndKeepsSet() {
  QFETCH(QByteArray, content);
  QFETCH(QString, error);
  const QString path = Write(dir_, "unreadable.csv", content);
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  script.DialogAnswers = {path};
  script.DialogScript = [](QDialog&) { return true; };
  form.Import1Click();
  // Every error of an import names the file.
  QCOMPARE(script.Errors, QStringList{"Cannot import file \"" + path + "\". " + error});
  QCOMPARE(Rows(form.SampleSet()), before);
  QVERIFY(script.Messages.isEmpty());
}

void TestImportDialog::importIsOffDuringSearch() {
  TScriptedServices script;
  TForm1 form(script.Services());
  bool offWhileRunning = false;
  QTimer::singleShot(0, &form, [&] {
    offWhileRunning = !Control<QAction>(form, "Import1")->isEnabled();
    Control<QAction>(form, "Import1")->trigger();
    form.Button3Click();
  });
  form.Button2Click();
  QVERIFY(offWhileRunning);
  QVERIFY(script.DialogsShown.isEmpty());
  QVERIFY(Control<QAction>(form, "Import1")->isEnabled());
}

void TestImportDialog::tablesGoToTheDialog_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<QString>("file");
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<bool>("table");
  QTest::newRow("Open, .csv") << "Open"
                              << "t.csv" << QByteArray("x,y\n1,2\n3,4\n") << true;
  QTest::newRow("drop, .tsv") << "drop"
                              << "t.tsv" << QByteArray("1\t2\n3\t4\n") << true;
  QTest::newRow("drop, .TXT") << "drop"
                              << "t.TXT" << QByteArray("1,2\r\n3,4\r\n") << true;
  QTest::newRow("drop, .txt of blank-separated pairs")
      << "drop"
      << "pairs.txt" << QByteArray("1 2\n3 4\n") << false;
  QTest::newRow("Open, .txt of blank-separated pairs")
      << "Open"
      << "pairs.txt" << QByteArray("1  2\r\n3 4\r\n") << false;
  QTest::newRow("drop, .mvs") << "drop"
                              << "t.mvs" << QByteArray("1,2\r\n3,4\r\n") << false;
  QTest::newRow("paste, header") << "paste"
                                 << "" << QByteArray("time;value\r\n1;2\r\n3;4\r\n") << true;
  QTest::newRow("paste, three columns") << "paste"
                                        << "" << QByteArray("1\t0\t2\r\n3\t0\t4\r\n") << true;
  QTest::newRow("paste, pairs") << "paste"
                                << "" << QByteArray("1\t2\r\n3\t4\r\n") << false;
  QTest::newRow("paste, pairs on a line") << "paste"
                                          << "" << QByteArray("1 2 3 4") << false;
}

void TestImportDialog::tablesGoToTheDialog() {
  QFETCH(QString, command);
  QFETCH(QString, file);
  QFETCH(QByteArray, content);
  QFETCH(bool, table);
  TScriptedServices script;
  TForm1 form(script.Services());
  QStringList shown;
  script.DialogScript = [&shown](QDialog& dialog) {
    if (qobject_cast<TImportDialog*>(&dialog)) shown << dialog.windowTitle();
    return true;
  };
  if (command == "paste") {
    QGuiApplication::clipboard()->setText(QString::fromLatin1(content));
    form.PastData1Click();
  } else {
    const QString path = Write(dir_, file.toLatin1(), content);
    if (command == "Open") {
      script.DialogAnswers = {path};
      form.Open1Click();
    } else {
      form.OpenFile(path);
    }
  }
  QVERIFY(script.Errors.isEmpty());
  QCOMPARE(shown.size(), table ? 1 : 0);
  QCOMPARE(Rows(form.SampleSet()).mid(0, 2), (QList<QPointF>{{1, 2}, {3, 4}}));
  if (table) {
    QVERIFY2(script.Messages.last().startsWith(QStringLiteral("Test data imported: ")),
             qPrintable(script.Messages.last()));
  }
}

void TestImportDialog::severalNumberColumnsTickEveryInputButTheLast() {
  const std::string text = Pendulum.toStdString();
  TImportDialog dialog(text, QStringLiteral("pendulum.csv"), nullptr);
  auto* inputs = Control<QListWidget>(dialog, "lsInputs");
  QCOMPARE(Ticked(*inputs), (QStringList{"1: length", "2: amplitude", "3: mass"}));
  QCOMPARE(Control<QComboBox>(dialog, "cbColumnY")->currentText(), QStringLiteral("4: period"));
  // Several inputs: the x box shows none of them, and says how many there are.
  auto* x = Control<QComboBox>(dialog, "cbColumnX");
  QCOMPARE(x->currentIndex(), -1);
  QCOMPARE(x->placeholderText(), QStringLiteral("3 inputs"));
  QCOMPARE(PreviewTitles(*Control<QTableWidget>(dialog, "sgPreview")),
           (QStringList{"1: length [x1]", "2: amplitude [x2]", "3: mass [x3]", "4: period [y]"}));
  QCOMPARE(Control<QLabel>(dialog, "lbNote")->text(),
           QStringLiteral("The first 3 rows of data are shown; each has numbers in every chosen "
                          "column."));
  const TCsvImportSettings settings = dialog.Settings();
  QCOMPARE(settings.X,
           (std::vector<TColumnChoice>{TColumnChoice::ByNumber(1), TColumnChoice::ByNumber(2),
                                       TColumnChoice::ByNumber(3)}));
  QCOMPARE(settings.Y, TColumnChoice::ByNumber(4));
}

void TestImportDialog::theUserTicksInputsAndSeesWhatCannotBeImported() {
  const std::string text = Pendulum.toStdString();
  TImportDialog dialog(text, QStringLiteral("pendulum.csv"), nullptr);
  auto* inputs = Control<QListWidget>(dialog, "lsInputs");
  auto* x = Control<QComboBox>(dialog, "cbColumnX");
  auto* note = Control<QLabel>(dialog, "lbNote");
  auto* ok = Control<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok);
  auto* preview = Control<QTableWidget>(dialog, "sgPreview");

  Toggle(*inputs, 1);  // amplitude is no input after all
  QCOMPARE(Ticked(*inputs), (QStringList{"1: length", "3: mass"}));
  QCOMPARE(PreviewTitles(*preview),
           (QStringList{"1: length [x1]", "2: amplitude", "3: mass [x2]", "4: period [y]"}));
  QCOMPARE(dialog.Settings().X,
           (std::vector<TColumnChoice>{TColumnChoice::ByNumber(1), TColumnChoice::ByNumber(3)}));

  // y ticked as an input too: the dialog says why that cannot be imported.
  Toggle(*inputs, 3);
  QCOMPARE(note->text(), QStringLiteral("Column 4 is chosen as an input and as y."));
  QVERIFY(!ok->isEnabled());
  Choose(*Control<QComboBox>(dialog, "cbColumnY"), QStringLiteral("2: amplitude"));
  QVERIFY(ok->isEnabled());
  QCOMPARE(dialog.Settings().Y, TColumnChoice::ByNumber(2));

  // Nothing ticked: nothing to import.
  for (const int row : {0, 2, 3})
    Toggle(*inputs, row);
  QCOMPARE(Ticked(*inputs), QStringList());
  QCOMPARE(note->text(), QStringLiteral("No column is chosen as an input."));
  QVERIFY(!ok->isEnabled());

  // One column picked in the x box is the one input, its tick the only one.
  Choose(*x, QStringLiteral("3: mass"));
  QCOMPARE(Ticked(*inputs), QStringList{"3: mass"});
  QCOMPARE(PreviewTitles(*preview).at(2), QStringLiteral("3: mass [x]"));
  QVERIFY(ok->isEnabled());
  // Ticking a second shows both, and the box no longer names one.
  Toggle(*inputs, 0);
  QCOMPARE(x->currentIndex(), -1);
  QCOMPARE(x->placeholderText(), QStringLiteral("2 inputs"));
  Toggle(*inputs, 2);
  QCOMPARE(x->currentText(), QStringLiteral("1: length"));
}

void TestImportDialog::importOfSeveralInputsReachesEveryView() {
  const QString path = Write(dir_, "pendulum.csv", Pendulum);
  TScriptedServices script;
  TForm1 form(script.Services());
  form.show();
  script.DialogScript = [](QDialog& dialog) {
    Toggle(*Control<QListWidget>(dialog, "lsInputs"), 1);
    QTest::mouseClick(Control<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    return dialog.result() == QDialog::Accepted;
  };
  form.OpenFile(path);
  QVERIFY2(script.Errors.isEmpty(), qPrintable(script.Errors.join(' ')));
  const TSampleData& samples = form.SampleSet();
  QCOMPARE(samples.InputCount(), 2);
  QCOMPARE(samples.Names(), (std::vector<std::string>{"length", "mass", "period"}));
  QCOMPARE(samples.GetX(2, 1), 1.0);
  QAbstractItemModel& grid = Grid(form);
  QCOMPARE(grid.columnCount(), 3);
  QCOMPARE(grid.headerData(1, Qt::Horizontal).toString(), QStringLiteral("mass"));
  QCOMPARE(Cell(form, 1, 1), QStringLiteral("3.000000"));
  QCOMPARE(Control<QLineEdit>(form, "edInputs")->text(), QStringLiteral("2"));
  QVERIFY(Control<QLineEdit>(form, "edInputs")->isVisible());
  QVERIFY(Control<QComboBox>(form, "cbChartX")->isVisible());
  // The model before any search: the first input, under its name everywhere.
  const QString text = Control<QPlainTextEdit>(form, "memTest")->toPlainText();
  QVERIFY2(text.startsWith(QStringLiteral("// valueX1: length, valueX2: mass; y: period\n"
                                          "double model(double valueX1, double valueX2) {")),
           qPrintable(text));
  QCOMPARE(Control<QLineEdit>(form, "edFormula")->text(), QStringLiteral("length"));
  form.CopyModelC1Click();
  const QString code = QGuiApplication::clipboard()->text();
  QVERIFY2(code.contains(QStringLiteral("double model(double length, double mass)")),
           qPrintable(code));
}

QTEST_MAIN(TestImportDialog)
#include "ImportDialog_test.moc"
