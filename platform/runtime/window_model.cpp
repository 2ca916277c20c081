#include "platform/runtime/window_model.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

constexpr std::array<std::pair<FieldKind, std::string_view>, 8> kKindNames = {{
    {FieldKind::kCaption, "caption"},
    {FieldKind::kText, "text"},
    {FieldKind::kSwitch, "switch"},
    {FieldKind::kOptions, "options"},
    {FieldKind::kList, "list"},
    {FieldKind::kTable, "table"},
    {FieldKind::kImage, "image"},
    {FieldKind::kButton, "button"},
}};

}  // namespace

std::string_view KindName(FieldKind kind) {
  for (const auto& [k, name] : kKindNames) {
    if (k == kind) return name;
  }
  return "?";
}

std::optional<FieldKind> KindFromName(std::string_view name) {
  for (const auto& [k, n] : kKindNames) {
    if (n == name) return k;
  }
  return std::nullopt;
}

std::optional<FieldState> StateFromCode(std::string_view code) {
  if (code == "+") return FieldState::kEnabled;
  if (code == "-") return FieldState::kDisabled;
  if (code == "I" || code == "i") return FieldState::kInvisible;
  return std::nullopt;
}

bool Rect::Contains(const Rect& inner) const {
  return inner.x >= 0 && inner.y >= 0 && inner.x + inner.w <= w && inner.y + inner.h <= h;
}

bool Rect::Overlaps(const Rect& other) const {
  return x < other.x + other.w && other.x < x + w && y < other.y + other.h && other.y < y + h;
}

int Field::ColumnIndex(std::string_view column_name) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (SameName(columns[i].name, column_name)) return static_cast<int>(i);
  }
  return -1;
}

int Field::ItemCount() const {
  if (kind == FieldKind::kTable) return static_cast<int>(rows.size());
  if (kind == FieldKind::kList) return static_cast<int>(entries.size());
  return 0;
}

namespace {

// True when FieldKey(field_name) == key, without building the field's key:
// lookups compare the key with every field of the window. Folding a folded
// text changes nothing, so SameName against the key is the same comparison.
bool HasFieldKey(std::string_view field_name, std::string_view key) {
  field_name = TrimBlanks(field_name);
  const size_t comma = field_name.find(',');
  int index = 0;
  if (comma == std::string_view::npos || !ParseRowNumber(field_name.substr(comma + 1), index)) {
    return SameName(field_name, key);
  }
  const std::string_view base = TrimBlanks(field_name.substr(0, comma));
  if (key.size() <= base.size() || key[base.size()] != ',') return false;
  if (!SameName(base, key.substr(0, base.size()))) return false;
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  return key.substr(base.size() + 1) == std::string_view(digits, end - digits);
}

// SameName(TrimBlanks(field_name), plain) for a trimmed `plain`, without
// trimming in the usual case of a name with no blank at either end: a name
// of another length can then never match.
bool HasPlainName(std::string_view field_name, std::string_view plain) {
  if (field_name.size() == plain.size()) {
    // Blanks fold to themselves and `plain` has none at its ends: an
    // untrimmed name of the same length matches only when it has none either.
    return SameName(field_name, plain);
  }
  if (field_name.size() < plain.size()) return false;
  const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  if (!is_blank(field_name.front()) && !is_blank(field_name.back())) return false;
  return SameName(TrimBlanks(field_name), plain);
}

}  // namespace

Field* Window::FindField(std::string_view field_name) {
  // A name without a comma (the usual case) has no row number: its key is the
  // folded name, which only a field name without a comma can fold to.
  const std::string_view plain = TrimBlanks(field_name);
  if (plain.find(',') == std::string_view::npos) {
    for (auto& field : fields) {
      if (HasPlainName(field.name, plain)) return &field;
    }
    return nullptr;
  }
  const std::string key = FieldKey(field_name);
  for (auto& field : fields) {
    if (HasFieldKey(field.name, key)) return &field;
  }
  return nullptr;
}

const Field* Window::FindField(std::string_view field_name) const {
  return const_cast<Window*>(this)->FindField(field_name);
}

std::optional<Window::ColumnRef> Window::FindColumn(std::string_view column_name) {
  for (auto& field : fields) {
    if (field.kind != FieldKind::kTable) continue;
    const int index = field.ColumnIndex(column_name);
    if (index >= 0) return ColumnRef{&field, index};
  }
  return std::nullopt;
}

const Field* Window::ButtonWithCode(std::string_view code) const {
  for (const auto& field : fields) {
    if (field.kind == FieldKind::kButton && field.usable() && !field.return_code.empty() &&
        SameName(field.return_code, code)) {
      return &field;
    }
  }
  return nullptr;
}

std::vector<const Field*> Window::TabOrder() const {
  std::vector<const Field*> order;
  for (const auto& field : fields) {
    if (field.kind != FieldKind::kCaption && field.kind != FieldKind::kImage)
      order.push_back(&field);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const Field* a, const Field* b) { return a->tab_order < b->tab_order; });
  return order;
}

Window Window::WithoutRows() const {
  Window copy;
  copy.name = name;
  copy.title = title;
  copy.rect = rect;
  copy.default_button = default_button;
  copy.escape_code = escape_code;
  copy.fields.reserve(fields.size());
  for (const Field& field : fields) {
    Field& shell = copy.fields.emplace_back();
    shell.name = field.name;
    shell.kind = field.kind;
    shell.label = field.label;
    shell.rect = field.rect;
    shell.label_width = field.label_width;
    shell.tab_order = field.tab_order;
    shell.state = field.state;
    shell.max_length = field.max_length;
    shell.value = field.value;
    shell.choices = field.choices;
    shell.entries = field.entries;
    shell.columns = field.columns;
    shell.selected = field.selected;
    shell.sortable = field.sortable;
    shell.plain = field.plain;
    shell.return_code = field.return_code;
    shell.event = field.event;
  }
  return copy;
}

std::string FieldKey(std::string_view field_name) {
  field_name = TrimBlanks(field_name);
  const size_t comma = field_name.find(',');
  if (comma == std::string_view::npos) return FoldName(field_name);
  int index = 0;
  if (!ParseRowNumber(field_name.substr(comma + 1), index)) return FoldName(field_name);
  return FoldName(TrimBlanks(field_name.substr(0, comma))) + "," + std::to_string(index);
}

std::string WindowKey(std::string_view window_name) {
  std::string key = FoldName(TrimBlanks(window_name));
  if (key.size() > 4 && key.ends_with(".WDW")) key.resize(key.size() - 4);
  return key;
}

bool ParseRowNumber(std::string_view text, int& row) {
  text = TrimBlanks(text);
  if (text.empty() || text.size() > 9) {
    // Allow long runs of leading zeros, but never a number past 9 digits.
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    if (text.empty() || text.size() > 9) return false;
  }
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1) return false;
  row = value;
  return true;
}

}  // namespace vz::runtime
