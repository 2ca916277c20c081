#include "src/screen/bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/wd_api.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::screen {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;
using vz::testing::RuntimeCall;

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetBridgeForTests();
    runtime().Reset();
  }
  static RecordingRuntime& runtime() { return RecordingRuntime::Get(); }
};

// What reaches the runtime for each command the program writes.
struct RewriteCase {
  const char* label;
  std::string command;
  std::vector<std::string> received;
};

class BridgeRewriteTest : public BridgeTest, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(BridgeRewriteTest, SendsTheRewrittenCommands) {
  SendCommand(GetParam().command);
  EXPECT_THAT(runtime().Commands(), ElementsAreArray(GetParam().received));
}

const std::string kE = "\xE9";  // cp1252 "é"

INSTANTIATE_TEST_SUITE_P(
    Rules, BridgeRewriteTest,
    ::testing::Values(
        // Open hook.
        RewriteCase{"OpenWithExtension",
                    "Ouvre,MENU.WDW",
                    {"EX" + kE + "CUTE(\"OUVREFEN\",\"MENU\")", "Ouvre,MENU.WDW"}},
        RewriteCase{"OpenPlain",
                    "Ouvre,EX_MNUOUT",
                    {"EX" + kE + "CUTE(\"OUVREFEN\",\"EX_MNUOUT\")", "Ouvre,EX_MNUOUT"}},
        RewriteCase{"OpenWithPosition",
                    "Ouvre,SEL01A,10,10",
                    {"EX" + kE + "CUTE(\"OUVREFEN\",\"SEL01A,10,10\")", "Ouvre,SEL01A,10,10"}},
        RewriteCase{"OpenLowerCase",
                    "ouvre,menu.wdw",
                    {"EX" + kE + "CUTE(\"OUVREFEN\",\"MENU\")", "ouvre,menu.wdw"}},
        RewriteCase{
            "OpenExtensionOnly", "Ouvre.WDW", {"EX" + kE + "CUTE(\"OUVREFEN\",\"\")", "Ouvre.WDW"}},
        RewriteCase{"OpenNoArgument", "Ouvre", {"EX" + kE + "CUTE(\"OUVREFEN\",\"\")", "Ouvre"}},
        // Close hook.
        RewriteCase{"Close", "Ferme", {"EX" + kE + "CUTE(\"FermeFen\")", "Ferme"}},
        RewriteCase{"CloseUpperCase", "FERME", {"EX" + kE + "CUTE(\"FermeFen\")", "FERME"}},
        // Input: the arguments are dropped.
        RewriteCase{"Input", "Ecran,Saisie", {"ECRAN,SAISIE"}},
        RewriteCase{"InputWithArguments", "Ecran,Saisie,CHAMP1,\"x\"", {"ECRAN,SAISIE"}},
        RewriteCase{"InputLowerCase", "ecran,saisie", {"ECRAN,SAISIE"}},
        // Quote rule.
        RewriteCase{"ErrorQuotes",
                    "Erreur,Le fichier \"A.EXT\" manque",
                    {"Erreur,Le fichier 'A.EXT' manque"}},
        RewriteCase{"QuestionQuotes",
                    "OUINON,Supprimer \"" + kE + "t" + kE + "\" ?",
                    {"OUINON,Supprimer '" + kE + "t" + kE + "' ?"}},
        RewriteCase{"DisplayQuotes", "AFFICHE,LIBELLE=\"x\"", {"AFFICHE,LIBELLE='x'"}},
        RewriteCase{"SwitchTestKeepsQuotes",
                    "Ex" + kE + "cute(\"EstUnInterrupteur\", \"CASE1\")",
                    {"Ex" + kE + "cute(\"EstUnInterrupteur\", \"CASE1\")"}},
        RewriteCase{"SwitchTestUpperCase",
                    "EX" + kE + "CUTE(\"EstUnInterrupteur\", \"C\")",
                    {"EX" + kE + "CUTE(\"EstUnInterrupteur\", \"C\")"}},
        RewriteCase{
            "ExecuterInAMessage", "info,Il faut executer \"A\"", {"info,Il faut executer 'A'"}},
        // Hostile: data that holds the verb is neither a procedure call nor
        // spared by the quote rule.
        RewriteCase{"DataWithCommaForm",
                    "AFFICHE,TITRE=EXECUTE,FermeFen",
                    {"AFFICHE,TITRE=EXECUTE,FermeFen"}},
        RewriteCase{"DataWithCallForm", "AFFICHE,NOM=execute(x)", {"AFFICHE,NOM=execute(x)"}},
        RewriteCase{"DataWithWord",
                    "Table,Ajoute,TABLE1,ORDRE EXECUTE\t\"x\"",
                    {"Table,Ajoute,TABLE1,ORDRE EXECUTE\t'x'"}},
        RewriteCase{"AccentedWordInMessage",
                    "Erreur,Ordre ex" + kE + "cut" + kE + " \"A\"",
                    {"Erreur,Ordre ex" + kE + "cut" + kE + " 'A'"}},
        // Accented verb rule.
        RewriteCase{"CallForm", "EXECUTE(\"FermeFen\")", {"EX" + kE + "CUTE(\"FermeFen\")"}},
        RewriteCase{"CallFormLower", "execute(\"p\")", {"ex" + kE + "cute(\"p\")"}},
        RewriteCase{"CommaForm", "Execute,MaProc", {"ex" + kE + "cute(\"MaProc\")"}},
        RewriteCase{
            "CommaFormTrailingBlanks", "Execute,MaProc   ", {"ex" + kE + "cute(\"MaProc\")"}},
        RewriteCase{
            "CommaFormTrailingNul", std::string("Execute,P\0\0", 11), {"ex" + kE + "cute(\"P\")"}},
        RewriteCase{"VerbAlone", "Execute", {"ex" + kE + "cute(\"\")"}},
        RewriteCase{"VerbWithoutComma", "Execute PROC", {"ex" + kE + "cute(\" PROC\")"}},
        RewriteCase{"WindowCode", "Execute,FAMPRO1.MODIFICATION", {"Execute,FAMPRO1.MODIFICATION"}},
        RewriteCase{"WindowCodeClick", "Execute,BOUTON1.CLIC", {"Execute,BOUTON1.CLIC"}},
        RewriteCase{"ExecuterNeverRewritten", "Executer,PROC", {"Executer,PROC"}},
        // Commands the bridge leaves alone.
        RewriteCase{"TableRow", "Table,Ajoute,TABLE1,A\tB", {"Table,Ajoute,TABLE1,A\tB"}},
        RewriteCase{"Events", "MULTITACHE,-2", {"MULTITACHE,-2"}},
        RewriteCase{"Library", "BIBLI,disque,ORVANE.wdl", {"BIBLI,disque,ORVANE.wdl"}},
        RewriteCase{"Empty", "", {""}},
        // Hostile: an embedded NUL ends the command the runtime sees.
        RewriteCase{"EmbeddedNul", std::string("info,AB\0CD", 10), {"info,AB"}}),
    [](const ::testing::TestParamInfo<RewriteCase>& info) { return info.param.label; });

TEST_F(BridgeTest, CutsLongCommandsTo254Characters) {
  std::string long_text = "info," + std::string(400, 'x');
  SendCommand(long_text);
  ASSERT_EQ(runtime().Commands().size(), 1u);
  EXPECT_EQ(runtime().Commands()[0], long_text.substr(0, 254));

  // The rewrite of a long open command cuts both commands.
  runtime().Reset();
  SendCommand("Ouvre," + std::string(300, 'W'));
  ASSERT_EQ(runtime().Commands().size(), 2u);
  EXPECT_EQ(runtime().Commands()[0].size(), 254u);
  EXPECT_EQ(runtime().Commands()[1], "Ouvre," + std::string(248, 'W'));
}

TEST_F(BridgeTest, OnlyInputChangesTheReturnCode) {
  EXPECT_EQ(ReturnCode(), "");
  runtime().Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", "T01"});
  // A runtime that would leave another code after every other command.
  runtime().Answer("", RuntimeAnswer{0, "", "XYZ"});
  SendCommand("Ecran,Saisie");
  EXPECT_EQ(ReturnCode(), "T01");
  for (const char* command : {"Ferme", "Ouvre,SEL01A,10,10", "ECRAN,RECUPERE,NOM", "HFCTX",
                              "OUINON,Quitter ?", "Execute,PROC", "RECUPERE,gsX"}) {
    SendCommand(command);
    EXPECT_EQ(ReturnCode(), "T01") << command;
  }
  runtime().Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", ""});
  SendCommand("ECRAN,SAISIE");
  EXPECT_EQ(ReturnCode(), "");
}

TEST_F(BridgeTest, HookResultsGiveWayToTheCallersCommand) {
  runtime().Answer("EX", RuntimeAnswer{5, "hook", std::nullopt});
  runtime().Answer("Ouvre", RuntimeAnswer{7, "window", std::nullopt});
  runtime().Answer("Ferme", RuntimeAnswer{9, "", std::nullopt});
  SendCommand("Ouvre,MENU.WDW");
  EXPECT_EQ(ReturnedText(), "window");
  EXPECT_EQ(IntegerReturnValue(), 7);
  SendCommand("Ferme");
  EXPECT_EQ(ReturnedText(), "");
  EXPECT_EQ(IntegerReturnValue(), 9);
}

// How the results are read back from the module block.
struct BlockCase {
  const char* label;
  std::string text_written;
  std::string code_written;
  std::string text_read;
  std::string code_read;
};

class BridgeBlockTest : public BridgeTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BridgeBlockTest, ReadsUpToNulCarriageReturnOrLength) {
  runtime().Answer("ECRAN,SAISIE",
                   RuntimeAnswer{-3, GetParam().text_written, GetParam().code_written});
  SendCommand("Ecran,Saisie");
  EXPECT_EQ(ReturnedText(), GetParam().text_read);
  EXPECT_EQ(ReturnCode(), GetParam().code_read);
  EXPECT_EQ(IntegerReturnValue(), -3);
}

INSTANTIATE_TEST_SUITE_P(
    Results, BridgeBlockTest,
    ::testing::Values(
        BlockCase{"Plain", "Dupont", "LAN", "Dupont", "LAN"},
        BlockCase{"Short", "", "OK", "", "OK"},
        BlockCase{"CarriageReturn", "ab\rcd", "E\rS", "ab", "E"},
        BlockCase{"LongCode", "x", "ABCDEF", "x", "ABC"},
        BlockCase{"FullText", std::string(206, 'a'), "ESC", std::string(206, 'a'), "ESC"},
        BlockCase{"TooLongText", std::string(300, 'b'), "ESC", std::string(206, 'b'), "ESC"},
        BlockCase{"HighBytes", "\xE9\xFF\x80", "\xC9", "\xE9\xFF\x80", "\xC9"}),
    [](const ::testing::TestParamInfo<BlockCase>& info) { return info.param.label; });

TEST_F(BridgeTest, ReturnedTextStopsAtItsLengthWhenTheBlockHoldsNoEnd) {
  // Fill the whole block with letters before answering: the bridge must not
  // read past the returned text into the bytes that follow it.
  runtime().SetCommandHook([](const std::string&) {
    uint8_t* block = const_cast<uint8_t*>(RecordingRuntime::Get().calls().back().block);
    std::fill(block, block + kWdModuleBlockSize, 'q');
  });
  runtime().Answer("ECRAN", RuntimeAnswer{0, std::string(206, 'z'), std::nullopt});
  SendCommand("ECRAN,SAISIE");
  EXPECT_EQ(ReturnedText(), std::string(206, 'z'));
  EXPECT_EQ(ReturnCode(), "qqq");
}

TEST_F(BridgeTest, StartsTheModuleOnceBeforeTheFirstCommand) {
  SendCommand("HFCTX");
  SendCommand("info,deux");
  const auto& calls = runtime().calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].kind, RuntimeCall::Kind::kInit);
  EXPECT_EQ(calls[0].block_byte1, 2);
  EXPECT_EQ(calls[0].block_byte2, 0);
  EXPECT_EQ(calls[1].kind, RuntimeCall::Kind::kExecute);
  EXPECT_EQ(calls[1].block, calls[0].block);
  EXPECT_EQ(calls[2].block, calls[0].block);
  EXPECT_EQ(runtime().init_count(), 1);
}

TEST_F(BridgeTest, NestedHookDoesNotStartTheModuleTwice) {
  SendCommand("Ouvre,MENU.WDW");
  EXPECT_EQ(runtime().init_count(), 1);
  EXPECT_EQ(runtime().calls()[0].kind, RuntimeCall::Kind::kInit);
}

TEST_F(BridgeTest, TerminateCallsTheRuntimeOnlyWhenStarted) {
  TerminateModule();
  EXPECT_EQ(runtime().term_count(), 0);
  EXPECT_TRUE(runtime().calls().empty());

  SendCommand("info,x");
  TerminateModule();
  TerminateModule();
  EXPECT_EQ(runtime().term_count(), 1);

  // A command after termination starts the module again.
  SendCommand("info,y");
  EXPECT_EQ(runtime().init_count(), 2);
  TerminateModule();
  EXPECT_EQ(runtime().term_count(), 2);
  EXPECT_EQ(runtime().calls().back().kind, RuntimeCall::Kind::kTerm);
}

TEST_F(BridgeTest, LeavesTheCallersCommandAlone) {
  const std::string command = "Erreur,\"x\"";
  const std::string copy = command;
  SendCommand(command);
  EXPECT_EQ(command, copy);
  EXPECT_THAT(runtime().Commands(), ElementsAre("Erreur,'x'"));
}

}  // namespace
}  // namespace vz::screen
