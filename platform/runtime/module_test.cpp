#include "platform/runtime/module.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/scripted_front_end.h"
#include "platform/runtime/wd_api.h"

namespace vz::runtime {
namespace {

using Block = std::array<uint8_t, kWdModuleBlockSize>;

Block FilledBlock() {
  Block block;
  block.fill(0xAA);
  return block;
}

std::string TextAt(const Block& block, size_t offset, size_t length) {
  std::string text;
  for (size_t i = offset; i < offset + length && block[i] != 0; ++i)
    text += static_cast<char>(block[i]);
  return text;
}

TEST(WriteModuleResults, PutsTextAndCodeAtTheirOffsetsOnly) {
  struct Case {
    std::string text;
    std::string code;
  } cases[] = {
      {"", ""},
      {"DUPONT", "T01"},
      {std::string(205, 'x'), "ES"},
      {std::string(206, 'y'), "ESC"},
      {std::string(300, 'z'), "LONG"},
  };
  for (const auto& c : cases) {
    Block block = FilledBlock();
    WriteModuleResults(block.data(), c.text, c.code);
    EXPECT_EQ(TextAt(block, 14, 206), c.text.substr(0, 206)) << c.text.size();
    EXPECT_EQ(TextAt(block, 232, 3), c.code.substr(0, 3)) << c.code;
    // NUL-terminated when shorter, never past its length.
    if (c.text.size() < 206) {
      EXPECT_EQ(block[14 + c.text.size()], 0);
    }
    if (c.code.size() < 3) {
      EXPECT_EQ(block[232 + c.code.size()], 0);
    }
    for (size_t i = 0; i < block.size(); ++i) {
      const bool text_byte = i >= 14 && i < 14 + std::min<size_t>(c.text.size() + 1, 206);
      const bool code_byte = i >= 232 && i < 232 + std::min<size_t>(c.code.size() + 1, 3);
      if (!text_byte && !code_byte) {
        EXPECT_EQ(block[i], 0xAA) << "byte " << i;
      }
    }
  }
}

class ModuleTest : public ::testing::Test {
 protected:
  ModuleTest() {
    WriteFile(dir_.path() / "m.wdl", R"(library M
window MENU title="Menu" w=400 h=300 default=BT_REQ escape=ESC
  caption L_LONG x=0 y=0 w=100 h=20 label="x"
  button BT_REQ x=10 y=100 w=100 h=30 label="Requêtes" code=T01
end
)");
  }
  std::unique_ptr<Module> MakeModule(const std::string& scenario) {
    Module::Environment environment;
    environment.transcript_path = (dir_.path() / "t.txt").string();
    if (!scenario.empty()) {
      environment.scenario_path = (dir_.path() / "s.scn").string();
      WriteFile(environment.scenario_path, scenario);
    }
    auto module = Module::Create(environment, {}, [] { return 17; });
    return module;
  }
  std::string LibraryCommand() const { return "BIBLI,disque," + (dir_.path() / "m.wdl").string(); }
  TempDir dir_;
};

TEST_F(ModuleTest, ReturnCodeStaysInTheBlockAcrossOtherCommands) {
  auto module = MakeModule("input MENU press T01\n");
  Block block = FilledBlock();
  EXPECT_EQ(module->Execute(block.data(), LibraryCommand().c_str()), 0);
  module->Execute(block.data(), "Ouvre,MENU.WDW");
  module->Execute(block.data(), "ECRAN,SAISIE");
  EXPECT_EQ(TextAt(block, 232, 3), "T01");
  EXPECT_EQ(module->Execute(block.data(), "ECRAN,RECUPERE,BT_REQ"), 0);
  EXPECT_EQ(TextAt(block, 14, 206), "Requ\xEAtes");
  EXPECT_EQ(TextAt(block, 232, 3), "T01");
  // A longer text, then a shorter one: no tail of the first is left readable.
  module->Execute(block.data(), ("AFFICHE,L_LONG=" + std::string(250, 'w')).c_str());
  module->Execute(block.data(), "ECRAN,RECUPERE,L_LONG");
  EXPECT_EQ(TextAt(block, 14, 206), std::string(206, 'w'));
  EXPECT_EQ(block[220], 0xAA);  // the runtime's own bytes after the text are untouched
  module->Execute(block.data(), "ECRAN,RECUPERE,BT_REQ");
  EXPECT_EQ(TextAt(block, 14, 206), "Requ\xEAtes");
  EXPECT_EQ(module->Execute(block.data(), "HFCTX"), 17);
  EXPECT_EQ(module->last_value(), 17);
  EXPECT_EQ(module->Execute(block.data(), nullptr), -1);  // a null command is an unknown one
  EXPECT_EQ(module->Execute(nullptr, "HFCTX"), 17);       // no block: nothing written
  EXPECT_EQ(TextAt(block, 232, 3), "T01");
  EXPECT_EQ(module->Finish(), "");
  bool cut_noted = false;
  for (const auto& line : ReadLines(dir_.path() / "t.txt")) {
    cut_noted |= line.find("cut to 206") != std::string::npos;
  }
  EXPECT_TRUE(cut_noted);
}

TEST_F(ModuleTest, WithoutScenarioEveryInputEndsWithEscape) {
  auto module = MakeModule("");
  Block block = FilledBlock();
  module->Execute(block.data(), LibraryCommand().c_str());
  module->Execute(block.data(), "Ouvre,MENU");
  testing::internal::CaptureStderr();
  module->Execute(block.data(), "Ecran,Saisie");
  EXPECT_EQ(TextAt(block, 232, 3), "ESC");
  EXPECT_EQ(module->Execute(block.data(), "OUINON,Quitter ?"), 1);
  module->Execute(block.data(), "Ecran,Saisie");
  module->Execute(block.data(), "Erreur,Le logiciel est d\xE9j\xE0 actif !");
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string notice = "Fenêtres : pas encore disponibles sans scénario (VZ_SCENARIO)\n";
  EXPECT_EQ(err.find(notice), 0u) << err;
  EXPECT_EQ(err.find(notice, 1), std::string::npos) << "printed once only";
  EXPECT_NE(err.find("Erreur : Le logiciel est déjà actif !"), std::string::npos) << err;
  EXPECT_EQ(module->Finish(), "");
}

TEST_F(ModuleTest, LeftOverStepsAreReportedAtFinish) {
  auto module = MakeModule("input MENU press T01\n");
  const std::string problem = module->Finish();
  EXPECT_NE(problem.find("s.scn:1: 1 scenario step(s) left over"), std::string::npos) << problem;
}

TEST_F(ModuleTest, MalformedOrMissingScenarioStopsAtOnce) {
  EXPECT_EXIT(MakeModule("input MENU\n  press\n"), ::testing::ExitedWithCode(kScenarioFailureExit),
              "s.scn:2: usage: press CODE");
  Module::Environment missing;
  missing.scenario_path = (dir_.path() / "none.scn").string();
  EXPECT_EXIT(Module::Create(missing, {}, nullptr), ::testing::ExitedWithCode(kScenarioFailureExit),
              "none.scn: the scenario cannot be read");
}

}  // namespace
}  // namespace vz::runtime
