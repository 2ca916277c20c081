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

#include "src/db/field_access.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct AddressRecord {
  uint8_t* data;

  static constexpr size_t kPrefixOffset = 0;  // field 1
  static constexpr size_t kPrefixWidth = 2;
  static constexpr size_t kFileNumberOffset = 3;  // field 2
  static constexpr size_t kFileNumberWidth = 6;
  static constexpr size_t kAddressNumberOffset = 10;  // field 3
  static constexpr size_t kAddressNumberWidth = 3;
  static constexpr size_t kLinesOffset = 14;  // field 4: three texts of 70
  static constexpr size_t kLineWidth = 70;
  static constexpr size_t kLineCount = 3;
  static constexpr size_t kPostcodeOffset = 227;  // field 5
  static constexpr size_t kPostcodeWidth = 5;
  static constexpr size_t kCityOffset = 233;  // field 6
  static constexpr size_t kCityWidth = 70;
  static constexpr size_t kCodadrFieldOffset = 432;  // field 13, key "CODADR"
  static constexpr size_t kCodadrSlotOffset = layout::KeySlotOffset(kCodadrFieldOffset, 0);
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodadrFieldOffset, 1);

  // Field 1: prefix of the client code.
  std::string_view Prefix() const { return TextView(data, kPrefixOffset, kPrefixWidth); }
  void SetPrefix(std::string_view v) { SetText(data, kPrefixOffset, kPrefixWidth, v); }

  // Field 2: file number of the client code.
  std::string_view FileNumber() const {
    return TextView(data, kFileNumberOffset, kFileNumberWidth);
  }
  void SetFileNumber(std::string_view v) { SetText(data, kFileNumberOffset, kFileNumberWidth, v); }

  // Field 3: address number, "001" for the mailing address.
  std::string_view AddressNumber() const {
    return TextView(data, kAddressNumberOffset, kAddressNumberWidth);
  }
  void SetAddressNumber(std::string_view v) {
    SetText(data, kAddressNumberOffset, kAddressNumberWidth, v);
  }

  // Field 4: address line `index` (0 to 2) of 70 characters.
  std::string_view Line(size_t index) const {
    return layout::RunTextView(data, kLinesOffset, kLineWidth, kLineCount, index);
  }
  void SetLine(size_t index, std::string_view v) {
    layout::SetRunText(data, kLinesOffset, kLineWidth, kLineCount, index, v);
  }

  // Field 5: postcode.
  std::string_view Postcode() const { return TextView(data, kPostcodeOffset, kPostcodeWidth); }
  void SetPostcode(std::string_view v) { SetText(data, kPostcodeOffset, kPostcodeWidth, v); }

  // Field 6: city.
  std::string_view City() const { return TextView(data, kCityOffset, kCityWidth); }
  void SetCity(std::string_view v) { SetText(data, kCityOffset, kCityWidth, v); }

  // Key slot "CODADR": household code and address number, 11 characters.
  std::string_view Codadr() const {
    return TextView(data, kCodadrSlotOffset, layout::kKeyTextWidth);
  }
  void SetCodadr(std::string_view v) { SetText(data, kCodadrSlotOffset, layout::kKeyTextWidth, v); }
};

// The view on the process-wide ADRESSES record buffer.
AddressRecord CurrentAddress();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_ADRESSES_H_
