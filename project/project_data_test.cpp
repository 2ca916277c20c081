// The project's data access against the real engine in a temporary
// installation: the program's context (record_ops, process-wide buffers) and
// the runtime's context (its own record session and buffers) share one store, as
// LE_Hinitpartage makes them at start-up.
#include "project/project_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/numbered_fields.h"
#include "tests/support/temporary_installation.h"

namespace vz::project {
namespace {

using db::FileId;
using vz::testing::GetField;
using vz::testing::KeySlot;
using vz::testing::LongText;
using vz::testing::SetField;
using vz::testing::SetLongText;

bool AllZero(const uint8_t* record, size_t size) {
  return std::all_of(record, record + size, [](uint8_t b) { return b == 0; });
}
std::string Pattern(size_t n) {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

class ProjectDataTest : public ::testing::Test {
 protected:
  // As at start-up: the program's context shares the runtime's.
  void SetUp() override { ASSERT_TRUE(installation_.ready()); }

  // The program adds an appointment from its process-wide buffer.
  void ProgramAdds(std::string_view date, std::string_view time, std::string_view subject) {
    uint8_t* record = db::RecordBuffer(FileId::RDV);
    std::memset(record, 0, db::RecordBufferSize(FileId::RDV));
    SetField(record, FileId::RDV, 1, date);
    SetField(record, FileId::RDV, 2, time);
    SetLongText(record, FileId::RDV, subject, 0);
    db::Hajoute("RDV");
  }

  vz::testing::TemporaryInstallation installation_{
      "project_data", vz::testing::InstallationOptions().SharedWithRuntime()};
};

TEST_F(ProjectDataTest, WhatTheProgramWritesWindowCodeReadsWithItsOwnBufferAndPosition) {
  ProgramAdds("20270110", "0900", "first");
  ProgramAdds("20270105", "1400", "earliest");
  ProgramAdds("20270120", "0800", Pattern(200));

  db::RecordSession data(installation_.runtime_context());
  // The program reads the first record and stays on it.
  db::Hlitpremier("RDV", "KEY1");
  ASSERT_FALSE(db::Hendehors());
  const std::vector<uint8_t> program_buffer(
      db::RecordBuffer(FileId::RDV),
      db::RecordBuffer(FileId::RDV) + db::RecordBufferSize(FileId::RDV));

  // Window code walks the whole file in key order with its own buffer.
  std::vector<std::string> seen;
  for (data.Hlitpremier(FileId::RDV, "KEY1"); !data.Hendehors();
       data.Hlitsuivant(FileId::RDV, "KEY1")) {
    seen.push_back(KeySlot(data.Buffer(FileId::RDV), FileId::RDV));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"202701051400", "202701100900", "202701200800"}));
  // Out of file after the walk: the project's buffer is zeroed...
  EXPECT_TRUE(AllZero(data.Buffer(FileId::RDV), data.BufferSize(FileId::RDV)));
  // ...while the program's buffer, position and state are untouched.
  EXPECT_FALSE(db::Hendehors());
  EXPECT_EQ(std::vector<uint8_t>(db::RecordBuffer(FileId::RDV),
                                 db::RecordBuffer(FileId::RDV) + db::RecordBufferSize(FileId::RDV)),
            program_buffer);
  db::Hlitsuivant("RDV", "KEY1");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(KeySlot(db::RecordBuffer(FileId::RDV), FileId::RDV), "202701100900");

  // A long text written by the program is joined back in the project's buffer.
  data.Hlitrecherche(FileId::RDV, "KEY1", "20270120");
  ASSERT_FALSE(data.Hendehors());
  EXPECT_EQ(LongText(data.Buffer(FileId::RDV), FileId::RDV, 0), Pattern(200));
}

TEST_F(ProjectDataTest, WritesFromWindowCodeAreSeenByTheProgram) {
  db::RecordSession data(installation_.runtime_context());
  uint8_t* record = data.Buffer(FileId::RDV);
  data.ClearBuffer(FileId::RDV);
  SetField(record, FileId::RDV, 1, "20270301");
  SetField(record, FileId::RDV, 2, "1015");
  SetLongText(record, FileId::RDV, Pattern(120), 0);
  SetLongText(record, FileId::RDV, "notes", 1);
  ASSERT_TRUE(data.Hajoute(FileId::RDV));
  EXPECT_EQ(KeySlot(record, FileId::RDV), "202703011015");

  db::Hlitrecherche("RDV", "KEY1", "202703011015");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(LongText(db::RecordBuffer(FileId::RDV), FileId::RDV, 0), Pattern(120));
  EXPECT_EQ(LongText(db::RecordBuffer(FileId::RDV), FileId::RDV, 1), "notes");

  // Modify the record read by window code; then delete it.
  data.Hlitrecherche(FileId::RDV, "KEY1", "202703011015");
  ASSERT_FALSE(data.Hendehors());
  EXPECT_GT(data.Hnumenr(FileId::RDV), 0);
  SetField(record, FileId::RDV, 2, "1130");
  ASSERT_TRUE(data.Hmodifie(FileId::RDV));
  db::Hlitpremier("RDV", "KEY1");
  EXPECT_EQ(GetField(db::RecordBuffer(FileId::RDV), FileId::RDV, 2), "1130");
  ASSERT_TRUE(data.Hsupprime(FileId::RDV));
  EXPECT_TRUE(AllZero(record, data.BufferSize(FileId::RDV)));
  EXPECT_EQ(data.Hnumenr(FileId::RDV), 0);
  db::Hlitpremier("RDV", "KEY1");
  EXPECT_TRUE(db::Hendehors());
}

TEST_F(ProjectDataTest, LayoutAccessorsApplyToTheProjectsBuffers) {
  db::RecordSession data(installation_.runtime_context());
  db::QueryLineRecord line{data.Buffer(FileId::REQUETES)};
  data.ClearBuffer(FileId::REQUETES);
  line.SetPrefix("01");
  line.SetNumber("000042");
  line.SetCriteriaKey("TITRE*******");
  line.SetLineText("Clients du Sud");
  ASSERT_TRUE(data.Hajoute(FileId::REQUETES));
  db::Hlitrecherche("REQUETES", "CODREQ", "01000042");
  ASSERT_FALSE(db::Hendehors());
  db::QueryLineRecord program_line{db::RecordBuffer(FileId::REQUETES)};
  EXPECT_EQ(program_line.LineText(), "Clients du Sud");
}

TEST_F(ProjectDataTest, HostileCallsFailQuietly) {
  db::RecordSession data(installation_.runtime_context());
  // A search past every key, an unknown key name, a value with a NUL and a
  // value longer than the engine takes: out of file, buffer zeroed, no crash.
  ProgramAdds("20270110", "0900", "only");
  const std::string long_value(400, '9');
  struct Case {
    std::string key;
    std::string value;
  };
  for (const Case& c : {Case{"KEY1", "99999999"}, Case{"NOSUCHKEY", "2027"},
                        Case{"KEY1", std::string("2027\0"
                                                 "0110",
                                                 9)},
                        Case{"KEY1", long_value}}) {
    std::memset(data.Buffer(FileId::RDV), 0x5A, data.BufferSize(FileId::RDV));
    data.Hlitrecherche(FileId::RDV, c.key, c.value);
    if (data.Hendehors()) {
      EXPECT_TRUE(AllZero(data.Buffer(FileId::RDV), data.BufferSize(FileId::RDV))) << c.key;
    } else {
      // The NUL cuts the value: "2027" finds the one record, whole.
      EXPECT_EQ(KeySlot(data.Buffer(FileId::RDV), FileId::RDV), "202701100900");
    }
  }
  // Modify and delete with no current record are refused.
  data.Hlitrecherche(FileId::RDV, "KEY1", "99999999");
  EXPECT_FALSE(data.Hmodifie(FileId::RDV));
  EXPECT_FALSE(data.Hsupprime(FileId::RDV));
  db::Hinfogene("RDV");
  EXPECT_EQ(db::Hnbenr(), 1);
}

TEST(ProjectDataWithoutEngineTest, NoContextMeansOutOfFileAndRefusedWrites) {
  db::RecordSession data(0);
  std::memset(data.Buffer(FileId::RDV), 0x77, data.BufferSize(FileId::RDV));
  data.Hlitpremier(FileId::RDV, "KEY1");
  EXPECT_TRUE(data.Hendehors());
  EXPECT_TRUE(AllZero(data.Buffer(FileId::RDV), data.BufferSize(FileId::RDV)));
  EXPECT_FALSE(data.Hajoute(FileId::RDV));
  EXPECT_FALSE(data.Hmodifie(FileId::RDV));
  EXPECT_FALSE(data.Hsupprime(FileId::RDV));
  EXPECT_EQ(data.Hnumenr(FileId::RDV), 0);
}

TEST(ProjectDataRegistryTest, OneFacilityPerContext) {
  EXPECT_EQ(&ProjectDataForContext(901), &ProjectDataForContext(901));
  EXPECT_NE(&ProjectDataForContext(901), &ProjectDataForContext(902));
  EXPECT_EQ(ProjectDataForContext(902).engine_context(), 902);
}

}  // namespace
}  // namespace vz::project
