// The rows of a window table as a Qt item model, for the dialog's table view:
// a copy of the model's columns and rows, each cell turned into text only
// when the view draws it, so that a table of 100,000 rows is shown at once
// (no widget item per cell).
//
// The dialog resets it with the window model's columns and rows when they
// change; a cell the user edits (an editable column) is kept here and passed
// to the edit handler with its row and column. Titles come from the columns.
// Nothing fails: indexes out of range read as nothing.
#ifndef VZ_PLATFORM_RUNTIME_QT_ROWS_MODEL_H_
#define VZ_PLATFORM_RUNTIME_QT_ROWS_MODEL_H_

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/window_model.h"

namespace vz::runtime {

class RowsModel : public QAbstractTableModel {
 public:
  using EditHandler = std::function<void(size_t row, size_t column, const std::string& text)>;

  explicit RowsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void Reset(const std::vector<Column>& columns, const std::vector<std::vector<std::string>>& rows);
  const std::vector<Column>& columns() const { return columns_; }
  const std::vector<std::vector<std::string>>& rows() const { return rows_; }
  void set_edit_handler(EditHandler handler) { edit_handler_ = std::move(handler); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> rows_;
  EditHandler edit_handler_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_ROWS_MODEL_H_
