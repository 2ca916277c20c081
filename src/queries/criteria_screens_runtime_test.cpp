// The criteria screens against the real screen runtime: the window library
// and project of the suite, the project's window code, and a front end that
// plays the user. Catches field, column and list names that the recording
// double would take on trust.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/os/cp1252.h"
#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/session.h"
#include "platform/runtime/wd_api.h"
#include "src/db/file_id.h"
#include "src/queries/identity_screen.h"
#include "src/queries/rubric_criteria_screens.h"
#include "src/screen/bridge_for_tests.h"
#include "src/screen/runtime_link.h"
#include "tests/support/project_session.h"
#include "tests/support/temporary_installation.h"
#include "tests/support/test_records.h"

namespace {

// The session the entry points below hand every command to.
vz::runtime::Session* g_session = nullptr;
int32_t g_last_value = 0;

void WriteBlockText(uint8_t* block, size_t offset, size_t length, const std::string& text) {
  const size_t count = std::min(text.size(), length);
  std::memcpy(block + offset, text.data(), count);
  if (count < length) block[offset + count] = 0;
}

// The runtime the bridge is connected to: every command goes to g_session.
int32_t SessionInit(uint8_t*) {
  return 0;
}
int32_t SessionExecute(uint8_t* block, const char* command) {
  if (g_session == nullptr) return 0;
  vz::runtime::CommandResult result = g_session->Execute(command);
  g_last_value = result.value;
  WriteBlockText(block, kWdReturnedTextOffset, kWdReturnedTextLength, result.text);
  WriteBlockText(block, kWdReturnCodeOffset, kWdReturnCodeLength, g_session->return_code());
  return 0;
}
int32_t SessionValue() {
  return g_last_value;
}
int32_t SessionTerm(uint8_t*) {
  return 0;
}

}  // namespace

namespace vz::queries {
namespace {

using runtime::Field;
using runtime::InputHost;
using runtime::Window;

class CriteriaScreensRuntimeTest : public vz::testing::ProjectSessionTest {
 protected:
  CriteriaScreensRuntimeTest()
      : ProjectSessionTest("criteria_rt", VZ_PROJECT_DIR,
                           vz::testing::InstallationOptions().WithListSeparator('\t')) {}

  void SetUp() override {
    ProjectSessionTest::SetUp();
    g_session = session_.get();
    screen::ConnectRuntime({&SessionInit, &SessionExecute, &SessionValue, &SessionTerm});
    screen::ResetBridgeForTests();
  }
  void TearDown() override {
    g_session = nullptr;
    ProjectSessionTest::TearDown();
  }

  static void AddRubric(std::string_view code, std::string_view label) {
    vz::testing::AddCodeLabel(db::FileId::RUBRIQUE, code, label);
  }
  static void AddProfession(std::string_view code, std::string_view label) {
    vz::testing::AddCodeLabel(db::FileId::PROFES, code, label);
  }
  static int EntryOf(const Field& list, const std::string& entry) {
    for (size_t i = 0; i < list.entries.size(); ++i) {
      if (list.entries[i] == entry) return static_cast<int>(i) + 1;
    }
    return 0;
  }
  static void SetCell(Window& window, int row, std::string_view column, std::string value) {
    Field* table = window.FindField("TABLE1");
    ASSERT_NE(table, nullptr);
    ASSERT_LE(row, table->ItemCount());
    const int index = table->ColumnIndex(column);
    ASSERT_GE(index, 0) << column;
    table->rows[static_cast<size_t>(row - 1)][static_cast<size_t>(index)] = std::move(value);
  }
};

TEST_F(CriteriaScreensRuntimeTest, IncomeScreenStoresTheTypedBoundAndTheChosenOption) {
  AddRubric("40000", "Total des revenus");
  AddRubric("40001", "Salaires");
  QueryWorkingSet lines;
  front_.QueueInput("TF0", [](Window& window, InputHost&) {
    Field* table = window.FindField("TABLE1");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->ItemCount(), 3);  // total, empty row, one rubric
    SetCell(window, 3, "VALFIN", "5000");
    Field* option = window.FindField("OPTION");
    ASSERT_NE(option, nullptr);
    EXPECT_TRUE(option->visible());
    option->value = "2";
  });
  ASSERT_TRUE(RunRubricCriteriaScreen("40", lines));
  ASSERT_EQ(lines.LineCount(), 1);
  EXPECT_EQ(lines.Line(1).key, "40001******2");
  EXPECT_EQ(lines.Line(1).text, "0\t5000\t");

  // Reopened: the option and the bounds come back.
  front_.QueueInput("ESC", [](Window& window, InputHost&) {
    EXPECT_EQ(window.FindField("OPTION")->value, "2");
    Field* table = window.FindField("TABLE1");
    EXPECT_EQ(table->rows[2][static_cast<size_t>(table->ColumnIndex("VALFIN"))], "5000");
  });
  ASSERT_TRUE(RunRubricCriteriaScreen("40", lines));
  EXPECT_EQ(lines.Line(1).key, "40001******2");
}

TEST_F(CriteriaScreensRuntimeTest, IncomeScreenWithoutAChosenOptionStoresNothing) {
  AddRubric("40001", "Salaires");
  QueryWorkingSet lines;
  front_.QueueInput("TF0",
                    [](Window& window, InputHost&) { SetCell(window, 1, "VALFIN", "5000"); });
  ASSERT_TRUE(RunRubricCriteriaScreen("40", lines));
  EXPECT_EQ(lines.LineCount(), 0);
}

TEST_F(CriteriaScreensRuntimeTest, ProvidentScreenStoresARatioRow) {
  QueryWorkingSet lines;
  front_.QueueInput("TF0", [](Window& window, InputHost&) {
    EXPECT_EQ(window.name, "SEL01G");
    EXPECT_EQ(window.FindField("TABLE1")->ItemCount(), 14);
    SetCell(window, 8, "VAL2FIN", "300");  // 3300H
  });
  ASSERT_TRUE(RunRubricCriteriaScreen("33", lines));
  ASSERT_EQ(lines.LineCount(), 1);
  EXPECT_EQ(lines.Line(1).key, "3300H*******");
  EXPECT_EQ(lines.Line(1).text, "0\t999\t0\t300\t");
}

TEST_F(CriteriaScreensRuntimeTest, IdentityScreenStoresAndShowsAgain) {
  QueryWorkingSet lines;
  front_.QueueInput("TF0", [](Window& window, InputHost&) {
    window.FindField("NOM1DEB")->value = "DUPONT";
    window.FindField("VILLE1")->value = "LYON";
  });
  RunIdentityCriteriaScreen(lines);
  // The birthday fields kept their "__/__": no birthday line.
  ASSERT_EQ(lines.LineCount(), 2);
  EXPECT_EQ(lines.Line(1).key, "NOMCLI******");
  EXPECT_EQ(lines.Line(1).text, "DUPONT\t\t");
  EXPECT_EQ(lines.Line(2).key, "VILLE*******");
  EXPECT_EQ(lines.Line(2).text, "LYON\t");

  front_.QueueInput("ESC", [](Window& window, InputHost&) {
    EXPECT_EQ(window.FindField("NOM1DEB")->value, "DUPONT");
    EXPECT_EQ(window.FindField("VILLE1")->value, "LYON");
  });
  RunIdentityCriteriaScreen(lines);
  EXPECT_EQ(lines.LineCount(), 2);
}

// The lists of the window, filled by its own code: the chosen rows are stored
// as label TAB code and found again when the screen is reopened, the
// profession list then restricted to the family.
TEST_F(CriteriaScreensRuntimeTest, IdentityListsRoundTrip) {
  AddProfession("10000", "Cadres");
  AddProfession("10001", "Ingenieur");
  AddProfession("20000", "Employes");
  AddProfession("20001", "Vendeur");
  const std::string situation = os::Cp1252("Pacsé(e)") + "\tP";
  QueryWorkingSet lines;
  front_.QueueInput("TF0", [&situation](Window& window, InputHost&) {
    Field* situations = window.FindField("SITFAM");
    Field* families = window.FindField("FAMPRO1");
    Field* professions = window.FindField("PROFES1");
    ASSERT_TRUE(situations && families && professions);
    situations->selected = EntryOf(*situations, situation);
    families->selected = EntryOf(*families, "Cadres\t10");
    professions->selected = EntryOf(*professions, "Ingenieur\t10001");
    ASSERT_GE(situations->selected, 2);
    ASSERT_GE(families->selected, 2);
    ASSERT_GE(professions->selected, 2);
  });
  RunIdentityCriteriaScreen(lines);
  ASSERT_EQ(lines.LineCount(), 3);
  EXPECT_EQ(lines.Line(1).key, "SITFAM******");
  EXPECT_EQ(lines.Line(1).text, situation + "\t");
  EXPECT_EQ(lines.Line(2).key, "FAMPRO******");
  EXPECT_EQ(lines.Line(2).text, "Cadres\t10\t");
  EXPECT_EQ(lines.Line(3).key, "PROFES******");
  EXPECT_EQ(lines.Line(3).text, "Ingenieur\t10001\t");

  front_.QueueInput("ESC", [&situation](Window& window, InputHost&) {
    const Field* situations = window.FindField("SITFAM");
    const Field* families = window.FindField("FAMPRO1");
    const Field* professions = window.FindField("PROFES1");
    EXPECT_EQ(situations->entries[static_cast<size_t>(situations->selected) - 1], situation);
    EXPECT_EQ(families->entries[static_cast<size_t>(families->selected) - 1], "Cadres\t10");
    ASSERT_EQ(professions->entries.size(), 2u);  // no choice, and the family's one
    EXPECT_EQ(professions->selected, 2);
  });
  RunIdentityCriteriaScreen(lines);

  // Back to the first rows: the three criteria go.
  front_.QueueInput("TF0", [](Window& window, InputHost&) {
    for (const char* name : {"SITFAM", "FAMPRO1", "PROFES1"}) window.FindField(name)->selected = 1;
  });
  RunIdentityCriteriaScreen(lines);
  for (int i = 1; i <= lines.LineCount(); ++i) EXPECT_EQ(lines.Line(i).key, "") << i;
}

}  // namespace
}  // namespace vz::queries
