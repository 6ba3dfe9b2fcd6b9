#pragma once
// The front of a run as a table: for each size the model of lowest error found, with its
// figures and formula, the smallest first, and beside it a chart of error against size.
// It takes every model the search finds and shows the front at most once a second, as
// drawing the table costs more than a generation. Choosing a row, by mouse or keyboard,
// hands its model to whoever shows it.

#include <chrono>
#include <memory>

#include <QElapsedTimer>
#include <QTableView>

#include "watch/ModelFront.h"

class QTimer;
class TFrontChart;
class TFrontTableModel;

class TFrontList : public QTableView {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds ShowInterval{1000};

  // chart: where the front is drawn too, or none.
  TFrontList(TFrontChart* chart, QWidget* parent);
  ~TFrontList() override;

  // A run starts: searched are the rows it scores, heldOut those it checks its models on,
  // or none. Both must stay as they are until Finish.
  void Start(const TSampleData& searched, const TSampleData* heldOut);
  void Offer(const TModelUpdate& update);
  // Shows the front as it is and lets go of the run's rows; the rows shown stay.
  void Finish();
  void Clear();
  // Shows at once what is still waiting for the next showing.
  void Flush();

  [[nodiscard]] const TFrontTableModel& Rows() const noexcept { return *model_; }

 signals:
  void Chosen(const TFrontModel& model);

 private:
  void CurrentRowChanged(const QModelIndex& current);

  TFrontTableModel* model_ = nullptr;
  TFrontChart* chart_ = nullptr;
  std::unique_ptr<TModelFront> front_;
  std::uint64_t shownChanges_ = 0;
  QTimer* pending_ = nullptr;
  QElapsedTimer sinceShown_;
};
