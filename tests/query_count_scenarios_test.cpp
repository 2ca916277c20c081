// End-to-end sessions of the counts of a query, from the main menu of the
// real program on the scripted front end, over a small client file made by
// hand (incomes known to the euro):
//  - an income bound typed without a calculation option is refused with a
//    message naming the rubric, stays typed, and is stored once the option
//    is chosen; the run then selects exactly the clients at or above it;
//  - "Compter" says how many clients the query being edited selects, and
//    writes nothing;
//  - after the run the adviser is told how many clients were kept, and the
//    list shows that count and the run's date: equal to the lines of the
//    selection file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/db/catalogue.h"
#include "src/db/data_directory_use.h"
#include "src/selection/selection_run_test_support.h"
#if defined(VZ_DESKTOP_PROGRAM_PATH)
#include "tests/support/output_files.h"
#endif
#include "tests/support/program_run.h"
#include "tests/support/test_installation.h"
#include "tests/support/test_records.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// Five one-person households and their yearly salaries ("40001").
struct Client {
  const char* code;
  const char* name;
  float salary;  // 0: no income record
};
constexpr Client kClients[] = {
    {"100000011", "ALPHA", 50000}, {"100000021", "BRAVO", 30000}, {"100000031", "CHARLIE", 40000},
    {"100000041", "DELTA", 0},     {"100000051", "ECHO", 39999},
};

std::vector<std::string> FileLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class QueryCountScenarioTest : public testing::ProgramScenarioTest {
 protected:
  QueryCountScenarioTest() : ProgramScenarioTest("e2e_counts_", VZ_PROGRAM_PATH, VZ_PROJECT_DIR) {}

  void SetUp() override {
    ProgramScenarioTest::SetUp();
    // The records are written through the engine in this process, then the
    // files are closed before the program opens them.
    selection::SelectionTestDatabase db(installation_.root() / "HSF" / "vestra.wdd",
                                        installation_.data_directory());
    vz::testing::AddCodeLabel(db::FileId::RUBRIQUE, "40000", "Total revenus");
    vz::testing::AddCodeLabel(db::FileId::RUBRIQUE, "40001", "Salaires");
    for (const Client& client : kClients) {
      db.AddClient(client.code, client.name);
      if (client.salary > 0) {
        vz::testing::AddRubric(db::FileId::REVENUS, client.code, "40001", "001", client.salary);
      }
    }
  }
};

TEST_F(QueryCountScenarioTest, DefineCountSaveRunAndSeeTheCount) {
  const testing::ProgramRunResult result =
      Run("input MENU press T01\n"
          "input LSTSEL press AJO\n"
          "input SEL01\n"
          "  type TITRE \"Salaires d'au moins 40 000\"\n"
          "  press 01B\n"
          "input SEL01E\n"
          "  type VALDEB,03 \"40000\"\n"
          "  press TF0\n"
          "expect error \"Rubrique « Salaires » : des bornes sont saisies mais l'option de calcul "
          "n'est pas choisie. Choisissez « Par personne » ou « Pour l'ensemble du foyer », puis "
          "validez ; les bornes saisies sont gardées.\"\n"
          "input SEL01E\n"
          "  choose OPTION 2\n"
          "  press TF0\n"
          "input SEL01 press CPT\n"
          "expect info \"2 clients correspondent à ces critères.\"\n"
          "input SEL01 press TF0\n"
          "input Rubrique press TF0\n"
          "input LSTSEL\n"
          "  pick REQUETES 1\n"
          "  press LAN\n"
          "expect info \"Sélection terminée : 2 clients retenus sur 5.\"\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);

  // The bound was stored with the option chosen: the list's summary says so.
  const std::vector<std::string> lines = testing::CommandsAndEngineCalls(result.transcript);
  EXPECT_THAT(result.transcript,
              HasSubstr("AFFICHE,L_RESUME=Revenus, pour l'ensemble du foyer : Salaires d'au "
                        "moins 40 000 €"))
      << Describe(result);

  // The run kept exactly the clients at or above the bound.
  const std::vector<std::string> selected =
      FileLines(installation_.data_directory() / "01000011.EXT");
  EXPECT_EQ(selected, (std::vector<std::string>{"100000011", "100000031"}));

  // The list rebuilt after the run shows that many clients: the count the
  // selection file holds.
  bool listed = false;
  for (const std::string& line : lines) {
    if (line.find("Table,Ajoute,REQUETES,") != std::string::npos &&
        line.find("01000011\\t") != std::string::npos &&
        line.find("\\t2\\tRevenus") != std::string::npos) {
      listed = true;
    }
  }
  EXPECT_TRUE(listed) << Describe(result);
}

TEST_F(QueryCountScenarioTest, CountingWritesNoFileAndNoRecordAndEscapeAsks) {
  const std::vector<std::string> before = [this] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(installation_.data_directory())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }();
  const testing::ProgramRunResult result =
      Run("input MENU press T01\n"
          "input LSTSEL press AJO\n"
          "input SEL01 press CPT\n"
          "expect info \"5 clients correspondent à ces critères.\"\n"
          "input SEL01\n"
          "  type TITRE \"Brouillon\"\n"
          "  press ESC\n"
          "answer no \"Abandonner les modifications de cette requête ?\"\n"
          "input SEL01 press TF0\n"
          "answer no \"Cette requête n'a aucun critère : elle sélectionnera tous les clients. "
          "L'enregistrer quand même ?\"\n"
          "input SEL01 press ESC\n"
          "answer yes \"Abandonner les modifications de cette requête ?\"\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);
  std::vector<std::string> after;
  for (const auto& entry : fs::directory_iterator(installation_.data_directory())) {
    const std::string name = entry.path().filename().string();
    EXPECT_NE(fs::path(name).extension(), ".EXT") << name;
    // The lock that says a program uses the data directory is no output.
    if (name != db::kInUseLockName) after.push_back(name);
  }
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
  // No query record was added and no counter was raised.
  const std::vector<std::string> lines = testing::CommandsAndEngineCalls(result.transcript);
  EXPECT_THAT(lines, Not(Contains(HasSubstr("LE_Hajoute requetes"))));
  EXPECT_THAT(lines, Not(Contains(HasSubstr("LE_Hajoute REQUETES"))));
  EXPECT_THAT(installation_.ReadParameterFile(), Not(HasSubstr("NUMREQ")));
}

#if defined(VZ_DESKTOP_PROGRAM_PATH)
// The robot of the desktop front end (Qt, offscreen) clicks "Compter" in the
// definition window and reads the message box; leaving with Escape after a
// change asks first.
TEST_F(QueryCountScenarioTest, CountButtonOnTheDesktop) {
  testing::IgnoreFontCacheInLeakReports(installation_);
  const testing::ProgramRunResult result = testing::RunProgramWithScenario(
      installation_, VZ_DESKTOP_PROGRAM_PATH,
      "input MENU press T01\n"
      "input LSTSEL press AJO\n"
      "input SEL01\n"
      "  type TITRE \"Tous\"\n"
      "  press CPT\n"
      "expect info \"5 clients correspondent à ces critères.\"\n"
      "input SEL01 press ESC\n"
      "answer yes \"Abandonner les modifications de cette requête ?\"\n"
      "input LSTSEL press T02\n"
      "input MENU press ESC\n"
      "answer yes\n",
      120);
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, HasSubstr("5 clients correspondent")) << Describe(result);
}
#endif  // VZ_DESKTOP_PROGRAM_PATH

}  // namespace
}  // namespace vz
