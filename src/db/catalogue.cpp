#include "src/db/catalogue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>

#include "src/db/catalogue_rows.h"
#include "src/db/catalogue_table.h"

namespace vz::db {
namespace {

using internal::CatalogueRow;

// Reads one unsigned decimal number at the front of text; advances text.
bool ReadNumber(std::string_view& text, int& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto [next, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || next == begin || value < 0) return false;
  text.remove_prefix(static_cast<size_t>(next - begin));
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// "3 7 2*4 16" -> {3, 7, 2, 2, 2, 2, 16}.
bool ParseSizes(std::string_view text, std::vector<int32_t>& sizes) {
  internal::SizeListReader reader(text);
  int size = 0;
  while (reader.Next(size)) sizes.push_back(size);
  return !reader.failed();
}

// "NAME=1:2+2:6; OTHER=3:5" -> keys in order.
bool ParseKeys(std::string_view text, bool pad, std::vector<KeyDescription>& keys) {
  text = TrimBlanks(text);
  while (!text.empty()) {
    size_t end = text.find(';');
    std::string_view one = TrimBlanks(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    size_t equals = one.find('=');
    if (equals == std::string_view::npos || equals == 0) return false;
    KeyDescription key;
    key.name = one.substr(0, equals);
    key.pad = pad;
    std::string_view rest = one.substr(equals + 1);
    while (true) {
      KeyComponent component;
      if (!ReadNumber(rest, component.field) || rest.empty() || rest.front() != ':') return false;
      rest.remove_prefix(1);
      if (!ReadNumber(rest, component.width)) return false;
      key.components.push_back(component);
      if (rest.empty()) break;
      if (rest.front() != '+') return false;
      rest.remove_prefix(1);
    }
    keys.push_back(std::move(key));
    text = TrimBlanks(text);
  }
  return true;
}

bool ParseFieldList(std::string_view text, std::vector<int>& fields) {
  text = TrimBlanks(text);
  while (!text.empty()) {
    int field = 0;
    if (!ReadNumber(text, field)) return false;
    fields.push_back(field);
    text = TrimBlanks(text);
  }
  return true;
}

// Every row's size list reads and gives one size per type digit, so that the
// places computed at compile time (field_places.h) never meet a broken row.
constexpr bool EveryRowReadsItsSizes() {
  for (const CatalogueRow& row : internal::kCatalogueRows) {
    internal::SizeListReader sizes(row.sizes);
    int size = 0;
    size_t count = 0;
    while (sizes.Next(size)) ++count;
    if (sizes.failed() || count != std::string_view(row.types).size()) return false;
  }
  return true;
}
static_assert(EveryRowReadsItsSizes());

class Builder {
 public:
  void Build(const CatalogueRow& row, FileId id, FileDescription& file) {
    file = FileDescription();
    row_ = &row;
    file.id = id;
    file.name = row.name;
    file.record_size = row.record_size;
    file.types = row.types;
    file.table_buffer_size = row.buffer_size;
    file.rule = row.rule;
    file.first_key_field = row.first_key_field;
    if (!ParseSizes(row.sizes, file.field_sizes)) return Fail(file, "unreadable field sizes");
    if (file.field_count() != row.field_count || file.types.size() != file.field_sizes.size()) {
      return Fail(file, "field count differs from the type string or the sizes");
    }
    size_t offset = 0;
    for (int32_t size : file.field_sizes) {
      file.field_offsets.push_back(offset);
      offset += static_cast<size_t>(size);
    }
    file.described_size = offset;
    bool pad = row.rule != SyncRule::kUnpaddedKeys;
    if (!ParseKeys(row.keys, pad, file.keys) ||
        !ParseKeys(row.engine_only_keys, true, file.engine_only_keys)) {
      return Fail(file, "unreadable keys");
    }
    std::vector<int> long_fields;
    if (!ParseFieldList(row.long_texts, long_fields)) return Fail(file, "unreadable long texts");
    if (!CheckKeys(file) || !PlaceSlots(file, long_fields)) return;
    file.buffer_size =
        row.buffer_size > 0 ? static_cast<size_t>(row.buffer_size) : file.described_size;
    if (file.buffer_size < file.described_size) {
      // The engine writes every described byte: never give it less room.
      problems.push_back(std::string(row.name) + ": buffer smaller than the described fields");
      file.buffer_size = file.described_size;
    }
  }

  std::vector<std::string> problems;

 private:
  void Fail(FileDescription& file, const char* why) {
    problems.push_back(std::string(row_->name) + ": " + why);
    // A broken row leaves an empty file rather than half a description.
    file.field_sizes.clear();
    file.field_offsets.clear();
    file.keys.clear();
    file.engine_only_keys.clear();
    file.long_texts.clear();
    file.described_size = 0;
    file.buffer_size = 0;
    file.first_key_field = 0;
  }

  bool CheckKeys(FileDescription& file) {
    for (auto* list : {&file.keys, &file.engine_only_keys}) {
      for (KeyDescription& key : *list) {
        key.characters = 0;
        for (const KeyComponent& component : key.components) {
          if (component.field < 1 || component.field > file.field_count() ||
              file.types[static_cast<size_t>(component.field - 1)] != '1') {
            Fail(file, "key component is not a text field");
            return false;
          }
          int width = component.width;
          if (width == 0) width = file.field_sizes[static_cast<size_t>(component.field - 1)] - 1;
          key.characters += width;
        }
        if (key.components.empty() || key.characters > static_cast<int>(kKeySlotCharacters)) {
          Fail(file, "key longer than its slot");
          return false;
        }
      }
    }
    return true;
  }

  bool PlaceSlots(FileDescription& file, const std::vector<int>& long_fields) {
    if (file.keys.empty()) {
      if (file.first_key_field != 0 || !long_fields.empty()) {
        Fail(file, "key field or long text without a key");
        return false;
      }
      return true;
    }
    int first = file.first_key_field;
    int last = first + static_cast<int>(file.keys.size()) - 1;
    if (first < 1 || last > file.field_count()) {
      Fail(file, "key fields outside the record");
      return false;
    }
    size_t slot = file.field_offsets[static_cast<size_t>(first - 1)] + 1;
    for (size_t k = 0; k < file.keys.size(); ++k) {
      file.keys[k].slot_field = first + static_cast<int>(k);
      file.keys[k].slot_offset = slot;
      slot += kKeySlotSize;
    }
    for (int field : long_fields) {
      if (field < 1 || field > file.field_count() ||
          file.field_sizes[static_cast<size_t>(field - 1)] !=
              static_cast<int32_t>(kLongTextPieces * (kLongTextPieceCharacters + 1))) {
        Fail(file, "long text field is not five 52-byte pieces");
        return false;
      }
      file.long_texts.push_back(
          LongText{field, file.field_offsets[static_cast<size_t>(field - 1)], slot});
      slot += kLongTextSize;
    }
    return true;
  }

  const CatalogueRow* row_ = nullptr;
};

struct BuiltCatalogue {
  std::array<FileDescription, kFileCount> files;
  std::vector<std::string> problems;
  // Names sorted for lookup, with their files.
  std::array<std::pair<std::string_view, FileId>, kFileCount> by_name;
};

const BuiltCatalogue& Built() {
  static const BuiltCatalogue built = [] {
    BuiltCatalogue result;
    Builder builder;
    const auto& rows = internal::kCatalogueRows;
    for (size_t i = 0; i < std::size(rows) && i < result.files.size(); ++i) {
      auto id = static_cast<FileId>(i);
      builder.Build(rows[i], id, result.files[i]);
      result.by_name[i] = {result.files[i].name, id};
    }
    std::sort(result.by_name.begin(), result.by_name.end());
    result.problems = std::move(builder.problems);
    return result;
  }();
  // Published once, for Describe's read without a call.
  static const bool published =
      (internal::built_descriptions.store(built.files.data(), std::memory_order_release), true);
  (void)published;
  return built;
}

}  // namespace

namespace internal {

std::atomic<const FileDescription*> built_descriptions{nullptr};

bool BuildFileDescription(const CatalogueRow& row, FileId id, FileDescription& file,
                          std::string& problem) {
  Builder builder;
  builder.Build(row, id, file);
  problem = builder.problems.empty() ? std::string() : builder.problems.front();
  return builder.problems.empty();
}

}  // namespace internal

std::span<const FileDescription> Catalogue() {
  return Built().files;
}

std::optional<FileId> FindFileByName(std::string_view name) {
  const auto& by_name = Built().by_name;
  auto it = std::lower_bound(by_name.begin(), by_name.end(), name,
                             [](const auto& entry, std::string_view n) { return entry.first < n; });
  if (it == by_name.end() || it->first != name) return std::nullopt;
  return it->second;
}

const std::vector<std::string>& CatalogueProblems() {
  return Built().problems;
}

}  // namespace vz::db
