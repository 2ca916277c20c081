// The fields that single rubric files add to the common rubric head
// (rubric_record.h): REVENUS (income), EMPRUNTS (loans), IMMORAPP (rental
// real estate), RETRPERS (personal retirement plans) and PREVSOUH (provident
// cover). The other nine rubric files are read through the common head only.
//
// Each view is a RubricRecord bound to its file's key place; it owns nothing.
// Failure: a damaged length byte reads back clamped; a run index past the end
// of its run reads as 0 and is ignored on writing.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_RUBRIC_FILES_H_
#define VZ_SRC_DB_LAYOUTS_RUBRIC_FILES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/layouts/layout_fields.h"
#include "src/db/layouts/rubric_record.h"

namespace vz::db {

// REVENUS: one record per income line.
struct IncomeRecord : RubricRecord {
  static constexpr size_t kCodclefFieldOffset = 945;  // fields 35 and 36
  static constexpr size_t kSupplementOffset = 55;     // field 6
  static constexpr size_t kStatusOffset = 59;         // field 7
  static constexpr size_t kStatusWidth = 1;
  static constexpr size_t kSecondAmountOffset = 116;  // field 15
  static constexpr size_t kSecondKeySlotOffset = layout::KeySlotOffset(kCodclefFieldOffset, 1);
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodclefFieldOffset, 2);

  explicit IncomeRecord(uint8_t* record) : RubricRecord{record, kCodclefFieldOffset} {}

  // Field 6: a real that the retirement loader adds to the amount (counted as
  // 0 for some professions) and may overwrite in the buffer.
  float Supplement() const { return GetReal(data, kSupplementOffset); }
  void SetSupplement(float v) { SetReal(data, kSupplementOffset, v); }

  // Field 7: one-character status; "V" keeps the record out of the
  // retirement income.
  std::string_view Status() const { return TextView(data, kStatusOffset, kStatusWidth); }
  void SetStatus(std::string_view v) { SetText(data, kStatusOffset, kStatusWidth, v); }

  // Field 15: the second amount of the income line.
  float SecondAmount() const { return GetReal(data, kSecondAmountOffset); }
  void SetSecondAmount(float v) { SetReal(data, kSecondAmountOffset, v); }

  // Second key slot: fields 14 + 1 + 2 + 3 (8 + 9 + 5 + 3 characters).
  std::string_view SecondKey() const {
    return TextView(data, kSecondKeySlotOffset, layout::kKeyTextWidth);
  }
  void SetSecondKey(std::string_view v) {
    SetText(data, kSecondKeySlotOffset, layout::kKeyTextWidth, v);
  }
};

// EMPRUNTS: one record per loan.
struct LoanRecord : RubricRecord {
  static constexpr size_t kCodclefFieldOffset = 3278;  // field 50
  static constexpr size_t kSecondAmountOffset = 80;    // field 12
  static constexpr size_t kPropertyKeyOffset = 113;    // field 19
  static constexpr size_t kPropertyKeyWidth = 17;
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodclefFieldOffset, 1);

  explicit LoanRecord(uint8_t* record) : RubricRecord{record, kCodclefFieldOffset} {}

  // Field 12: the loan's second amount.
  float SecondAmount() const { return GetReal(data, kSecondAmountOffset); }
  void SetSecondAmount(float v) { SetReal(data, kSecondAmountOffset, v); }

  // Field 19: CODCLEF of the IMMORAPP or FONCIER record the loan finances.
  std::string_view PropertyKey() const {
    return TextView(data, kPropertyKeyOffset, kPropertyKeyWidth);
  }
  void SetPropertyKey(std::string_view v) {
    SetText(data, kPropertyKeyOffset, kPropertyKeyWidth, v);
  }
};

// IMMORAPP: one record per rental property.
struct RentalRecord : RubricRecord {
  static constexpr size_t kCodclefFieldOffset = 1599;  // field 77
  static constexpr size_t kRentOffset = 55;            // field 6
  static constexpr size_t kChargesOffset = 86;         // field 14
  static constexpr size_t kTaxOffset = 90;             // field 15
  static constexpr size_t kLoanFinancedOffset = 274;   // field 22
  static constexpr size_t kLoanFinancedWidth = 1;
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodclefFieldOffset, 1);

  explicit RentalRecord(uint8_t* record) : RubricRecord{record, kCodclefFieldOffset} {}

  // Field 6: the rent.
  float Rent() const { return GetReal(data, kRentOffset); }
  void SetRent(float v) { SetReal(data, kRentOffset, v); }

  // Field 14: charges, subtracted from the rent for the net income.
  float Charges() const { return GetReal(data, kChargesOffset); }
  void SetCharges(float v) { SetReal(data, kChargesOffset, v); }

  // Field 15: tax, subtracted from the rent for the net income.
  float Tax() const { return GetReal(data, kTaxOffset); }
  void SetTax(float v) { SetReal(data, kTaxOffset, v); }

  // Field 22: "O" when loans finance the property.
  std::string_view LoanFinanced() const {
    return TextView(data, kLoanFinancedOffset, kLoanFinancedWidth);
  }
  void SetLoanFinanced(std::string_view v) {
    SetText(data, kLoanFinancedOffset, kLoanFinancedWidth, v);
  }
};

// RETRPERS: one record per personal retirement plan.
struct PersonalPensionRecord : RubricRecord {
  static constexpr size_t kCodclefFieldOffset = 1699;  // field 50
  static constexpr size_t kPensionOffset = 78;         // field 11
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodclefFieldOffset, 1);

  explicit PersonalPensionRecord(uint8_t* record) : RubricRecord{record, kCodclefFieldOffset} {}

  // Field 11: the pension that the retirement loader adds up.
  float Pension() const { return GetReal(data, kPensionOffset); }
  void SetPension(float v) { SetReal(data, kPensionOffset, v); }
};

// PREVSOUH: the provident cover of a client, four runs of eight reals of
// which the first seven (the seven covers, death capital to temporary
// incapacity) are read. Field 4 is a run here, so Amount() of the common head
// reads its first element.
struct ProvidentRecord : RubricRecord {
  static constexpr size_t kCodclefFieldOffset = 207;  // field 12
  static constexpr size_t kRunLength = 8;
  static constexpr size_t kSecondRatiosOffset = 20;   // field 4
  static constexpr size_t kFirstRatiosOffset = 62;    // field 6
  static constexpr size_t kSecondAmountsOffset = 94;  // field 7
  static constexpr size_t kFirstAmountsOffset = 126;  // field 8
  static constexpr size_t kBufferSize = layout::AfterKeySlots(kCodclefFieldOffset, 1);

  explicit ProvidentRecord(uint8_t* record) : RubricRecord{record, kCodclefFieldOffset} {}

  // Field 8: first amount of each cover (codes "3300A" to "3300G").
  float FirstAmount(size_t index) const {
    return layout::RunReal(data, kFirstAmountsOffset, kRunLength, index);
  }
  void SetFirstAmount(size_t index, float v) {
    layout::SetRunReal(data, kFirstAmountsOffset, kRunLength, index, v);
  }

  // Field 7: second amount of each cover.
  float SecondAmount(size_t index) const {
    return layout::RunReal(data, kSecondAmountsOffset, kRunLength, index);
  }
  void SetSecondAmount(size_t index, float v) {
    layout::SetRunReal(data, kSecondAmountsOffset, kRunLength, index, v);
  }

  // Field 6: first ratio of each cover to the income (codes "3300H" to "3300N").
  float FirstRatio(size_t index) const {
    return layout::RunReal(data, kFirstRatiosOffset, kRunLength, index);
  }
  void SetFirstRatio(size_t index, float v) {
    layout::SetRunReal(data, kFirstRatiosOffset, kRunLength, index, v);
  }

  // Field 4: second ratio of each cover to the income.
  float SecondRatio(size_t index) const {
    return layout::RunReal(data, kSecondRatiosOffset, kRunLength, index);
  }
  void SetSecondRatio(size_t index, float v) {
    layout::SetRunReal(data, kSecondRatiosOffset, kRunLength, index, v);
  }
};

// Views on the process-wide record buffers of these files.
IncomeRecord CurrentIncome();
LoanRecord CurrentLoan();
RentalRecord CurrentRental();
PersonalPensionRecord CurrentPersonalPension();
ProvidentRecord CurrentProvident();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_RUBRIC_FILES_H_
