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

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct QueryLineRecord {
  static constexpr FileId kFile = FileId::REQUETES;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  uint8_t* data;

  // Field 1: query code prefix, "01" in every record this module writes.
  std::string_view Prefix() const { return layout::Text<kFile, 1>(data); }
  void SetPrefix(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 2: the six characters of the query number.
  std::string_view Number() const { return layout::Text<kFile, 2>(data); }
  void SetNumber(std::string_view v) { layout::SetText<kFile, 2>(data, v); }

  // Field 3: the 12-character criteria key ("TITRE*******", "RUBRIQUE****",
  // a criteria code).
  std::string_view CriteriaKey() const { return layout::Text<kFile, 3>(data); }
  void SetCriteriaKey(std::string_view v) { layout::SetText<kFile, 3>(data, v); }
  // The 12th character of the criteria key: the person rule of the rubric
  // loaders ("1" own person and joint records, "2" whole household), NUL when
  // the key is shorter.
  char PersonRule() const {
    return layout::CharAt(CriteriaKey(), layout::kTextWidth<kFile, 3> - 1);
  }
  // A rubric line lists a rubric to extract: its key begins "RUBRIQUE" and
  // its 12th character is the person rule ("RUBRIQUE****", "RUBRIQUE***2").
  // Such lines belong to the rubric choice window, never to the criteria.
  bool IsRubricLine() const { return CriteriaKey().substr(0, 8) == "RUBRIQUE"; }

  // Field 6: piece `index` (0 to 4) of the line text as the engine stores it.
  std::string_view Piece(size_t index) const {
    return layout::TextAt<kFile, 6, layout::kLongTextPieceCount>(data, index);
  }
  void SetPiece(size_t index, std::string_view v) {
    layout::SetTextAt<kFile, 6, layout::kLongTextPieceCount>(data, index, v);
  }

  // Field 7: state of the query, " " when saved, "O" after a selection run.
  std::string_view State() const { return layout::Text<kFile, 7>(data); }
  void SetState(std::string_view v) { layout::SetText<kFile, 7>(data, v); }

  // Field 8: "E" in every record this module writes.
  std::string_view Marker() const { return layout::Text<kFile, 8>(data); }
  void SetMarker(std::string_view v) { layout::SetText<kFile, 8>(data, v); }

  // Key slot "CODREQ" / "codreq": query code + criteria key, 20 characters.
  std::string_view Codreq() const { return layout::KeySlot<kFile, 0>(data); }
  void SetCodreq(std::string_view v) { layout::SetKeySlot<kFile, 0>(data, v); }

  // Key slot "codreq1": prefix + criteria key, 14 characters.
  std::string_view Codreq1() const { return layout::KeySlot<kFile, 1>(data); }
  void SetCodreq1(std::string_view v) { layout::SetKeySlot<kFile, 1>(data, v); }

  // The line text, up to 255 characters, whose elements are separated by TAB.
  std::string_view LineText() const { return layout::LongText<kFile>(data); }
  void SetLineText(std::string_view v) { layout::SetLongText<kFile>(data, v); }
};

// The view on the process-wide REQUETES record buffer.
QueryLineRecord CurrentQueryLine();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_REQUETES_H_
