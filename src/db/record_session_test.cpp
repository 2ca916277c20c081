// Record sessions against the real engine in a temporary installation: the
// program's session (process-wide buffers) beside a session of its own on the
// runtime's context, which shares the program's files, and the batch guard
// seen from a third, independent context.
#include "src/db/record_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/numbered_fields.h"
#include "tests/support/temporary_installation.h"

namespace vz::db {
namespace {

using vz::testing::GetField;
using vz::testing::KeySlot;
using vz::testing::SetField;

std::vector<uint8_t> Bytes(const uint8_t* record, FileId file) {
  return std::vector<uint8_t>(record, record + Describe(file).buffer_size);
}

// Fills an appointment in `record` (a buffer of RDV).
void FillAppointment(uint8_t* record, std::string_view date, std::string_view time) {
  std::memset(record, 0, Describe(FileId::RDV).buffer_size);
  SetField(record, FileId::RDV, 1, date);
  SetField(record, FileId::RDV, 2, time);
}

class RecordSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(installation_.ready()); }

  vz::testing::TemporaryInstallation installation_{
      "record_session", vz::testing::InstallationOptions().SharedWithRuntime()};
};

TEST_F(RecordSessionTest, TheProgramLeavesAnotherSessionsRecordAndBufferAlone) {
  RecordSession& program = ProgramSession();
  for (std::string_view time : {"0800", "0900", "1000"}) {
    FillAppointment(program.Buffer(FileId::RDV), "20270110", time);
    ASSERT_TRUE(program.Hajoute("RDV"));
  }
  RecordSession own(installation_.runtime_context());
  ASSERT_NE(own.Buffer(FileId::RDV), RecordBuffer(FileId::RDV));
  own.Hlitpremier(FileId::RDV, "KEY1");
  ASSERT_FALSE(own.Hendehors());
  ASSERT_EQ(KeySlot(own.Buffer(FileId::RDV), FileId::RDV), "202701100800");
  const std::vector<uint8_t> own_record = Bytes(own.Buffer(FileId::RDV), FileId::RDV);

  // The program writes, reads to the end of the file and deletes.
  FillAppointment(RecordBuffer(FileId::RDV), "20270111", "0700");
  ASSERT_TRUE(program.Hajoute(FileId::RDV));
  Hlitrecherche("RDV", "KEY1", "20270110");
  for (; !Hendehors(); Hlitsuivant("RDV", "KEY1")) {
  }
  Hlitrecherche("RDV", "KEY1", "202701100900");
  ASSERT_FALSE(Hendehors());
  Hsupprime("RDV");
  Hlitsuivant("RDV", "KEY1");
  ASSERT_EQ(KeySlot(RecordBuffer(FileId::RDV), FileId::RDV), "202701101000");

  // The other session's buffer, state and position did not move: it goes on
  // after its own record (and past the one the program deleted).
  EXPECT_EQ(Bytes(own.Buffer(FileId::RDV), FileId::RDV), own_record);
  EXPECT_FALSE(own.Hendehors());
  std::vector<std::string> rest;
  for (own.Hlitsuivant(FileId::RDV, "KEY1"); !own.Hendehors();
       own.Hlitsuivant(FileId::RDV, "KEY1")) {
    rest.push_back(KeySlot(own.Buffer(FileId::RDV), FileId::RDV));
  }
  EXPECT_EQ(rest, (std::vector<std::string>{"202701101000", "202701110700"}));
  // Its zeroing at the end of the file left the program's current record.
  EXPECT_EQ(KeySlot(RecordBuffer(FileId::RDV), FileId::RDV), "202701101000");
  EXPECT_FALSE(Hendehors());
}

// A loop that reads without building key slots moves as the plain reads do
// and, once it rebuilds them, leaves the very bytes a plain read leaves.
TEST_F(RecordSessionTest, ReadsWithSlotsLaterLeaveThePlainReadsBytesOnceRebuilt) {
  RecordSession& program = ProgramSession();
  for (std::string_view time : {"0800", "0900", "1000"}) {
    FillAppointment(program.Buffer(FileId::RDV), "20270112", time);
    ASSERT_TRUE(program.Hajoute(FileId::RDV));
  }
  std::vector<std::vector<uint8_t>> plain;
  for (program.Hlitrecherche(FileId::RDV, "KEY1", "20270112"); !program.Hendehors();
       program.Hlitsuivant(FileId::RDV, "KEY1")) {
    plain.push_back(Bytes(program.Buffer(FileId::RDV), FileId::RDV));
  }
  ASSERT_EQ(plain.size(), 3u);

  std::vector<std::vector<uint8_t>> later;
  for (program.HlitrechercheSlotsLater(FileId::RDV, "KEY1", "20270112"); !program.Hendehors();
       program.HlitsuivantSlotsLater(FileId::RDV, "KEY1")) {
    uint8_t* record = program.Buffer(FileId::RDV);
    EXPECT_EQ(KeySlot(record, FileId::RDV), "");  // not built
    EXPECT_EQ(GetField(record, FileId::RDV, 1), "20270112");
    program.RebuildKeySlots(FileId::RDV);
    later.push_back(Bytes(record, FileId::RDV));
  }
  EXPECT_EQ(later, plain);
  // Out of the file the buffer is cleared, and stays so.
  program.RebuildKeySlots(FileId::RDV);
  EXPECT_EQ(Bytes(program.Buffer(FileId::RDV), FileId::RDV),
            std::vector<uint8_t>(Describe(FileId::RDV).buffer_size, 0));
}

TEST_F(RecordSessionTest, NamedAndNumberedFilesReachTheSameBuffer) {
  RecordSession own(installation_.runtime_context());
  FillAppointment(own.Buffer(FileId::RDV), "20270301", "1015");
  ASSERT_TRUE(own.Hajoute("rdv"));
  EXPECT_EQ(KeySlot(own.Buffer(FileId::RDV), FileId::RDV), "202703011015");
  own.ClearBuffer(FileId::RDV);
  own.Hlitrecherche("Rdv", "key1", "20270301");
  ASSERT_FALSE(own.Hendehors());
  EXPECT_EQ(GetField(own.Buffer(FileId::RDV), FileId::RDV, 2), "1015");
  EXPECT_GT(own.Hnumenr(FileId::RDV), 0);
  // A name outside the catalogue reaches the engine with no buffer work.
  own.Hlitpremier("NOSUCHFILE", "KEY1");
  EXPECT_TRUE(own.Hendehors());
  EXPECT_EQ(GetField(own.Buffer(FileId::RDV), FileId::RDV, 2), "1015");
}

class RecordBatchTest : public RecordSessionTest {
 protected:
  // A context of its own over the same installation, with its own store: it
  // sees only what the program's context has committed.
  void SetUp() override {
    RecordSessionTest::SetUp();
    other_.DescribeAllFiles();
    ASSERT_NE(other_.Houvreanalyse((installation_.root() / "HSF" / "vestra.wdd").string(), "", "",
                                   "", ""),
              0);
    ASSERT_TRUE(other_.Hsubstrep(kPlaceholderDirectory, installation_.data_directory().string()));
    other_.Hseterrignore(1);
  }
  void TearDown() override {
    other_.Hferme("");
    other_.HftermineCTX();
  }

  void ProgramAdds(std::string_view time) {
    FillAppointment(RecordBuffer(FileId::RDV), "20270501", time);
    ASSERT_TRUE(ProgramSession().Hajoute(FileId::RDV));
  }
  int32_t Count(RecordSession& session) {
    session.Hinfogene("RDV");
    return session.Hnbenr();
  }

  RecordSession other_{CreateEngineContext(kFileCount)};
};

TEST_F(RecordBatchTest, WritesOfTheBatchShowElsewhereOnceTheGuardGoes) {
  ProgramAdds("0800");  // outside any batch: committed at once
  ASSERT_EQ(Count(other_), 1);
  {
    const RecordBatch batch(ProgramSession());
    ProgramAdds("0900");
    ProgramAdds("1000");
    EXPECT_EQ(Count(ProgramSession()), 3);
    EXPECT_EQ(Count(other_), 1) << "the batch is not committed yet";
  }
  EXPECT_EQ(Count(other_), 3);
  other_.Hlitrecherche(FileId::RDV, "KEY1", "202705011000");
  ASSERT_FALSE(other_.Hendehors());
  EXPECT_EQ(GetField(other_.Buffer(FileId::RDV), FileId::RDV, 2), "1000");
}

TEST_F(RecordBatchTest, EndCommitsOnceAndTheGuardDoesNotEndAgain) {
  ProgramAdds("1100");
  RecordBatch batch(ProgramSession());
  ProgramAdds("1200");
  EXPECT_EQ(Count(other_), 1);
  EXPECT_TRUE(batch.End());
  EXPECT_EQ(Count(other_), 2);
  EXPECT_FALSE(batch.End());
  // Writes after the end are not held back.
  ProgramAdds("1300");
  EXPECT_EQ(Count(other_), 3);
}

TEST(RecordSessionWithoutEngineTest, NoContextMeansNoEngineCall) {
  RecordSession none(0);
  EXPECT_FALSE(none.BeginBatch());
  EXPECT_FALSE(none.Hcreation("RDV"));
  EXPECT_FALSE(none.Hferme(""));
  EXPECT_FALSE(none.Hsubstnom("SELECTES", "01000001"));
  EXPECT_EQ(none.Houvreanalyse("missing.wdd", "", "", "", ""), 0);
  none.Hinfogene("RDV");
  EXPECT_EQ(none.Hnbenr(), 0);
  EXPECT_EQ(none.Hnbessais(), 0);
  EXPECT_FALSE(none.EndBatch());
}

}  // namespace
}  // namespace vz::db
