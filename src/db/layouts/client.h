// Named fields of the client file CLIENT: one record per person of a
// household, keyed by the client code CODCLI (prefix + file number + person
// digit, 2 + 6 + 1 characters).
//
// ClientRecord is a view on a record buffer; it owns nothing. Texts are cp1252
// and read back as views into the buffer, valid until the buffer changes;
// writing cuts a text to its field's width. Fields without a use in this
// module are not named here and keep whatever the suite's other programs wrote.
// Failure: a damaged length byte reads back clamped to the field's width.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_CLIENT_H_
#define VZ_SRC_DB_LAYOUTS_CLIENT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct ClientRecord {
  uint8_t* data;

  static constexpr size_t kPrefixOffset = 0;  // field 1
  static constexpr size_t kPrefixWidth = 2;
  static constexpr size_t kFileNumberOffset = 3;  // field 2
  static constexpr size_t kFileNumberWidth = 6;
  static constexpr size_t kPersonDigitOffset = 10;  // field 3
  static constexpr size_t kPersonDigitWidth = 1;
  static constexpr size_t kNameOffset = 12;  // field 4
  static constexpr size_t kNameWidth = 20;
  static constexpr size_t kIdentityTextBOffset = 54;  // field 6, column "0000B"
  static constexpr size_t kIdentityTextBWidth = 20;
  static constexpr size_t kAddressLine1Offset = 75;   // field 7
  static constexpr size_t kAddressLine2Offset = 106;  // field 8
  static constexpr size_t kAddressLineWidth = 30;
  static constexpr size_t kPostcodeOffset = 137;  // field 9
  static constexpr size_t kPostcodeWidth = 5;
  static constexpr size_t kCityOffset = 143;  // field 10
  static constexpr size_t kCityWidth = 30;
  static constexpr size_t kIdentityTextFOffset = 174;  // field 11, column "0000F"
  static constexpr size_t kIdentityTextGOffset = 190;  // field 12, column "0000G"
  static constexpr size_t kIdentityTextFGWidth = 15;
  static constexpr size_t kFamilySituationOffset = 206;  // field 13
  static constexpr size_t kFamilySituationWidth = 1;
  static constexpr size_t kCivilityCodeOffset = 208;  // field 14
  static constexpr size_t kCivilityCodeWidth = 1;
  static constexpr size_t kBirthDateOffset = 210;  // field 15
  static constexpr size_t kBirthDateWidth = 8;
  static constexpr size_t kProfessionCodeOffset = 230;  // field 18
  static constexpr size_t kProfessionCodeWidth = 5;
  static constexpr size_t kRegimeCodeOffset = 253;  // field 23
  static constexpr size_t kRegimeCodeWidth = 5;
  static constexpr size_t kDossierNumberOffset = 333;  // field 38
  static constexpr size_t kDossierNumberWidth = 16;
  static constexpr size_t kCivilityTitleOffset = 748;  // field 67
  static constexpr size_t kCivilityTitleWidth = 20;
  static constexpr size_t kField82Offset = 850;  // field 82
  static constexpr size_t kField82Width = 14;
  static constexpr size_t kUpdateStampOffset = 867;  // field 84
  static constexpr size_t kUpdateStampWidth = 17;
  static constexpr size_t kCodcliFieldOffset = 885;  // field 85, key "CODCLI"
  static constexpr size_t kCodcliSlotOffset = layout::KeySlotOffset(kCodcliFieldOffset, 0);
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodcliFieldOffset, 1);

  // Field 1: the 2-character prefix of the client code.
  std::string_view Prefix() const { return TextView(data, kPrefixOffset, kPrefixWidth); }
  void SetPrefix(std::string_view v) { SetText(data, kPrefixOffset, kPrefixWidth, v); }

  // Field 2: the 6-character file number of the client code.
  std::string_view FileNumber() const {
    return TextView(data, kFileNumberOffset, kFileNumberWidth);
  }
  void SetFileNumber(std::string_view v) { SetText(data, kFileNumberOffset, kFileNumberWidth, v); }

  // Field 3: the person digit of the client code, "1" or "2".
  std::string_view PersonDigit() const {
    return TextView(data, kPersonDigitOffset, kPersonDigitWidth);
  }
  void SetPersonDigit(std::string_view v) {
    SetText(data, kPersonDigitOffset, kPersonDigitWidth, v);
  }

  // Field 4: the name. A name beginning with "(" or "*" marks a client that
  // the selection skips.
  std::string_view Name() const { return TextView(data, kNameOffset, kNameWidth); }
  void SetName(std::string_view v) { SetText(data, kNameOffset, kNameWidth, v); }

  // Field 6: identity text shown by extraction column "0000B".
  std::string_view IdentityTextB() const {
    return TextView(data, kIdentityTextBOffset, kIdentityTextBWidth);
  }
  void SetIdentityTextB(std::string_view v) {
    SetText(data, kIdentityTextBOffset, kIdentityTextBWidth, v);
  }

  // Fields 7 and 8: the address lines used when the household has no
  // ADRESSES record "001".
  std::string_view AddressLine1() const {
    return TextView(data, kAddressLine1Offset, kAddressLineWidth);
  }
  void SetAddressLine1(std::string_view v) {
    SetText(data, kAddressLine1Offset, kAddressLineWidth, v);
  }
  std::string_view AddressLine2() const {
    return TextView(data, kAddressLine2Offset, kAddressLineWidth);
  }
  void SetAddressLine2(std::string_view v) {
    SetText(data, kAddressLine2Offset, kAddressLineWidth, v);
  }

  // Field 9: postcode (same fallback use).
  std::string_view Postcode() const { return TextView(data, kPostcodeOffset, kPostcodeWidth); }
  void SetPostcode(std::string_view v) { SetText(data, kPostcodeOffset, kPostcodeWidth, v); }

  // Field 10: city (same fallback use).
  std::string_view City() const { return TextView(data, kCityOffset, kCityWidth); }
  void SetCity(std::string_view v) { SetText(data, kCityOffset, kCityWidth, v); }

  // Fields 11 and 12: identity texts of extraction columns "0000F" and "0000G".
  std::string_view IdentityTextF() const {
    return TextView(data, kIdentityTextFOffset, kIdentityTextFGWidth);
  }
  void SetIdentityTextF(std::string_view v) {
    SetText(data, kIdentityTextFOffset, kIdentityTextFGWidth, v);
  }
  std::string_view IdentityTextG() const {
    return TextView(data, kIdentityTextGOffset, kIdentityTextFGWidth);
  }
  void SetIdentityTextG(std::string_view v) {
    SetText(data, kIdentityTextGOffset, kIdentityTextFGWidth, v);
  }

  // Field 13: family situation code, one of "M", "P", "C", "V", "D", "S", "U", "N".
  std::string_view FamilySituation() const {
    return TextView(data, kFamilySituationOffset, kFamilySituationWidth);
  }
  void SetFamilySituation(std::string_view v) {
    SetText(data, kFamilySituationOffset, kFamilySituationWidth, v);
  }

  // Field 14: civility code, "1" Monsieur, "2" Madame, "3" Mademoiselle.
  std::string_view CivilityCode() const {
    return TextView(data, kCivilityCodeOffset, kCivilityCodeWidth);
  }
  void SetCivilityCode(std::string_view v) {
    SetText(data, kCivilityCodeOffset, kCivilityCodeWidth, v);
  }

  // Field 15: birth date, YYYYMMDD.
  std::string_view BirthDate() const { return TextView(data, kBirthDateOffset, kBirthDateWidth); }
  void SetBirthDate(std::string_view v) { SetText(data, kBirthDateOffset, kBirthDateWidth, v); }

  // Field 18: profession code, the CODPROF value searched in PROFES.
  std::string_view ProfessionCode() const {
    return TextView(data, kProfessionCodeOffset, kProfessionCodeWidth);
  }
  void SetProfessionCode(std::string_view v) {
    SetText(data, kProfessionCodeOffset, kProfessionCodeWidth, v);
  }

  // Field 23: matrimonial regime code, the CODRUBR value searched in ANNEXE.
  std::string_view RegimeCode() const {
    return TextView(data, kRegimeCodeOffset, kRegimeCodeWidth);
  }
  void SetRegimeCode(std::string_view v) { SetText(data, kRegimeCodeOffset, kRegimeCodeWidth, v); }

  // Field 38: the client's file number as the adviser typed it (criterion
  // "NUMDOS").
  std::string_view DossierNumber() const {
    return TextView(data, kDossierNumberOffset, kDossierNumberWidth);
  }
  void SetDossierNumber(std::string_view v) {
    SetText(data, kDossierNumberOffset, kDossierNumberWidth, v);
  }

  // Field 67: civility written out; when not blank it replaces the word
  // derived from the civility code.
  std::string_view CivilityTitle() const {
    return TextView(data, kCivilityTitleOffset, kCivilityTitleWidth);
  }
  void SetCivilityTitle(std::string_view v) {
    SetText(data, kCivilityTitleOffset, kCivilityTitleWidth, v);
  }

  // Field 82: a text of 14 characters that the record synchronisation pads
  // or cuts to exactly 14 characters after each read.
  std::string_view Field82() const { return TextView(data, kField82Offset, kField82Width); }
  void SetField82(std::string_view v) { SetText(data, kField82Offset, kField82Width, v); }

  // Field 84: date and time stamp YYYYMMDDhhmmssmmm, checked by the
  // synchronisation after each read.
  std::string_view UpdateStamp() const {
    return TextView(data, kUpdateStampOffset, kUpdateStampWidth);
  }
  void SetUpdateStamp(std::string_view v) {
    SetText(data, kUpdateStampOffset, kUpdateStampWidth, v);
  }

  // Key slot "CODCLI": the 9-character client code rebuilt by the
  // synchronisation from fields 1 to 3.
  std::string_view Codcli() const {
    return TextView(data, kCodcliSlotOffset, layout::kKeyTextWidth);
  }
  void SetCodcli(std::string_view v) { SetText(data, kCodcliSlotOffset, layout::kKeyTextWidth, v); }
};

// The view on the process-wide CLIENT record buffer.
ClientRecord CurrentClient();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_CLIENT_H_
