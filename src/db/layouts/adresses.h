// Named fields of the address file ADRESSES: the mailing addresses of a
// household, keyed by CODADR (prefix + file number + address number,
// 2 + 6 + 3 characters). The program reads address "001".
//
// AddressRecord is a view on a record buffer; it owns nothing. Texts are cp1252
// views into the buffer; writing cuts a text to its field's width.
// Failure: a damaged length byte reads back clamped; an address line index
// other than 0, 1 or 2 reads as empty and is ignored on writing.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_ADRESSES_H_
#define VZ_SRC_DB_LAYOUTS_ADRESSES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct AddressRecord {
  static constexpr FileId kFile = FileId::ADRESSES;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;
  static constexpr size_t kLineCount = 3;  // field 4 holds three texts

  uint8_t* data;

  // Field 1: prefix of the client code.
  std::string_view Prefix() const { return layout::Text<kFile, 1>(data); }
  void SetPrefix(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 2: file number of the client code.
  std::string_view FileNumber() const { return layout::Text<kFile, 2>(data); }
  void SetFileNumber(std::string_view v) { layout::SetText<kFile, 2>(data, v); }

  // Field 3: address number, "001" for the mailing address.
  std::string_view AddressNumber() const { return layout::Text<kFile, 3>(data); }
  void SetAddressNumber(std::string_view v) { layout::SetText<kFile, 3>(data, v); }

  // Field 4: address line `index` (0 to 2) of 70 characters.
  std::string_view Line(size_t index) const {
    return layout::TextAt<kFile, 4, kLineCount>(data, index);
  }
  void SetLine(size_t index, std::string_view v) {
    layout::SetTextAt<kFile, 4, kLineCount>(data, index, v);
  }

  // Field 5: postcode.
  std::string_view Postcode() const { return layout::Text<kFile, 5>(data); }
  void SetPostcode(std::string_view v) { layout::SetText<kFile, 5>(data, v); }

  // Field 6: city.
  std::string_view City() const { return layout::Text<kFile, 6>(data); }
  void SetCity(std::string_view v) { layout::SetText<kFile, 6>(data, v); }

  // Key slot "CODADR": household code and address number, 11 characters.
  std::string_view Codadr() const { return layout::KeySlot<kFile, 0>(data); }
  void SetCodadr(std::string_view v) { layout::SetKeySlot<kFile, 0>(data, v); }
};

// The view on the process-wide ADRESSES record buffer.
AddressRecord CurrentAddress();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_ADRESSES_H_
