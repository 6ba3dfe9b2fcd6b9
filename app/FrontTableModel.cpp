#include "app/FrontTableModel.h"

#include <QFont>

TFrontTableModel::TFrontTableModel(QObject* parent) : QAbstractTableModel(parent) {
  ChooseColumns();
}

void TFrontTableModel::ChooseColumns() {
  columns_ = {TFrontTable::SizeColumn, TFrontTable::ErrorColumn, TFrontTable::RmseColumn,
              TFrontTable::RSquaredColumn, TFrontTable::MatchesColumn};
  if (table_.HasHeldOut()) {
    columns_.insert(columns_.end(),
                    {TFrontTable::HeldOutErrorColumn, TFrontTable::HeldOutRmseColumn,
                     TFrontTable::HeldOutRSquaredColumn});
  }
  columns_.push_back(TFrontTable::FormulaColumn);
}

void TFrontTableModel::Show(const TModelFront& front) {
  beginResetModel();
  table_.Show(front);
  ChooseColumns();
  endResetModel();
}

void TFrontTableModel::Clear() {
  beginResetModel();
  table_.Clear();
  ChooseColumns();
  endResetModel();
}

int TFrontTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.RowCount());
}

int TFrontTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TFrontTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const TFrontTable::TColumn column = columns_[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(table_.Text(row, column));
    case Qt::TextAlignmentRole:
      if (column == TFrontTable::FormulaColumn) return {};
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
      if (table_.IsSuggested(row)) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::ToolTipRole:
      if (table_.IsSuggested(row)) return QString::fromStdString(SuggestionNote());
      return {};
    default:
      return {};
  }
}

QVariant TFrontTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
      section >= columnCount()) {
    return {};
  }
  return QString::fromStdString(TFrontTable::Header(columns_[static_cast<std::size_t>(section)]));
}
