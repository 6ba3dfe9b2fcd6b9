#include "app/Unit1.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/AppTitle.h"
#include "app/FileDrop.h"
#include "app/ModelBox.h"
#include "app/Named.h"
#include "app/ParameterPanel.h"
#include "app/RecentFilesMenu.h"
#include "app/SampleCommands.h"
#include "app/SampleHistory.h"
#include "app/SearchSession.h"
#include "app/StandardKeys.h"
#include "app/TestDataBox.h"
#include "app/WindowPlacement.h"
#include "app/WindowTitle.h"
#include "core/model/DecimalSeparator.h"
#include "core/model/Random.h"
#include "version/MovarVersion.h"

TForm1::TForm1(TWindowServices services, QWidget* parent)
    : QMainWindow(parent),
      Samples(std::make_unique<TSampleData>(0)),
      services_(std::move(services)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(AppTitle);
  Q_INIT_RESOURCE(MovarTester);  // the icon lives in this static library
  setWindowIcon(QIcon(QStringLiteral(":/MovarTester.svg")));
  createRooms();
  new TFileDrop(
      *this, [this] { return !Running(); }, [this](const QString& path) { OpenFile(path); });
  createActions();
  createMenus();
  FormCreate();
  const auto settings = [this] {
    return services_.Settings ? services_.Settings() : std::unique_ptr<QSettings>();
  };
  panel_->KeepRestartsIn(settings());
  placement_ = std::make_unique<TWindowPlacement>(settings());
  placement_->Restore(*this, QSize(OuterWidth, OuterHeight), Splitters());
}

TForm1::~TForm1() {
  // The grid and the charts read the sample set as they are hidden, and the set goes before
  // the window's widgets would: they go first.
  delete centralWidget();
}

void TForm1::createRooms() {
  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  setCentralWidget(central);
  panel_ = new TParameterPanel(this);
  auto* frame = Named<QFrame>("Panel1", this);
  frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  testData_ = new TTestDataBox(*Samples, nullptr);
  model_ = new TModelBox(*Samples, testData_->Chart(), services_, nullptr);
  auto* splitter = Named<QSplitter>("Splitter1", Qt::Vertical);
  splitter->addWidget(testData_);
  splitter->addWidget(model_);
  // Both grow with the window: the data chart as much as the model's views.
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  splitter->setCollapsible(0, false);
  splitter->setCollapsible(1, false);
  splitter->setSizes({230, 300});
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(4, 4, 4, 4);
  frameLayout->addWidget(splitter);
  auto* panelArea = panel_->InScrollArea();
  layout->addWidget(panelArea);
  layout->addWidget(frame, 1);

  commands_ = new TSampleCommands(*Samples, *testData_, *model_, services_, *this);
  session_ = new TSearchSession(*Samples, *panel_, *model_, services_, *this);
  connect(panel_, &TParameterPanel::GenerateClicked, this, &TForm1::Button1Click);
  connect(panel_, &TParameterPanel::PlotClicked, this, &TForm1::btPlotClick);
  connect(panel_, &TParameterPanel::SearchClicked, this, &TForm1::Button2Click);
  connect(panel_, &TParameterPanel::StopClicked, this, &TForm1::Button3Click);
  connect(panel_, &TParameterPanel::MarginChanged, this, &TForm1::tb1Change);
  new TWindowTitle(*this, commands_->History());
  connect(session_, &TSearchSession::RunningChanged, commands_, &TSampleCommands::SetLocked);
  connect(commands_, &TSampleCommands::Shown, panel_,
          [this] { panel_->ShowInputCount(Samples->InputCount()); });
  connect(session_, &TSearchSession::CloseDeferred, this, &TForm1::close);
  connect(session_, &TSearchSession::Ended, statusBar(),
          [this](const QString& status) { statusBar()->showMessage(status); });
}

QList<QSplitter*> TForm1::Splitters() const {
  return findChildren<QSplitter*>();
}

void TForm1::createActions() {
  const auto action = [this](const char* name, const QString& text, auto slot) {
    auto* created = Named<QAction>(name, text, this);
    connect(created, &QAction::triggered, this, slot);
    return created;
  };
  Open1 = action("Open1", QStringLiteral("Open"), &TForm1::Open1Click);
  Open1->setShortcuts(StandardKeys(QKeySequence::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}));
  Import1 = action("Import1", QStringLiteral("Import\u2026"), &TForm1::Import1Click);
  Save1 = action("Save1", QStringLiteral("Save"), &TForm1::Save1Click);
  Save1->setShortcuts(StandardKeys(QKeySequence::Save, {QKeySequence(Qt::CTRL | Qt::Key_S)}));
  Exit1 = action("Exit1", QStringLiteral("Exit"), &TForm1::close);
  Exit1->setShortcuts(StandardKeys(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
  Undo1 = commands_->History().UndoAction();
  Undo1->setObjectName(QStringLiteral("Undo1"));
  Undo1->setShortcuts(StandardKeys(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
  Redo1 = commands_->History().RedoAction();
  Redo1->setObjectName(QStringLiteral("Redo1"));
  Redo1->setShortcuts(StandardKeys(
      QKeySequence::Redo,
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
  CopyData1 = action("CopyData1", QStringLiteral("Copy Data"), &TForm1::CopyData1Click);
  CopyChart1 = action("CopyChart1", QStringLiteral("Copy Chart"), &TForm1::CopyChart1Click);
  CopyModel1 = action("CopyModel1", QStringLiteral("Copy Model"), &TForm1::CopyModel1Click);
  PastData1 = action("PastData1", QStringLiteral("Paste Data"), &TForm1::PastData1Click);
  About1 = action("About1", QStringLiteral("About"), &TForm1::About1Click);
  About1->setShortcuts(StandardKeys(QKeySequence::HelpContents, {QKeySequence(Qt::Key_F1)}));
  Copy1 = action("Copy1", QStringLiteral("Copy"), &TForm1::CopyData1Click);
  Past1 = action("Past1", QStringLiteral("Paste"), &TForm1::PastData1Click);
  Copy2 = action("Copy2", QStringLiteral("Copy"), &TForm1::CopyChart1Click);
  CopyFormula1 = action("CopyFormula1", QStringLiteral("Copy Formula"), &TForm1::CopyFormula1Click);
  CopyFormulaLatex1 = action("CopyFormulaLatex1", QStringLiteral("Copy Formula as LaTeX"),
                             &TForm1::CopyFormulaLatex1Click);
  CopyModelC1 = action("CopyModelC1", QStringLiteral("Copy Model as C"), &TForm1::CopyModelC1Click);
  CopyModelPython1 = action("CopyModelPython1", QStringLiteral("Copy Model as Python"),
                            &TForm1::CopyModelPython1Click);
}

void TForm1::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  file->addAction(Open1);
  file->addAction(Import1);
  RecentFiles1 = new TRecentFilesMenu(
      commands_->Recent(), [this](const QString& path) { OpenFile(path); }, file);
  file->addMenu(RecentFiles1);
  file->addAction(Save1);
  file->addSeparator()->setObjectName(QStringLiteral("N1"));
  file->addAction(Exit1);
  commands_->Bind({Open1, Import1, Save1, PastData1, Past1, RecentFiles1});

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
  testData_->SetMenus(PopupMenu1, PopupMenu2);
  // Under the model text's own menu (copy, select all): the model's other forms.
  PopupMenu3 = Named<QMenu>("PopupMenu3", this);
  PopupMenu3->addActions(modelCopies);
  model_->SetTextMenu(PopupMenu3);
}

void TForm1::FormCreate() {
  RandomizeSeed();
  UseSystemDecimalSeparator();
  Button1Click();
  commands_->History().Clear();  // the first sample is where the history starts
  model_->ShowFirstModel();
}

void TForm1::UseSystemDecimalSeparator() {
  SetDecimalSeparator(services_.SystemDecimalPoint().toStdString());
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) {
    UseSystemDecimalSeparator();
    testData_->RefreshTexts();
  }
  QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // During a run the run ends as "Stop" ends it; the window closes once it is over.
  if (session_->DeferClose() || !commands_->ConfirmClose() || !model_->ConfirmClose()) {
    event->ignore();
    return;
  }
  placement_->Keep(*this, Splitters());
  QMainWindow::closeEvent(event);
}

bool TForm1::Running() const noexcept {
  return session_->Running();
}

void TForm1::ShowError(const char* text) {
  ShowErrorBox(services_, this, text);
}

void TForm1::Button1Click() {
  commands_->Generate(panel_->GenerateCaption(), panel_->RandomSample(), panel_->Seed());
}

void TForm1::btPlotClick() {
  commands_->Plot();
}

void TForm1::Button2Click() {
  session_->Run();
}

void TForm1::Button3Click() {
  session_->Stop();
}

void TForm1::Open1Click() {
  commands_->Open();
}

void TForm1::OpenFile(const QString& path) {
  commands_->OpenFile(path);
}

void TForm1::Import1Click() {
  commands_->Import();
}

void TForm1::Save1Click() {
  commands_->Save();
}

void TForm1::CopyData1Click() {
  commands_->CopyData();
}

void TForm1::PastData1Click() {
  commands_->Paste();
}

void TForm1::CopyModel1Click() {
  model_->CopyModel();
}

void TForm1::CopyChart1Click() {
  model_->CopyChart();
}

void TForm1::CopyFormula1Click() {
  model_->CopyFormula();
}

void TForm1::CopyFormulaLatex1Click() {
  model_->CopyFormulaLatex();
}

void TForm1::CopyModelC1Click() {
  model_->CopyModelC();
}

void TForm1::CopyModelPython1Click() {
  model_->CopyModelPython();
}

void TForm1::About1Click() {
  services_.ShowMessage(this, QStringLiteral("Movar Tester %1, written by the Movar Tester "
                                             "developers.")
                                  .arg(QLatin1String(MovarVersion)));
}

void TForm1::tb1Change() {
  panel_->ShowMarginHint();
}
