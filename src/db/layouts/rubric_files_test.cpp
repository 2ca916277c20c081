// The common rubric head in the fourteen rubric files and the fields of the
// views of single files, and the faults that their places alone do not show.
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
FileProbes HeadProbes() {
  using H = HeadOf<F>;
  return {F,
          {
              Field<H>("1 client code", 1, &H::ClientCode, &H::SetClientCode),
              Field<H>("2 rubric code", 2, &H::RubricCode, &H::SetRubricCode),
              Field<H>("3 key part", 3, &H::KeyPart, &H::SetKeyPart),
              Field<H>("4 amount", 4, &H::Amount, &H::SetAmount),
              KeySlot<H>("key CODCLEF", 0, &H::Codclef, &H::SetCodclef),
          }};
}

// The head of a file, and the fields of its own view, whose CODCLEF must lie
// where the common head puts it.
template <FileId F, class View>
FileProbes OwnProbes(std::vector<FieldProbe> more) {
  FileProbes file = HeadProbes<F>();
  file.probes.push_back(
      KeySlot<View>("key CODCLEF, own view", 0, &View::Codclef, &View::SetCodclef));
  for (FieldProbe& p : more) file.probes.push_back(std::move(p));
  return file;
}

}  // namespace

std::vector<FileProbes> RubricFileProbes() {
  using In = IncomeRecord;
  using Lo = LoanRecord;
  using Re = RentalRecord;
  using Pp = PersonalPensionRecord;
  using Pv = ProvidentRecord;

  std::vector<FieldProbe> provident;
  for (size_t i : {size_t{0}, size_t{6}, size_t{7}}) {
    const std::string n = " element " + std::to_string(i + 1);
    for (FieldProbe& p : std::vector<FieldProbe>{
             Element<Pv>("4 second ratio" + n, 4, i, 8, &Pv::SecondRatio, &Pv::SetSecondRatio),
             Element<Pv>("6 first ratio" + n, 6, i, 8, &Pv::FirstRatio, &Pv::SetFirstRatio),
             Element<Pv>("7 second amount" + n, 7, i, 8, &Pv::SecondAmount, &Pv::SetSecondAmount),
             Element<Pv>("8 first amount" + n, 8, i, 8, &Pv::FirstAmount, &Pv::SetFirstAmount),
         }) {
      provident.push_back(std::move(p));
    }
  }
  return {
      OwnProbes<FileId::REVENUS, In>({
          Field<In>("6 supplement", 6, &In::Supplement, &In::SetSupplement),
          Field<In>("7 status", 7, &In::Status, &In::SetStatus),
          Field<In>("15 second amount", 15, &In::SecondAmount, &In::SetSecondAmount),
          KeySlot<In>("second key", 1, &In::SecondKey, &In::SetSecondKey),
      }),
      OwnProbes<FileId::EMPRUNTS, Lo>({
          Field<Lo>("12 second amount", 12, &Lo::SecondAmount, &Lo::SetSecondAmount),
          Field<Lo>("19 property key", 19, &Lo::PropertyKey, &Lo::SetPropertyKey),
      }),
      HeadProbes<FileId::IMPOTS>(),
      HeadProbes<FileId::IMMOBUSA>(),
      OwnProbes<FileId::IMMORAPP, Re>({
          Field<Re>("6 rent", 6, &Re::Rent, &Re::SetRent),
          Field<Re>("14 charges", 14, &Re::Charges, &Re::SetCharges),
          Field<Re>("15 tax", 15, &Re::Tax, &Re::SetTax),
          Field<Re>("22 loan financed", 22, &Re::LoanFinanced, &Re::SetLoanFinanced),
      }),
      HeadProbes<FileId::FONCIER>(),
      HeadProbes<FileId::VALMOBIL>(),
      HeadProbes<FileId::LIQUIDIT>(),
      HeadProbes<FileId::AUTREVAL>(),
      HeadProbes<FileId::PRIMEUNI>(),
      HeadProbes<FileId::RETRAITE>(),
      OwnProbes<FileId::RETRPERS, Pp>({
          Field<Pp>("11 pension", 11, &Pp::Pension, &Pp::SetPension),
      }),
      HeadProbes<FileId::RETRSOUH>(),
      OwnProbes<FileId::PREVSOUH, Pv>(std::move(provident)),
  };
}

namespace {

TEST(RubricLayoutsTest, TableCoversTheFourteenFilesOnce) {
  std::set<FileId> seen;
  for (const RubricFileLayout& layout : kRubricFiles) {
    EXPECT_TRUE(seen.insert(layout.file).second) << static_cast<int>(layout.file);
  }
  for (const FileProbes& file : RubricFileProbes()) {
    EXPECT_NE(FindRubricFile(file.file), nullptr) << Describe(file.file).name;
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
    EXPECT_EQ(record->codclef_slot_offset, layout.codclef_slot_offset);
  }
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
    std::vector<uint8_t> buffer(Describe(FileId::RETRSOUH).buffer_size, 0);
    RubricRecord record = RubricRecordIn(FileId::RETRSOUH, buffer.data()).value();
    record.SetClientCode(c.code);
    EXPECT_EQ(record.HouseholdCode(), c.household) << c.code;
    EXPECT_EQ(record.OwnerDigit(), c.owner) << c.code;
  }
}

TEST(RubricLayoutsTest, DamagedClientCodeLengthStaysInsideTheField) {
  std::vector<uint8_t> buffer(LoanRecord::kBufferSize, '7');
  buffer[0] = 200;  // the client code's length byte
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
  const FileDescription& valmobil = Describe(FileId::VALMOBIL);
  const size_t slot_end = valmobil.keys[0].slot_offset + kKeySlotSize;
  ASSERT_LT(slot_end, valmobil.buffer_size) << "no fields after the key slot";
  std::vector<uint8_t> buffer(valmobil.buffer_size, 0x5A);
  RubricRecord record = RubricRecordIn(FileId::VALMOBIL, buffer.data()).value();
  record.SetCodclef(std::string(100, 'K'));
  EXPECT_EQ(record.Codclef().size(), 64u);
  for (size_t i = slot_end; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0x5A) << i;
}

}  // namespace
}  // namespace vz::db::testing
