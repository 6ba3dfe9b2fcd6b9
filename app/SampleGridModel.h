#pragma once
// The grid's view of the window's sample set: row i is sample i, a column for each input
// and one for y under the set's column names, the row numbers in the vertical header. Nothing is
// copied; every cell text is made when the view asks for it, so a million samples cost no more than
// a hundred.

#include <QAbstractTableModel>

class TSampleData;

class TSampleGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  TSampleGridModel(const TSampleData& samples, QObject* parent);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

  // The set was replaced or resized.
  void Refresh();
  // Only the number texts changed (a new decimal separator).
  void RefreshTexts();

 private:
  const TSampleData& samples_;
};
