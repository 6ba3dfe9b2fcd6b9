#include "app/FormulaLine.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "formula/CodeEmitter.h"

namespace {

// The least time between two formulas during a search, and the share of the time they
// may take.
constexpr std::chrono::milliseconds MinInterval{250};
constexpr int CostShare = 10;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

TFormulaLine::TFormulaLine(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FormulaLine"));
  edFormula = new QLineEdit(this);
  edFormula->setObjectName(QStringLiteral("edFormula"));
  edFormula->setReadOnly(true);
  edFormula->setFocusPolicy(Qt::ClickFocus);  // Tab passes by, a click still selects
  edFormula->setToolTip(QStringLiteral("The model as a formula"));
  edFormula->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  lbFormulaNote = new QLabel(this);
  lbFormulaNote->setObjectName(QStringLiteral("lbFormulaNote"));
  lbFormulaNote->setWordWrap(true);
  auto* caption = new QLabel(QStringLiteral("Formula:"), this);
  caption->setBuddy(edFormula);
  auto* line = new QHBoxLayout();
  line->addWidget(caption);
  line->addWidget(edFormula, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(line);
  layout->addWidget(lbFormulaNote);

  pending_ = new QTimer(this);
  pending_->setSingleShot(true);
  connect(pending_, &QTimer::timeout, this, &TFormulaLine::Update);
}

TFormulaLine::~TFormulaLine() = default;

void TFormulaLine::SetModel(const TTuringEvaluator& model, const TSampleData& samples) {
  model_ = model;
  samples_ = &samples;
  origin_ = {source_, samples.GetMargin(), samples.Names()};
  stale_ = true;
  const auto interval = std::max(MinInterval, lastCost_ * CostShare);
  const auto since = std::chrono::milliseconds(sinceUpdate_.isValid() ? sinceUpdate_.elapsed() : 0);
  if (!sinceUpdate_.isValid() || since >= interval) {
    Update();
  } else if (!pending_->isActive()) {
    pending_->start(interval - since);
  }
}

void TFormulaLine::Update() {
  pending_->stop();
  if (!stale_ || samples_ == nullptr) return;
  QElapsedTimer cost;
  cost.start();
  formula_ = MakeFormula(model_, *samples_);
  stale_ = false;
  QStringList note;
  for (const std::string& line : FormulaNote(formula_))
    note << Text(line);
  edFormula->setText(Text(formula_.Plain));
  edFormula->setCursorPosition(0);
  lbFormulaNote->setText(note.join(QLatin1Char(' ')));
  lastCost_ = std::chrono::milliseconds(cost.elapsed());
  sinceUpdate_.restart();
}

QString TFormulaLine::Formula() {
  Update();
  return Text(formula_.Plain);
}

QString TFormulaLine::Latex() {
  Update();
  return Text(formula_.Latex);
}

QString TFormulaLine::CCode() const {
  return Text(EmitC(model_, origin_));
}

QString TFormulaLine::PythonCode() const {
  return Text(EmitPython(model_, origin_));
}
