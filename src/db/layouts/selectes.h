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

#include "src/db/field_access.h"

namespace vz::db {

struct SelectedRecord {
  uint8_t* data;

  static constexpr size_t kClientCodeOffset = 0;  // field 1
  static constexpr size_t kClientCodeWidth = 9;
  static constexpr size_t kNameOffset = 10;  // field 2
  static constexpr size_t kNameWidth = 8;
  static constexpr size_t kPostcodeOffset = 19;  // field 3
  static constexpr size_t kPostcodeWidth = 5;
  static constexpr size_t kCityOffset = 25;  // field 4
  static constexpr size_t kCityWidth = 8;
  static constexpr size_t kSequenceOffset = 34;  // field 5
  static constexpr size_t kMarkerOffset = 36;    // field 6
  static constexpr size_t kMarkerWidth = 1;
  static constexpr size_t kLastFieldOffset = 38;  // field 7
  static constexpr size_t kBufferSize = 40;

  // Field 1: the 9-character client code.
  std::string_view ClientCode() const {
    return TextView(data, kClientCodeOffset, kClientCodeWidth);
  }
  void SetClientCode(std::string_view v) { SetText(data, kClientCodeOffset, kClientCodeWidth, v); }

  // Field 2: the first 8 characters of the client's name.
  std::string_view Name() const { return TextView(data, kNameOffset, kNameWidth); }
  void SetName(std::string_view v) { SetText(data, kNameOffset, kNameWidth, v); }

  // Field 3: postcode of the client's address.
  std::string_view Postcode() const { return TextView(data, kPostcodeOffset, kPostcodeWidth); }
  void SetPostcode(std::string_view v) { SetText(data, kPostcodeOffset, kPostcodeWidth, v); }

  // Field 4: the first 8 characters of the city of the client's address.
  std::string_view City() const { return TextView(data, kCityOffset, kCityWidth); }
  void SetCity(std::string_view v) { SetText(data, kCityOffset, kCityWidth, v); }

  // Field 5: sequence number of the record within one extraction (2 for the
  // first record written).
  int16_t Sequence() const { return GetInt16(data, kSequenceOffset); }
  void SetSequence(int16_t v) { SetInt16(data, kSequenceOffset, v); }

  // Field 6: "E".
  std::string_view Marker() const { return TextView(data, kMarkerOffset, kMarkerWidth); }
  void SetMarker(std::string_view v) { SetText(data, kMarkerOffset, kMarkerWidth, v); }

  // Field 7: an integer this module leaves at 0.
  int16_t LastField() const { return GetInt16(data, kLastFieldOffset); }
  void SetLastField(int16_t v) { SetInt16(data, kLastFieldOffset, v); }
};

// The view on the process-wide SELECTES record buffer.
SelectedRecord CurrentSelected();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_SELECTES_H_
