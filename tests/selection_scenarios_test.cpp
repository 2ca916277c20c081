// The query list's "LAN" on a generated demo installation: the list screen,
// played through the recording screen runtime, runs the selection of a
// combined query of combined queries; every selection file of the tree is
// written and agrees with its operands, the title record is marked "O", and
// the extraction follows. A query whose expansion overflows runs no
// extraction.
//
// The list is driven in this process (RunQueryListScreen with the selection
// run wired in), not through the whole program, whose main menu does not yet
// reach the real query list.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "src/queries/query_list.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/recording_runtime.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"

namespace vz::selection {
namespace {

namespace fs = std::filesystem;
using Codes = std::set<std::string>;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

class DemoInstallation {
 public:
  DemoInstallation() {
    std::string pattern = (fs::temp_directory_path() / "vz_selscen_XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = fs::path(pattern) / "suite";
    datatool::DemoInstallationOptions options;
    options.data.clients = 600;
    options.data.seed = 11;
    options.data.queries = true;
    std::string error;
    datatool::GenerateStats stats;
    EXPECT_TRUE(datatool::CreateDemoInstallation(root_.string(), options, nullptr, &stats, &error))
        << error;
    paths_ = datatool::InstallationPaths(root_.string());
  }
  ~DemoInstallation() {
    std::error_code ignored;
    fs::remove_all(root_.parent_path(), ignored);
  }
  fs::path analysis() const { return paths_.analysis_file; }
  fs::path data() const { return paths_.data_directory; }

 private:
  fs::path root_;
  datatool::Installation paths_;
};

Codes CodesOf(const SelectionTestDatabase& db, std::string_view query) {
  const std::vector<std::string> lines = db.SelectionLines(query);
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end())) << query;
  EXPECT_TRUE(std::adjacent_find(lines.begin(), lines.end()) == lines.end()) << query;
  return Codes(lines.begin(), lines.end());
}

Codes Union(const Codes& a, const Codes& b) {
  Codes out;
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

Codes Intersection(const Codes& a, const Codes& b) {
  Codes out;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

// Plays the list: "LAN" on the row whose CODE is `code`, then "ESC". The
// selection runs within its step limit.
std::vector<std::string> LaunchFromTheList(SelectionTestDatabase& db, std::string_view code) {
  RecordingRuntime& runtime = RecordingRuntime::Get();
  runtime.AnswerInTurn("ECRAN,SAISIE", {RuntimeAnswer{0, "", "LAN"}, RuntimeAnswer{0, "", "ESC"}});
  runtime.Answer("Table,Recupere,CODE", RuntimeAnswer{0, std::string(code), std::nullopt});
  std::vector<std::string> extracted;
  queries::QueryListActions actions;
  actions.run_selection = [&db](std::string_view query) { return db.RunWithinStepLimit(query); };
  actions.run_extraction = [&](std::string_view query) { extracted.emplace_back(query); };
  // A list that never leaves would hang the test: stop it loudly instead.
  int inputs = 0;
  runtime.SetCommandHook([&inputs](const std::string& command) {
    if (command == "ECRAN,SAISIE" && ++inputs > 5) {
      std::fprintf(stderr, "the query list does not leave on ESC\n");
      std::abort();
    }
  });
  queries::RunQueryListScreen(actions);
  return extracted;
}

TEST(SelectionScenarioTest, LaunchWritesEveryFileOfACombinedQueryTree) {
  DemoInstallation demo;
  SelectionTestDatabase db(demo.analysis(), demo.data());
  // The demo's 01000011 = 01000001 OU 01000007 and 01000012 = 01000003 ET
  // 01000004, combined once more.
  db.AddCombinedQuery("01000013", "01000011", "OU", "01000012");
  ASSERT_EQ(LaunchFromTheList(db, "01000013"), std::vector<std::string>{"01000013"});

  for (const char* code :
       {"01000001", "01000007", "01000003", "01000004", "01000011", "01000012", "01000013"}) {
    EXPECT_TRUE(db.SelectionFileExists(code)) << code;
  }
  const Codes income = CodesOf(db, "01000001");
  const Codes savings = CodesOf(db, "01000007");
  const Codes seniors = CodesOf(db, "01000003");
  const Codes paris = CodesOf(db, "01000004");
  EXPECT_FALSE(income.empty());
  EXPECT_FALSE(paris.empty());
  EXPECT_EQ(CodesOf(db, "01000011"), Union(income, savings));
  EXPECT_EQ(CodesOf(db, "01000012"), Intersection(seniors, paris));
  EXPECT_EQ(CodesOf(db, "01000013"), Union(Union(income, savings), Intersection(seniors, paris)));
  EXPECT_EQ(db.TitleState("01000013"), "O");
  EXPECT_EQ(db.TitleState("01000011"), " ");
  // Files of queries outside the tree are not written.
  EXPECT_FALSE(db.SelectionFileExists("01000005"));
}

TEST(SelectionScenarioTest, OverflowingQueryRunsNoExtraction) {
  DemoInstallation demo;
  SelectionTestDatabase db(demo.analysis(), demo.data());
  for (int i = 0; i < 25; ++i) {
    const std::string next = i + 1 < 25 ? "01000" + std::to_string(101 + i) : "01000001";
    db.AddCombinedQuery("01000" + std::to_string(100 + i), next, "OU", "01000002");
  }
  EXPECT_TRUE(LaunchFromTheList(db, "01000100").empty());
  EXPECT_FALSE(db.SelectionFileExists("01000100"));
  EXPECT_FALSE(db.SelectionFileExists("01000001"));
  EXPECT_EQ(db.TitleState("01000100"), " ");
}

}  // namespace
}  // namespace vz::selection
