// A record description joined with the analysis's key rules: where each field
// of the program's record buffer starts, how the key texts are built from the
// fields, and how records move between the buffer and storage.
//
// The stored record is the described bytes (the sum of the field sizes,
// whatever record size was declared) with zero bytes at every SLOT field.
// Reads copy exactly those bytes back, again with zeros at the SLOT fields, and
// never touch the buffer beyond the described fields.
//
// RecordLayout owns no memory of the program: it keeps the buffer address it
// was given. Bind() fails (with a reason) when a key rule does not fit the
// description: a component that is not a text field, a field number past the
// last field, a SLOT field that is missing.
#ifndef VZ_PLATFORM_ENGINE_RECORD_LAYOUT_H_
#define VZ_PLATFORM_ENGINE_RECORD_LAYOUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"

namespace vz::engine {

struct FieldSpan {
  std::size_t offset = 0;
  std::size_t size = 0;
  char type = '1';
};

// What LE_HDecritEnregistrement was given.
struct RecordDescription {
  std::string file;  // upper case
  int32_t declared_size = 0;
  std::vector<FieldSpan> fields;
  std::size_t described_size = 0;  // sum of the field sizes
  uint8_t* buffer = nullptr;

  // Builds a description; returns false when the arguments are unusable (no
  // field, a size below 1, a type that is not a digit, a null buffer, or a
  // total above kMaxRecordBytes).
  static bool Make(const char* file, int32_t declared_size, const int32_t* field_sizes,
                   int32_t field_count, const char* types, void* buffer, RecordDescription* out,
                   std::string* why);
};

inline constexpr std::size_t kMaxRecordBytes = 1 << 20;
inline constexpr int32_t kMaxFieldCount = 4096;

struct BoundComponent {
  std::size_t offset = 0;    // of the field's length byte
  std::size_t capacity = 0;  // the field size less the length byte
  std::size_t width = 0;     // characters taken (capacity when the rule says 0)
};

struct BoundKey {
  std::string name;
  std::vector<BoundComponent> components;
  bool no_pad = false;
  bool has_slot = false;
  FieldSpan slot;
};

class RecordLayout {
 public:
  // REQUIRES: `description` is valid (made by RecordDescription::Make).
  static bool Bind(const RecordDescription& description, const FileEntry& entry, RecordLayout* out,
                   std::string* why);

  std::size_t key_count() const { return keys_.size(); }
  const BoundKey& key(std::size_t i) const { return keys_[i]; }
  int FindKey(const char* name) const;
  std::size_t record_size() const { return described_size_; }

  // The text of key `i` for the record in `record` (described bytes).
  void BuildKey(std::size_t i, const uint8_t* record, std::string* out) const;

  // Copies the buffer's described bytes into `out`, zeroing SLOT fields.
  void TakeRecord(const uint8_t* buffer, std::string* out) const;

  // Copies a stored record into the buffer: exactly the described bytes (a
  // shorter stored record is completed with zeros), zeros at SLOT fields.
  void GiveRecord(const uint8_t* stored, std::size_t stored_size, uint8_t* buffer) const;

 private:
  std::vector<BoundKey> keys_;
  std::size_t described_size_ = 0;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_RECORD_LAYOUT_H_
