// The window model: windows, their fields and the state the program and the
// user change, independent of any toolkit.
//
// A Window is a value: the library keeps one template per window and every
// "Ouvre" works on a fresh copy, owned by the window stack. Fields are found
// by name without regard to case or accents; an indexed field ("EXPLIC,1") is
// found as "EXPLIC,1" or "EXPLIC,01". Rows and list entries are numbered from
// 1; 0 means "none selected". Lookups return nullptr when nothing matches.
#ifndef VZ_PLATFORM_RUNTIME_WINDOW_MODEL_H_
#define VZ_PLATFORM_RUNTIME_WINDOW_MODEL_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::runtime {

enum class FieldKind { kCaption, kText, kSwitch, kOptions, kList, kTable, kImage, kButton };
enum class FieldState { kEnabled, kDisabled, kInvisible };

// "caption", "text", ... as written in the window library.
std::string_view KindName(FieldKind kind);
std::optional<FieldKind> KindFromName(std::string_view name);
// "+", "-" or "I" (any case).
std::optional<FieldState> StateFromCode(std::string_view code);

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool Contains(const Rect& inner) const;
  bool Overlaps(const Rect& other) const;
};

struct Column {
  std::string name;
  std::string title;
  int width = 0;
  bool editable = false;
};

struct Field {
  std::string name;
  FieldKind kind = FieldKind::kText;
  std::string label;
  Rect rect;
  int label_width = 0;
  int tab_order = 0;
  FieldState state = FieldState::kEnabled;
  int max_length = 255;

  // Text, switch ("1"/"0"), option group (choice number), image (picture).
  std::string value;
  std::vector<std::string> choices;            // option group
  std::vector<std::string> entries;            // list; columns separated by TAB
  std::vector<Column> columns;                 // table
  std::vector<std::vector<std::string>> rows;  // table; one cell per column
  int selected = 0;                            // list entry or table row; 0 none
  bool sortable = false;                       // table: the user may sort its rows
  bool plain = false;                          // caption: ordinary text, never a heading
  std::string return_code;                     // button ending the input
  std::string event;                           // button running window code
  // (Window::WithoutRows copies every member but `rows`: a new member goes there too.)

  bool visible() const { return state != FieldState::kInvisible; }
  bool usable() const { return state == FieldState::kEnabled; }
  // Index of the column of that name, or -1.
  int ColumnIndex(std::string_view column_name) const;
  // Number of rows (table) or entries (list).
  int ItemCount() const;
};

struct Window {
  std::string name;
  std::string title;
  Rect rect;
  std::string default_button;
  std::string escape_code;
  std::vector<Field> fields;

  Field* FindField(std::string_view field_name);
  const Field* FindField(std::string_view field_name) const;

  // The table holding a column of that name.
  struct ColumnRef {
    Field* table = nullptr;
    int column = -1;
  };
  std::optional<ColumnRef> FindColumn(std::string_view column_name);

  // Enabled, visible button whose return code is code.
  const Field* ButtonWithCode(std::string_view code) const;

  // Fields in tab order (captions and images are not in it).
  std::vector<const Field*> TabOrder() const;

  // A copy of the window whose tables hold no rows: everything else of it and
  // of its fields (a table of 100,000 rows is not copied to keep its places).
  Window WithoutRows() const;
};

// "EXPLIC,01" -> "EXPLIC,1", "NAME" unchanged, "NAME , 3" -> "NAME,3"; the key
// under which names are compared, folded.
std::string FieldKey(std::string_view field_name);

// A window name as the program writes it, folded, without a ".WDW" extension.
std::string WindowKey(std::string_view window_name);

// Parses a row or entry number as the program writes it: blanks around and
// leading zeros allowed (" 3", "03", "003"); at least 1.
bool ParseRowNumber(std::string_view text, int& row);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_WINDOW_MODEL_H_
