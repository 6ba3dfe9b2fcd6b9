#include "app/ModelBox.h"

#include <optional>

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "app/FormulaLine.h"
#include "app/FrontChart.h"
#include "app/FrontList.h"
#include "app/Named.h"
#include "app/ProgressChart.h"
#include "app/SampleChart.h"
#include "app/WindowServices.h"
#include "core/model/TE.h"
#include "frontend/ModelText.h"
#include "watch/FitFigures.h"
#include "watch/ModelFront.h"

namespace {

QString JoinLines(const std::vector<std::string>& lines) {
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines)
    text.append(QString::fromStdString(line));
  return text.join(QLatin1Char('\n'));
}

}  // namespace

TModelBox::TModelBox(const TSampleData& samples, TSampleChart& chart,
                     const TWindowServices& services, QWidget* parent)
    : QGroupBox(QStringLiteral("Model"), parent),
      samples_(samples),
      chart_(chart),
      services_(services) {
  setObjectName(QStringLiteral("GroupBox3"));
  memTest = Named<QPlainTextEdit>("memTest");
  memTest->setReadOnly(true);
  memTest->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memTest->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memTest->setPlainText(JoinLines(FirstModelText(samples_)));
  memTest->setContextMenuPolicy(Qt::CustomContextMenu);
  memTest->setFocusPolicy(Qt::ClickFocus);  // read only: Tab passes by, a click still selects
  memTest->setToolTip(QStringLiteral("The model as C code; select text to copy it"));
  progressChart_ = Named<TProgressChart>("chProgress", nullptr);
  progressChart_->setToolTip(
      QStringLiteral("The best error of every generation, one line per attempt"));
  frontChart_ = Named<TFrontChart>("chFront", nullptr);
  frontChart_->setToolTip(QStringLiteral("The error of the best model of each size"));
  frontList_ = Named<TFrontList>("lvFront", frontChart_, nullptr);
  frontList_->setToolTip(
      QStringLiteral("The best model of each size; choose one to show it everywhere"));
  connect(frontList_, &TFrontList::Chosen, this, &TModelBox::ShowChosen);

  auto* charts = Named<QSplitter>("Splitter5", Qt::Horizontal);
  charts->addWidget(progressChart_);
  charts->addWidget(frontChart_);
  auto* watch = Named<QSplitter>("Splitter4", Qt::Vertical);
  watch->addWidget(charts);
  watch->addWidget(frontList_);
  watch->setSizes({130, 130});
  auto* modelSplitter = Named<QSplitter>("Splitter3", Qt::Horizontal);
  modelSplitter->addWidget(memTest);
  modelSplitter->addWidget(watch);
  modelSplitter->setStretchFactor(0, 1);
  modelSplitter->setStretchFactor(1, 1);
  modelSplitter->setSizes({250, 250});
  formulaLine_ = new TFormulaLine(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(modelSplitter, 1);
  layout->addWidget(formulaLine_);
  SaveDialog2 = Named<QFileDialog>("SaveDialog2", this);
  SaveDialog2->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog2->setFileMode(QFileDialog::AnyFile);
  SaveDialog2->setNameFilter(QStringLiteral("C source (*.c)"));
  SaveDialog2->setDefaultSuffix(QStringLiteral("c"));
}

void TModelBox::ShowFirstModel() {
  formulaLine_->SetModel(FirstModel(samples_), samples_);
  formulaLine_->Refresh();
}

void TModelBox::SetSampleSource(std::string source) {
  formulaLine_->SetSampleSource(std::move(source));
}

void TModelBox::SamplesReplaced() {
  chart_.ClearModel();
  chart_.MarkHeldOut(nullptr);
  frontList_->Clear();  // its predictions and reports were of the samples before
  progressChart_->Start();
  unkept_ = false;  // the model was of the samples before
  memTest->setPlainText(JoinLines(FirstModelText(samples_)));
  ShowFirstModel();
}

void TModelBox::StartRun(const TSampleData& searched, const TSampleData* heldOut) {
  progressChart_->Start();
  frontList_->Start(searched, heldOut);
  chart_.MarkHeldOut(heldOut);
}

void TModelBox::Add(const TSearchProgress& progress) {
  progressChart_->Add(progress);
}

void TModelBox::Offer(const TModelUpdate& update) {
  ShowModel(update.Predictions, update.Lines);
  unkept_ = true;
  if (update.Model) formulaLine_->SetModel(*update.Model, samples_);
}

void TModelBox::Found(const TModelUpdate& update) {
  frontList_->Offer(update);
}

void TModelBox::ShowChosen(const TFrontModel& chosen) {
  // Its own predictions are of the rows searched; the views show every sample.
  ShowModel(ModelPredictions(chosen.Model, samples_), chosen.Lines);
  formulaLine_->SetModel(chosen.Model, samples_);
  formulaLine_->Refresh();  // the user waits for it
}

void TModelBox::CatchUp() {
  formulaLine_->Refresh();
}

void TModelBox::FinishRun() {
  progressChart_->Finish();
  frontList_->Finish();
}

void TModelBox::ShowModel(const std::vector<double>& predictions,
                          const std::vector<std::string>& lines) {
  chart_.ShowModel(samples_, predictions);
  memTest->setPlainText(JoinLines(NamedModelText(lines, samples_)));
  memTest->moveCursor(QTextCursor::Start);
}

void TModelBox::Copy(QMimeData* data, const QString& confirmation) {
  QGuiApplication::clipboard()->setMimeData(data);
  services_.ShowMessage(window(), confirmation);
}

void TModelBox::CopyText(const QString& text, const QString& confirmation) {
  auto* data = new QMimeData();
  data->setText(text);
  unkept_ = false;
  Copy(data, confirmation);
}

void TModelBox::CopyModel() {
  // Without a selection, which is the state after every model update, the whole text goes.
  const QTextCursor cursor = memTest->textCursor();
  CopyText(cursor.hasSelection() ? cursor.selection().toPlainText() : memTest->toPlainText(),
           QStringLiteral("Model copied."));
}

void TModelBox::CopyChart() {
  Copy(chart_.Picture(), QStringLiteral("Chart copied."));
}

void TModelBox::CopyFormula() {
  CopyText(formulaLine_->Formula(), QStringLiteral("Formula copied."));
}

void TModelBox::CopyFormulaLatex() {
  CopyText(formulaLine_->Latex(), QStringLiteral("Formula copied as LaTeX."));
}

void TModelBox::CopyModelC() {
  CopyText(formulaLine_->CCode(), QStringLiteral("Model copied as C."));
}

void TModelBox::CopyModelPython() {
  CopyText(formulaLine_->PythonCode(), QStringLiteral("Model copied as Python."));
}

void TModelBox::SetTextMenu(QMenu* menu) {
  connect(memTest, &QWidget::customContextMenuRequested, menu, [this, menu](const QPoint& at) {
    QMenu* shown = memTest->createStandardContextMenu(at);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->addSeparator();
    shown->addActions(menu->actions());
    shown->popup(memTest->viewport()->mapToGlobal(at));
  });
}

bool TModelBox::ConfirmClose() {
  if (!unkept_ || !services_.AskAboutModel) return true;
  switch (services_.AskAboutModel(
      window(), QStringLiteral("The model found has not been copied or saved. Copy or save it "
                               "before closing?"))) {
    case TModelCloseAnswer::Copy:
      CopyText(memTest->toPlainText(), QStringLiteral("Model copied."));
      return true;
    case TModelCloseAnswer::Save:
      return SaveModel();
    case TModelCloseAnswer::Discard:
      return true;
    case TModelCloseAnswer::Cancel:
      break;
  }
  return false;
}

bool TModelBox::SaveModel() {
  const std::optional<QString> path = services_.RunFileDialog(*SaveDialog2);
  if (!path) return false;
  SaveDialog2->selectFile(*path);
  // The whole file or none: a failed save leaves what was there.
  QSaveFile file(*path);
  const QByteArray text = memTest->toPlainText().toUtf8() + '\n';
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
    const QString error = QStringLiteral("Cannot save the model to \"%1\". %2")
                              .arg(QDir::toNativeSeparators(*path), file.errorString());
    ShowErrorBox(services_, window(), error.toStdString().c_str());
    return false;
  }
  unkept_ = false;
  return true;
}
