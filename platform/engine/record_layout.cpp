#include "platform/engine/record_layout.h"

#include <algorithm>
#include <cstring>

#include "platform/os/ascii_case.h"

namespace vz::engine {

bool RecordDescription::Make(const char* file, int32_t declared_size, const int32_t* field_sizes,
                             int32_t field_count, const char* types, void* buffer,
                             RecordDescription* out, std::string* why) {
  auto fail = [why](const char* reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  if (file == nullptr || file[0] == '\0') return fail("no file name");
  if (std::strlen(file) > 64) return fail("file name too long");
  if (field_count < 1 || field_count > kMaxFieldCount) return fail("bad field count");
  if (field_sizes == nullptr || types == nullptr) return fail("no field sizes or types");
  if (buffer == nullptr) return fail("no record buffer");
  RecordDescription d;
  d.file = os::AsciiUpper(file);
  d.declared_size = declared_size;
  d.buffer = static_cast<uint8_t*>(buffer);
  d.fields.reserve(static_cast<std::size_t>(field_count));
  std::size_t offset = 0;
  for (int32_t i = 0; i < field_count; ++i) {
    char type = types[i];
    if (type < '0' || type > '9') return fail("type string shorter than the field count");
    int32_t size = field_sizes[i];
    if (size < 1 || static_cast<std::size_t>(size) > kMaxRecordBytes) return fail("bad field size");
    d.fields.push_back(FieldSpan{offset, static_cast<std::size_t>(size), type});
    offset += static_cast<std::size_t>(size);
    if (offset > kMaxRecordBytes) return fail("record too large");
  }
  d.described_size = offset;
  *out = std::move(d);
  return true;
}

bool RecordLayout::Bind(const RecordDescription& description, const FileEntry& entry,
                        RecordLayout* out, std::string* why) {
  RecordLayout layout;
  layout.described_size_ = description.described_size;
  const std::size_t field_count = description.fields.size();
  for (const KeyRule& rule : entry.keys) {
    BoundKey key;
    key.name = rule.name;
    key.no_pad = rule.no_pad;
    for (const KeyComponent& c : rule.components) {
      if (static_cast<std::size_t>(c.field) > field_count) {
        *why = "key " + rule.name + Numbered(": field ", c.field) + " is not described";
        return false;
      }
      const FieldSpan& span = description.fields[static_cast<std::size_t>(c.field - 1)];
      if (span.type != '1') {
        *why = "key " + rule.name + Numbered(": field ", c.field) + " is not a text field";
        return false;
      }
      BoundComponent bound;
      bound.offset = span.offset;
      bound.capacity = span.size - 1;
      bound.width = c.width == 0 ? bound.capacity : static_cast<std::size_t>(c.width);
      key.components.push_back(bound);
    }
    if (rule.slot_field != 0) {
      if (static_cast<std::size_t>(rule.slot_field) > field_count) {
        *why =
            "key " + rule.name + Numbered(": SLOT field ", rule.slot_field) + " is not described";
        return false;
      }
      key.has_slot = true;
      key.slot = description.fields[static_cast<std::size_t>(rule.slot_field - 1)];
      if (key.slot.type != '4') {
        *why = "key " + rule.name + Numbered(": SLOT field ", rule.slot_field) +
               " is not a key field (type 4)";
        return false;
      }
      for (const KeyRule& other : entry.keys) {
        for (const KeyComponent& c : other.components) {
          if (c.field == rule.slot_field) {
            *why = "key " + rule.name + ": SLOT field is a component of key " + other.name;
            return false;
          }
        }
      }
    }
    layout.keys_.push_back(std::move(key));
  }
  *out = std::move(layout);
  return true;
}

int RecordLayout::FindKey(const char* name) const {
  if (name == nullptr) return -1;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (os::EqualsIgnoringAsciiCase(keys_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

void RecordLayout::BuildKey(std::size_t i, const uint8_t* record, std::string* out) const {
  const BoundKey& key = keys_[i];
  out->clear();
  for (const BoundComponent& c : key.components) {
    std::size_t length = std::min<std::size_t>(record[c.offset], c.capacity);
    std::size_t taken = std::min(length, c.width);
    out->append(reinterpret_cast<const char*>(record + c.offset + 1), taken);
    if (!key.no_pad && taken < c.width) out->append(c.width - taken, ' ');
  }
}

void RecordLayout::TakeRecord(const uint8_t* buffer, std::string* out) const {
  out->assign(reinterpret_cast<const char*>(buffer), described_size_);
  for (const BoundKey& key : keys_) {
    if (key.has_slot) std::memset(out->data() + key.slot.offset, 0, key.slot.size);
  }
}

void RecordLayout::GiveRecord(const uint8_t* stored, std::size_t stored_size,
                              uint8_t* buffer) const {
  std::size_t copied = std::min(stored_size, described_size_);
  if (copied > 0) std::memcpy(buffer, stored, copied);
  if (copied < described_size_) std::memset(buffer + copied, 0, described_size_ - copied);
  for (const BoundKey& key : keys_) {
    if (key.has_slot) std::memset(buffer + key.slot.offset, 0, key.slot.size);
  }
}

}  // namespace vz::engine
