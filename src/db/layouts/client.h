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

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct ClientRecord {
  static constexpr FileId kFile = FileId::CLIENT;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  uint8_t* data;

  // Field 1: the 2-character prefix of the client code.
  std::string_view Prefix() const { return layout::Text<kFile, 1>(data); }
  void SetPrefix(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 2: the 6-character file number of the client code.
  std::string_view FileNumber() const { return layout::Text<kFile, 2>(data); }
  void SetFileNumber(std::string_view v) { layout::SetText<kFile, 2>(data, v); }

  // Field 3: the person digit of the client code, "1" or "2".
  std::string_view PersonDigit() const { return layout::Text<kFile, 3>(data); }
  void SetPersonDigit(std::string_view v) { layout::SetText<kFile, 3>(data, v); }

  // Field 4: the name. A name beginning with "(" or "*" marks a client that
  // the selection skips.
  std::string_view Name() const { return layout::Text<kFile, 4>(data); }
  void SetName(std::string_view v) { layout::SetText<kFile, 4>(data, v); }

  // Field 6: identity text shown by extraction column "0000B".
  std::string_view IdentityTextB() const { return layout::Text<kFile, 6>(data); }
  void SetIdentityTextB(std::string_view v) { layout::SetText<kFile, 6>(data, v); }

  // Fields 7 and 8: the address lines used when the household has no
  // ADRESSES record "001".
  std::string_view AddressLine1() const { return layout::Text<kFile, 7>(data); }
  void SetAddressLine1(std::string_view v) { layout::SetText<kFile, 7>(data, v); }
  std::string_view AddressLine2() const { return layout::Text<kFile, 8>(data); }
  void SetAddressLine2(std::string_view v) { layout::SetText<kFile, 8>(data, v); }

  // Field 9: postcode (same fallback use).
  std::string_view Postcode() const { return layout::Text<kFile, 9>(data); }
  void SetPostcode(std::string_view v) { layout::SetText<kFile, 9>(data, v); }

  // Field 10: city (same fallback use).
  std::string_view City() const { return layout::Text<kFile, 10>(data); }
  void SetCity(std::string_view v) { layout::SetText<kFile, 10>(data, v); }

  // Fields 11 and 12: identity texts of extraction columns "0000F" and "0000G".
  std::string_view IdentityTextF() const { return layout::Text<kFile, 11>(data); }
  void SetIdentityTextF(std::string_view v) { layout::SetText<kFile, 11>(data, v); }
  std::string_view IdentityTextG() const { return layout::Text<kFile, 12>(data); }
  void SetIdentityTextG(std::string_view v) { layout::SetText<kFile, 12>(data, v); }

  // Field 13: family situation code, one of "M", "P", "C", "V", "D", "S", "U", "N".
  std::string_view FamilySituation() const { return layout::Text<kFile, 13>(data); }
  void SetFamilySituation(std::string_view v) { layout::SetText<kFile, 13>(data, v); }

  // Field 14: civility code, "1" Monsieur, "2" Madame, "3" Mademoiselle.
  std::string_view CivilityCode() const { return layout::Text<kFile, 14>(data); }
  void SetCivilityCode(std::string_view v) { layout::SetText<kFile, 14>(data, v); }

  // Field 15: birth date, YYYYMMDD.
  std::string_view BirthDate() const { return layout::Text<kFile, 15>(data); }
  void SetBirthDate(std::string_view v) { layout::SetText<kFile, 15>(data, v); }

  // Field 18: profession code, the CODPROF value searched in PROFES.
  std::string_view ProfessionCode() const { return layout::Text<kFile, 18>(data); }
  void SetProfessionCode(std::string_view v) { layout::SetText<kFile, 18>(data, v); }

  // Field 23: matrimonial regime code, the CODRUBR value searched in ANNEXE.
  std::string_view RegimeCode() const { return layout::Text<kFile, 23>(data); }
  void SetRegimeCode(std::string_view v) { layout::SetText<kFile, 23>(data, v); }

  // Field 38: the client's file number as the adviser typed it (criterion
  // "NUMDOS").
  std::string_view DossierNumber() const { return layout::Text<kFile, 38>(data); }
  void SetDossierNumber(std::string_view v) { layout::SetText<kFile, 38>(data, v); }

  // Field 67: civility written out; when not blank it replaces the word
  // derived from the civility code.
  std::string_view CivilityTitle() const { return layout::Text<kFile, 67>(data); }
  void SetCivilityTitle(std::string_view v) { layout::SetText<kFile, 67>(data, v); }

  // Field 82: a text of 14 characters that the record synchronisation pads
  // or cuts to exactly 14 characters after each read.
  std::string_view Field82() const { return layout::Text<kFile, 82>(data); }
  void SetField82(std::string_view v) { layout::SetText<kFile, 82>(data, v); }

  // Field 84: date and time stamp YYYYMMDDhhmmssmmm, checked by the
  // synchronisation after each read.
  std::string_view UpdateStamp() const { return layout::Text<kFile, 84>(data); }
  void SetUpdateStamp(std::string_view v) { layout::SetText<kFile, 84>(data, v); }

  // Key slot "CODCLI": the 9-character client code rebuilt by the
  // synchronisation from fields 1 to 3.
  std::string_view Codcli() const { return layout::KeySlot<kFile, 0>(data); }
  void SetCodcli(std::string_view v) { layout::SetKeySlot<kFile, 0>(data, v); }
};

// The view on the process-wide CLIENT record buffer.
ClientRecord CurrentClient();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_CLIENT_H_
