// Faults of data files kept per context apart from "out of file", the
// identity of a file, cancelled batches, and the fault-injecting storage.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/faulty_storage.h"
#include "platform/engine/le_api.h"
#include "platform/engine/pg_test_support.h"
#include "platform/engine/process_storage.h"

namespace vz::engine::testing {
namespace {

// The faults of SQLite files (damaged pages, a file in another's place, the
// injecting wrapper over the SQLite storage); the server's faults are in
// pg_storage_test.cpp. A cancelled batch runs on both stores.
class EngineFaultTest : public EngineTest {
 protected:
  void SetUp() override {
    if (EngineTestsOnServer()) GTEST_SKIP() << "SQLite files only";
    EngineTest::SetUp();
  }
  FileFault LastFault(std::string* file = nullptr, std::string* reason = nullptr) {
    char name[64] = {};
    char path[512] = {};
    char why[512] = {};
    const int32_t kind =
        LE_LastFileError(ctx_, name, sizeof name, path, sizeof path, why, sizeof why);
    if (file != nullptr) *file = name;
    if (reason != nullptr) *reason = why;
    return static_cast<FileFault>(kind);
  }
  void Replace(const std::string& path, const std::string& bytes) {
    std::remove((path + "-wal").c_str());
    std::remove((path + "-shm").c_str());
    WriteFile(path, bytes);
  }
};

TEST_F(EngineFaultTest, OutOfFileIsNoFaultButAnUnusableFileIs) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  // A search past the last record, a missing file: out of file, no fault.
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "99", 0), 0);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0), 0);
  EXPECT_EQ(LastFault(), FileFault::kNone);
  // A text file in place of REVENUS: the same results, but a fault naming it.
  LE_Hferme(ctx_, "");
  Replace(DataPath("REVENUS.vzdb"), std::string(4096, 'x'));
  EXPECT_EQ(LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0), 0);
  std::string file;
  EXPECT_EQ(LastFault(&file), FileFault::kUnusable);
  EXPECT_EQ(file, "REVENUS");
  // Kept until cleared, also when later calls succeed; met again after.
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(LastFault(), FileFault::kUnusable);
  EXPECT_EQ(LE_ClearFileError(ctx_), 1);
  EXPECT_EQ(LastFault(), FileFault::kNone);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 0);
  EXPECT_EQ(LastFault(), FileFault::kUnusable);
}

TEST_F(EngineFaultTest, TheFaultBelongsToTheContextWhoseCallMetIt) {
  Record client{{3, 7, 2, 11, 21, 2}, "111412"};
  Record revenus{{10, 6, 4, 2, 19}, "11124"};
  const int32_t other = OpenSecondContext(true, &client, &revenus);
  ASSERT_GT(other, 0);
  LE_Hferme(ctx_, "");
  Replace(DataPath("CLIENT.vzdb"), "not a database at all, only text");
  EXPECT_EQ(LE_Hlitpremier(other, "CLIENT", "CODCLI", 0), 0);
  EXPECT_NE(LE_LastFileError(other, nullptr, 0, nullptr, 0, nullptr, 0), 0);
  EXPECT_EQ(LastFault(), FileFault::kNone);
  LE_HftermineCTX(other);
}

TEST_F(EngineFaultTest, ZeroedPagesMakeReadsFailWithADamagedFault) {
  // Enough records for several pages of 32 KiB, then every page but the
  // first zeroed: the file opens, its reads meet the damage.
  LE_BeginBatch(ctx_);
  for (int i = 0; i < 3000; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%09d", 10000000 + i);
    ASSERT_TRUE(AddRevenu(code, "40001", "001", static_cast<int16_t>(i)));
  }
  ASSERT_EQ(LE_EndBatch(ctx_), 1);
  LE_Hferme(ctx_, "");
  const std::string path = DataPath("REVENUS.vzdb");
  std::string bytes = ReadFile(path);
  ASSERT_GT(bytes.size(), 4u * 32768);
  for (std::size_t at = 32768; at < bytes.size(); ++at) bytes[at] = '\0';
  Replace(path, bytes);
  int32_t read = LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0);
  int records = 0;
  while (read != 0 && records < 5000) {
    ++records;
    read = LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0);
  }
  EXPECT_LT(records, 3000);
  const FileFault fault = LastFault();
  EXPECT_TRUE(fault == FileFault::kDamaged || fault == FileFault::kUnusable)
      << static_cast<int>(fault);
}

TEST_F(EngineFaultTest, AFileHoldingAnotherFilesRecordsIsRefused) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_TRUE(AddRevenu("010000011", "40001", "001", 5));
  LE_Hferme(ctx_, "");
  const std::string revenus = ReadFile(DataPath("REVENUS.vzdb"));
  Replace(DataPath("CLIENT.vzdb"), revenus);  // REVENUS copied over CLIENT
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
  std::string reason;
  EXPECT_EQ(LastFault(nullptr, &reason), FileFault::kUnusable);
  EXPECT_NE(reason.find("REVENUS"), std::string::npos) << reason;
  EXPECT_EQ(LE_Hajoute(ctx_, "CLIENT", 0), 0);
  EXPECT_EQ(LE_Hcreation(ctx_, "CLIENT"), 0);
  LE_Hferme(ctx_, "");
  // Neither adopted nor re-keyed: the bytes are those of the copy.
  EXPECT_EQ(ReadFile(DataPath("CLIENT.vzdb")), revenus);
}

using EngineBatchTest = EngineTest;

TEST_F(EngineBatchTest, ACancelledBatchKeepsTheRecordsAnEmptyingRemoved) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_TRUE(AddClient("010000021", "B"));
  ASSERT_EQ(LE_BeginBatch(ctx_), 1);
  ASSERT_EQ(LE_Hcreation(ctx_, "CLIENT"), 1);
  ASSERT_TRUE(AddClient("010000031", "C"));
  EXPECT_EQ(Count("CLIENT"), 1);  // the batch reads what it wrote
  ASSERT_EQ(LE_CancelBatch(ctx_), 1);
  EXPECT_EQ(Count("CLIENT"), 2);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000011");
  // A file first made inside a cancelled batch is written again afterwards.
  ASSERT_EQ(LE_BeginBatch(ctx_), 1);
  ASSERT_TRUE(AddRevenu("010000011", "40001", "001", 5));
  ASSERT_EQ(LE_CancelBatch(ctx_), 1);
  EXPECT_EQ(Count("REVENUS"), 0);
  EXPECT_TRUE(AddRevenu("010000011", "40001", "001", 5));
  EXPECT_EQ(Count("REVENUS"), 1);
}

TEST_F(EngineFaultTest, InjectedFaultsFailTheOperationsTheyName) {
  struct Case {
    FileFault fault;
    bool reads_fail;
  } cases[] = {{FileFault::kFull, false},
               {FileFault::kReadOnly, false},
               {FileFault::kIoError, true},
               {FileFault::kDamaged, true}};
  ASSERT_TRUE(AddClient("010000011", "A"));
  FaultyStorage faulty(DefaultStorage());
  UseStorage(&faulty);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    LE_Hferme(ctx_, "");
    LE_ClearFileError(ctx_);
    faulty.Arm(FaultPlan{c.fault, "CLIENT", 1, false, 0});
    EXPECT_FALSE(AddClient("010000021", "B"));
    EXPECT_EQ(LastFault(), c.fault);
    EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), c.reads_fail ? 0 : 1);
    ASSERT_TRUE(AddRevenu("010000011", "40001", "001", 5));  // another file works
    faulty.Disarm();
    EXPECT_EQ(Count("CLIENT"), 1);
  }
  LE_Hferme(ctx_, "");
  UseStorage(nullptr);
}

}  // namespace
}  // namespace vz::engine::testing
