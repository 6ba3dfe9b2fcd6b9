#include "app/FrontList.h"

#include <QHeaderView>
#include <QTimer>

#include "app/FrontChart.h"
#include "app/FrontTableModel.h"

TFrontList::TFrontList(TFrontChart* chart, QWidget* parent) : QTableView(parent), chart_(chart) {
  model_ = new TFrontTableModel(this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(verticalHeader()->minimumSectionSize());
  verticalHeader()->hide();  // the size is the first column
  horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  horizontalHeader()->setStretchLastSection(true);
  pending_ = new QTimer(this);
  pending_->setSingleShot(true);
  connect(pending_, &QTimer::timeout, this, &TFrontList::Flush);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &TFrontList::CurrentRowChanged);
}

TFrontList::~TFrontList() = default;

void TFrontList::Start(const TSampleData& searched, const TSampleData* heldOut) {
  front_ = std::make_unique<TModelFront>(searched, heldOut);
  shownChanges_ = front_->Changes();
  model_->Clear();
  if (chart_) chart_->Show(model_->Table());
  sinceShown_.invalidate();  // the first model of the run shows at once
}

void TFrontList::Offer(const TModelUpdate& update) {
  if (!front_ || !front_->Offer(update) || pending_->isActive()) return;
  const qint64 wait = sinceShown_.isValid() ? ShowInterval.count() - sinceShown_.elapsed() : 0;
  if (wait <= 0) {
    Flush();
  } else {
    pending_->start(static_cast<int>(wait));
  }
}

void TFrontList::Flush() {
  pending_->stop();
  sinceShown_.start();
  if (!front_ || front_->Changes() == shownChanges_) return;
  shownChanges_ = front_->Changes();
  model_->Show(*front_);
  if (chart_) chart_->Show(model_->Table());
}

void TFrontList::Finish() {
  Flush();
  front_.reset();  // its rows were the run's
}

void TFrontList::Clear() {
  pending_->stop();
  front_.reset();
  model_->Clear();
  if (chart_) chart_->Show(model_->Table());
}

void TFrontList::CurrentRowChanged(const QModelIndex& current) {
  if (!current.isValid()) return;
  emit Chosen(model_->Table().Model(static_cast<std::size_t>(current.row())));
}
