// An import --replace that meets a failing disk or is killed at any point
// leaves the file it replaces whole: the previous records or the new ones,
// never an emptied or half-filled file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/engine/faulty_storage.h"
#include "platform/engine/process_storage.h"
#include "tests/support/killed_child.h"
#include "tools/datatool/datatool_test_support.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/jsonl_transfer.h"

namespace vz::datatool {
namespace {

using engine::FileFault;
using engine::testing::FaultPlan;
using engine::testing::FaultyStorage;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteText;
using vz::db::FileId;

std::unique_ptr<EngineSession> OpenSession(const std::string& root) {
  Installation installation;
  std::string error;
  EXPECT_TRUE(LocateInstallation(root, &installation, &error)) << error;
  auto session = EngineSession::Open(installation, &error);
  EXPECT_TRUE(session) << error;
  return session;
}

class ImportFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    root_ = dir_.path() + "/installation";
    DemoInstallationOptions options;
    options.data.clients = 80;
    options.data.seed = 5;
    GenerateStats stats;
    std::string error;
    ASSERT_TRUE(CreateDemoInstallation(root_, options, nullptr, &stats, &error)) << error;
    old_ = Records();
    ASSERT_GT(old_.size(), 60u);
    // The new contents: the first 40 clients, exported.
    std::ostringstream out;
    {
      auto session = OpenSession(root_);
      int64_t count = 0;
      ASSERT_TRUE(ExportRecords(*session, FileId::CLIENT, out, &count, &error)) << error;
    }
    std::istringstream lines(out.str());
    std::string line;
    std::string first;
    for (int i = 0; i < 40 && std::getline(lines, line); ++i) first += line + "\n";
    input_ = WriteText(dir_.path() + "/clients.jsonl", first);
    Installation installation;
    ASSERT_TRUE(LocateInstallation(root_, &installation, &error)) << error;
    client_file_ = installation.data_directory + "/CLIENT.vzdb";
  }

  std::vector<std::string> Records() {
    auto session = OpenSession(root_);
    return ReadAll(*session, FileId::CLIENT);
  }

  bool ImportReplacing(std::string* error) {
    auto session = OpenSession(root_);
    ImportReport report;
    return ImportRecords(*session, FileId::CLIENT, input_, true, &report, error);
  }

  TempDir dir_;
  std::string root_;
  std::string input_;
  std::string client_file_;
  std::vector<std::string> old_;
};

TEST_F(ImportFaultsTest, AFaultInTheMiddleKeepsThePreviousRecords) {
  const FileFault faults[] = {FileFault::kFull, FileFault::kReadOnly, FileFault::kIoError,
                              FileFault::kDamaged};
  FaultyStorage faulty(engine::DefaultStorage());
  engine::UseStorage(&faulty);
  for (FileFault fault : faults) {
    SCOPED_TRACE(static_cast<int>(fault));
    // The emptying, then 20 records, then the fault; or the commit itself.
    for (int64_t from : {22, 42}) {
      faulty.Arm(FaultPlan{fault, "CLIENT", from, false, 0});
      std::string error;
      EXPECT_FALSE(ImportReplacing(&error));
      EXPECT_NE(error.find("nothing imported"), std::string::npos) << error;
      EXPECT_NE(error.find("CLIENT: injected"), std::string::npos) << error;
      faulty.Disarm();
      EXPECT_EQ(Records(), old_);
    }
  }
  engine::UseStorage(nullptr);
  std::string error;
  ASSERT_TRUE(ImportReplacing(&error)) << error;
  EXPECT_EQ(Records().size(), 40u);
}

// Runs the import in a child process killed at engine operation `kill_at`
// (0: not killed).
vz::testing::ChildRun ImportKilledAt(const std::string& root, const std::string& input,
                                     int64_t kill_at) {
  return vz::testing::RunInChildKilledAt(kill_at, [&] {
    Installation installation;
    std::string error;
    if (!LocateInstallation(root, &installation, &error)) return 1;
    auto session = EngineSession::Open(installation, &error);
    ImportReport report;
    const bool imported =
        session && ImportRecords(*session, FileId::CLIENT, input, true, &report, &error);
    session.reset();
    return imported ? 0 : 1;
  });
}

TEST_F(ImportFaultsTest, AKilledImportLeavesTheOldRecordsOrTheNewOnes) {
  // A copy of the installation's state before, to put back when the new
  // records won: every kill then starts from the old file.
  const std::string saved = dir_.path() + "/CLIENT.saved";
  {
    std::ifstream in(client_file_, std::ios::binary);
    std::ofstream(saved, std::ios::binary) << in.rdbuf();
  }
  const vz::testing::ChildRun whole = ImportKilledAt(root_, input_, 0);
  ASSERT_FALSE(whole.killed);
  ASSERT_EQ(whole.exit_code, 0);
  const int64_t operations = whole.operations;
  ASSERT_GT(operations, 40);
  const std::vector<std::string> fresh = Records();
  ASSERT_EQ(fresh.size(), 40u);
  const auto restore = [&] {
    std::remove((client_file_ + "-wal").c_str());
    std::remove((client_file_ + "-shm").c_str());
    std::ifstream in(saved, std::ios::binary);
    std::ofstream(client_file_, std::ios::binary | std::ios::trunc) << in.rdbuf();
  };
  restore();
  ASSERT_EQ(Records(), old_);
  // 50 points spread over the whole import, the first and last included.
  constexpr int kPoints = 50;
  int killed = 0;
  for (int i = 0; i < kPoints; ++i) {
    const int64_t at = vz::testing::KillPoint(operations, i, kPoints);
    SCOPED_TRACE(at);
    if (ImportKilledAt(root_, input_, at).killed) ++killed;
    EXPECT_EQ(vz::testing::IntegrityOf(client_file_), "ok");
    const std::vector<std::string> now = Records();
    EXPECT_TRUE(now == old_ || now == fresh) << now.size() << " records";
    if (now == fresh) restore();
  }
  EXPECT_GE(killed, kPoints - 1);
  // And the next import works.
  std::string error;
  ASSERT_TRUE(ImportReplacing(&error)) << error;
  EXPECT_EQ(Records(), fresh);
}

}  // namespace
}  // namespace vz::datatool
