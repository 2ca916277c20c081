// Named fields of the interface file INTERFA, through which the letters hand
// the field values of one client to the word-processing merge: one record per
// letter field, field 2 = "EX**" + the field keyword, line text = the value
// followed by a TAB. The letters find and delete these records through the
// key "MOTCLEF".
//
// The program works with the line text kept after the two key slots; the
// engine stores it as five pieces of 51 characters (field 5), which the record
// synchronisation splits and joins. InterfaceRecord is a view on a record
// buffer; it owns nothing. Texts are cp1252 views into the buffer; writing
// cuts a text to its field's width.
// Failure: a damaged length byte reads back clamped; a piece index past 4
// reads as empty and is ignored on writing.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_INTERFA_H_
#define VZ_SRC_DB_LAYOUTS_INTERFA_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct InterfaceRecord {
  uint8_t* data;

  static constexpr size_t kField1Offset = 0;  // field 1
  static constexpr size_t kField1Width = 14;
  static constexpr size_t kKeywordOffset = 15;  // field 2
  static constexpr size_t kKeywordWidth = 12;
  static constexpr size_t kPiecesOffset = 40;     // field 5: five texts of 51
  static constexpr size_t kKeyFieldOffset = 316;  // fields 10 and 11
  static constexpr size_t kFirstKeySlotOffset = layout::KeySlotOffset(kKeyFieldOffset, 0);
  static constexpr size_t kMotclefSlotOffset = layout::KeySlotOffset(kKeyFieldOffset, 1);
  static constexpr size_t kLineTextOffset = layout::AfterKeySlots(kKeyFieldOffset, 2);
  static constexpr size_t kBufferSize = kLineTextOffset + layout::kLongTextBytes;

  // Field 1: 14 characters that lead the first key and close MOTCLEF; empty
  // in the records that the letters add.
  std::string_view Field1() const { return TextView(data, kField1Offset, kField1Width); }
  void SetField1(std::string_view v) { SetText(data, kField1Offset, kField1Width, v); }

  // Field 2: "EX**" followed by the letter field keyword, 12 characters.
  std::string_view Keyword() const { return TextView(data, kKeywordOffset, kKeywordWidth); }
  void SetKeyword(std::string_view v) { SetText(data, kKeywordOffset, kKeywordWidth, v); }

  // Field 5: piece `index` (0 to 4) of the line text as the engine stores it.
  std::string_view Piece(size_t index) const {
    return layout::RunTextView(data, kPiecesOffset, layout::kLongTextPieceWidth,
                               layout::kLongTextPieceCount, index);
  }
  void SetPiece(size_t index, std::string_view v) {
    layout::SetRunText(data, kPiecesOffset, layout::kLongTextPieceWidth,
                       layout::kLongTextPieceCount, index, v);
  }

  // First key slot: fields 1 + 2 + 3 + 4 (14 + 12 + 5 + 5 characters).
  std::string_view FirstKey() const {
    return TextView(data, kFirstKeySlotOffset, layout::kKeyTextWidth);
  }
  void SetFirstKey(std::string_view v) {
    SetText(data, kFirstKeySlotOffset, layout::kKeyTextWidth, v);
  }

  // Key slot "MOTCLEF": fields 2 + 3 + 4 + 1 (12 + 5 + 5 + 14 characters).
  std::string_view Motclef() const {
    return TextView(data, kMotclefSlotOffset, layout::kKeyTextWidth);
  }
  void SetMotclef(std::string_view v) {
    SetText(data, kMotclefSlotOffset, layout::kKeyTextWidth, v);
  }

  // The line text, up to 255 characters: the field value followed by a TAB.
  std::string_view LineText() const {
    return TextView(data, kLineTextOffset, layout::kLongTextWidth);
  }
  void SetLineText(std::string_view v) {
    SetText(data, kLineTextOffset, layout::kLongTextWidth, v);
  }
};

// The view on the process-wide INTERFA record buffer.
InterfaceRecord CurrentInterface();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_INTERFA_H_
