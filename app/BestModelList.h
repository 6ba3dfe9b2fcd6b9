#pragma once
// The list of a run's best models. Choosing a row, by mouse or keyboard, hands its model
// to whoever shows it; rows that move because a better model arrived choose nothing.

#include <QTableView>

#include "BestModels.h"

class TBestModelsModel;

class TBestModelList : public QTableView {
  Q_OBJECT

 public:
  explicit TBestModelList(QWidget* parent);

  void Clear();
  void Offer(const TModelUpdate& update);
  [[nodiscard]] const TBestModels& Models() const noexcept;

 signals:
  void Chosen(const TBestModel& model);

 private:
  void CurrentRowChanged(const QModelIndex& current);

  TBestModelsModel* model_ = nullptr;
  bool offering_ = false;
};
