#include "BestModelList.h"

#include <QHeaderView>

#include "BestModelsModel.h"

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
  horizontalHeader()->setStretchLastSection(true);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &TBestModelList::CurrentRowChanged);
}

void TBestModelList::Clear() {
  model_->Clear();
}

void TBestModelList::Offer(const TModelUpdate& update) {
  offering_ = true;
  model_->Offer(update);
  offering_ = false;
  // Error and matches are short: they take what they need, the formula the rest.
  resizeColumnToContents(TBestModelsModel::ErrorColumn);
  resizeColumnToContents(TBestModelsModel::MatchesColumn);
}

const TBestModels& TBestModelList::Models() const noexcept {
  return model_->Models();
}

void TBestModelList::CurrentRowChanged(const QModelIndex& current) {
  if (offering_ || !current.isValid()) return;
  emit Chosen(model_->Models().At(static_cast<std::size_t>(current.row())));
}
