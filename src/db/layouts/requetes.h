// Named fields of the query file REQUETES. A query is a group of records
// sharing one query code (prefix "01" + a 6-character number): the title
// record (criteria key "TITRE*******"), one record per criterion and the
// rubric lines (criteria key beginning "RUBRIQUE"). Each record carries a
// line text of up to 255 characters.
//
// The program works with the line text kept after the two key slots; the
// engine stores it as five pieces of 51 characters (field 6), which the record
// synchronisation splits and joins. QueryLineRecord is a view on a record
// buffer; it owns nothing. Texts are cp1252 views into the buffer; writing
// cuts a text to its field's width.
// Failure: a damaged length byte reads back clamped; a piece index past 4
// reads as empty and is ignored on writing.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_REQUETES_H_
#define VZ_SRC_DB_LAYOUTS_REQUETES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct QueryLineRecord {
  uint8_t* data;

  static constexpr size_t kPrefixOffset = 0;  // field 1
  static constexpr size_t kPrefixWidth = 2;
  static constexpr size_t kNumberOffset = 3;  // field 2
  static constexpr size_t kNumberWidth = 6;
  static constexpr size_t kCriteriaKeyOffset = 10;  // field 3
  static constexpr size_t kCriteriaKeyWidth = 12;
  static constexpr size_t kPiecesOffset = 35;  // field 6: five texts of 51
  static constexpr size_t kStateOffset = 295;  // field 7
  static constexpr size_t kStateWidth = 1;
  static constexpr size_t kMarkerOffset = 297;  // field 8
  static constexpr size_t kMarkerWidth = 1;
  static constexpr size_t kKeyFieldOffset = 301;  // fields 10 and 11
  static constexpr size_t kCodreqSlotOffset = layout::KeySlotOffset(kKeyFieldOffset, 0);
  static constexpr size_t kCodreq1SlotOffset = layout::KeySlotOffset(kKeyFieldOffset, 1);
  static constexpr size_t kLineTextOffset = layout::AfterKeySlots(kKeyFieldOffset, 2);
  static constexpr size_t kBufferSize = kLineTextOffset + layout::kLongTextBytes;

  // Field 1: query code prefix, "01" in every record this module writes.
  std::string_view Prefix() const { return TextView(data, kPrefixOffset, kPrefixWidth); }
  void SetPrefix(std::string_view v) { SetText(data, kPrefixOffset, kPrefixWidth, v); }

  // Field 2: the six characters of the query number.
  std::string_view Number() const { return TextView(data, kNumberOffset, kNumberWidth); }
  void SetNumber(std::string_view v) { SetText(data, kNumberOffset, kNumberWidth, v); }

  // Field 3: the 12-character criteria key ("TITRE*******", "RUBRIQUE****",
  // a criteria code).
  std::string_view CriteriaKey() const {
    return TextView(data, kCriteriaKeyOffset, kCriteriaKeyWidth);
  }
  void SetCriteriaKey(std::string_view v) {
    SetText(data, kCriteriaKeyOffset, kCriteriaKeyWidth, v);
  }
  // The 12th character of the criteria key: the person rule of the rubric
  // loaders ("1" own person and joint records, "2" whole household), NUL when
  // the key is shorter.
  char PersonRule() const { return layout::CharAt(CriteriaKey(), kCriteriaKeyWidth - 1); }
  // A rubric line lists a rubric to extract: its key begins "RUBRIQUE" and
  // its 12th character is the person rule ("RUBRIQUE****", "RUBRIQUE***2").
  // Such lines belong to the rubric choice window, never to the criteria.
  bool IsRubricLine() const { return CriteriaKey().substr(0, 8) == "RUBRIQUE"; }

  // Field 6: piece `index` (0 to 4) of the line text as the engine stores it.
  std::string_view Piece(size_t index) const {
    return layout::RunTextView(data, kPiecesOffset, layout::kLongTextPieceWidth,
                               layout::kLongTextPieceCount, index);
  }
  void SetPiece(size_t index, std::string_view v) {
    layout::SetRunText(data, kPiecesOffset, layout::kLongTextPieceWidth,
                       layout::kLongTextPieceCount, index, v);
  }

  // Field 7: state of the query, " " when saved, "O" after a selection run.
  std::string_view State() const { return TextView(data, kStateOffset, kStateWidth); }
  void SetState(std::string_view v) { SetText(data, kStateOffset, kStateWidth, v); }

  // Field 8: "E" in every record this module writes.
  std::string_view Marker() const { return TextView(data, kMarkerOffset, kMarkerWidth); }
  void SetMarker(std::string_view v) { SetText(data, kMarkerOffset, kMarkerWidth, v); }

  // Key slot "CODREQ" / "codreq": query code + criteria key, 20 characters.
  std::string_view Codreq() const {
    return TextView(data, kCodreqSlotOffset, layout::kKeyTextWidth);
  }
  void SetCodreq(std::string_view v) { SetText(data, kCodreqSlotOffset, layout::kKeyTextWidth, v); }

  // Key slot "codreq1": prefix + criteria key, 14 characters.
  std::string_view Codreq1() const {
    return TextView(data, kCodreq1SlotOffset, layout::kKeyTextWidth);
  }
  void SetCodreq1(std::string_view v) {
    SetText(data, kCodreq1SlotOffset, layout::kKeyTextWidth, v);
  }

  // The line text, up to 255 characters, whose elements are separated by TAB.
  std::string_view LineText() const {
    return TextView(data, kLineTextOffset, layout::kLongTextWidth);
  }
  void SetLineText(std::string_view v) {
    SetText(data, kLineTextOffset, layout::kLongTextWidth, v);
  }
};

// The view on the process-wide REQUETES record buffer.
QueryLineRecord CurrentQueryLine();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_REQUETES_H_
