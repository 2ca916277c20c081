// Field tables of the fourteen rubric files, as the layouts give them,
// checked against the common rubric head and the views of single files.
#include "src/db/layouts/rubric_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/layouts/rubric_record.h"
#include "src/db/record_buffers.h"

namespace vz::db::testing {
namespace {

// The common head of file F, reached the way callers reach it.
template <FileId F>
struct HeadOf : RubricRecord {
  explicit HeadOf(uint8_t* d) : RubricRecord(RubricRecordIn(F, d).value()) {}
};

template <FileId F>
FileProbes HeadProbes(const char* name, size_t buffer_size, size_t codclef_slot) {
  using H = HeadOf<F>;
  return {F,
          name,
          buffer_size,
          {
              Text<H>("1 client code", 1, 0, 9, &H::ClientCode, &H::SetClientCode),
              Text<H>("2 rubric code", 2, 10, 5, &H::RubricCode, &H::SetRubricCode),
              Text<H>("3 key part", 3, 16, 3, &H::KeyPart, &H::SetKeyPart),
              Real<H>("4 amount", 4, 20, &H::Amount, &H::SetAmount),
              KeySlot<H>("key CODCLEF", 0, codclef_slot, &H::Codclef, &H::SetCodclef),
          }};
}

void Add(FileProbes& file, std::vector<FieldProbe> more) {
  for (FieldProbe& p : more) file.probes.push_back(std::move(p));
}

}  // namespace

std::vector<FileProbes> RubricFileProbes() {
  using In = IncomeRecord;
  using Lo = LoanRecord;
  using Re = RentalRecord;
  using Pp = PersonalPensionRecord;
  using Pv = ProvidentRecord;

  FileProbes revenus = HeadProbes<FileId::REVENUS>("REVENUS", 1076, 946);
  Add(revenus, {
                   Real<In>("6 supplement", 6, 55, &In::Supplement, &In::SetSupplement),
                   Text<In>("7 status", 7, 59, 1, &In::Status, &In::SetStatus),
                   Real<In>("15 second amount", 15, 116, &In::SecondAmount, &In::SetSecondAmount),
                   KeySlot<In>("key CODCLEF, own view", 0, 946, &In::Codclef, &In::SetCodclef),
                   KeySlot<In>("second key", 1, 1011, &In::SecondKey, &In::SetSecondKey),
               });
  FileProbes emprunts = HeadProbes<FileId::EMPRUNTS>("EMPRUNTS", 3344, 3279);
  Add(emprunts, {
                    Real<Lo>("12 second amount", 12, 80, &Lo::SecondAmount, &Lo::SetSecondAmount),
                    Text<Lo>("19 property key", 19, 113, 17, &Lo::PropertyKey, &Lo::SetPropertyKey),
                    KeySlot<Lo>("key CODCLEF, own view", 0, 3279, &Lo::Codclef, &Lo::SetCodclef),
                });
  FileProbes immorapp = HeadProbes<FileId::IMMORAPP>("IMMORAPP", 1665, 1600);
  Add(immorapp,
      {
          Real<Re>("6 rent", 6, 55, &Re::Rent, &Re::SetRent),
          Real<Re>("14 charges", 14, 86, &Re::Charges, &Re::SetCharges),
          Real<Re>("15 tax", 15, 90, &Re::Tax, &Re::SetTax),
          Text<Re>("22 loan financed", 22, 274, 1, &Re::LoanFinanced, &Re::SetLoanFinanced),
          KeySlot<Re>("key CODCLEF, own view", 0, 1600, &Re::Codclef, &Re::SetCodclef),
      });
  FileProbes retrpers = HeadProbes<FileId::RETRPERS>("RETRPERS", 1765, 1700);
  Add(retrpers, {
                    Real<Pp>("11 pension", 11, 78, &Pp::Pension, &Pp::SetPension),
                    KeySlot<Pp>("key CODCLEF, own view", 0, 1700, &Pp::Codclef, &Pp::SetCodclef),
                });
  FileProbes prevsouh = HeadProbes<FileId::PREVSOUH>("PREVSOUH", 273, 208);
  for (size_t i : {size_t{0}, size_t{6}, size_t{7}}) {
    const std::string n = " element " + std::to_string(i + 1);
    const size_t at = 4 * i;
    Add(prevsouh,
        {
            RealAt<Pv>("4 second ratio" + n, 4, i, 20 + at, &Pv::SecondRatio, &Pv::SetSecondRatio),
            RealAt<Pv>("6 first ratio" + n, 6, i, 62 + at, &Pv::FirstRatio, &Pv::SetFirstRatio),
            RealAt<Pv>("7 second amount" + n, 7, i, 94 + at, &Pv::SecondAmount,
                       &Pv::SetSecondAmount),
            RealAt<Pv>("8 first amount" + n, 8, i, 126 + at, &Pv::FirstAmount, &Pv::SetFirstAmount),
        });
  }
  Add(prevsouh, {KeySlot<Pv>("key CODCLEF, own view", 0, 208, &Pv::Codclef, &Pv::SetCodclef)});

  return {
      revenus,
      emprunts,
      HeadProbes<FileId::IMPOTS>("IMPOTS", 934, 869),
      HeadProbes<FileId::IMMOBUSA>("IMMOBUSA", 1581, 1516),
      immorapp,
      HeadProbes<FileId::FONCIER>("FONCIER", 1405, 1340),
      HeadProbes<FileId::VALMOBIL>("VALMOBIL", 2401, 1386),
      HeadProbes<FileId::LIQUIDIT>("LIQUIDIT", 2330, 2265),
      HeadProbes<FileId::AUTREVAL>("AUTREVAL", 1390, 1325),
      HeadProbes<FileId::PRIMEUNI>("PRIMEUNI", 2513, 2448),
      HeadProbes<FileId::RETRAITE>("RETRAITE", 190, 125),
      retrpers,
      HeadProbes<FileId::RETRSOUH>("RETRSOUH", 156, 91),
      prevsouh,
  };
}

namespace {

TEST(RubricLayoutsTest, EveryNamedFieldSitsAtItsOffset) {
  for (const FileProbes& file : RubricFileProbes()) {
    SCOPED_TRACE(file.name);
    for (const FieldProbe& probe : file.probes) CheckProbe(probe, file.buffer_size);
  }
}

TEST(RubricLayoutsTest, TableCoversTheFourteenFilesOnce) {
  std::set<FileId> seen;
  for (const RubricFileLayout& layout : kRubricFiles) {
    EXPECT_TRUE(seen.insert(layout.file).second) << static_cast<int>(layout.file);
  }
  for (const FileProbes& file : RubricFileProbes()) {
    SCOPED_TRACE(file.name);
    const RubricFileLayout* layout = FindRubricFile(file.file);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->BufferSize(), file.buffer_size);
    EXPECT_EQ(RecordBufferSize(file.file), file.buffer_size);
  }
  EXPECT_EQ(seen.size(), RubricFileProbes().size());
}

// Asking for the rubric head of a file that has none is refused, not
// answered with a view at a wrong place.
TEST(RubricLayoutsTest, FilesOutsideTheRubricsGetNoView) {
  uint8_t buffer[8] = {};
  for (FileId file : {FileId::CLIENT, FileId::CLIPART, FileId::REQUETES, FileId::RUBRIQUE,
                      FileId::PREVSOC, FileId::RETSURCO, FileId::TARIF, FileId::CAISSRET}) {
    EXPECT_EQ(FindRubricFile(file), nullptr) << static_cast<int>(file);
    EXPECT_FALSE(RubricRecordIn(file, buffer).has_value()) << static_cast<int>(file);
    EXPECT_FALSE(CurrentRubricRecord(file).has_value()) << static_cast<int>(file);
  }
}

TEST(RubricLayoutsTest, CurrentViewsUseTheProcessWideBuffers) {
  for (const RubricFileLayout& layout : kRubricFiles) {
    const std::optional<RubricRecord> record = CurrentRubricRecord(layout.file);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->data, RecordBuffer(layout.file));
    EXPECT_EQ(record->codclef_field_offset, layout.codclef_field_offset);
  }
  EXPECT_EQ(CurrentIncome().data, RecordBuffer(FileId::REVENUS));
  EXPECT_EQ(CurrentLoan().data, RecordBuffer(FileId::EMPRUNTS));
  EXPECT_EQ(CurrentRental().data, RecordBuffer(FileId::IMMORAPP));
  EXPECT_EQ(CurrentPersonalPension().data, RecordBuffer(FileId::RETRPERS));
  EXPECT_EQ(CurrentProvident().data, RecordBuffer(FileId::PREVSOUH));
}

// The household is characters 1 to 8 of the client code and the owner digit
// character 9, whatever the code holds.
TEST(RubricLayoutsTest, HouseholdAndOwnerComeFromTheClientCode) {
  struct Case {
    std::string code;
    std::string household;
    char owner;
  };
  const Case cases[] = {
      {"010001231", "01000123", '1'},
      {"010001233", "01000123", '3'},
      {"01000123", "01000123", '\0'},
      {"0100", "0100", '\0'},
      {"", "", '\0'},
      {"0100012324", "01000123", '2'},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> buffer(156, 0);
    RubricRecord record = RubricRecordIn(FileId::RETRSOUH, buffer.data()).value();
    record.SetClientCode(c.code);
    EXPECT_EQ(record.HouseholdCode(), c.household) << c.code;
    EXPECT_EQ(record.OwnerDigit(), c.owner) << c.code;
  }
}

TEST(RubricLayoutsTest, DamagedClientCodeLengthStaysInsideTheField) {
  std::vector<uint8_t> buffer(LoanRecord::kBufferSize, '7');
  buffer[RubricRecord::kClientCodeOffset] = 200;
  LoanRecord loan(buffer.data());
  EXPECT_EQ(loan.ClientCode(), "777777777");
  EXPECT_EQ(loan.OwnerDigit(), '7');
  // The rubric code's own length byte is the byte after the client code.
  EXPECT_EQ(loan.RubricCode(), "77777");
}

TEST(RubricLayoutsTest, ProvidentRunIndexOutsideTheRunIsHarmless) {
  for (size_t bad : {size_t{8}, size_t{9}, std::numeric_limits<size_t>::max()}) {
    std::vector<uint8_t> buffer(ProvidentRecord::kBufferSize, 0x5A);
    const std::vector<uint8_t> before = buffer;
    ProvidentRecord provident(buffer.data());
    provident.SetFirstAmount(bad, 1.0f);
    provident.SetSecondAmount(bad, 1.0f);
    provident.SetFirstRatio(bad, 1.0f);
    provident.SetSecondRatio(bad, 1.0f);
    EXPECT_EQ(buffer, before) << "index " << bad;
    EXPECT_EQ(provident.FirstAmount(bad), 0.0f);
    EXPECT_EQ(provident.SecondRatio(bad), 0.0f);
  }
}

// VALMOBIL keeps fields after its key slot; the key never reaches them.
TEST(RubricLayoutsTest, ValmobilKeySlotStopsBeforeTheTrailingFields) {
  std::vector<uint8_t> buffer(2401, 0x5A);
  RubricRecord record = RubricRecordIn(FileId::VALMOBIL, buffer.data()).value();
  record.SetCodclef(std::string(100, 'K'));
  EXPECT_EQ(record.Codclef().size(), 64u);
  for (size_t i = 1451; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0x5A) << i;
}

}  // namespace
}  // namespace vz::db::testing
