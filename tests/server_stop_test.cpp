// The database server stopped in the middle of a run: a generated
// installation on a PostgreSQL cluster of the test's own (scripts/pg-cluster.sh,
// not the shared fixture's, which other tests use at the same time), a
// selection with its extraction run once, then run again while the server
// is stopped at once (as a crash or a power cut would) after a few progress
// steps. The run stops with one French error box saying the server no longer
// answers, the previous selection and merge files stay whole under their
// names, no other file is left in the data directory, and once the server is
// back the same program runs the selection again and gets the same file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/engine/pg_test_support.h"
#include "platform/os/cp1252.h"
#include "platform/os/profile_file.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/selection/selection_run.h"
#include "src/selection/selection_run_test_support.h"
#include "src/util/run_log.h"
#include "tests/support/file_bytes.h"
#include "tests/support/recording_runtime.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/store_transfer.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using vz::testing::FileBytes;
using vz::testing::RecordingRuntime;

constexpr char kQuery[] = "01000001";

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A throwaway cluster of this test, in its own state folder.
class OwnCluster {
 public:
  explicit OwnCluster(fs::path state) : state_(std::move(state)) {
    started_ = Script("start");
    std::ifstream in(state_ / "conninfo");
    std::getline(in, conninfo_);
  }
  ~OwnCluster() { Script("stop"); }
  bool started() const { return started_ && !conninfo_.empty(); }
  const std::string& conninfo() const { return conninfo_; }
  bool Halt() { return Script("halt"); }
  bool Resume() { return Script("resume"); }

 private:
  bool Script(const char* command) {
    const std::string line = "cd / && bash " VZ_SOURCE_DIR "/scripts/pg-cluster.sh " +
                             std::string(command) + " " + state_.string();
    return std::system(line.c_str()) == 0;
  }
  fs::path state_;
  std::string conninfo_;
  bool started_ = false;
};

class ServerStopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (engine::testing::TestServerConninfo().empty()) {
      GTEST_SKIP() << "no PostgreSQL server for the tests (VZ_TEST_PG, ctest fixture "
                      "vz_pg_cluster)";
    }
    std::string pattern = (fs::temp_directory_path() / "vz_srvstop_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    cluster_ = std::make_unique<OwnCluster>(folder_ / "pg");
    ASSERT_TRUE(cluster_->started()) << "the test's own cluster does not start";

    datatool::DemoInstallationOptions options;
    options.data.clients = 1500;
    options.data.seed = 21;
    options.data.queries = true;
    std::string error;
    datatool::GenerateStats stats;
    const std::string root = (folder_ / "suite").string();
    ASSERT_TRUE(datatool::CreateDemoInstallation(root, options, nullptr, &stats, &error)) << error;
    ASSERT_TRUE(datatool::LocateInstallation(root, &installation_, &error)) << error;
    ASSERT_TRUE(os::WriteProfileString(installation_.parameter_file, "COMPOSANTS", "CONNEXIONBASE",
                                       cluster_->conninfo()));
    std::ostringstream copied;
    ASSERT_TRUE(datatool::CopyInstallation(installation_, datatool::CopyDirection::kToServer,
                                           copied, &error))
        << error;
    ASSERT_TRUE(os::WriteProfileString(installation_.parameter_file, "COMPOSANTS", "BASEDONNEES",
                                       "POSTGRESQL"));
    ASSERT_TRUE(datatool::UseInstallationStore(installation_, &error)) << error;
    RecordingRuntime::Get().Reset();
  }
  void TearDown() override {
    database_.reset();
    std::string error;
    if (!installation_.parameter_file.empty()) {
      os::WriteProfileString(installation_.parameter_file, "COMPOSANTS", "BASEDONNEES", "SQLITE");
      datatool::UseInstallationStore(installation_, &error);
    }
    cluster_.reset();
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }

  // The error boxes shown since the last Reset.
  static std::vector<std::string> Errors() {
    std::vector<std::string> errors;
    for (const std::string& command : RecordingRuntime::Get().Commands()) {
      if (command.starts_with("Erreur,")) errors.push_back(command);
    }
    return errors;
  }

  fs::path Data() const { return installation_.data_directory; }

  fs::path folder_;
  std::unique_ptr<OwnCluster> cluster_;
  datatool::Installation installation_;
  std::unique_ptr<selection::SelectionTestDatabase> database_;
};

TEST_F(ServerStopTest, ARunStoppedByTheServerSaysSoKeepsItsFilesAndTheNextRunWorks) {
  database_ =
      std::make_unique<selection::SelectionTestDatabase>(installation_.analysis_file, Data());
  ASSERT_TRUE(selection::RunSelection(kQuery));
  outputs::RunExtractionDispatch(kQuery);
  const std::string selection = FileBytes(Data() / "01000001.EXT");
  const std::string merge = FileBytes(Data() / "01000001.MEM");
  ASSERT_FALSE(selection.empty());
  ASSERT_FALSE(merge.empty());
  const std::set<std::string> files = FileNames(Data());
  ASSERT_TRUE(Errors().empty());

  // The server goes at the third progress step of the next run.
  RecordingRuntime::Get().Reset();
  int steps = 0;
  bool halted = false;
  RecordingRuntime::Get().SetCommandHook([&](const std::string& command) {
    if (command == "EXECUTE,NbTraite.entree" && ++steps == 3) halted = cluster_->Halt();
  });
  EXPECT_FALSE(selection::RunSelection(kQuery));
  RecordingRuntime::Get().SetCommandHook(nullptr);
  ASSERT_TRUE(halted) << "the server was not stopped during the run (" << steps << " steps)";
  const std::vector<std::string> errors = Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(os::Cp1252("le serveur de base de données ne répond plus")),
            std::string::npos)
      << errors[0];
  EXPECT_EQ(FileBytes(Data() / "01000001.EXT"), selection);
  EXPECT_EQ(FileBytes(Data() / "01000001.MEM"), merge);
  // The run log says what happened; nothing else changed.
  const std::string log = fs::path(util::RunLogPath(Data().string())).filename().string();
  std::set<std::string> after = FileNames(Data());
  std::set<std::string> before = files;
  after.erase(log);
  before.erase(log);
  const std::string run_log = FileBytes(util::RunLogPath(Data().string()));
  // Which file meets the lost server first depends on what the run had read ahead.
  EXPECT_NE(run_log.find("le serveur de base de données ne répond plus"), std::string::npos)
      << run_log;
  EXPECT_EQ(after, before) << "nothing half-written left in the data directory";

  // The server is back: the same program runs again.
  ASSERT_TRUE(cluster_->Resume());
  RecordingRuntime::Get().Reset();
  ASSERT_TRUE(selection::RunSelection(kQuery)) << (Errors().empty() ? "" : Errors()[0]);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(FileBytes(Data() / "01000001.EXT"), selection);
  outputs::RunExtractionDispatch(kQuery);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(FileBytes(Data() / "01000001.MEM"), merge);
}

}  // namespace
}  // namespace vz
