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

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"
#include "src/db/layouts/rubric_record.h"

namespace vz::db {

// REVENUS: one record per income line.
struct IncomeRecord : RubricRecord {
  static constexpr FileId kFile = FileId::REVENUS;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;
  static constexpr size_t kSecondAmountOffset = layout::kFieldOffset<kFile, 15, '4'>;

  explicit IncomeRecord(uint8_t* record) : RubricRecord{record, layout::kKeySlotOffset<kFile, 0>} {}

  // Field 6: a real that the retirement loader adds to the amount (counted as
  // 0 for some professions) and may overwrite in the buffer.
  float Supplement() const { return layout::Real<kFile, 6>(data); }
  void SetSupplement(float v) { layout::SetReal<kFile, 6>(data, v); }

  // Field 7: one-character status; "V" keeps the record out of the
  // retirement income.
  std::string_view Status() const { return layout::Text<kFile, 7>(data); }
  void SetStatus(std::string_view v) { layout::SetText<kFile, 7>(data, v); }

  // Field 15: the second amount of the income line.
  float SecondAmount() const { return layout::Real<kFile, 15>(data); }
  void SetSecondAmount(float v) { layout::SetReal<kFile, 15>(data, v); }

  // Second key slot: fields 14 + 1 + 2 + 3 (8 + 9 + 5 + 3 characters).
  std::string_view SecondKey() const { return layout::KeySlot<kFile, 1>(data); }
  void SetSecondKey(std::string_view v) { layout::SetKeySlot<kFile, 1>(data, v); }
};

// EMPRUNTS: one record per loan.
struct LoanRecord : RubricRecord {
  static constexpr FileId kFile = FileId::EMPRUNTS;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;
  static constexpr size_t kSecondAmountOffset = layout::kFieldOffset<kFile, 12, '4'>;

  explicit LoanRecord(uint8_t* record) : RubricRecord{record, layout::kKeySlotOffset<kFile, 0>} {}

  // Field 12: the loan's second amount.
  float SecondAmount() const { return layout::Real<kFile, 12>(data); }
  void SetSecondAmount(float v) { layout::SetReal<kFile, 12>(data, v); }

  // Field 19: CODCLEF of the IMMORAPP or FONCIER record the loan finances.
  std::string_view PropertyKey() const { return layout::Text<kFile, 19>(data); }
  void SetPropertyKey(std::string_view v) { layout::SetText<kFile, 19>(data, v); }
};

// IMMORAPP: one record per rental property.
struct RentalRecord : RubricRecord {
  static constexpr FileId kFile = FileId::IMMORAPP;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  explicit RentalRecord(uint8_t* record) : RubricRecord{record, layout::kKeySlotOffset<kFile, 0>} {}

  // Field 6: the rent.
  float Rent() const { return layout::Real<kFile, 6>(data); }
  void SetRent(float v) { layout::SetReal<kFile, 6>(data, v); }

  // Field 14: charges, subtracted from the rent for the net income.
  float Charges() const { return layout::Real<kFile, 14>(data); }
  void SetCharges(float v) { layout::SetReal<kFile, 14>(data, v); }

  // Field 15: tax, subtracted from the rent for the net income.
  float Tax() const { return layout::Real<kFile, 15>(data); }
  void SetTax(float v) { layout::SetReal<kFile, 15>(data, v); }

  // Field 22: "O" when loans finance the property.
  std::string_view LoanFinanced() const { return layout::Text<kFile, 22>(data); }
  void SetLoanFinanced(std::string_view v) { layout::SetText<kFile, 22>(data, v); }
};

// RETRPERS: one record per personal retirement plan.
struct PersonalPensionRecord : RubricRecord {
  static constexpr FileId kFile = FileId::RETRPERS;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  explicit PersonalPensionRecord(uint8_t* record)
      : RubricRecord{record, layout::kKeySlotOffset<kFile, 0>} {}

  // Field 11: the pension that the retirement loader adds up.
  float Pension() const { return layout::Real<kFile, 11>(data); }
  void SetPension(float v) { layout::SetReal<kFile, 11>(data, v); }
};

// PREVSOUH: the provident cover of a client, four runs of eight reals of
// which the first seven (the seven covers, death capital to temporary
// incapacity) are read. Field 4 is a run here, so Amount() of the common head
// reads its first element.
struct ProvidentRecord : RubricRecord {
  static constexpr FileId kFile = FileId::PREVSOUH;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  explicit ProvidentRecord(uint8_t* record)
      : RubricRecord{record, layout::kKeySlotOffset<kFile, 0>} {}

  // Field 8: first amount of each cover (codes "3300A" to "3300G").
  float FirstAmount(size_t index) const { return layout::RealAt<kFile, 8>(data, index); }
  void SetFirstAmount(size_t index, float v) { layout::SetRealAt<kFile, 8>(data, index, v); }

  // Field 7: second amount of each cover.
  float SecondAmount(size_t index) const { return layout::RealAt<kFile, 7>(data, index); }
  void SetSecondAmount(size_t index, float v) { layout::SetRealAt<kFile, 7>(data, index, v); }

  // Field 6: first ratio of each cover to the income (codes "3300H" to "3300N").
  float FirstRatio(size_t index) const { return layout::RealAt<kFile, 6>(data, index); }
  void SetFirstRatio(size_t index, float v) { layout::SetRealAt<kFile, 6>(data, index, v); }

  // Field 4: second ratio of each cover to the income.
  float SecondRatio(size_t index) const { return layout::RealAt<kFile, 4>(data, index); }
  void SetSecondRatio(size_t index, float v) { layout::SetRealAt<kFile, 4>(data, index, v); }
};

// Views on the process-wide record buffers of these files.
IncomeRecord CurrentIncome();
LoanRecord CurrentLoan();
RentalRecord CurrentRental();
PersonalPensionRecord CurrentPersonalPension();
ProvidentRecord CurrentProvident();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_RUBRIC_FILES_H_
