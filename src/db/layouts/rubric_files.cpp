#include "src/db/layouts/rubric_files.h"

#include "src/db/record_buffers.h"

namespace vz::db {
namespace {

// Each file's own view must place CODCLEF where the common table does.
template <class View>
constexpr bool AgreesWithTable(FileId file) {
  const int index = RubricFileIndex(file);
  if (index < 0) return false;
  const RubricFileLayout& layout = kRubricFiles[static_cast<size_t>(index)];
  return layout.codclef_field_offset == View::kCodclefFieldOffset &&
         layout.BufferSize() == View::kBufferSize;
}

static_assert(AgreesWithTable<IncomeRecord>(FileId::REVENUS));
static_assert(AgreesWithTable<LoanRecord>(FileId::EMPRUNTS));
static_assert(AgreesWithTable<RentalRecord>(FileId::IMMORAPP));
static_assert(AgreesWithTable<PersonalPensionRecord>(FileId::RETRPERS));
static_assert(AgreesWithTable<ProvidentRecord>(FileId::PREVSOUH));

}  // namespace

IncomeRecord CurrentIncome() {
  return IncomeRecord(RecordBuffer(FileId::REVENUS));
}

LoanRecord CurrentLoan() {
  return LoanRecord(RecordBuffer(FileId::EMPRUNTS));
}

RentalRecord CurrentRental() {
  return RentalRecord(RecordBuffer(FileId::IMMORAPP));
}

PersonalPensionRecord CurrentPersonalPension() {
  return PersonalPensionRecord(RecordBuffer(FileId::RETRPERS));
}

ProvidentRecord CurrentProvident() {
  return ProvidentRecord(RecordBuffer(FileId::PREVSOUH));
}

}  // namespace vz::db
