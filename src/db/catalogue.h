// The file catalogue: the 103 database files in declaration order, each with
// its declared record size, the size and type digit of every field, the size
// of the program's record buffer and the composite keys that the buffer
// synchronisation rebuilds.
//
// Buffer layout of a keyed file: the described fields in order, packed, up to
// the first composite key field; from there one spare byte, one 65-byte slot
// per composite key (a length-prefixed text of up to 64 characters), one
// 256-byte long text per long-text field, then room for any described field
// that follows the key fields. A field's place in the buffer is where the
// engine puts it: the sum of the sizes of the fields before it.
//
// The catalogue is built once, on first use, from a compact table; it is
// read-only afterwards and lives for the whole process. A malformed table row
// is a programming fault that the catalogue tests catch; at run time such a
// row gives a file with no fields rather than a crash.
#ifndef VZ_SRC_DB_CATALOGUE_H_
#define VZ_SRC_DB_CATALOGUE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "src/db/file_id.h"

namespace vz::db {

// How the buffer synchronisation treats a file.
enum class SyncRule {
  kNotInKeyTable,  // left alone: its buffer is exactly the described fields
  kClearedOnly,    // no composite key; cleared when no record is current
  kKeys,           // keys rebuilt when a record is current, cleared otherwise
  kClientStamp,    // as kKeys, then the CLIENT date-time check (fields 84, 82)
  kUnpaddedKeys,   // as kKeys, components cut but never padded (CHARSOC)
};

// One piece of a composite key: a text field (1-based), cut or padded to
// width characters; width 0 takes the whole field.
struct KeyComponent {
  int field = 0;
  int width = 0;
};

struct KeyDescription {
  std::string_view name;  // the engine's key name, e.g. "CODCLI"
  std::vector<KeyComponent> components;
  bool pad = true;         // false: components are cut only
  int slot_field = 0;      // described key field (1-based); 0: engine-only key
  size_t slot_offset = 0;  // offset of the program's 65-byte key slot
  int characters = 0;      // sum of the component widths
};

struct LongText {
  int field = 0;            // the 260-byte field of five 52-byte pieces
  size_t field_offset = 0;  // where the pieces lie in the buffer
  size_t text_offset = 0;   // the program's 256-byte long text
};

struct FileDescription {
  FileId id{};
  std::string_view name;             // upper case, at most 8 characters
  int32_t record_size = 0;           // as declared to the engine
  std::string_view types;            // one type digit per field
  std::vector<int32_t> field_sizes;  // one per field, in record order
  std::vector<size_t> field_offsets;
  size_t described_size = 0;      // sum of the field sizes
  int32_t table_buffer_size = 0;  // the buffer size the table gives, 0 when none
  size_t buffer_size = 0;         // full buffer: table size, else described size
  SyncRule rule = SyncRule::kNotInKeyTable;
  int first_key_field = 0;                       // first composite key field, 0 when none
  std::vector<KeyDescription> keys;              // program keys, in slot order
  std::vector<KeyDescription> engine_only_keys;  // keys with no slot (CODPTT)
  std::vector<LongText> long_texts;              // in the order of their texts

  int field_count() const { return static_cast<int>(field_sizes.size()); }
  bool in_key_table() const { return rule != SyncRule::kNotInKeyTable; }
};

inline constexpr size_t kKeySlotSize = 65;  // length byte + 64 characters
inline constexpr size_t kKeySlotCharacters = 64;
inline constexpr size_t kLongTextSize = 256;  // length byte + 255 characters
inline constexpr size_t kLongTextCharacters = 255;
inline constexpr size_t kLongTextPieces = 5;
inline constexpr size_t kLongTextPieceCharacters = 51;  // 52 bytes a piece

// All 103 files, in catalogue order (index = FileId value).
std::span<const FileDescription> Catalogue();

namespace internal {
// The first of the built descriptions once they are built, else null: every
// record operation describes its file several times, so Describe reads it
// without a call once it is there.
extern std::atomic<const FileDescription*> built_descriptions;
}  // namespace internal

inline const FileDescription& Describe(FileId file) {
  const FileDescription* first = internal::built_descriptions.load(std::memory_order_acquire);
  if (first == nullptr) first = Catalogue().data();
  return first[static_cast<size_t>(file)];
}

// Exact, case-sensitive lookup of a catalogue name ("CLIENT").
std::optional<FileId> FindFileByName(std::string_view name);

// Problems found while building the catalogue from its table (empty when the
// table is sound). Used by the tests.
const std::vector<std::string>& CatalogueProblems();

}  // namespace vz::db

#endif  // VZ_SRC_DB_CATALOGUE_H_
