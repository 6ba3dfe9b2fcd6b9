#pragma once
// The table over the best models of a run: error, matches and formula, one row per model
// in the order of rank. It reads the list it was last given; nothing is copied into cells.

#include <QAbstractTableModel>

#include "watch/BestModels.h"

class TBestModelsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { ErrorColumn, MatchesColumn, FormulaColumn, ColumnCount };

  explicit TBestModelsModel(QObject* parent);

  // The rows become those of the list.
  void Show(const TBestModels& models);
  [[nodiscard]] const TBestModels& Models() const noexcept { return models_; }

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

 private:
  TBestModels models_;
};
