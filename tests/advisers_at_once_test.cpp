// Four advisers' programs, each a process of its own, on one installation
// whose files are on the test server:
//   - one runs the selection of the income query with its extraction, again
//     and again, keeping each selection and merge file;
//   - one saves new queries (numbers from the database's counter) and
//     deletes them, then tries to rewrite the query another adviser holds;
//   - one imports client records with `vzdata import`, several times;
//   - one holds a query's title record in an open batch for a while.
// Every selection and merge file equals the one computed alone on a snapshot
// (the same installation in SQLite before the move; the imported clients
// have no income, so no run may select them), no query number is given
// twice, the held record is tried again and then reported locked as the
// engine reports a locked record, and afterwards every file of the server
// passes the store's own check and holds what was written.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/le_api.h"
#include "platform/engine/pg_storage.h"
#include "platform/engine/pg_test_support.h"
#include "platform/engine/store_copy.h"
#include "platform/os/profile_file.h"
#include "src/db/file_error_report.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/queries/query_records.h"
#include "src/selection/expansion.h"
#include "src/selection/selection_run.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/file_bytes.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/store_transfer.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using vz::testing::FileBytes;
using Clock = std::chrono::steady_clock;

constexpr char kQuery[] = "01000001";      // selected and extracted in a loop
constexpr char kHeldQuery[] = "01000005";  // its title record held in a batch
constexpr int kSelectionRuns = 4;
constexpr int kSavedQueries = 25;
constexpr int kImports = 3;
constexpr int kImportedPerRun = 20;
constexpr int kHoldSeconds = 3;

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool WaitFor(const fs::path& flag, int seconds) {
  const auto until = Clock::now() + std::chrono::seconds(seconds);
  while (!fs::exists(flag)) {
    if (Clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Starts `body` in a process of its own; its exit status is what it returns
// (a failure is also written to <folder>/<name>.err).
pid_t Start(const fs::path& folder, const std::string& name, std::function<std::string()> body) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  std::string failure;
  try {
    failure = body();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  if (!failure.empty()) WriteText(folder / (name + ".err"), failure + "\n");
  ::_exit(failure.empty() ? 0 : 1);
}

// The status of a process started by Start: "" when it ended well.
std::string Finish(pid_t pid, const fs::path& folder, const std::string& name) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return name + ": not waited for";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
  return name + ": " + FileBytes(folder / (name + ".err"));
}

// This process's engine over the installation's store.
std::unique_ptr<selection::SelectionTestDatabase> Open(const datatool::Installation& paths) {
  std::string error;
  if (!datatool::UseInstallationStore(paths, &error)) throw std::runtime_error(error);
  return std::make_unique<selection::SelectionTestDatabase>(paths.analysis_file,
                                                            paths.data_directory);
}

// What the store's own check finds wrong in the server's files ("" when
// every file is sound).
std::string ServerFileProblems(const datatool::Installation& paths, const std::string& conninfo) {
  engine::AnalysisError analysis_error;
  const std::optional<engine::Analysis> analysis =
      engine::LoadAnalysis(paths.analysis_file, &analysis_error);
  if (!analysis) return "analysis: " + analysis_error.message;
  engine::PgStorage server(conninfo);
  std::vector<std::string> skipped;
  std::string why;
  const std::vector<engine::StoredFile> files =
      engine::ServerFiles(server, *analysis, &skipped, &why);
  if (!why.empty()) return why;
  if (files.size() < 5) return "only " + std::to_string(files.size()) + " files on the server";
  std::string problems;
  for (const engine::StoredFile& file : files) {
    std::unique_ptr<engine::DataFile> opened;
    if (server.Open(server.Locate("", file.physical_name), *file.entry, false, engine::Attempts{},
                    &opened, &why) != engine::Storage::OpenResult::kOpen) {
      problems += file.physical_name + ": " + why + "; ";
      continue;
    }
    std::vector<std::string> found;
    if (!opened->CheckIntegrity(&found)) {
      for (const std::string& p : found) problems += file.physical_name + ": " + p + "; ";
    }
  }
  return problems;
}

class AdvisersAtOnceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (engine::testing::TestServerConninfo().empty()) {
      GTEST_SKIP() << "no PostgreSQL server for the tests (VZ_TEST_PG, ctest fixture "
                      "vz_pg_cluster)";
    }
    schema_ = std::make_unique<engine::testing::TestSchema>();
    ASSERT_TRUE(schema_->ok());
    std::string pattern = (fs::temp_directory_path() / "vz_advisers_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    datatool::DemoInstallationOptions options;
    options.data.clients = 400;
    options.data.seed = 31;
    options.data.queries = true;
    std::string error;
    datatool::GenerateStats stats;
    const std::string root = (folder_ / "suite").string();
    ASSERT_TRUE(datatool::CreateDemoInstallation(root, options, nullptr, &stats, &error)) << error;
    ASSERT_TRUE(datatool::LocateInstallation(root, &paths_, &error)) << error;
  }
  void TearDown() override {
    schema_.reset();
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }

  // Runs `body` in a process of its own and waits for it.
  void InProcess(const std::string& name, std::function<std::string()> body) {
    const std::string failure = Finish(Start(folder_, name, std::move(body)), folder_, name);
    ASSERT_EQ(failure, "");
  }

  fs::path Data() const { return paths_.data_directory; }

  std::unique_ptr<engine::testing::TestSchema> schema_;
  fs::path folder_;
  datatool::Installation paths_;
};

// The first `count` clients of `exported` (vzdata export CLIENT), each moved
// to a new household of its own ("9<run><4 digits>", field 2 and wherever
// the old household number appears): clients with no income.
std::string NewClients(const std::string& exported, int run, int count) {
  std::istringstream lines(exported);
  std::string out;
  int made = 0;
  for (std::string line; made < count && std::getline(lines, line);) {
    const size_t at = line.find("\"2\":\"");
    if (at == std::string::npos) continue;
    const std::string old_household = "\"" + line.substr(at + 5, 6) + "\"";
    char household[16];
    std::snprintf(household, sizeof household, "\"9%d%04d\"", run, made);
    for (size_t p = line.find(old_household); p != std::string::npos;
         p = line.find(old_household, p + 8)) {
      line.replace(p, 8, household);
    }
    out += line + "\n";
    ++made;
  }
  return out;
}

TEST_F(AdvisersAtOnceTest, FourProgramsOnOneDatabase) {
  const auto started = Clock::now();
  // The snapshot: the income query computed alone, in SQLite.
  InProcess("snapshot", [&]() -> std::string {
    auto db = Open(paths_);
    if (!selection::RunSelection(kQuery)) return "the selection fails in SQLite";
    outputs::RunExtractionDispatch(kQuery);
    return "";
  });
  const std::string snapshot_selection = FileBytes(Data() / "01000001.EXT");
  const std::string snapshot_merge = FileBytes(Data() / "01000001.MEM");
  ASSERT_FALSE(snapshot_selection.empty());
  ASSERT_FALSE(snapshot_merge.empty());

  // The clients to import, then the move to the server.
  const fs::path vzdata = VZ_VZDATA_PATH;
  const std::string exported_file = (folder_ / "clients.jsonl").string();
  ASSERT_EQ(std::system((vzdata.string() + " export " + paths_.root + " CLIENT " + exported_file +
                         " >/dev/null")
                            .c_str()),
            0);
  for (int run = 0; run < kImports; ++run) {
    WriteText(folder_ / ("import-" + std::to_string(run) + ".jsonl"),
              NewClients(FileBytes(exported_file), run, kImportedPerRun));
  }
  ASSERT_TRUE(os::WriteProfileString(paths_.parameter_file, "COMPOSANTS", "CONNEXIONBASE",
                                     schema_->conninfo()));
  InProcess("move", [&]() -> std::string {
    std::ostringstream copied;
    std::string error;
    if (!datatool::CopyInstallation(paths_, datatool::CopyDirection::kToServer, copied, &error))
      return error;
    return "";
  });
  ASSERT_TRUE(
      os::WriteProfileString(paths_.parameter_file, "COMPOSANTS", "BASEDONNEES", "POSTGRESQL"));
  fs::remove(Data() / "01000001.EXT");
  fs::remove(Data() / "01000001.MEM");
  const fs::path held_flag = folder_ / "held";

  // The four advisers.
  const pid_t selector = Start(folder_, "selector", [&]() -> std::string {
    auto db = Open(paths_);
    for (int i = 0; i < kSelectionRuns; ++i) {
      if (!selection::RunSelection(kQuery)) return "run " + std::to_string(i) + " failed";
      outputs::RunExtractionDispatch(kQuery);
      fs::copy_file(Data() / "01000001.EXT", folder_ / ("run-" + std::to_string(i) + ".EXT"));
      fs::copy_file(Data() / "01000001.MEM", folder_ / ("run-" + std::to_string(i) + ".MEM"));
    }
    return "";
  });
  const pid_t holder = Start(folder_, "holder", [&]() -> std::string {
    auto db = Open(paths_);
    const int32_t ctx = db::ContextHandle();
    LE_BeginBatch(ctx);
    if (!selection::ReadTitleRecord(kHeldQuery)) return "no title record to hold";
    db::QueryLineRecord title = db::CurrentQueryLine();
    title.SetMarker("H");
    db::Hmodifie("REQUETES");
    WriteText(held_flag, "");
    std::this_thread::sleep_for(std::chrono::seconds(kHoldSeconds));
    if (LE_EndBatch(ctx) != 1) return "the held batch did not commit";
    return "";
  });
  const pid_t saver = Start(folder_, "saver", [&]() -> std::string {
    auto db = Open(paths_);
    std::string numbers;
    for (int i = 0; i < kSavedQueries; ++i) {
      const std::string number = queries::NewQueryNumber();
      if (number.empty()) return "no query number";
      numbers += number + "\n";
      const std::string code = "01" + number;
      db->AddElementaryQuery(code);
      if (!selection::ReadTitleRecord(code)) return "saved query " + code + " not found";
      db::Hsupprime("REQUETES");
      if (selection::ReadTitleRecord(code)) return "deleted query " + code + " still there";
    }
    WriteText(folder_ / "numbers-saver.txt", numbers);
    // The record another adviser holds: tried again, then reported locked.
    if (!WaitFor(held_flag, 30)) return "the holder never held its record";
    if (!selection::ReadTitleRecord(kHeldQuery)) return "no held title record";
    LE_ClearFileError(db::ContextHandle());
    db::QueryLineRecord title = db::CurrentQueryLine();
    title.SetMarker("S");
    const auto tried = Clock::now();
    db::Hmodifie("REQUETES");
    const auto waited = Clock::now() - tried;
    char file[64] = "", reason[512] = "";
    const int32_t kind =
        LE_LastFileError(db::ContextHandle(), file, sizeof file, nullptr, 0, reason, sizeof reason);
    if (kind != static_cast<int32_t>(db::FileFaultKind::kLocked))
      return "the held record is not reported locked (" + std::to_string(kind) + ": " + reason +
             ")";
    if (waited < std::chrono::milliseconds(10 * 20)) return "the held record was not tried again";
    WriteText(folder_ / "locked.txt", std::string(file) + "\n");
    return "";
  });
  const pid_t importer = Start(folder_, "importer", [&]() -> std::string {
    for (int run = 0; run < kImports; ++run) {
      const std::string line = vzdata.string() + " import " + paths_.root + " CLIENT " +
                               (folder_ / ("import-" + std::to_string(run) + ".jsonl")).string() +
                               " >" + (folder_ / "import.out").string() + " 2>&1";
      if (std::system(line.c_str()) != 0)
        return "import failed: " + FileBytes(folder_ / "import.out");
    }
    return "";
  });
  // This process takes numbers too, as a fifth adviser's program would.
  std::string parent_numbers;
  InProcess("numbers", [&]() -> std::string {
    auto db = Open(paths_);
    std::string numbers;
    for (int i = 0; i < kSavedQueries; ++i) numbers += queries::NewQueryNumber() + "\n";
    WriteText(folder_ / "numbers-other.txt", numbers);
    return "";
  });
  for (const auto& [pid, name] : {std::pair{selector, "selector"},
                                  {holder, "holder"},
                                  {saver, "saver"},
                                  {importer, "importer"}}) {
    EXPECT_EQ(Finish(pid, folder_, name), "");
  }

  // Each selection and merge file is the snapshot's.
  for (int i = 0; i < kSelectionRuns; ++i) {
    EXPECT_TRUE(FileBytes(folder_ / ("run-" + std::to_string(i) + ".EXT")) == snapshot_selection)
        << "selection file of run " << i << " differs";
    EXPECT_TRUE(FileBytes(folder_ / ("run-" + std::to_string(i) + ".MEM")) == snapshot_merge)
        << "merge file of run " << i << " differs";
  }
  // No number given twice.
  std::vector<std::string> numbers;
  for (const char* name : {"numbers-saver.txt", "numbers-other.txt"}) {
    std::istringstream in(FileBytes(folder_ / name));
    for (std::string n; std::getline(in, n);) numbers.push_back(n);
  }
  EXPECT_EQ(numbers.size(), 2u * kSavedQueries);
  EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), numbers.size());
  EXPECT_EQ(FileBytes(folder_ / "locked.txt"), "REQUETES\n");

  // Afterwards: every file passes the store's check, the imports are all
  // there, the held record has the holder's change and the saved queries
  // are gone.
  InProcess("check", [&]() -> std::string {
    auto db = Open(paths_);
    std::string failures;
    db::Hinfogene("CLIENT");
    if (db::Hnbenr() != 400 + kImports * kImportedPerRun)
      failures += "CLIENT holds " + std::to_string(db::Hnbenr()) + " records; ";
    if (!selection::ReadTitleRecord(kHeldQuery) ||
        db::CurrentQueryLine().Marker().substr(0, 1) != "H")
      failures += "the held record lost the holder's change; ";
    const std::string saved = FileBytes(folder_ / "numbers-saver.txt");
    if (saved.size() >= 6 && selection::ReadTitleRecord("01" + saved.substr(0, 6)))
      failures += "a deleted query is back; ";
    db.reset();
    return failures + ServerFileProblems(paths_, schema_->conninfo());
  });
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(60)) << "the test should stay short";
}

}  // namespace
}  // namespace vz
