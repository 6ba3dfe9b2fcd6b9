#include "app/SampleGridModel.h"

#include "core/model/SD.h"
#include "exchange/SampleValue.h"

TSampleGridModel::TSampleGridModel(const TSampleData& samples, QObject* parent)
    : QAbstractTableModel(parent), samples_(samples) {}

int TSampleGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : samples_.Count();
}

int TSampleGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : samples_.RowSize();
}

QVariant TSampleGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= samples_.Count()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  const double value = index.column() < samples_.InputCount()
                           ? samples_.GetX(index.row(), index.column())
                           : samples_.GetY(index.row());
  return QString::fromStdString(FormatGridValue(value));
}

QVariant TSampleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) {
    const std::vector<std::string> names = ColumnNames(samples_);
    if (section < 0 || section >= static_cast<int>(names.size())) return {};
    return QString::fromStdString(names[static_cast<std::size_t>(section)]);
  }
  return section + 1;
}

void TSampleGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

void TSampleGridModel::RefreshTexts() {
  if (samples_.Count() == 0) return;
  emit dataChanged(index(0, 0), index(samples_.Count() - 1, samples_.RowSize() - 1),
                   {Qt::DisplayRole});
}
