// The four entry points as the program's bridge calls them: module block in,
// results out, the module's lifecycle, and what the program gives the module
// through SetEntryPointSetup (its code, its engine context maker).
#include "platform/runtime/wd_api.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "platform/runtime/entry_point_setup.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/scripted_front_end.h"

namespace vz::runtime {
namespace {

using Block = std::array<uint8_t, kWdModuleBlockSize>;

std::string Text(const Block& block) {
  return reinterpret_cast<const char*>(block.data() + 14);
}
std::string Code(const Block& block) {
  std::string code;
  for (int i = 232; i < 235 && block[i] != 0; ++i) code += static_cast<char>(block[i]);
  return code;
}

// What the stand-in program code and engine saw.
int g_registrations = 0;
int g_contexts_created = 0;
constexpr int32_t kStandInContext = 41;

// The program's side of the seam: one procedure, "ECHO", that gives back its
// argument and the number of arguments; an engine that counts its contexts.
EntryPointSetup StandInSetup() {
  EntryPointSetup setup;
  setup.register_code = [](CodeRegistry& registry) {
    ++g_registrations;
    registry.AddProcedure("ECHO", [](CodeContext&, const std::vector<std::string>& args) {
      return ProcedureResult{static_cast<int32_t>(args.size()), args.empty() ? "" : args[0]};
    });
  };
  setup.create_engine_context = [] {
    ++g_contexts_created;
    return kStandInContext;
  };
  return setup;
}

class WdApiTest : public ::testing::Test {
 protected:
  WdApiTest() {
    ::setenv("VZ_TRANSCRIPT", (dir_.path() / "t.txt").c_str(), 1);
    ::unsetenv("VZ_SCENARIO");
    block_.fill(0);
    block_[1] = 2;  // what the bridge writes before InitModule
    g_registrations = 0;
    g_contexts_created = 0;
    SetEntryPointSetup(StandInSetup());
  }
  ~WdApiTest() override { ::unsetenv("VZ_TRANSCRIPT"); }
  std::string Library() const {
    return (std::filesystem::path(VZ_PROJECT_DIR) / "ORVANE.wdl").string();
  }

  TempDir dir_;
  Block block_;
};

TEST_F(WdApiTest, CommandsLeaveTheirResultsInTheBlock) {
  EXPECT_EQ(InitModule(block_.data()), 0);
  EXPECT_EQ(block_[1], 2);
  EXPECT_EQ(WDExecuteCommande(block_.data(), ("BIBLI,disque," + Library()).c_str()), 0);
  EXPECT_EQ(nGetValeurRetour(), 0);
  WDExecuteCommande(block_.data(), "Ouvre,PARETI");
  WDExecuteCommande(block_.data(), "AFFICHE,MHAUTE=12,5");
  WDExecuteCommande(block_.data(), "ECRAN,RECUPERE,MHAUTE");
  EXPECT_EQ(Text(block_), "12,5");
  testing::internal::CaptureStderr();
  WDExecuteCommande(block_.data(), "ECRAN,SAISIE");  // no scenario: ends with ESC
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(Code(block_), "ESC");
  WDExecuteCommande(block_.data(), "ECRAN,RECUPERE,NOPE");
  EXPECT_EQ(nGetValeurRetour(), -1);
  EXPECT_EQ(Text(block_), "");
  EXPECT_EQ(Code(block_), "ESC");
  EXPECT_EQ(TermModule(block_.data()), 0);
  EXPECT_EQ(TermModule(block_.data()), 0);  // a second termination does nothing
  // A command after termination starts a fresh module: no library loaded.
  EXPECT_EQ(WDExecuteCommande(block_.data(), "Ouvre,PARETI"), -1);
  EXPECT_EQ(TermModule(nullptr), 0);
  const auto lines = ReadLines(dir_.path() / "t.txt");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("wd Ouvre,PARETI -> int=-1", 0), 0u);
}

TEST_F(WdApiTest, EveryModuleStartsWithTheProgramsCode) {
  for (int module = 1; module <= 2; ++module) {
    EXPECT_EQ(WDExecuteCommande(block_.data(),
                                "Ex\xE9"
                                "cute(\"ECHO\", \"PARETI\")"),
              1);
    EXPECT_EQ(Text(block_), "PARETI");
    EXPECT_EQ(g_registrations, module);
    TermModule(block_.data());
  }
}

TEST_F(WdApiTest, TheEngineContextIsCreatedOncePerModule) {
  for (int module = 1; module <= 2; ++module) {
    EXPECT_EQ(WDExecuteCommande(block_.data(), "HFCTX"), kStandInContext);
    EXPECT_EQ(nGetValeurRetour(), kStandInContext);
    WDExecuteCommande(block_.data(), "HFCTX");
    EXPECT_EQ(nGetValeurRetour(), kStandInContext);
    EXPECT_EQ(g_contexts_created, module);
    TermModule(block_.data());
  }
}

TEST_F(WdApiTest, AnEmptySetupGivesNoCodeAndNoContext) {
  SetEntryPointSetup({});
  EXPECT_EQ(WDExecuteCommande(block_.data(), "Execute,ECHO"), -1);
  EXPECT_EQ(WDExecuteCommande(block_.data(), "HFCTX"), 0);
  TermModule(block_.data());
  EXPECT_EQ(g_registrations, 0);
  EXPECT_EQ(g_contexts_created, 0);
}

TEST(WdApiWithoutSetupTest, TheFirstCallEndsTheProcess) {
  // A fresh process, where the program has not given the module its setup.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  uint8_t block[kWdModuleBlockSize] = {};
  EXPECT_EXIT(InitModule(block), ::testing::ExitedWithCode(kScenarioFailureExit),
              "the module starts before the program gave it its project code");
}

TEST_F(WdApiTest, LeftOverScenarioStepsEndTheProcessAtTermination) {
  WriteFile(dir_.path() / "s.scn", "input MENU press T01\n");
  EXPECT_EXIT(
      {
        ::setenv("VZ_SCENARIO", (dir_.path() / "s.scn").c_str(), 1);
        InitModule(block_.data());
        TermModule(block_.data());
        std::exit(0);
      },
      ::testing::ExitedWithCode(kScenarioFailureExit), "s.scn:1: 1 scenario step\\(s\\) left over");
}

TEST_F(WdApiTest, ScenarioMismatchEndsTheProcess) {
  WriteFile(dir_.path() / "s.scn", "input AGENDA press T01\n");
  EXPECT_EXIT(
      {
        ::setenv("VZ_SCENARIO", (dir_.path() / "s.scn").c_str(), 1);
        WDExecuteCommande(block_.data(), ("BIBLI,disque," + Library()).c_str());
        WDExecuteCommande(block_.data(), "Ouvre,MENU.WDW");
        WDExecuteCommande(block_.data(), "Ecran,Saisie");
        std::exit(0);
      },
      ::testing::ExitedWithCode(kScenarioFailureExit),
      "s.scn:1: the program waits for input in window \"MENU\", the scenario expects input of "
      "\"AGENDA\"");
}

}  // namespace
}  // namespace vz::runtime
