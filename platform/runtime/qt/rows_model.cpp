// A window table's rows as a Qt item model (rows_model.h).
#include "platform/runtime/qt/rows_model.h"

#include "platform/runtime/qt/qt_text.h"

namespace vz::runtime {
namespace {

bool SameColumns(const std::vector<Column>& a, const std::vector<Column>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].title != b[i].title || a[i].width != b[i].width ||
        a[i].editable != b[i].editable) {
      return false;
    }
  }
  return true;
}

}  // namespace

void RowsModel::Reset(const std::vector<Column>& columns, const Rows& rows) {
  beginResetModel();
  columns_ = columns;
  source_ = nullptr;
  own_ = rows;
  row_count_ = own_.size();
  endResetModel();
}

void RowsModel::Borrow(const std::vector<Column>& columns, RowsSource source) {
  const Rows* rows = source ? source() : nullptr;
  const size_t count = rows ? rows->size() : 0;
  if (!source_ || count != row_count_ || !SameColumns(columns, columns_)) {
    beginResetModel();
    columns_ = columns;
    source_ = std::move(source);
    own_.clear();
    row_count_ = count;
    endResetModel();
    return;
  }
  // The same shape: the cells may have changed (a sort, a cell written).
  source_ = std::move(source);
  if (count > 0 && !columns_.empty()) {
    emit dataChanged(index(0, 0),
                     index(static_cast<int>(count) - 1, static_cast<int>(columns_.size()) - 1),
                     {Qt::DisplayRole, Qt::EditRole});
  }
}

const RowsModel::Rows& RowsModel::rows() const {
  static const Rows kNone;
  if (!source_) return own_;
  const Rows* rows = source_();
  return rows ? *rows : kNone;
}

int RowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(row_count_);
}

int RowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  const auto row = static_cast<size_t>(index.row());
  const auto column = static_cast<size_t>(index.column());
  const Rows& shown = rows();
  if (row >= row_count_ || row >= shown.size() || column >= shown[row].size()) return QString();
  return ToQString(shown[row][column]);
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
  if (row >= row_count_) return false;
  const std::string text = FromQString(value.toString());
  if (!source_) {
    if (row >= own_.size()) return false;
    if (own_[row].size() < columns_.size()) own_[row].resize(columns_.size());
    own_[row][column] = text;
  }
  // Borrowed rows are the window model's: the handler writes the cell there.
  if (edit_handler_) edit_handler_(row, column, text);
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

}  // namespace vz::runtime
