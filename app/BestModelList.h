#pragma once
// The list of a run's best models. It takes every new best as the search finds it and
// shows the list at most once a second: drawing the table costs more than a generation.
// Choosing a row, by mouse or keyboard, hands its model to whoever shows it. A model's
// formula is made when it is first shown, once per run.

#include <chrono>
#include <map>
#include <string>

#include <QElapsedTimer>
#include <QTableView>

#include "watch/BestModels.h"

class QTimer;
class TBestModelsModel;

class TBestModelList : public QTableView {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds ShowInterval{1000};

  explicit TBestModelList(QWidget* parent);

  void Clear();
  void Offer(const TModelUpdate& update);
  // Shows at once what is still waiting for the next showing.
  void Flush();
  // As shown.
  [[nodiscard]] const TBestModels& Models() const noexcept;

 signals:
  void Chosen(const TBestModel& model);

 private:
  void CurrentRowChanged(const QModelIndex& current);
  [[nodiscard]] const std::string& FormulaOf(const TTuringEvaluator& model);

  TBestModelsModel* model_ = nullptr;
  TBestModels latest_;
  QTimer* pending_ = nullptr;
  QElapsedTimer sinceShown_;
  std::map<std::string, std::string> formulas_;  // by model source
};
