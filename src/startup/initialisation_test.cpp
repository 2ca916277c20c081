#include "src/startup/initialisation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/engine/le_api.h"
#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/screen/bridge_for_tests.h"
#include "src/startup/startup_test_fixture.h"
#include "src/util/replacing_file.h"
#include "tests/support/call_order_log.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_installation.h"

namespace vz::startup {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using vz::testing::CallOrderLog;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

const std::string kNoDataDirectory = os::Cp1252(
    "info, Erreur d'ouverture sur le chemin de la base de données. Veuillez contacter le "
    "service technique.");
const std::string kNoLibrary =
    os::Cp1252("Erreur,La bibliothèque ORVANE.WDL doit être présente dans le répertoire père.");

class InitialisationTest : public StartupTest {
 protected:
  InitialisationTest() : StartupTest("startup_init") {}
};

TEST_F(InitialisationTest, RunsEveryStepInOrder) {
  EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
  EXPECT_THAT(
      CallOrderLog::Verbs(),
      ElementsAre("wd BIBLI,disque,ORVANE.wdl", "wd PROJET,ORVANE.WDP", "LE_CreateContexteHF",
                  "(descriptions)", "wd HFCTX", "LE_Hinitpartage", "LE_Houvreanalyse",
                  "LE_Hsubstrep", "LE_Hferme", "LE_Hsubstrep", "LE_Hmodeperso", "LE_Hsecurite",
                  "LE_Hgeredoublonnon", "LE_Hgeretrsnon", "LE_Hgerejnlnon", "LE_Hgererepnon",
                  "LE_Hseterrignore", "LE_Hsetnbessais", "LE_Hnbessais", "LE_Hsetnbessaismessage",
                  "LE_Hinfogene", "LE_Hnbenr", "LE_Hinfogene", "LE_Hnbenr", "(descriptions: 103)"));
  std::vector<std::string> lines = CallOrderLog::Lines();
  EXPECT_EQ(lines[2], "LE_CreateContexteHF 103");
  EXPECT_EQ(lines[5], "LE_Hinitpartage " + std::to_string(runtime_context_));
  EXPECT_THAT(lines[6], HasSubstr("..\\HSF\\vestra.wdd"));
  EXPECT_THAT(lines[7], HasSubstr("D:\\VESTRA"));
  EXPECT_THAT(lines[7], HasSubstr("\"?\""));
  EXPECT_THAT(lines[9], HasSubstr(installation_.data_directory().string()));
  EXPECT_EQ(lines[10], "LE_Hmodeperso 1");
  EXPECT_EQ(lines[11], "LE_Hsecurite 2");
  EXPECT_EQ(lines[16], "LE_Hseterrignore 1");
  EXPECT_EQ(lines[17], "LE_Hsetnbessais 10");
  EXPECT_EQ(lines[19], "LE_Hsetnbessaismessage 11");

  EXPECT_EQ(config::DataDirectory(), installation_.data_directory().string());
  EXPECT_EQ(config::ListSeparator(), '\t');
  EXPECT_EQ(config::ParameterFilePath(), "..\\FIC01\\PARAM.DTA");
  EXPECT_EQ(RecordingRuntime::Get().term_count(), 0);
}

TEST_F(InitialisationTest, AnUnusableClientFileIsNamedAtStartAndLogged) {
  std::filesystem::create_directories(installation_.data_directory());
  std::ofstream(installation_.data_directory() / "CLIENT.vzdb") << "CODCLI;NOM\n010000011;A\n";
  EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
  std::vector<std::string> errors;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.starts_with("Erreur,")) errors.push_back(command);
  }
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_THAT(errors[0], HasSubstr("CLIENT"));
  EXPECT_THAT(errors[0], HasSubstr(os::Cp1252("ne peut pas être utilisé")));
  std::ifstream log(installation_.data_directory() / "vuzuviza.log");
  std::string line;
  ASSERT_TRUE(std::getline(log, line));
  EXPECT_THAT(line, HasSubstr("CLIENT"));
}

TEST_F(InitialisationTest, MissingWindowLibraryStopsTheStart) {
  RecordingRuntime::Get().Answer("BIBLI,", RuntimeAnswer{1, "", std::nullopt});
  EXPECT_EQ(InitialiseProgram(), StartResult::kStopped);
  EXPECT_THAT(CallOrderLog::Verbs(),
              ElementsAre("wd BIBLI,disque,ORVANE.wdl", "wd " + kNoLibrary, "LE_HftermineCTX"));
  EXPECT_EQ(RecordingRuntime::Get().term_count(), 1);
  EXPECT_EQ(RecordingRuntime::Get().calls().back().kind, vz::testing::RuntimeCall::Kind::kTerm);
  EXPECT_EQ(config::ListSeparator(), ',');
}

// The record store named by "BASEDONNEES" and "CONNEXIONBASE": the SQLite
// files when absent; a store that cannot be used stops the start with a
// message, before any engine setting, as a missing window library does.
TEST_F(InitialisationTest, ARecordStoreThatCannotBeUsedStopsTheStart) {
  struct Case {
    const char* label;
    const char* settings;
    const char* message;  // a part of the message; nullptr: the start goes on
  } cases[] = {
      {"absent", "", nullptr},
      {"sqlite", "BASEDONNEES=sqlite,\n", nullptr},
      {"unknown store", "BASEDONNEES=ORACLE,\n", "BASEDONNEES"},
      {"no connection", "BASEDONNEES=POSTGRESQL\n", "CONNEXIONBASE"},
      {"server unreachable", "BASEDONNEES=POSTGRESQL\nCONNEXIONBASE=host=/nowhere,/else dbname=v\n",
       "cannot reach the database server"},
      {"password stored", "BASEDONNEES=POSTGRESQL\nCONNEXIONBASE=service=v password=secret\n",
       ".pgpass"},
  };
  const std::string data = installation_.data_directory().string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    CallOrderLog::Clear();
    config::SetListSeparator(',');
    installation_.WriteParameterFile("[COMPOSANTS]\nREPERTOIREF=" + data + ",\n" + c.settings);
    if (c.message == nullptr) {
      EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
      EXPECT_EQ(RecordingRuntime::Get().term_count(), 0);
      continue;
    }
    EXPECT_EQ(InitialiseProgram(), StartResult::kStopped);
    const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().rfind(os::Cp1252("Erreur,"), 0), 0u) << commands.back();
    EXPECT_THAT(commands.back(), HasSubstr(c.message));
    const std::vector<std::string> verbs = CallOrderLog::Verbs();
    EXPECT_THAT(verbs, ::testing::Contains("LE_HftermineCTX"));
    EXPECT_THAT(verbs, ::testing::Not(::testing::Contains("LE_Hsetnbessais")));
    EXPECT_EQ(RecordingRuntime::Get().term_count(), 1);
  }
}

// The data directory read from "REPERTOIREF" with the list separator ",".
struct DirectoryCase {
  const char* label;
  const char* parameter_file;  // "@" stands for the installation's data directory
  bool file_exists;
  const char* data_directory;
  bool informed;
};

class DataDirectoryTest : public InitialisationTest,
                          public ::testing::WithParamInterface<DirectoryCase> {};

std::string Expand(std::string text, const std::string& data) {
  for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + data.size())) {
    text.replace(at, 1, data);
  }
  return text;
}

TEST_P(DataDirectoryTest, ReadsTheFirstFieldTrimmed) {
  const DirectoryCase& c = GetParam();
  const std::string data = installation_.data_directory().string();
  if (c.file_exists) {
    installation_.WriteParameterFile(Expand(c.parameter_file, data));
  } else {
    installation_.RemoveParameterFile();
  }
  EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
  EXPECT_EQ(config::DataDirectory(), Expand(c.data_directory, data));
  std::vector<std::string> verbs = CallOrderLog::Verbs();
  const std::vector<std::string> informed = {"LE_Hsubstrep", "wd " + kNoDataDirectory, "LE_Hferme"};
  const std::vector<std::string> silent = {"LE_Hsubstrep", "LE_Hferme"};
  EXPECT_THAT(std::vector<std::string>(verbs.begin() + 7, verbs.begin() + (c.informed ? 10 : 9)),
              ElementsAreArray(c.informed ? informed : silent));
  // The start goes on in every case, with the same engine settings.
  EXPECT_EQ(verbs.back(), "(descriptions: 103)");
  const std::string substitution = CallOrderLog::Lines()[c.informed ? 10 : 9];
  EXPECT_EQ(substitution.rfind("LE_Hsubstrep \"D:\\VESTRA\" \"", 0), 0u) << substitution;
  if (config::DataDirectory().find('\t') == std::string::npos) {
    EXPECT_EQ(substitution, "LE_Hsubstrep \"D:\\VESTRA\" \"" + config::DataDirectory() + "\"");
  }
  EXPECT_EQ(config::ListSeparator(), '\t');
}

INSTANTIATE_TEST_SUITE_P(
    Parameter, DataDirectoryTest,
    ::testing::Values(
        DirectoryCase{"Plain", "[COMPOSANTS]\nREPERTOIREF=@,\n", true, "@", false},
        DirectoryCase{"WithoutComma", "[COMPOSANTS]\nREPERTOIREF=@\n", true, "@", false},
        DirectoryCase{"BlanksAround", "[COMPOSANTS]\nREPERTOIREF=   @   ,\n", true, "@", false},
        DirectoryCase{"BlanksInsideTheField", "[COMPOSANTS]\nREPERTOIREF=  @/A   B  ,x\n", true,
                      "@/A B", false},
        DirectoryCase{"SecondFieldIgnored", "[COMPOSANTS]\nREPERTOIREF=@,/ailleurs,\n", true, "@",
                      false},
        DirectoryCase{"TabIsNotTheSeparatorYet", "[COMPOSANTS]\nREPERTOIREF=@\t/x,\n", true,
                      "@\t/x", false},
        DirectoryCase{"KeyCase", "[composants]\nrepertoiref=@,\n", true, "@", false},
        DirectoryCase{"EmptyValue", "[COMPOSANTS]\nREPERTOIREF=\n", true, "", true},
        DirectoryCase{"OnlyBlanks", "[COMPOSANTS]\nREPERTOIREF=    \n", true, "", true},
        DirectoryCase{"KeyMissing", "[COMPOSANTS]\nNUMREQ=000001,\n", true, "", true},
        DirectoryCase{"OtherSection", "[AUTRE]\nREPERTOIREF=@,\n", true, "", true},
        DirectoryCase{"FileMissing", "", false, "", true},
        DirectoryCase{"BinaryFile", "\x01\x02\xFF\n[[[=\n\x7F=\xFF", true, "", true},
        // An empty first field leaves no data directory: the user is told.
        DirectoryCase{"EmptyFirstField", "[COMPOSANTS]\nREPERTOIREF=,@,\n", true, "", true},
        DirectoryCase{"BlankFirstField", "[COMPOSANTS]\nREPERTOIREF=   ,@,\n", true, "", true}),
    [](const ::testing::TestParamInfo<DirectoryCase>& info) { return info.param.label; });

// A pipe or a folder in place of the parameter file is named in a message at
// once; the start goes on without a data directory, and never waits.
class ParameterFileNoFileTest : public InitialisationTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(ParameterFileNoFileTest, IsNamedAndTheStartGoesOn) {
  const fs::path parameters = installation_.parameter_file();
  fs::remove_all(parameters);
  if (std::string(GetParam()) == "pipe") {
    ASSERT_EQ(::mkfifo(parameters.c_str(), 0600), 0);
  } else {
    fs::create_directories(parameters);
  }
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(config::DataDirectory(), "");
  EXPECT_THAT(RecordingRuntime::Get().Commands(),
              ::testing::Contains(os::Cp1252(
                  "Erreur,Le fichier de paramètres ..\\FIC01\\PARAM.DTA n'est pas un fichier "
                  "ordinaire (dossier, tube ou périphérique) : le chemin de la base de données "
                  "est inconnu. Veuillez contacter le service technique.")));
  fs::remove_all(parameters);
}

INSTANTIATE_TEST_SUITE_P(InPlaceOfTheFile, ParameterFileNoFileTest,
                         ::testing::Values("pipe", "folder"));

TEST_F(InitialisationTest, FailuresOfTheContextAreShownAndTheStartGoesOn) {
  struct Case {
    const char* label;
    int32_t runtime_context;
    bool analysis;
    std::string message;
  };
  const Case cases[] = {
      {"unknown runtime context", -5, true, "Erreur,Erreur d'initialisation du contexte HF"},
      {"no analysis", 0, false, "Erreur,Erreur d'ouverture de l'analyse"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Answer(
        "HFCTX", RuntimeAnswer{c.runtime_context != 0 ? c.runtime_context : runtime_context_, "",
                               std::nullopt});
    if (!c.analysis) fs::remove(installation_.root() / "HSF" / "vestra.wdd");
    EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
    EXPECT_THAT(RecordingRuntime::Get().Commands(), ::testing::Contains(c.message));
    EXPECT_EQ(config::DataDirectory(), installation_.data_directory().string());
    EXPECT_EQ(CallOrderLog::Verbs().back(), "(descriptions: 103)");
    EXPECT_EQ(config::ListSeparator(), '\t');
    config::SetListSeparator(',');
    CallOrderLog::Clear();
  }
}

// A run killed while writing leaves its temporary files among the outputs;
// the next start removes those of this host's ended processes, in every
// output folder, and nothing else.
TEST_F(InitialisationTest, RemovesTheTemporaryFilesOfAKilledRun) {
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(ended, &status, 0), ended);
  const auto temporary = [&](std::string_view final_name, pid_t pid) {
    return std::string(final_name) + "." + util::ThisHostPart() + "." + std::to_string(pid) +
           ".1.tmp";
  };
  const fs::path data = installation_.data_directory();
  fs::create_directories(data / "ETIQUETTES");
  fs::create_directories(data / "LETTRES" / "01000001-RELANCE");
  const std::vector<fs::path> leftovers = {
      data / temporary("01000001.EXT", ended),
      data / temporary("01000001.MEM", ended),
      data / "ETIQUETTES" / temporary("01000001.pdf", ended),
      data / "LETTRES" / "01000001-RELANCE" / temporary("lettres.pdf", ended),
  };
  const std::vector<fs::path> kept = {
      data / temporary("01000002.EXT", ::getpid()),  // a run still writing
      data / "01000001.EXT",
      data / "01000001.EXT.tmp",
      data / "ETIQUETTES" / "01000001.pdf",
      data / "LETTRES" / "01000001-RELANCE" / "0001-010000011.TXT",
  };
  for (const fs::path& path : leftovers) std::ofstream(path) << "x";
  for (const fs::path& path : kept) std::ofstream(path) << "x";
  EXPECT_EQ(InitialiseProgram(), StartResult::kReady);
  for (const fs::path& path : leftovers) EXPECT_FALSE(fs::exists(path)) << path;
  for (const fs::path& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
}

TEST_F(InitialisationTest, ShutDownClosesProjectFilesAndModule) {
  ASSERT_EQ(InitialiseProgram(), StartResult::kReady);
  CallOrderLog::Clear();
  ShutDownProgram();
  EXPECT_THAT(CallOrderLog::Lines(), ElementsAre("wd Projet,", "LE_Hferme \"\""));
  EXPECT_EQ(RecordingRuntime::Get().term_count(), 1);
  EXPECT_EQ(RecordingRuntime::Get().calls().back().kind, vz::testing::RuntimeCall::Kind::kTerm);
}

}  // namespace
}  // namespace vz::startup
