#include "src/db/layouts/rubric_files.h"

#include "src/db/record_buffers.h"

namespace vz::db {

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
