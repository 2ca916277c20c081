// Named fields of SELECTES, the extraction output: one short record per
// selected client, in a file named after the query, read back by the letters
// in the engine's postcode order ("CODPTT"). The program keeps no key for it;
// its buffer is exactly its seven described fields (40 bytes).
//
// SelectedRecord is a view on a record buffer; it owns nothing. Texts are
// cp1252 views into the buffer; writing cuts a text to its field's width
// (the name and the city keep their first 8 characters).
// Failure: a damaged length byte reads back clamped to the field's width.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_SELECTES_H_
#define VZ_SRC_DB_LAYOUTS_SELECTES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct SelectedRecord {
  static constexpr FileId kFile = FileId::SELECTES;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;
  static constexpr size_t kClientCodeWidth = layout::kTextWidth<kFile, 1>;
  static constexpr size_t kNameWidth = layout::kTextWidth<kFile, 2>;

  uint8_t* data;

  // Field 1: the 9-character client code.
  std::string_view ClientCode() const { return layout::Text<kFile, 1>(data); }
  void SetClientCode(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 2: the first 8 characters of the client's name.
  std::string_view Name() const { return layout::Text<kFile, 2>(data); }
  void SetName(std::string_view v) { layout::SetText<kFile, 2>(data, v); }

  // Field 3: postcode of the client's address.
  std::string_view Postcode() const { return layout::Text<kFile, 3>(data); }
  void SetPostcode(std::string_view v) { layout::SetText<kFile, 3>(data, v); }

  // Field 4: the first 8 characters of the city of the client's address.
  std::string_view City() const { return layout::Text<kFile, 4>(data); }
  void SetCity(std::string_view v) { layout::SetText<kFile, 4>(data, v); }

  // Field 5: sequence number of the record within one extraction (2 for the
  // first record written).
  int16_t Sequence() const { return layout::Int16<kFile, 5>(data); }
  void SetSequence(int16_t v) { layout::SetInt16<kFile, 5>(data, v); }

  // Field 6: "E".
  std::string_view Marker() const { return layout::Text<kFile, 6>(data); }
  void SetMarker(std::string_view v) { layout::SetText<kFile, 6>(data, v); }

  // Field 7: an integer this module leaves at 0.
  int16_t LastField() const { return layout::Int16<kFile, 7>(data); }
  void SetLastField(int16_t v) { layout::SetInt16<kFile, 7>(data, v); }
};

// The view on the process-wide SELECTES record buffer.
SelectedRecord CurrentSelected();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_SELECTES_H_
