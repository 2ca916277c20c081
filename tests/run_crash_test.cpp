// A selection with its extraction killed (SIGKILL) at 50 points chosen by
// counting the engine's operations: after each kill every data file passes
// SQLite's integrity check, each output (the selection file, the merge file,
// the records of SELECTES) is the previous one or the new one, whole, and the
// next run works.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "src/db/record_ops.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/extraction_test_support.h"
#include "src/selection/selection_run.h"
#include "tests/support/killed_child.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using db::FileId;

constexpr std::string_view kQuery = "01000007";

struct Outputs {
  std::string selection;
  std::string merge;
  std::vector<std::string> selected;  // code of each SELECTES record
  bool operator==(const Outputs&) const = default;
};

class RunCrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_.database().AddElementaryQuery(kQuery);
    data_.database().AddQueryLine(kQuery, "40001******2", "1000\t5000");
    data_.AddRubricLine(kQuery, "40001", '2');
    for (int i = 1; i <= 9; ++i) {
      const std::string code = "0100000" + std::to_string(i) + "1";
      data_.AddClient(code, "CLIENT " + std::to_string(i));
      data_.AddRubric(FileId::REVENUS, code, "40001", "001", 700.0f * static_cast<float>(i));
    }
    RunBoth();
    old_ = Current();
    ASSERT_EQ(old_.selected.size(), 6u);
    // What the next run finds differs: two more incomes in range.
    data_.AddRubric(FileId::REVENUS, "010000081", "40001", "002", -2000.0f);
    data_.AddRubric(FileId::REVENUS, "010000091", "40001", "002", -2000.0f);
    db::Hferme("");
  }

  static void RunBoth() {
    if (selection::RunSelection(kQuery)) RunExtractionDispatch(kQuery);
  }

  Outputs Current() {
    Outputs outputs;
    outputs.selection = data_.database().ReadSelectionFile(kQuery);
    outputs.merge = data_.MergeFile(kQuery);
    for (const SelectedRow& row : data_.Selected(kQuery)) outputs.selected.push_back(row.code);
    db::Hferme("");
    return outputs;
  }

  // Runs the selection and the extraction in a child killed at engine
  // operation `kill_at` (0: never).
  static vz::testing::ChildRun RunKilledAt(int64_t kill_at) {
    return vz::testing::RunInChildKilledAt(kill_at, [] {
      RunBoth();
      db::Hferme("");
      return 0;
    });
  }

  void ExpectSoundDataFiles() {
    for (const auto& entry : fs::directory_iterator(data_.database().data_directory())) {
      if (entry.path().extension() != ".vzdb") continue;
      EXPECT_EQ(vz::testing::IntegrityOf(entry.path().string()), "ok") << entry.path();
    }
  }

  ExtractionTestData data_;
  Outputs old_;
};

TEST_F(RunCrashTest, AKilledRunLeavesThePreviousOutputsOrTheNewOnes) {
  // The whole run once, in a child, to count its operations and learn the
  // new outputs; then the previous outputs are put back.
  const fs::path data = data_.database().data_directory();
  const fs::path saved = data.parent_path() / "saved";
  fs::create_directories(saved);
  for (const auto& entry : fs::directory_iterator(data)) {
    fs::copy_file(entry.path(), saved / entry.path().filename());
  }
  const vz::testing::ChildRun whole = RunKilledAt(0);
  ASSERT_FALSE(whole.killed);
  const int64_t operations = whole.operations;
  ASSERT_GT(operations, 50);
  const Outputs fresh = Current();
  ASSERT_EQ(fresh.selected.size(), 8u);
  const auto restore = [&] {
    for (const auto& entry : fs::directory_iterator(saved)) {
      fs::copy_file(entry.path(), data / entry.path().filename(),
                    fs::copy_options::overwrite_existing);
    }
    for (const auto& entry : fs::directory_iterator(data)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with("-wal") || name.ends_with("-shm")) fs::remove(entry.path());
    }
  };
  restore();
  ASSERT_EQ(Current(), old_);

  constexpr int kPoints = 50;
  int killed = 0;
  for (int i = 0; i < kPoints; ++i) {
    const int64_t at = vz::testing::KillPoint(operations, i, kPoints);
    SCOPED_TRACE(at);
    if (RunKilledAt(at).killed) ++killed;
    ExpectSoundDataFiles();
    const Outputs now = Current();
    EXPECT_TRUE(now.selection == old_.selection || now.selection == fresh.selection);
    EXPECT_TRUE(now.merge == old_.merge || now.merge == fresh.merge);
    EXPECT_TRUE(now.selected == old_.selected || now.selected == fresh.selected)
        << now.selected.size() << " SELECTES records";
    if (now == fresh) restore();
  }
  EXPECT_GE(killed, kPoints - 1);
  // And the next run works.
  vz::testing::RecordingRuntime::Get().Reset();
  RunBoth();
  EXPECT_EQ(Current(), fresh);
}

}  // namespace
}  // namespace vz::outputs
