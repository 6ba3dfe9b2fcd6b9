#include "app/Unit1.h"

#include <chrono>
#include <exception>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "app/AppTitle.h"
#include "restart/BestMode.h"
#include "app/BestModelList.h"
#include "import/CsvImport.h"
#include "import/CsvText.h"
#include "core/model/DecimalSeparator.h"
#include "app/FileDrop.h"
#include "app/ImportDialog.h"
#include "version/MovarVersion.h"
#include "app/ProgressChart.h"
#include "core/model/Random.h"
#include "app/RateBox.h"
#include "app/RecentFiles.h"
#include "app/RecentFilesMenu.h"
#include "exchange/ReplaceSamples.h"
#include "exchange/SampleFile.h"
#include "restart/RestartSearch.h"
#include "core/model/SD.h"
#include "app/SampleChart.h"
#include "app/SampleGridModel.h"
#include "app/SampleHistory.h"
#include "app/SeedField.h"
#include "core/search/SearchRun.h"
#include "core/model/TE.h"
#include "frontend/SeriesPoints.h"
#include "exchange/ClipboardData.h"
#include "app/FormulaLine.h"
#include "frontend/WindowText.h"

namespace {

constexpr std::int32_t GeneratedSampleCount = 100;

const QString InitialModelText = QStringLiteral(
    "double model(double valueX) {\n"
    "double var[1];\n"
    "var[0] = valueX;\n"
    "return var[0];\n"
    "}");

// A parameter box: its text cannot be typed into, so the arrows and the Up and Down keys
// are the only way to change the value, and the text is always plain digits that the
// search reads back.
class TParameterBox : public QSpinBox {
 public:
  TParameterBox(const char* name, const char* editName, int minimum, int maximum, int step,
                int value, QWidget* parent)
      : QSpinBox(parent) {
    setObjectName(QString::fromLatin1(name));
    lineEdit()->setObjectName(QString::fromLatin1(editName));
    lineEdit()->setReadOnly(true);
    setLocale(QLocale::c());  // ASCII digits whatever the user's locale
    setRange(minimum, maximum);
    setSingleStep(step);
    setValue(value);
    setAlignment(Qt::AlignRight);
  }
  [[nodiscard]] QLineEdit* Edit() const { return lineEdit(); }
};

QLabel* Caption(const char* name, const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setBuddy(buddy);
  return label;
}

QLineEdit* ReadOnlyEdit(const char* name, const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(true);
  return edit;
}

// A set read off the window's thread, with its points ordered for the chart.
struct TLoadedSamples {
  TSampleData Set;
  std::vector<TSamplePoint> Ordered;
  std::int32_t Unreadable = 0;
  bool Read = true;  // false: the text held no pair, nothing changes
};

template <typename Widget, typename... Args>
Widget* Named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

TForm1::TForm1(TWindowServices services, QWidget* parent)
    : QMainWindow(parent),
      Samples(std::make_unique<TSampleData>(0)),
      services_(std::move(services)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(AppTitle);
  Q_INIT_RESOURCE(MovarTester);  // the icon lives in this static library
  setWindowIcon(QIcon(QStringLiteral(":/MovarTester.svg")));

  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  setCentralWidget(central);
  createParameterControls();
  createDataControls();
  layout->addWidget(GroupBox1);
  layout->addWidget(findChild<QFrame*>(QStringLiteral("Panel1")), 1);

  recent_ = std::make_unique<TRecentFiles>(services_.Settings ? services_.Settings() : nullptr);
  new TFileDrop(
      *this, [this] { return !running_; }, [this](const QString& path) { OpenFile(path); });
  history_ = new TSampleHistory(*Samples, this);
  createDialogs();
  createActions();
  createMenus();
  FormCreate();
  PlaceOnScreen();
}

void TForm1::PlaceOnScreen() {
  resize(OuterWidth, OuterHeight);
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

TForm1::~TForm1() = default;

void TForm1::createParameterControls() {
  GroupBox1 = Named<QGroupBox>("GroupBox1", QStringLiteral("Parameters"), this);
  GroupBox1->setMinimumWidth(161);
  GroupBox1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

  auto* up1 = new TParameterBox("UpDown1", "Edit1", 1, 20, 1, 2, GroupBox1);
  auto* up2 = new TParameterBox("UpDown2", "Edit2", 2, 100, 1, 5, GroupBox1);
  auto* up3 = new TParameterBox("UpDown3", "Edit3", 100, 32000, 10, 100, GroupBox1);
  UpDown1 = up1;
  UpDown2 = up2;
  UpDown3 = up3;
  Edit1 = up1->Edit();
  Edit2 = up2->Edit();
  Edit3 = up3->Edit();

  seedField_ = Named<TSeedField>("edSeed", GroupBox1);
  opRandomSample = Named<QCheckBox>("opRandomSample", QStringLiteral("Random sample"), GroupBox1);
  Button1 = Named<QPushButton>("Button1", QStringLiteral("Sample generate"), GroupBox1);

  tb1 = Named<QSlider>("tb1", Qt::Horizontal, GroupBox1);
  tb1->setRange(0, 40);
  tb1->setSingleStep(1);
  tb1->setPageStep(2);
  tb1->setTickPosition(QSlider::TicksBelow);
  tb1->setTickInterval(1);
  tb1->setValue(10);

  opIncrementalSearch =
      Named<QCheckBox>("opIncrementalSearch", QStringLiteral("Progressive search"), GroupBox1);
  opIncrementalSearch->setChecked(true);
  // Off at start: the window searches as it always has until the user asks for more.
  opRestartSearch =
      Named<QCheckBox>("opRestartSearch", QStringLiteral("Restart stalled searches"), GroupBox1);
  opRestartSearch->setToolTip(
      QStringLiteral("Runs short searches from new seeds side by side on every core, refines "
                     "the best models, and keeps the first that matches"));
  Button2 = Named<QPushButton>("Button2", QStringLiteral("Code search"), GroupBox1);
  Button3 = Named<QPushButton>("Button3", QStringLiteral("Stop"), GroupBox1);
  Button3->setEnabled(false);
  for (QPushButton* button : {Button2, Button3}) {
    button->setMinimumHeight(41);
  }
  Edit6 = ReadOnlyEdit("Edit6", QStringLiteral("0"), GroupBox1);
  rateBox_ = Named<TRateBox>("edRate", GroupBox1);
  Edit5 = ReadOnlyEdit("Edit5", QStringLiteral("0h0m0s"), GroupBox1);
  lbAttempt = Named<QLabel>("lbAttempt", QString(), GroupBox1);
  btPlot = Named<QPushButton>("btPlot", QStringLiteral("Plot"), GroupBox1);
  btPlot->hide();  // its command runs only when another command calls it

  auto* grid = new QGridLayout(GroupBox1);
  grid->addWidget(Caption("Label1", QStringLiteral("Variables:"), UpDown1, GroupBox1), 0, 0);
  grid->addWidget(UpDown1, 0, 1);
  grid->addWidget(Caption("Label2", QStringLiteral("Instructions:"), UpDown2, GroupBox1), 1, 0);
  grid->addWidget(UpDown2, 1, 1);
  grid->addWidget(Caption("Label3", QStringLiteral("Start population:"), UpDown3, GroupBox1), 2, 0,
                  1, 2);
  grid->addWidget(UpDown3, 3, 0, 1, 2);
  grid->addWidget(Caption("lbSeed", QStringLiteral("Seed:"), seedField_, GroupBox1), 4, 0);
  grid->addWidget(seedField_, 4, 1);
  grid->addWidget(opRandomSample, 6, 0, 1, 2);
  grid->addWidget(Button1, 7, 0, 1, 2);
  grid->setRowMinimumHeight(8, 8);
  grid->addWidget(Caption("Label5", QStringLiteral("Margin of error:"), tb1, GroupBox1), 9, 0, 1,
                  2);
  lbMargin = Named<QLabel>("lbMargin", GroupBox1);
  lbMargin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Room for "40%" whatever the font, so that the track bar does not move as the text changes.
  lbMargin->setMinimumWidth(lbMargin->fontMetrics().horizontalAdvance(QStringLiteral("40%")));
  auto* margin = new QHBoxLayout();
  margin->addWidget(tb1, 1);
  margin->addWidget(lbMargin);
  grid->addLayout(margin, 10, 0, 1, 2);
  grid->addWidget(opIncrementalSearch, 11, 0, 1, 2);
  grid->addWidget(opRestartSearch, 12, 0, 1, 2);
  auto* run = new QHBoxLayout();
  run->addWidget(Button2, 3);
  run->addWidget(Button3, 1);
  grid->addLayout(run, 13, 0, 1, 2);
  grid->addWidget(Caption("Label6", QStringLiteral("Generation:"), Edit6, GroupBox1), 14, 0, 1, 2);
  auto* generation = new QHBoxLayout();
  generation->addWidget(Edit6, 1);
  generation->addWidget(rateBox_, 1);
  grid->addLayout(generation, 15, 0, 1, 2);
  grid->addWidget(lbAttempt, 16, 0, 1, 2);
  grid->addWidget(Caption("Label4", QStringLiteral("Elapsed time:"), Edit5, GroupBox1), 17, 0, 1,
                  2);
  grid->addWidget(Edit5, 18, 0, 1, 2);
  grid->addWidget(btPlot, 19, 0, 1, 2);
  grid->setRowStretch(20, 1);

  setTabOrder(UpDown1, UpDown2);
  setTabOrder(UpDown2, UpDown3);
  setTabOrder(UpDown3, seedField_);
  setTabOrder(seedField_, opRandomSample);
  setTabOrder(opRandomSample, Button1);
  setTabOrder(Button1, Button2);
  setTabOrder(Button2, Edit6);
  setTabOrder(Edit6, Button3);
  setTabOrder(Button3, opIncrementalSearch);
  setTabOrder(opIncrementalSearch, opRestartSearch);
  setTabOrder(opRestartSearch, Edit5);
  setTabOrder(Edit5, tb1);
  setTabOrder(tb1, rateBox_);

  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(btPlot, &QPushButton::clicked, this, &TForm1::btPlotClick);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(tb1, &QSlider::valueChanged, this, &TForm1::tb1Change);
  tb1Change();
}

void TForm1::createDataControls() {
  auto* panel = Named<QFrame>("Panel1", this);
  panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

  auto* testData = Named<QGroupBox>("GroupBox2", QStringLiteral("Test data"));
  sgTest = Named<QTableView>("sgTest");
  gridModel_ = new TSampleGridModel(*Samples, sgTest);
  sgTest->setModel(gridModel_);
  sgTest->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgTest->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgTest->setWordWrap(false);
  sgTest->horizontalHeader()->setDefaultSectionSize(64);
  sgTest->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgTest->verticalHeader()->setDefaultSectionSize(sgTest->verticalHeader()->minimumSectionSize());
  sgTest->setContextMenuPolicy(Qt::CustomContextMenu);

  chTest = Named<TSampleChart>("chTest", nullptr);
  chTest->setContextMenuPolicy(Qt::CustomContextMenu);

  Splitter2 = Named<QSplitter>("Splitter2", Qt::Horizontal);
  Splitter2->addWidget(sgTest);
  Splitter2->addWidget(chTest);
  Splitter2->setStretchFactor(0, 0);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setCollapsible(1, false);
  Splitter2->setSizes({207, 400});
  (new QVBoxLayout(testData))->addWidget(Splitter2);

  auto* model = Named<QGroupBox>("GroupBox3", QStringLiteral("Model"));
  memTest = Named<QPlainTextEdit>("memTest");
  memTest->setReadOnly(true);
  memTest->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memTest->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memTest->setPlainText(InitialModelText);
  progressChart_ = Named<TProgressChart>("chProgress", nullptr);
  bestModels_ = Named<TBestModelList>("lvBestModels", nullptr);
  connect(bestModels_, &TBestModelList::Chosen, this,
          [this](const TBestModel& chosen) { ShowModel(chosen.Predictions, chosen.Lines); });
  auto* watch = Named<QSplitter>("Splitter4", Qt::Vertical);
  watch->addWidget(progressChart_);
  watch->addWidget(bestModels_);
  watch->setSizes({130, 130});
  auto* modelSplitter = Named<QSplitter>("Splitter3", Qt::Horizontal);
  modelSplitter->addWidget(memTest);
  modelSplitter->addWidget(watch);
  modelSplitter->setStretchFactor(0, 1);
  modelSplitter->setStretchFactor(1, 1);
  modelSplitter->setSizes({250, 250});
  memTest->setContextMenuPolicy(Qt::CustomContextMenu);
  formulaLine_ = new TFormulaLine(model);
  auto* modelLayout = new QVBoxLayout(model);
  modelLayout->addWidget(modelSplitter, 1);
  modelLayout->addWidget(formulaLine_);

  Splitter1 = Named<QSplitter>("Splitter1", Qt::Vertical);
  Splitter1->addWidget(testData);
  Splitter1->addWidget(model);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setCollapsible(1, false);
  Splitter1->setSizes({208, 300});

  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(4, 4, 4, 4);
  panelLayout->addWidget(Splitter1);
}

void TForm1::createDialogs() {
  const QString filter = QStringLiteral("Movar Sample (*.mvs)");
  OpenDialog1 = Named<QFileDialog>("OpenDialog1", this);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog1->setFileMode(QFileDialog::AnyFile);  // a typed missing name ends in the error box
  SaveDialog1 = Named<QFileDialog>("SaveDialog1", this);
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog1->setFileMode(QFileDialog::AnyFile);
  SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
  for (QFileDialog* dialog : {OpenDialog1, SaveDialog1}) {
    dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(QStringLiteral("mvs"));
    if (!recent_->LastFolder().isEmpty()) dialog->setDirectory(recent_->LastFolder());
  }
  OpenDialog2 = Named<QFileDialog>("OpenDialog2", this);
  OpenDialog2->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog2->setFileMode(QFileDialog::ExistingFile);
  OpenDialog2->setNameFilters(
      {QStringLiteral("Text data (*.csv *.tsv *.txt)"), QStringLiteral("All files (*)")});
}

void TForm1::createActions() {
  const auto action = [this](const char* name, const QString& text) {
    return Named<QAction>(name, text, this);
  };
  Open1 = action("Open1", QStringLiteral("Open"));
  Open1->setShortcut(QKeySequence::Open);
  Import1 = action("Import1", QStringLiteral("Import\u2026"));
  Save1 = action("Save1", QStringLiteral("Save"));
  Save1->setShortcut(QKeySequence::Save);
  Exit1 = action("Exit1", QStringLiteral("Exit"));
  Undo1 = history_->UndoAction();
  Undo1->setObjectName(QStringLiteral("Undo1"));
  Undo1->setShortcut(QKeySequence::Undo);
  Redo1 = history_->RedoAction();
  Redo1->setObjectName(QStringLiteral("Redo1"));
  Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence::Redo});
  CopyData1 = action("CopyData1", QStringLiteral("Copy Data"));
  CopyChart1 = action("CopyChart1", QStringLiteral("Copy Chart"));
  CopyModel1 = action("CopyModel1", QStringLiteral("Copy Model"));
  PastData1 = action("PastData1", QStringLiteral("Paste Data"));
  About1 = action("About1", QStringLiteral("About"));
  About1->setShortcut(QKeySequence::HelpContents);
  Copy1 = action("Copy1", QStringLiteral("Copy"));
  Past1 = action("Past1", QStringLiteral("Paste"));
  Copy2 = action("Copy2", QStringLiteral("Copy"));

  connect(Open1, &QAction::triggered, this, &TForm1::Open1Click);
  connect(Import1, &QAction::triggered, this, &TForm1::Import1Click);
  connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
  connect(Exit1, &QAction::triggered, this, &TForm1::close);
  connect(CopyData1, &QAction::triggered, this, &TForm1::CopyData1Click);
  connect(Copy1, &QAction::triggered, this, &TForm1::CopyData1Click);
  connect(CopyChart1, &QAction::triggered, this, &TForm1::CopyChart1Click);
  connect(Copy2, &QAction::triggered, this, &TForm1::CopyChart1Click);
  connect(CopyModel1, &QAction::triggered, this, &TForm1::CopyModel1Click);
  CopyFormula1 = action("CopyFormula1", QStringLiteral("Copy Formula"));
  CopyFormulaLatex1 = action("CopyFormulaLatex1", QStringLiteral("Copy Formula as LaTeX"));
  CopyModelC1 = action("CopyModelC1", QStringLiteral("Copy Model as C"));
  CopyModelPython1 = action("CopyModelPython1", QStringLiteral("Copy Model as Python"));
  connect(CopyFormula1, &QAction::triggered, this, &TForm1::CopyFormula1Click);
  connect(CopyFormulaLatex1, &QAction::triggered, this, &TForm1::CopyFormulaLatex1Click);
  connect(CopyModelC1, &QAction::triggered, this, &TForm1::CopyModelC1Click);
  connect(CopyModelPython1, &QAction::triggered, this, &TForm1::CopyModelPython1Click);
  connect(PastData1, &QAction::triggered, this, &TForm1::PastData1Click);
  connect(Past1, &QAction::triggered, this, &TForm1::PastData1Click);
  connect(About1, &QAction::triggered, this, &TForm1::About1Click);
  connect(history_, &TSampleHistory::Restored, this, &TForm1::btPlotClick);
}

void TForm1::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  file->addAction(Open1);
  file->addAction(Import1);
  RecentFiles1 = new TRecentFilesMenu(
      *recent_, [this](const QString& path) { OpenFile(path); }, file);
  file->addMenu(RecentFiles1);
  file->addAction(Save1);
  file->addSeparator()->setObjectName(QStringLiteral("N1"));
  file->addAction(Exit1);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("Edit4"));
  edit->addAction(Undo1);
  edit->addAction(Redo1);
  edit->addSeparator()->setObjectName(QStringLiteral("N3"));
  edit->addAction(CopyData1);
  edit->addAction(CopyChart1);
  edit->addAction(CopyModel1);
  const QList<QAction*> modelCopies{CopyFormula1, CopyFormulaLatex1, CopyModelC1, CopyModelPython1};
  edit->addActions(modelCopies);
  edit->addSeparator()->setObjectName(QStringLiteral("N2"));
  edit->addAction(PastData1);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  help->addAction(About1);

  PopupMenu1 = Named<QMenu>("PopupMenu1", this);
  PopupMenu1->addAction(Copy1);
  PopupMenu1->addAction(Past1);
  PopupMenu2 = Named<QMenu>("PopupMenu2", this);
  PopupMenu2->addAction(Copy2);
  connect(sgTest, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(sgTest->viewport()->mapToGlobal(at)); });
  connect(chTest, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu2->popup(chTest->viewport()->mapToGlobal(at)); });
  // The model text's own menu (copy, select all), then the model's other forms.
  PopupMenu3 = Named<QMenu>("PopupMenu3", this);
  PopupMenu3->addActions(modelCopies);
  connect(memTest, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu* menu = memTest->createStandardContextMenu(at);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addActions(PopupMenu3->actions());
    menu->popup(memTest->viewport()->mapToGlobal(at));
  });
}

void TForm1::FormCreate() {
  RandomizeSeed();
  UseSystemDecimalSeparator();
  Button1Click();
  history_->Clear();                // the first sample is where the history starts
  TTuringEvaluator identity(0, 1);  // the model of the initial text
  identity.UpdateExecEnd();
  formulaLine_->SetModel(identity, *Samples);
  // Columns wide enough for the first sample's texts in the desktop's font; the user
  // can drag them wider.
  sgTest->resizeColumnsToContents();
}

void TForm1::UseSystemDecimalSeparator() {
  SetDecimalSeparator(services_.SystemDecimalPoint().toStdString());
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) {
    UseSystemDecimalSeparator();
    gridModel_->RefreshTexts();
  }
  QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (running_) {
    // The run ends as "Stop" ends it; the window closes once the run is over.
    StopRequested = true;
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  if (!ConfirmClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TForm1::SetRunState(bool running) {
  running_ = running;
  for (QWidget* control :
       std::initializer_list<QWidget*>{UpDown1, UpDown2, UpDown3, opRandomSample}) {
    control->setEnabled(!running);
  }
  for (QAction* command : {Open1, RecentFiles1->menuAction(), Import1, Save1, PastData1, Past1})
    command->setEnabled(!running);
  history_->SetLocked(running);  // the set is lent to the search
  for (QWidget* control : std::initializer_list<QWidget*>{opIncrementalSearch, opRestartSearch, tb1,
                                                          Button1, Button2, seedField_}) {
    control->setEnabled(!running);
  }
  Button3->setEnabled(running);
}

void TForm1::ShowMessage(const QString& text) {
  services_.ShowMessage(this, text);
}

void TForm1::ShowError(const char* text) {
  services_.ShowError(this, QString::fromStdString(ErrorBoxText(text)));
}

void TForm1::PutOnClipboard(QMimeData* data) {
  QGuiApplication::clipboard()->setMimeData(data);
}

void TForm1::Button1Click() {
  const QString note =
      history_->Record(Button1->text(), TSampleOrigin::Generated, [this](TSampleData& samples) {
        if (samples.Count() != GeneratedSampleCount) samples.SetCount(GeneratedSampleCount);
        if (const auto seed = seedField_->Value()) SetSeed(*seed);
        if (opRandomSample->isChecked()) {
          samples.GenerateRandom();
        } else {
          samples.GenerateSine();
        }
        return true;
      });
  formulaLine_->SetSampleSource(opRandomSample->isChecked() ? "the generated random sample"
                                                            : "the generated sine sample");
  btPlotClick();
  if (!note.isEmpty()) ShowMessage(note);
}

void TForm1::btPlotClick() {
  ShowSamples(SeriesPoints(*Samples));
}

void TForm1::ShowSamples(std::vector<TSamplePoint> ordered) {
  gridModel_->Refresh();
  chTest->Clear(TSampleChart::ModelSeries);
  bestModels_->Clear();  // their predictions and reports were of the samples before
  chTest->SetPoints(TSampleChart::SampleSeries, std::move(ordered));
}

bool TForm1::RunBusy(const QString& label, std::function<void()> work) {
  if (!services_.RunBusy) {
    work();
    return true;
  }
  return services_.RunBusy(this, label, std::move(work));
}

QString TForm1::TakeSamples(const QString& step, TSampleOrigin origin, TSampleData&& loaded,
                            std::vector<TSamplePoint> ordered) {
  const QString note = history_->Record(step, origin, [&](TSampleData& samples) {
    // The window's set stays the same object; its margin is the run's, not the load's.
    loaded.SetMargin(samples.GetMargin());
    samples = std::move(loaded);
    return true;
  });
  ShowSamples(std::move(ordered));
  return note;
}

void TForm1::Button2Click() {
  const auto started = std::chrono::steady_clock::now();
  const TSearchParameters parameters = ReadSearchParameters(
      Edit3->text().toStdString(), Edit2->text().toStdString(), Edit1->text().toStdString(),
      tb1->value(), opIncrementalSearch->isChecked());
  SetRunState(true);
  // Every search starts from a seed that can be named, so that any run can be repeated.
  if (const auto seed = seedField_->Value()) {
    SetSeed(*seed);
  } else {
    RandomizeSeed();
  }
  const std::uint32_t seed = Seed();
  progressChart_->Start();
  rateBox_->Start();
  bestModels_->Clear();
  try {
    const bool restarts = opRestartSearch->isChecked();
    StopRequested = false;
    lbAttempt->clear();
    TRestartObserver observer;
    observer.Progress = [this](const TSearchProgress& progress) {
      progressChart_->Add(progress);
      rateBox_->Count();
    };
    observer.ModelChanged = [this, restarts](const TModelUpdate& update) {
      if (restarts) {
        lbAttempt->setText(QString::fromStdString(AttemptCaption(update.Attempt, update.Seed)));
      }
      ShowModel(update.Predictions, update.Lines);
      bestModels_->Offer(update);
      if (update.Model) formulaLine_->SetModel(*update.Model, *Samples);
    };
    observer.GenerationDone = [this](std::int32_t generation, std::chrono::milliseconds elapsed) {
      Edit6->setText(QString::number(generation));
      Edit5->setText(QString::fromStdString(FormatElapsed(elapsed)));
    };
    observer.Pump = [] { QCoreApplication::processEvents(); };
    observer.StopRequested = [this] { return StopRequested; };
    if (restarts) {
      // Attempts side by side on every core; this thread shows what they find.
      TAttemptCoordinator alone;
      TRestartSearch search(*Samples, WithBestModeAdditions(parameters), TRestartParameters{},
                            alone);
      (void)search.Run(observer);
    } else {
      TSearchRun run(*Samples, parameters, started);
      run.Run(observer);
    }
    formulaLine_->Refresh();
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
  progressChart_->Finish();
  rateBox_->Finish();
  bestModels_->Flush();
  seedField_->ShowUsed(seed);
  SetRunState(false);
  if (closeAfterRun_) {
    closeAfterRun_ = false;  // a "Cancel" to the save question keeps the window for good
    close();
  }
}

void TForm1::ShowModel(const std::vector<double>& predictions,
                       const std::vector<std::string>& lines) {
  chTest->SetPoints(TSampleChart::ModelSeries, SeriesPoints(*Samples, predictions));
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines)
    text.append(QString::fromStdString(line));
  memTest->setPlainText(text.join(QLatin1Char('\n')));
  memTest->moveCursor(QTextCursor::Start);
}

void TForm1::Button3Click() {
  StopRequested = true;
}

void TForm1::Open1Click() {
  const std::optional<QString> path = services_.RunFileDialog(*OpenDialog1);
  if (!path) return;
  OpenDialog1->selectFile(*path);
  OpenFile(*path);
}

void TForm1::OpenFile(const QString& path) {
  if (running_) return;  // the samples never change under a running search
  // Read off the window's thread into a set of its own: a cancelled or failed load leaves
  // the window's set as it was.
  auto loaded = std::make_shared<TLoadedSamples>();
  const std::string fileName = QFile::encodeName(path).toStdString();
  try {
    const bool done = RunBusy(QStringLiteral("Opening %1").arg(path), [loaded, fileName] {
      loaded->Unreadable = LoadFromFile(loaded->Set, fileName);
      loaded->Ordered = SeriesPoints(loaded->Set);
    });
    if (!done) return;
  } catch (const std::exception& error) {
    recent_->Forget(path);
    RecentFiles1->Refresh();
    ShowError(error.what());
    return;
  }
  const QString undoNote =
      TakeSamples(Open1->text() + QLatin1Char(' ') + QFileInfo(path).fileName(),
                  TSampleOrigin::File, std::move(loaded->Set), std::move(loaded->Ordered));
  RememberFile(path);
  formulaLine_->SetSampleSource(QFileInfo(path).fileName().toStdString());
  QStringList notes{QString::fromStdString(
                        UnreadableNote(loaded->Unreadable, Samples->Count(), "lines", "loaded")),
                    undoNote};
  notes.removeAll(QString());
  if (!notes.isEmpty()) ShowMessage(notes.join(QLatin1Char(' ')));
}

void TForm1::Import1Click() {
  const std::optional<QString> path = services_.RunFileDialog(*OpenDialog2);
  if (!path) return;
  OpenDialog2->selectFile(*path);
  try {
    const std::string text = ReadCsvFile(QFile::encodeName(*path).toStdString());
    const QString name = QFileInfo(*path).fileName();
    TImportDialog dialog(text, name, this);
    if (!services_.RunDialog(dialog)) return;
    const TCsvImportResult imported = ImportCsv(text, dialog.Settings());
    const QString undoNote = history_->Record(QStringLiteral("Import ") + name,
                                              TSampleOrigin::Imported, [&](TSampleData& samples) {
                                                ReplaceSamples(samples, imported.Points);
                                                return true;
                                              });
    btPlotClick();
    formulaLine_->SetSampleSource(name.toStdString());
    ShowMessage(QString::fromStdString(ImportSummary(imported)) +
                (undoNote.isEmpty() ? QString() : QLatin1Char(' ') + undoNote));
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
}

void TForm1::Save1Click() {
  SaveSamples();
}

bool TForm1::SaveSamples() {
  const std::optional<QString> path = services_.RunFileDialog(*SaveDialog1);
  if (!path) return false;
  SaveDialog1->selectFile(*path);
  try {
    SaveToFile(*Samples, QFile::encodeName(*path).toStdString());
  } catch (const std::exception& error) {
    ShowError(error.what());
    return false;
  }
  history_->MarkSaved();
  RememberFile(*path);
  return true;
}

void TForm1::RememberFile(const QString& path) {
  recent_->Remember(path);
  RecentFiles1->Refresh();
}

// Pasted and imported samples exist nowhere else: closing asks before they go.
bool TForm1::ConfirmClose() {
  if (!history_->Unsaved()) return true;
  const QString came = history_->Origin() == TSampleOrigin::Pasted ? QStringLiteral("pasted")
                                                                   : QStringLiteral("imported");
  const QMessageBox::StandardButton answer = services_.AskToSave(
      this,
      QStringLiteral("The %1 test data has not been saved. Save it before closing?").arg(came));
  if (answer == QMessageBox::Save) return SaveSamples();
  return answer == QMessageBox::Discard;
}

void TForm1::CopyData1Click() {
  auto* data = new QMimeData();
  data->setText(QString::fromStdString(FormatClipboardData(*Samples)));
  PutOnClipboard(data);
  ShowMessage(QStringLiteral("Test data copied."));
}

void TForm1::PastData1Click() {
  auto loaded = std::make_shared<TLoadedSamples>();
  const bool done = RunBusy(
      QStringLiteral("Pasting the samples"), [loaded, text = QGuiApplication::clipboard()->text()] {
        const TClipboardPaste pasted = ParseClipboardData(text.toStdString(), loaded->Set);
        loaded->Read = pasted.Pasted;
        loaded->Unreadable = pasted.Unreadable;
        if (pasted.Pasted) loaded->Ordered = SeriesPoints(loaded->Set);
      });
  if (!done || !loaded->Read) return;
  const QString undoNote = TakeSamples(PastData1->text(), TSampleOrigin::Pasted,
                                       std::move(loaded->Set), std::move(loaded->Ordered));
  formulaLine_->SetSampleSource("samples pasted from the clipboard");
  QString message = QStringLiteral("Test data pasted.");
  const std::string note = UnreadableNote(loaded->Unreadable, Samples->Count(), "pairs", "pasted");
  if (!note.empty()) message += QLatin1Char(' ') + QString::fromStdString(note);
  if (!undoNote.isEmpty()) message += QLatin1Char(' ') + undoNote;
  ShowMessage(message);
}

void TForm1::CopyModel1Click() {
  // Without a selection, which is the state after every model update, the whole text goes.
  const QTextCursor cursor = memTest->textCursor();
  const QString text =
      cursor.hasSelection() ? cursor.selection().toPlainText() : memTest->toPlainText();
  auto* data = new QMimeData();
  data->setText(text);
  PutOnClipboard(data);
  ShowMessage(QStringLiteral("Model copied."));
}

void TForm1::CopyChart1Click() {
  PutOnClipboard(chTest->Picture());
  ShowMessage(QStringLiteral("Chart copied."));
}

void TForm1::CopyText(const QString& text, const QString& confirmation) {
  auto* data = new QMimeData();
  data->setText(text);
  PutOnClipboard(data);
  ShowMessage(confirmation);
}

void TForm1::CopyFormula1Click() {
  CopyText(formulaLine_->Formula(), QStringLiteral("Formula copied."));
}

void TForm1::CopyFormulaLatex1Click() {
  CopyText(formulaLine_->Latex(), QStringLiteral("Formula copied as LaTeX."));
}

void TForm1::CopyModelC1Click() {
  CopyText(formulaLine_->CCode(), QStringLiteral("Model copied as C."));
}

void TForm1::CopyModelPython1Click() {
  CopyText(formulaLine_->PythonCode(), QStringLiteral("Model copied as Python."));
}

void TForm1::About1Click() {
  ShowMessage(QStringLiteral("Movar Tester %1, written by the Movar Tester developers.")
                  .arg(QLatin1String(MovarVersion)));
}

void TForm1::tb1Change() {
  const QString hint = QString::fromStdString(MarginHint(tb1->value()));
  tb1->setToolTip(hint);
  lbMargin->setText(hint);
}
