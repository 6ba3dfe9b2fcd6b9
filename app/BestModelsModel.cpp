#include "app/BestModelsModel.h"

TBestModelsModel::TBestModelsModel(QObject* parent) : QAbstractTableModel(parent) {}

void TBestModelsModel::Show(const TBestModels& models) {
  beginResetModel();
  models_ = models;
  endResetModel();
}

int TBestModelsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(models_.Size());
}

int TBestModelsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant TBestModelsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TBestModel& model = models_.At(static_cast<std::size_t>(index.row()));
  if (role == Qt::TextAlignmentRole && index.column() != FormulaColumn) {
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case ErrorColumn:
      return QString::fromStdString(FormatModelError(model.Error));
    case MatchesColumn:
      return QString::fromStdString(FormatMatches(model.Matches, model.SampleCount));
    case FormulaColumn:
      return QString::fromStdString(model.Formula);
    default:
      return {};
  }
}

QVariant TBestModelsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  switch (section) {
    case ErrorColumn:
      return QStringLiteral("Error");
    case MatchesColumn:
      return QStringLiteral("Matches");
    case FormulaColumn:
      return QStringLiteral("Formula");
    default:
      return {};
  }
}
