#include "app/SampleGridModel.h"

#include "core/model/SD.h"
#include "exchange/SampleValue.h"

TSampleGridModel::TSampleGridModel(const TSampleData& samples, QObject* parent)
    : QAbstractTableModel(parent), samples_(samples) {}

int TSampleGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : samples_.Count();
}

int TSampleGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant TSampleGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= samples_.Count()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  const double value =
      index.column() == 0 ? samples_.GetX(index.row()) : samples_.GetY(index.row());
  return QString::fromStdString(FormatGridValue(value));
}

QVariant TSampleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal)
    return section == 0 ? QStringLiteral("x") : QStringLiteral("y");
  return section + 1;
}

void TSampleGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

void TSampleGridModel::RefreshTexts() {
  if (samples_.Count() == 0) return;
  emit dataChanged(index(0, 0), index(samples_.Count() - 1, 1), {Qt::DisplayRole});
}
