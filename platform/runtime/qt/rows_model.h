// The rows of a window table as a Qt item model, for the dialog's table view:
// each cell turned into text only when the view draws it, so that a table of
// 100,000 rows is shown at once (no widget item per cell).
//
// The rows are either borrowed or the model's own:
// - Borrowed (Borrow): the model reads a window model's rows through `source`
//   each time the view asks for a cell, and copies nothing. The dialog
//   borrows the rows of the window model bound to it (which outlives the
//   binding) and calls Borrow again after every change of that model: a new
//   row count or new columns reset the view, anything else redraws it.
// - Own (Reset): a copy of the rows, for a window model shown but not bound.
// A cell the user edits (an editable column) is passed to the edit handler
// with its row and column (and kept in the own rows). Titles come from the
// columns. Nothing fails: indexes out of range, and a source that gives no
// rows, read as nothing.
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
  using Rows = std::vector<std::vector<std::string>>;
  using RowsSource = std::function<const Rows*()>;
  using EditHandler = std::function<void(size_t row, size_t column, const std::string& text)>;

  explicit RowsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Shows a copy of `rows`, its own.
  void Reset(const std::vector<Column>& columns, const Rows& rows);
  // Shows the rows `source` gives, borrowed.
  void Borrow(const std::vector<Column>& columns, RowsSource source);
  bool borrowed() const { return static_cast<bool>(source_); }
  // The rows shown (none when the source gives none).
  const Rows& rows() const;
  const std::vector<Column>& columns() const { return columns_; }
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
  Rows own_;
  RowsSource source_;     // set while the rows are borrowed
  size_t row_count_ = 0;  // the rows the view was told of
  EditHandler edit_handler_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_ROWS_MODEL_H_
