#pragma once
// The table over a run's front: size, error, RMSE, R², matches, the held-out figures when
// rows were held out, and the formula, one row per size. The suggested model's row is
// bold. It reads the rows it was last given; nothing is copied into cells.

#include <vector>

#include <QAbstractTableModel>

#include "frontend/FrontTable.h"

class TFrontTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TFrontTableModel(QObject* parent);

  // The rows become those of the front as it is now.
  void Show(const TModelFront& front);
  void Clear();
  [[nodiscard]] const TFrontTable& Table() const noexcept { return table_; }
  // The view's columns, without the held-out ones when no rows were held out.
  [[nodiscard]] const std::vector<TFrontTable::TColumn>& Columns() const noexcept {
    return columns_;
  }

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

 private:
  void ChooseColumns();

  // The formulas are made as the rows are drawn, and kept.
  mutable TFrontTable table_;
  std::vector<TFrontTable::TColumn> columns_;
};
