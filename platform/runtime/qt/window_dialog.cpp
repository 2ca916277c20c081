#include "platform/runtime/qt/window_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/os/ascii_case.h"
#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/qt/rows_model.h"
#include "platform/runtime/table_sort.h"

namespace vz::runtime {
namespace {

constexpr int kLabelGap = 8;           // between a side label and its field
constexpr int kHeadingHeight = 22;     // the heading line of a table
constexpr int kHeadingMinHeight = 28;  // a caption this high is a window heading
constexpr int kRadioMinHeight = 20;
constexpr size_t kMostPicturesKept = 32;  // pictures read from disk, per dialog
// What a desktop adds around a window's inside: the frame's two sides, and
// the title bar with the frame's top and bottom.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 38;
// A window is never made smaller than this by the adviser.
constexpr int kSmallestWidth = 320;
constexpr int kSmallestHeight = 200;

QStringList Cells(std::string_view tab_separated) {
  QStringList cells;
  size_t start = 0;
  while (true) {
    const size_t tab = tab_separated.find('\t', start);
    cells << ToQString(tab_separated.substr(start, tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return cells;
}

// The window library's "&" marks the next character of a button, switch,
// choice or field label as its access key ("&&" is a plain "&"), as Qt's
// mnemonics do: such texts go to their widgets unchanged.
QString WithAccessKey(std::string_view cp1252) {
  return ToQString(cp1252);
}

// The text a widget shows for a text with access-key marks.
QString WithoutAccessKey(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

QRect ToQRect(const Rect& r) {
  return QRect(r.x, r.y, r.w, r.h);
}

// The input's place beside its side label: the label takes label_width of
// the field's width, never all of it (a field at least one pixel wide keeps
// a pixel for its input; a label width below zero counts as none).
QRect InputRect(const Field& field) {
  const int label = std::max(0, std::min(field.label_width, field.rect.w - 1));
  return QRect(field.rect.x + label, field.rect.y, field.rect.w - label, field.rect.h);
}

}  // namespace

QRect PlaceOnScreen(const Rect& layout, const QRect& available) {
  QRect placed(layout.x, layout.y, std::max(layout.w, 1), std::max(layout.h, 1));
  if (!available.isValid()) return placed;
  const int most_width = std::max(available.width() - kFrameWidth, kSmallestWidth);
  const int most_height = std::max(available.height() - kFrameHeight, kSmallestHeight);
  placed.setSize(
      QSize(std::min(placed.width(), most_width), std::min(placed.height(), most_height)));
  // Kept inside the area, title bar and frame included.
  const int left = available.left() + kFrameWidth / 2;
  const int top = available.top() + kFrameHeight - kFrameWidth / 2;
  const int right = available.left() + available.width() - kFrameWidth / 2;
  const int bottom = available.top() + available.height() - kFrameWidth / 2;
  placed.moveLeft(std::max(left, std::min(placed.left(), right - placed.width())));
  placed.moveTop(std::max(top, std::min(placed.top(), bottom - placed.height())));
  return placed;
}

std::filesystem::path FindPicture(std::string_view file_name,
                                  const std::vector<std::filesystem::path>& directories) {
  if (file_name.empty()) return {};
  const std::filesystem::path name(std::string{file_name});
  // A picture name is a file name, never a path that leaves the directories.
  if (name.has_parent_path() || name == "." || name == "..") return {};
  const std::string spellings[] = {std::string(file_name), os::AsciiLower(file_name),
                                   os::AsciiUpper(file_name)};
  for (const auto& directory : directories) {
    for (const auto& spelling : spellings) {
      std::error_code error;
      const auto candidate = directory / spelling;
      if (std::filesystem::is_regular_file(candidate, error)) return candidate;
    }
  }
  return {};
}

WindowDialog::WindowDialog(const Window& layout,
                           std::vector<std::filesystem::path> picture_directories, QWidget* parent)
    : QDialog(parent),
      layout_(layout.WithoutRows()),
      picture_directories_(std::move(picture_directories)) {
  setWindowTitle(ToQString(layout_.title));
  // The fields keep the library's places on a page of the library's size;
  // the window around it can be resized, and scrolls the page when smaller.
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  page_ = new QWidget;
  page_->setFixedSize(std::max(layout_.rect.w, 1), std::max(layout_.rect.h, 1));
  scroll->setWidget(page_);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->addWidget(scroll);
  setSizeGripEnabled(true);
  setMinimumSize(std::min(page_->width(), kSmallestWidth),
                 std::min(page_->height(), kSmallestHeight));
  const QScreen* shown_on = screen() ? screen() : QGuiApplication::primaryScreen();
  setGeometry(PlaceOnScreen(layout_.rect, shown_on ? shown_on->availableGeometry() : QRect()));
  setModal(true);
  parts_.reserve(layout_.fields.size());
  for (const Field& field : layout_.fields) parts_.push_back(Build(field));
  for (size_t i = 0; i < parts_.size(); ++i) Connect(i);

  QWidget* previous = nullptr;
  QWidget* first = nullptr;
  for (const Field* field : layout_.TabOrder()) {
    QWidget* input = parts_[static_cast<size_t>(field - layout_.fields.data())].input;
    if (!input) continue;
    if (previous) setTabOrder(previous, input);
    if (!first && field->usable()) first = input;
    previous = input;
  }
  ShowModel(layout_);
  if (first) first->setFocus();
}

QLabel* WindowDialog::SideLabel(const Field& field) {
  if (field.label_width <= 0) return nullptr;
  auto* label = new QLabel(ToQString(field.label), page_);
  label->setGeometry(field.rect.x, field.rect.y, std::max(field.label_width - kLabelGap, 1),
                     std::min(field.rect.h, 26));
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

WindowDialog::Part WindowDialog::Build(const Field& field) {
  Part part;
  switch (field.kind) {
    case FieldKind::kCaption: {
      auto* label = new QLabel(page_);
      label->setGeometry(ToQRect(field.rect));
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      // A caption of several lines' height is a heading unless it is plain
      // text, which starts at its first line.
      if (field.plain) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      } else if (field.rect.h >= kHeadingMinHeight) {
        QFont font = label->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.3);
        label->setFont(font);
      }
      part.label = label;
      part.all = {label};
      return part;
    }
    case FieldKind::kText:
      return BuildText(field);
    case FieldKind::kSwitch: {
      auto* box = new QCheckBox(page_);
      box->setGeometry(ToQRect(field.rect));
      part.input = box;
      part.all = {box};
      return part;
    }
    case FieldKind::kOptions:
      return BuildOptions(field);
    case FieldKind::kList:
      return BuildList(field);
    case FieldKind::kTable:
      return BuildTable(field);
    case FieldKind::kImage:
      return BuildImage(field);
    case FieldKind::kButton:
      return BuildButton(field);
  }
  return part;
}

WindowDialog::Part WindowDialog::BuildText(const Field& field) {
  Part part;
  part.label = SideLabel(field);
  auto* edit = new QLineEdit(page_);
  edit->setGeometry(InputRect(field));
  edit->setMaxLength(std::max(field.max_length, 1));
  if (part.label) {
    part.label->setBuddy(edit);
    part.label->setText(WithAccessKey(field.label));
  }
  part.input = edit;
  part.all = {edit};
  if (part.label) part.all.push_back(part.label);
  return part;
}

WindowDialog::Part WindowDialog::BuildOptions(const Field& field) {
  Part part;
  part.label = SideLabel(field);
  auto* box = new QWidget(page_);
  box->setGeometry(InputRect(field));
  part.options = new QButtonGroup(box);
  const int count = static_cast<int>(field.choices.size());
  const bool vertical = count > 0 && field.rect.h / count >= kRadioMinHeight;
  for (int i = 0; i < count; ++i) {
    auto* radio = new QRadioButton(WithAccessKey(field.choices[static_cast<size_t>(i)]), box);
    if (vertical) {
      const int height = field.rect.h / count;
      radio->setGeometry(0, i * height, box->width(), height);
    } else {
      const int width = box->width() / count;
      radio->setGeometry(i * width, 0, width, field.rect.h);
    }
    part.options->addButton(radio, i + 1);
    if (!part.input) part.input = radio;
  }
  part.all = {box};
  if (part.label) part.all.push_back(part.label);
  return part;
}

WindowDialog::Part WindowDialog::BuildList(const Field& field) {
  Part part;
  part.label = SideLabel(field);
  auto* list = new QTreeWidget(page_);
  list->setGeometry(InputRect(field));
  list->setHeaderHidden(true);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAlternatingRowColors(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  part.input = list;
  part.all = {list};
  if (part.label) part.all.push_back(part.label);
  return part;
}

WindowDialog::Part WindowDialog::BuildTable(const Field& field) {
  Part part;
  int top = field.rect.y;
  if (!field.label.empty()) {
    part.label = new QLabel(ToQString(field.label), page_);
    part.label->setGeometry(field.rect.x, field.rect.y, field.rect.w, kHeadingHeight);
    QFont font = part.label->font();
    font.setBold(true);
    part.label->setFont(font);
    top += kHeadingHeight + 2;
  }
  auto* table = new QTableView(page_);
  table->setGeometry(field.rect.x, top, field.rect.w,
                     std::max(field.rect.y + field.rect.h - top, 1));
  auto* rows = new RowsModel(table);
  rows->Reset(field.columns, {});
  table->setModel(rows);
  // Columns as wide as the library says, narrowed together when they would
  // not fit beside a vertical scroll bar: a table of the library is meant to
  // be read without scrolling sideways.
  int total = 0;
  for (const Column& column : field.columns) total += column.width;
  const int room = field.rect.w - 2 * table->frameWidth() -
                   table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  for (size_t c = 0; c < field.columns.size(); ++c) {
    // A sortable table is a list to browse: it keeps its widths and scrolls.
    const int width = total > room && room > 0 && !field.sortable
                          ? field.columns[c].width * room / total
                          : field.columns[c].width;
    table->setColumnWidth(static_cast<int>(c), std::max(width, 1));
  }
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->horizontalHeader()->setStretchLastSection(true);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(24);
  // Rows of one height: a long table is laid out without measuring each row.
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setAlternatingRowColors(true);
  table->setWordWrap(false);
  table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  part.input = table;
  part.all = {table};
  if (part.label) part.all.push_back(part.label);
  return part;
}

WindowDialog::Part WindowDialog::BuildImage(const Field& field) {
  Part part;
  auto* label = new QLabel(page_);
  label->setGeometry(ToQRect(field.rect));
  label->setAlignment(Qt::AlignCenter);
  part.label = label;
  part.all = {label};
  return part;
}

WindowDialog::Part WindowDialog::BuildButton(const Field& field) {
  Part part;
  auto* button = new QPushButton(page_);
  button->setGeometry(ToQRect(field.rect));
  const bool is_default = FieldKey(field.name) == FieldKey(layout_.default_button);
  button->setAutoDefault(is_default);
  button->setDefault(is_default);
  part.input = button;
  part.all = {button};
  return part;
}

Field* WindowDialog::ModelField(size_t index) {
  if (!model_ || index >= model_->fields.size()) return nullptr;
  return &model_->fields[index];
}

void WindowDialog::Connect(size_t i) {
  Part& part = parts_[i];
  switch (layout_.fields[i].kind) {
    case FieldKind::kText:
      connect(static_cast<QLineEdit*>(part.input), &QLineEdit::textEdited, this,
              [this, i](const QString& text) {
                if (Field* field = ModelField(i); field && !showing_)
                  field->value = FromQString(text);
              });
      break;
    case FieldKind::kSwitch:
      connect(static_cast<QCheckBox*>(part.input), &QCheckBox::toggled, this, [this, i](bool on) {
        Field* field = ModelField(i);
        if (!field || showing_ || field->value == (on ? "1" : "0")) return;
        field->value = on ? "1" : "0";
        UserChanged(i);
      });
      break;
    case FieldKind::kOptions:
      connect(part.options, &QButtonGroup::idToggled, this, [this, i](int id, bool checked) {
        Field* field = ModelField(i);
        if (!field || showing_ || !checked || field->value == std::to_string(id)) return;
        field->value = std::to_string(id);
        UserChanged(i);
      });
      break;
    case FieldKind::kList: {
      auto* list = static_cast<QTreeWidget*>(part.input);
      connect(list, &QTreeWidget::itemSelectionChanged, this, [this, i, list] {
        Field* field = ModelField(i);
        if (!field || showing_) return;
        const auto chosen = list->selectedItems();
        int row = chosen.isEmpty() ? 0 : list->indexOfTopLevelItem(chosen.front()) + 1;
        if (row > field->ItemCount()) row = 0;
        if (row == field->selected) return;
        field->selected = row;
        UserChanged(i);
      });
      break;
    }
    case FieldKind::kTable: {
      auto* table = static_cast<QTableView*>(part.input);
      auto* rows = static_cast<RowsModel*>(table->model());
      connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
              [this, i, table] {
                Field* field = ModelField(i);
                if (!field || showing_) return;
                const auto chosen = table->selectionModel()->selectedRows();
                const int row = chosen.isEmpty() ? -1 : chosen.front().row();
                const int selected = row >= 0 && row < field->ItemCount() ? row + 1 : 0;
                if (selected == field->selected) return;
                field->selected = selected;
                UserChanged(i);
              });
      if (layout_.fields[i].sortable) {
        // A click on a column title sorts the model's rows; the title's
        // arrow says which way (docs/window-library.md).
        QHeaderView* header = table->horizontalHeader();
        header->setSectionsClickable(true);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(-1, Qt::AscendingOrder);
        connect(header, &QHeaderView::sectionClicked, this, [this, i, header](int column) {
          Field* field = ModelField(i);
          if (!field || showing_) return;
          const SortOrder order = header->sortIndicatorOrder() == Qt::DescendingOrder
                                      ? SortOrder::kDescending
                                      : SortOrder::kAscending;
          if (SortTableRows(*field, column, order)) ShowModel(*model_);
        });
      }
      rows->set_edit_handler([this, i](size_t row, size_t column, const std::string& text) {
        Field* field = ModelField(i);
        if (!field || showing_) return;
        if (row >= field->rows.size() || column >= field->columns.size()) return;
        if (!field->columns[column].editable) return;
        auto& cells = field->rows[row];
        if (cells.size() < field->columns.size()) cells.resize(field->columns.size());
        cells[column] = text;
      });
      break;
    }
    case FieldKind::kButton:
      connect(static_cast<QPushButton*>(part.input), &QPushButton::clicked, this,
              [this, i] { ButtonPressed(i); });
      break;
    case FieldKind::kCaption:
    case FieldKind::kImage:
      break;
  }
}

void WindowDialog::ButtonPressed(size_t index) {
  const Field& button = layout_.fields[index];
  if (watch_only_) {
    if (!button.return_code.empty()) stop_requested_ = true;
    return;
  }
  if (!button.return_code.empty()) {
    return_code_ = button.return_code;
    accept();
    return;
  }
  Field* pressed = ModelField(index);
  if (!pressed || !event_handler_) return;
  const Field copy = *pressed;  // the window code may change the fields
  event_handler_(*model_, copy);
  if (model_) ShowModel(*model_);
}

void WindowDialog::UserChanged(size_t index) {
  Field* changed = ModelField(index);
  if (!changed || !change_handler_) return;
  change_handler_(*model_, *changed);
  // The change code may have changed other fields (a list restricted, a
  // picture turned): show them. What did not change is left alone, so the
  // widget being changed keeps its state.
  if (model_) ShowModel(*model_);
}

void WindowDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window the program opens is the one the adviser works in: in front of
  // the other programs' windows (the tools program is started from another).
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();  // none there
  activateWindow();
}

void WindowDialog::reject() {
  // Closing a window the program is working in would hide it for good: the
  // user asks to stop the work instead.
  if (watch_only_) {
    stop_requested_ = true;
    return;
  }
  return_code_ = layout_.escape_code;
  QDialog::reject();
}

QWidget* WindowDialog::FieldWidget(std::string_view field_name) const {
  const Field* field = layout_.FindField(field_name);
  if (!field) return nullptr;
  const Part& part = parts_[static_cast<size_t>(field - layout_.fields.data())];
  return part.input ? part.input : part.label;
}

std::vector<std::string> WindowDialog::ClippedTexts() const {
  std::vector<std::string> clipped;
  const auto check = [&clipped](const Field& field, const QWidget* widget, const QString& text,
                                int padding) {
    if (!widget || text.isEmpty()) return;
    const QString shown = WithoutAccessKey(text);
    const int needed = widget->fontMetrics().horizontalAdvance(shown) + padding;
    const bool wraps = qobject_cast<const QLabel*>(widget) &&
                       static_cast<const QLabel*>(widget)->wordWrap() &&
                       widget->height() >= 2 * widget->fontMetrics().lineSpacing();
    if (needed > widget->width() && !wraps) {
      clipped.push_back(field.name + ": needs " + std::to_string(needed) + " px, has " +
                        std::to_string(widget->width()));
    }
  };
  for (size_t i = 0; i < parts_.size(); ++i) {
    const Field& field = layout_.fields[i];
    const Part& part = parts_[i];
    if (!field.visible()) continue;
    switch (field.kind) {
      case FieldKind::kButton:
        check(field, part.input, static_cast<QPushButton*>(part.input)->text(), 16);
        break;
      case FieldKind::kSwitch:
        check(field, part.input, static_cast<QCheckBox*>(part.input)->text(), 24);
        break;
      case FieldKind::kOptions:
        for (QAbstractButton* radio : part.options->buttons()) {
          check(field, radio, radio->text(), 24);
        }
        if (part.label) check(field, part.label, part.label->text(), 0);
        break;
      case FieldKind::kImage:
        break;
      case FieldKind::kTable: {
        const auto* table = static_cast<const QTableView*>(part.input);
        // The columns shown: window code may have added some since the dialog was built.
        const std::vector<Column>& columns =
            static_cast<const RowsModel*>(table->model())->columns();
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
          const QString title = table->model()->headerData(c, Qt::Horizontal).toString();
          const int needed = table->horizontalHeader()->fontMetrics().horizontalAdvance(title) + 8;
          if (needed > table->columnWidth(c)) {
            clipped.push_back(field.name + "." + columns[static_cast<size_t>(c)].name + ": needs " +
                              std::to_string(needed) + " px, has " +
                              std::to_string(table->columnWidth(c)));
          }
        }
        if (part.label) check(field, part.label, part.label->text(), 0);
        break;
      }
      default:
        if (part.label) check(field, part.label, part.label->text(), 0);
        break;
    }
  }
  return clipped;
}

void WindowDialog::Bind(Window* model) {
  if (model != model_) {
    // Rows borrowed from the model bound until now are not read again.
    for (size_t i = 0; i < parts_.size(); ++i) {
      if (layout_.fields[i].kind != FieldKind::kTable) continue;
      auto* rows = static_cast<RowsModel*>(static_cast<QTableView*>(parts_[i].input)->model());
      if (rows->borrowed()) {
        rows->Reset(rows->columns(), {});
        parts_[i].built = false;
      }
    }
  }
  model_ = model;
}

void WindowDialog::ShowModel(const Window& model) {
  if (model.fields.size() != parts_.size()) return;  // not a copy of this window
  showing_ = true;
  setWindowTitle(ToQString(model.title));
  const bool bound = model_ != nullptr && &model == model_;
  for (size_t i = 0; i < parts_.size(); ++i) ShowField(i, model.fields[i], parts_[i], bound);
  showing_ = false;
}

void WindowDialog::ShowPicture(const Field& field, QLabel& label) {
  // The progress window turns through a few pictures many times: each is
  // read from disk once.
  const std::string key = field.name + '\n' + field.value;
  auto known = pictures_.find(key);
  if (known == pictures_.end()) {
    if (pictures_.size() >= kMostPicturesKept) pictures_.clear();
    const auto path = FindPicture(field.value, picture_directories_);
    QPixmap picture;
    if (!path.empty() && picture.load(QString::fromStdString(path.string()))) {
      picture = picture.scaled(label.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    known = pictures_.emplace(key, std::move(picture)).first;
  }
  if (!known->second.isNull()) {
    label.setPixmap(known->second);
    label.setFrameShape(QFrame::NoFrame);
  } else {
    // No picture file: a frame with its name, so that the place stays visible.
    label.setPixmap(QPixmap());
    label.setText(ToQString(field.value));
    label.setFrameShape(field.value.empty() ? QFrame::NoFrame : QFrame::StyledPanel);
  }
}

void WindowDialog::ShowList(const Field& field, Part& part) {
  auto* list = static_cast<QTreeWidget*>(part.input);
  if (!part.built || part.shown_entries != field.entries) {
    list->clear();
    int columns = 1;
    QList<QTreeWidgetItem*> items;
    for (const auto& entry : field.entries) {
      const QStringList cells = Cells(entry);
      columns = std::max(columns, static_cast<int>(cells.size()));
      items << new QTreeWidgetItem(cells);
    }
    list->setColumnCount(columns);
    list->addTopLevelItems(items);
    for (int c = 0; c < columns; ++c) list->resizeColumnToContents(c);
    part.shown_entries = field.entries;
    part.built = true;
  }
  const auto chosen = list->selectedItems();
  const int shown = chosen.isEmpty() ? 0 : list->indexOfTopLevelItem(chosen.front()) + 1;
  if (field.selected > 0 && field.selected <= list->topLevelItemCount()) {
    if (shown != field.selected) list->setCurrentItem(list->topLevelItem(field.selected - 1));
  } else if (shown != 0 || list->currentItem()) {
    list->setCurrentItem(nullptr);
    list->clearSelection();
  }
}

void WindowDialog::ShowTable(size_t index, const Field& field, Part& part, bool bound) {
  auto* table = static_cast<QTableView*>(part.input);
  auto* rows = static_cast<RowsModel*>(table->model());
  if (bound) {
    // The bound model's rows are read where they are, never copied.
    rows->Borrow(field.columns, [this, index]() -> const RowsModel::Rows* {
      const Field* shown = ModelField(index);
      return shown ? &shown->rows : nullptr;
    });
    part.built = true;
  } else if (!part.built || rows->borrowed() || rows->rows() != field.rows) {
    rows->Reset(field.columns, field.rows);
    part.built = true;
  }
  const auto chosen = table->selectionModel()->selectedRows();
  const int shown = chosen.isEmpty() ? 0 : chosen.front().row() + 1;
  const int count = rows->rowCount();
  if (field.selected > 0 && field.selected <= count) {
    if (shown != field.selected) {
      const int column = std::max(table->currentIndex().column(), 0);
      table->setCurrentIndex(rows->index(field.selected - 1, column));
      table->selectRow(field.selected - 1);
    }
  } else if (shown != 0 || table->currentIndex().isValid()) {
    table->setCurrentIndex(QModelIndex());
    table->clearSelection();
  }
}

void WindowDialog::ShowField(size_t index, const Field& field, Part& part, bool bound) {
  // A text field the user may not change is shown read-only rather than
  // greyed: it displays something to read (a counter, a client's name).
  const bool read_only_text = field.kind == FieldKind::kText && !field.usable();
  for (QWidget* widget : part.all) {
    widget->setVisible(field.visible());
    widget->setEnabled(field.usable() || read_only_text);
  }
  if (field.kind == FieldKind::kText) {
    auto* edit = static_cast<QLineEdit*>(part.input);
    edit->setReadOnly(read_only_text);
    edit->setFocusPolicy(read_only_text ? Qt::NoFocus : Qt::StrongFocus);
  }
  switch (field.kind) {
    case FieldKind::kCaption:
      part.label->setText(ToQString(field.label));
      break;
    case FieldKind::kText: {
      auto* edit = static_cast<QLineEdit*>(part.input);
      const QString text = ToQString(field.value);
      if (edit->text() != text) edit->setText(text);
      if (part.label) part.label->setText(WithAccessKey(field.label));
      break;
    }
    case FieldKind::kSwitch: {
      auto* box = static_cast<QCheckBox*>(part.input);
      box->setText(WithAccessKey(field.label));
      box->setChecked(field.value == "1");
      break;
    }
    case FieldKind::kOptions: {
      int choice = 0;
      if (!ParseRowNumber(field.value, choice)) choice = 0;
      part.options->setExclusive(false);
      for (QAbstractButton* radio : part.options->buttons()) {
        radio->setChecked(part.options->id(radio) == choice);
      }
      part.options->setExclusive(true);
      break;
    }
    case FieldKind::kList:
      ShowList(field, part);
      break;
    case FieldKind::kTable:
      ShowTable(index, field, part, bound);
      if (part.label) part.label->setText(ToQString(field.label));
      break;
    case FieldKind::kImage:
      if (!part.built || part.shown_picture != field.value) {
        ShowPicture(field, *part.label);
        part.shown_picture = field.value;
        part.built = true;
      }
      break;
    case FieldKind::kButton:
      static_cast<QPushButton*>(part.input)->setText(WithAccessKey(field.label));
      break;
  }
}

}  // namespace vz::runtime
