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

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct InterfaceRecord {
  static constexpr FileId kFile = FileId::INTERFA;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  uint8_t* data;

  // Field 1: 14 characters that lead the first key and close MOTCLEF; empty
  // in the records that the letters add.
  std::string_view Field1() const { return layout::Text<kFile, 1>(data); }
  void SetField1(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 2: "EX**" followed by the letter field keyword, 12 characters.
  std::string_view Keyword() const { return layout::Text<kFile, 2>(data); }
  void SetKeyword(std::string_view v) { layout::SetText<kFile, 2>(data, v); }

  // Field 5: piece `index` (0 to 4) of the line text as the engine stores it.
  std::string_view Piece(size_t index) const {
    return layout::TextAt<kFile, 5, layout::kLongTextPieceCount>(data, index);
  }
  void SetPiece(size_t index, std::string_view v) {
    layout::SetTextAt<kFile, 5, layout::kLongTextPieceCount>(data, index, v);
  }

  // First key slot: fields 1 + 2 + 3 + 4 (14 + 12 + 5 + 5 characters).
  std::string_view FirstKey() const { return layout::KeySlot<kFile, 0>(data); }
  void SetFirstKey(std::string_view v) { layout::SetKeySlot<kFile, 0>(data, v); }

  // Key slot "MOTCLEF": fields 2 + 3 + 4 + 1 (12 + 5 + 5 + 14 characters).
  std::string_view Motclef() const { return layout::KeySlot<kFile, 1>(data); }
  void SetMotclef(std::string_view v) { layout::SetKeySlot<kFile, 1>(data, v); }

  // The line text, up to 255 characters: the field value followed by a TAB.
  std::string_view LineText() const { return layout::LongText<kFile>(data); }
  void SetLineText(std::string_view v) { layout::SetLongText<kFile>(data, v); }
};

// The view on the process-wide INTERFA record buffer.
InterfaceRecord CurrentInterface();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_INTERFA_H_
