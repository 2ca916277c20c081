#include "platform/runtime/window_library.h"

#include <set>

#include "platform/os/whole_file.h"
#include "platform/runtime/attribute_list.h"
#include "platform/runtime/line_format.h"
#include "platform/runtime/quoted.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

constexpr int kImplicitTabBase = 100000;

bool IsName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.' || c == ',';
    if (!ok) return false;
  }
  return true;
}

class LibraryParser {
 public:
  explicit LibraryParser(std::string_view file_name) : file_(file_name) {}

  LibraryLoad Parse(std::string_view content) {
    const SourceLines source = SplitSourceLines(content);
    if (!source.error.empty()) return Fail(source.error_line, source.error);
    for (const auto& line : source.lines) {
      const TokenizedLine tokens = TokenizeLine(line.text);
      if (!tokens.error.empty()) return Fail(line.number, tokens.error);
      if (tokens.words.empty()) continue;
      line_ = line.number;
      const std::string error = Statement(tokens.words);
      if (!error.empty()) return Fail(line_, error);
    }
    if (!seen_library_) return Fail(1, "the file holds no \"library\" statement");
    if (in_window_) {
      return Fail(window_line_, "window " + Quoted(window_.name) + " is not closed by \"end\"");
    }
    LibraryLoad load;
    load.library = std::move(library_);
    return load;
  }

 private:
  LibraryLoad Fail(int line, std::string_view message) {
    LibraryLoad load;
    load.error = WhereAndWhy(file_, line, message);
    return load;
  }

  std::string Statement(const std::vector<Word>& words) {
    if (!words[0].key.empty() || words[0].quoted) return "a statement must start with a keyword";
    const std::string keyword = words[0].value;
    AttributeList attributes(std::vector<Word>(words.begin() + 1, words.end()));
    if (!seen_library_ && keyword != "library") return "the file must start with \"library NAME\"";
    if (keyword == "library") return LibraryStatement(attributes);
    if (keyword == "window") return WindowStatement(attributes);
    if (keyword == "end") return EndStatement(attributes);
    if (keyword == "column") return ColumnStatement(attributes);
    if (keyword == "entry" || keyword == "choice") return ItemStatement(keyword, attributes);
    if (auto kind = KindFromName(keyword)) return FieldStatement(*kind, attributes);
    return "unknown statement " + Quoted(keyword);
  }

  std::string OneName(AttributeList& attributes, std::string_view what) {
    if (attributes.positional().size() != 1) return std::string(what) + " needs exactly one name";
    if (!IsName(attributes.positional()[0])) {
      return "name " + Quoted(attributes.positional()[0]) +
             " may hold only letters, digits, \"_\", \".\" and \",\"";
    }
    return {};
  }

  std::string LibraryStatement(AttributeList& attributes) {
    if (seen_library_) return "\"library\" is given twice";
    if (auto error = OneName(attributes, "library"); !error.empty()) return error;
    seen_library_ = true;
    library_.name = attributes.positional()[0];
    return attributes.Finish();
  }

  std::string WindowStatement(AttributeList& attributes) {
    if (in_window_) return "window " + Quoted(window_.name) + " is not closed by \"end\"";
    if (auto error = OneName(attributes, "window"); !error.empty()) return error;
    window_ = Window();
    window_.name = attributes.positional()[0];
    if (WindowKey(window_.name).empty()) return "window name is empty";
    if (library_.Find(window_.name)) return "window " + Quoted(window_.name) + " is declared twice";
    window_.title = attributes.Require("title");
    window_.rect.x = attributes.TakeNumber("x", 0).value_or(0);
    window_.rect.y = attributes.TakeNumber("y", 0).value_or(0);
    window_.rect.w = attributes.RequireNumber("w", 1);
    window_.rect.h = attributes.RequireNumber("h", 1);
    window_.default_button = attributes.Require("default");
    window_.escape_code = attributes.Require("escape");
    if (auto error = attributes.Finish(); !error.empty()) return error;
    if (TrimBlanks(window_.title).empty())
      return "window " + Quoted(window_.name) + " has an empty title";
    if (window_.escape_code.empty() || window_.escape_code.size() > 3) {
      return "escape code " + Quoted(window_.escape_code) + " must have 1 to 3 characters";
    }
    in_window_ = true;
    window_line_ = line_;
    field_lines_.clear();
    names_.clear();
    return {};
  }

  std::string EndStatement(AttributeList& attributes) {
    if (!in_window_) return "\"end\" without a window";
    if (!attributes.positional().empty()) return "\"end\" takes nothing after it";
    if (auto error = attributes.Finish(); !error.empty()) return error;
    const Field* button = window_.FindField(window_.default_button);
    if (!button || button->kind != FieldKind::kButton || button->return_code.empty()) {
      line_ = window_line_;
      return "default " + Quoted(window_.default_button) + " of window " + Quoted(window_.name) +
             " is not a button with a return code";
    }
    for (size_t i = 0; i < window_.fields.size(); ++i) {
      const Field& field = window_.fields[i];
      line_ = field_lines_[i];
      if (field.kind == FieldKind::kList &&
          field.selected > static_cast<int>(field.entries.size())) {
        return "list " + Quoted(field.name) + " has no entry " + std::to_string(field.selected);
      }
      int choice = 0;
      if (field.kind == FieldKind::kOptions && !field.value.empty() &&
          (!ParseRowNumber(field.value, choice) ||
           choice > static_cast<int>(field.choices.size()))) {
        return "option group " + Quoted(field.name) + " has no choice " + Quoted(field.value);
      }
      if (field.kind == FieldKind::kTable && field.columns.empty()) {
        return "table " + Quoted(field.name) + " has no column";
      }
    }
    library_.windows.push_back(std::move(window_));
    in_window_ = false;
    return {};
  }

  std::string TakeName(std::string_view name) {
    const std::string key = FieldKey(name);
    if (!names_.insert(key).second) {
      return "name " + Quoted(name) + " is used twice in window " + Quoted(window_.name);
    }
    return {};
  }

  std::string FieldStatement(FieldKind kind, AttributeList& attributes) {
    if (!in_window_) return "field outside a window";
    if (auto error = OneName(attributes, KindName(kind)); !error.empty()) return error;
    Field field;
    field.kind = kind;
    field.name = attributes.positional()[0];
    if (const size_t comma = field.name.find(','); comma != std::string::npos) {
      int index = 0;
      if (comma == 0 || !ParseRowNumber(std::string_view(field.name).substr(comma + 1), index)) {
        return "an indexed field is written NAME,NUMBER, not " + Quoted(field.name);
      }
    }
    if (field.name.find('.') != std::string::npos) return "a field name may not hold \".\"";
    if (auto error = TakeName(field.name); !error.empty()) return error;
    field.label = attributes.Require("label");
    field.rect.x = attributes.RequireNumber("x", 0);
    field.rect.y = attributes.RequireNumber("y", 0);
    field.rect.w = attributes.RequireNumber("w", 1);
    field.rect.h = attributes.RequireNumber("h", 1);
    field.tab_order = attributes.TakeNumber("tab", 0).value_or(
        kImplicitTabBase + static_cast<int>(window_.fields.size()));
    if (auto state = attributes.Take("state")) {
      auto parsed = StateFromCode(*state);
      if (!parsed) return "state must be \"+\", \"-\" or \"I\", got " + Quoted(*state);
      field.state = *parsed;
    }
    if (kind == FieldKind::kText || kind == FieldKind::kOptions || kind == FieldKind::kList) {
      field.label_width = attributes.TakeNumber("lw", 0).value_or(0);
    }
    if (kind == FieldKind::kText)
      field.max_length = attributes.TakeNumber("length", 1).value_or(255);
    if (kind == FieldKind::kText || kind == FieldKind::kImage || kind == FieldKind::kOptions) {
      field.value = attributes.Take("value").value_or("");
    }
    if (kind == FieldKind::kSwitch) {
      field.value = attributes.Take("value").value_or("0");
      if (field.value != "0" && field.value != "1") return "a switch value must be \"0\" or \"1\"";
    }
    if (kind == FieldKind::kList) field.selected = attributes.TakeNumber("selected", 0).value_or(0);
    if (kind == FieldKind::kCaption) {
      if (auto style = attributes.Take("style")) {
        if (*style != "text") return "the style of a caption can only be \"text\"";
        field.plain = true;
      }
    }
    if (kind == FieldKind::kTable) {
      if (auto sort = attributes.Take("sort")) {
        if (*sort != "0" && *sort != "1") return "\"sort\" must be \"0\" or \"1\"";
        field.sortable = *sort == "1";
      }
    }
    if (kind == FieldKind::kButton) {
      auto code = attributes.Take("code");
      auto event = attributes.Take("event");
      if (code.has_value() == event.has_value()) {
        return "button " + Quoted(field.name) + " needs either \"code\" or \"event\"";
      }
      if (code && (code->empty() || code->size() > 3)) {
        return "return code " + Quoted(*code) + " must have 1 to 3 characters";
      }
      if (event && !IsName(*event)) return "event name " + Quoted(*event) + " is not a name";
      field.return_code = code.value_or("");
      field.event = event.value_or("");
    }
    if (auto error = attributes.Finish(); !error.empty()) return error;
    if (TrimBlanks(field.label).empty())
      return "field " + Quoted(field.name) + " has an empty label";
    if (kind == FieldKind::kText && static_cast<int>(field.value.size()) > field.max_length) {
      return "value of " + Quoted(field.name) + " is longer than its length";
    }
    if (!window_.rect.Contains(field.rect)) {
      return "field " + Quoted(field.name) + " does not lie inside window " + Quoted(window_.name);
    }
    if (field.label_width >= field.rect.w) {
      return "label width of " + Quoted(field.name) + " leaves no room for the field";
    }
    window_.fields.push_back(std::move(field));
    field_lines_.push_back(line_);
    return {};
  }

  std::string ColumnStatement(AttributeList& attributes) {
    if (!in_window_ || window_.fields.empty() || window_.fields.back().kind != FieldKind::kTable) {
      return "\"column\" must follow a table";
    }
    if (auto error = OneName(attributes, "column"); !error.empty()) return error;
    Column column;
    column.name = attributes.positional()[0];
    if (column.name.find(',') != std::string::npos) return "a column name may not hold \",\"";
    if (auto error = TakeName(column.name); !error.empty()) return error;
    column.title = attributes.Require("title");
    column.width = attributes.RequireNumber("w", 1);
    if (auto edit = attributes.Take("edit")) {
      if (*edit != "0" && *edit != "1") return "\"edit\" must be \"0\" or \"1\"";
      column.editable = *edit == "1";
    }
    if (auto error = attributes.Finish(); !error.empty()) return error;
    window_.fields.back().columns.push_back(std::move(column));
    return {};
  }

  std::string ItemStatement(const std::string& keyword, AttributeList& attributes) {
    const FieldKind wanted = keyword == "entry" ? FieldKind::kList : FieldKind::kOptions;
    if (!in_window_ || window_.fields.empty() || window_.fields.back().kind != wanted) {
      return Quoted(keyword) + " must follow " +
             (keyword == "entry" ? "a list" : "an option group");
    }
    if (attributes.positional().size() != 1) return Quoted(keyword) + " needs exactly one text";
    if (auto error = attributes.Finish(); !error.empty()) return error;
    Field& field = window_.fields.back();
    (keyword == "entry" ? field.entries : field.choices).push_back(attributes.positional()[0]);
    return {};
  }

  std::string file_;
  WindowLibrary library_;
  bool seen_library_ = false;
  bool in_window_ = false;
  Window window_;
  int line_ = 0;
  int window_line_ = 0;
  std::vector<int> field_lines_;
  std::set<std::string> names_;
};

}  // namespace

const Window* WindowLibrary::Find(std::string_view window_name) const {
  const std::string key = WindowKey(window_name);
  for (const auto& window : windows) {
    if (WindowKey(window.name) == key) return &window;
  }
  return nullptr;
}

LibraryLoad ParseWindowLibrary(std::string_view utf8_content, std::string_view file_name) {
  return LibraryParser(file_name).Parse(utf8_content);
}

LibraryLoad LoadWindowLibrary(const std::filesystem::path& path) {
  std::string content;
  if (!os::ReadWholeFile(path.string(), &content)) {
    LibraryLoad load;
    load.error = path.string() + ": cannot be read";
    return load;
  }
  return ParseWindowLibrary(content, path.filename().string());
}

}  // namespace vz::runtime
