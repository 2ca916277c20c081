// A window table's rows as a Qt item model (rows_model.h).
#include "platform/runtime/qt/rows_model.h"

#include "platform/runtime/qt/qt_text.h"

namespace vz::runtime {

void RowsModel::Reset(const std::vector<Column>& columns,
                      const std::vector<std::vector<std::string>>& rows) {
  beginResetModel();
  columns_ = columns;
  rows_ = rows;
  endResetModel();
}

int RowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  const auto row = static_cast<size_t>(index.row());
  const auto column = static_cast<size_t>(index.column());
  if (row >= rows_.size() || column >= rows_[row].size()) return QString();
  return ToQString(rows_[row][column]);
}

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      static_cast<size_t>(section) >= columns_.size()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return ToQString(columns_[static_cast<size_t>(section)].title);
}

Qt::ItemFlags RowsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  const auto column = static_cast<size_t>(index.column());
  if (column < columns_.size() && columns_[column].editable) flags |= Qt::ItemIsEditable;
  return flags;
}

bool RowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
    return false;
  }
  const auto row = static_cast<size_t>(index.row());
  const auto column = static_cast<size_t>(index.column());
  if (row >= rows_.size()) return false;
  if (rows_[row].size() < columns_.size()) rows_[row].resize(columns_.size());
  const std::string text = FromQString(value.toString());
  rows_[row][column] = text;
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  if (edit_handler_) edit_handler_(row, column, text);
  return true;
}

}  // namespace vz::runtime
