#include "src/db/buffer_sync.h"

#include <array>
#include <cstring>

#include "platform/os/accents.h"
#include "platform/os/short_copy.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"

namespace vz::db {
namespace {

// What each cp1252 byte becomes in a normalised name; 0 drops the byte.
constexpr std::array<char, 256> MakeNameMap() {
  std::array<char, 256> map{};
  for (int c = 0; c < 256; ++c) {
    map[static_cast<size_t>(c)] = os::AsciiUpper(os::FoldListedAccent(static_cast<char>(c)));
  }
  map[' '] = 0;
  map[0] = 0;
  return map;
}

constexpr std::array<char, 256> kNameMap = MakeNameMap();

// Writes text into a length-prefixed field of `width` characters, cut or
// padded on the right with blanks to exactly `target` characters.
void PadOrCut(uint8_t* record, size_t offset, size_t width, size_t target) {
  if (target > width) target = width;
  std::string_view value = TextView(record, offset, width);
  size_t kept = value.size() < target ? value.size() : target;
  std::memset(record + offset + 1 + kept, ' ', target - kept);
  std::memset(record + offset + 1 + target, 0, width - target);
  record[offset] = static_cast<uint8_t>(target);
}

size_t TextWidth(const FileDescription& file, int field) {
  return static_cast<size_t>(file.field_sizes[static_cast<size_t>(field - 1)] - 1);
}

size_t FieldOffset(const FileDescription& file, int field) {
  return file.field_offsets[static_cast<size_t>(field - 1)];
}

// Builds each key from its components and stores it in its slot: the length
// byte and the characters only, so a slot never reaches past the described
// key field that it overlays (fields described after a key stay intact).
void RebuildKeys(const FileDescription& file, uint8_t* record) {
  for (const KeyDescription& key : file.keys) {
    char text[kKeySlotCharacters];
    size_t size = 0;
    for (const KeyComponent& component : key.components) {
      size_t width = TextWidth(file, component.field);
      std::string_view value = TextView(record, FieldOffset(file, component.field), width);
      size_t target = component.width == 0 ? value.size() : static_cast<size_t>(component.width);
      size_t kept = value.size() < target ? value.size() : target;
      if (!key.pad) target = kept;
      if (size + target > kKeySlotCharacters) target = kKeySlotCharacters - size;
      if (kept > target) kept = target;
      os::CopyShort(text + size, value.data(), kept);
      // Most components fill their width: no padding call for them.
      if (target > kept) std::memset(text + size + kept, ' ', target - kept);
      size += target;
    }
    record[key.slot_offset] = static_cast<uint8_t>(size);
    os::CopyShort(record + key.slot_offset + 1, text, size);
  }
}

void SplitLongTexts(const FileDescription& file, uint8_t* record) {
  for (const LongText& text : file.long_texts) {
    std::string_view value = TextView(record, text.text_offset, kLongTextCharacters);
    for (size_t piece = 0; piece < kLongTextPieces; ++piece) {
      size_t from = piece * kLongTextPieceCharacters;
      std::string_view part =
          from < value.size() ? value.substr(from, kLongTextPieceCharacters) : std::string_view("");
      SetText(record, text.field_offset + piece * (kLongTextPieceCharacters + 1),
              kLongTextPieceCharacters, part);
    }
  }
}

void JoinLongTexts(const FileDescription& file, uint8_t* record) {
  for (const LongText& text : file.long_texts) {
    char joined[kLongTextPieces * kLongTextPieceCharacters];
    size_t size = 0;
    for (size_t piece = 0; piece < kLongTextPieces; ++piece) {
      std::string_view part =
          TextView(record, text.field_offset + piece * (kLongTextPieceCharacters + 1),
                   kLongTextPieceCharacters);
      std::memcpy(joined + size, part.data(), part.size());
      size += part.size();
    }
    SetText(record, text.text_offset, kLongTextCharacters, std::string_view(joined, size));
  }
}

// CLIENT field 84 holds a stamp YYYYMMDDhhmmssmmm: a stamp outside the valid
// range is emptied; then field 84 is made 17 characters and field 82 14.
void CheckClientStamp(const FileDescription& file, uint8_t* record) {
  constexpr int kStampField = 84;
  constexpr int kField82 = 82;
  if (file.field_count() < kStampField) return;
  size_t stamp_offset = FieldOffset(file, kStampField);
  size_t stamp_width = TextWidth(file, kStampField);
  std::string_view stamp = TextView(record, stamp_offset, stamp_width);
  bool blank = stamp.find_first_not_of(' ') == std::string_view::npos;
  if (!blank && (stamp < "20000101000000001" || stamp > "99991231235959001")) {
    record[stamp_offset] = 0;
  }
  PadOrCut(record, stamp_offset, stamp_width, 17);
  PadOrCut(record, FieldOffset(file, kField82), TextWidth(file, kField82), 14);
}

}  // namespace

NormalisedName::NormalisedName(std::string_view text) {
  for (char c : text) {
    char mapped = kNameMap[static_cast<unsigned char>(c)];
    if (mapped == 0) continue;
    if (size_ == sizeof text_) break;
    text_[size_++] = mapped;
  }
}

std::optional<FileId> FindFileByWrittenName(std::string_view written) {
  return FindFileByName(NormalisedName(written).view());
}

SyncOperation OperationFromWord(std::string_view word) {
  NormalisedName name(word);
  if (name.view() == "HAJOUTE") return SyncOperation::kAdd;
  if (name.view() == "HMODIFIE") return SyncOperation::kModify;
  if (name.view() == "HSUPPRIME") return SyncOperation::kDelete;
  return SyncOperation::kRead;
}

void SynchroniseBuffer(std::string_view file, std::string_view operation, bool out_of_file) {
  std::optional<FileId> id = FindFileByWrittenName(file);
  if (!id) return;
  SynchroniseBuffer(*id, OperationFromWord(operation), out_of_file);
}

void SynchroniseBuffer(FileId id, SyncOperation operation, bool out_of_file) {
  SynchroniseBuffer(id, operation, out_of_file, RecordBuffer(id));
}

void SynchroniseBuffer(FileId id, SyncOperation operation, bool out_of_file, uint8_t* record) {
  const FileDescription& file = Describe(id);
  if (!file.in_key_table()) return;
  bool present =
      operation == SyncOperation::kAdd || operation == SyncOperation::kModify || !out_of_file;
  if (operation == SyncOperation::kDelete) present = false;
  if (!present) {
    // Key slot lengths to 0 and everything else with them: the whole buffer.
    std::memset(record, 0, file.buffer_size);
    return;
  }
  if (operation != SyncOperation::kReadSlotsLater) RebuildKeys(file, record);
  if (operation == SyncOperation::kAdd || operation == SyncOperation::kModify) {
    SplitLongTexts(file, record);
  } else {
    JoinLongTexts(file, record);
  }
  if (file.rule == SyncRule::kClientStamp) CheckClientStamp(file, record);
}

void RebuildKeySlotsOf(FileId id, uint8_t* record) {
  const FileDescription& file = Describe(id);
  if (file.in_key_table()) RebuildKeys(file, record);
}

}  // namespace vz::db
