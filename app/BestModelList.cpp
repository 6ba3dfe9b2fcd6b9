#include "app/BestModelList.h"

#include <QHeaderView>
#include <QStyle>
#include <QTimer>

#include "app/BestModelsModel.h"
#include "formula/ModelFormula.h"

TBestModelList::TBestModelList(QWidget* parent) : QTableView(parent) {
  model_ = new TBestModelsModel(this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(verticalHeader()->minimumSectionSize());
  verticalHeader()->hide();  // the order is the rank
  // Error and matches take the width of their usual texts, the formula the rest; sized
  // once, as measuring the rows at every new model would cost more than the search.
  const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 6;
  setColumnWidth(TBestModelsModel::ErrorColumn,
                 fontMetrics().horizontalAdvance(QStringLiteral("8.88888e+88")) + padding);
  setColumnWidth(TBestModelsModel::MatchesColumn,
                 fontMetrics().horizontalAdvance(QStringLiteral("1000 of 1000")) + padding);
  horizontalHeader()->setStretchLastSection(true);
  pending_ = new QTimer(this);
  pending_->setSingleShot(true);
  connect(pending_, &QTimer::timeout, this, &TBestModelList::Flush);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &TBestModelList::CurrentRowChanged);
}

void TBestModelList::Clear() {
  latest_.Clear();
  formulas_.clear();
  Flush();
  sinceShown_.invalidate();  // the first model of the next run shows at once
}

void TBestModelList::Offer(const TModelUpdate& update) {
  if (!latest_.Offer(update) || pending_->isActive()) return;
  const qint64 wait = sinceShown_.isValid() ? ShowInterval.count() - sinceShown_.elapsed() : 0;
  if (wait <= 0) {
    Flush();
  } else {
    pending_->start(static_cast<int>(wait));
  }
}

void TBestModelList::Flush() {
  pending_->stop();
  sinceShown_.start();
  for (std::size_t row = 0; row < latest_.Size(); ++row) {
    const TBestModel& listed = latest_.At(row);
    if (listed.Formula.empty() && listed.Model) latest_.SetFormula(row, FormulaOf(*listed.Model));
  }
  model_->Show(latest_);
}

const TBestModels& TBestModelList::Models() const noexcept {
  return model_->Models();
}

void TBestModelList::CurrentRowChanged(const QModelIndex& current) {
  if (!current.isValid()) return;
  emit Chosen(model_->Models().At(static_cast<std::size_t>(current.row())));
}

const std::string& TBestModelList::FormulaOf(const TTuringEvaluator& model) {
  std::string source = model.EmitSource();
  const auto found = formulas_.find(source);
  if (found != formulas_.end()) return found->second;
  // The text alone: checking it against the samples is the formula line's work.
  const TModelFormula formula = MakeFormula(model, TSampleData(0));
  return formulas_
      .emplace(std::move(source),
               formula.Available ? formula.Plain : std::string("(too large to show)"))
      .first->second;
}
