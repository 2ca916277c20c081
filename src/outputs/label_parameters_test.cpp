#include "src/outputs/label_parameters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

// Fields 1 to 32 of a stored label layout, each followed by a TAB.
std::string StoredValue(const std::vector<std::string>& fields) {
  std::string value;
  for (int i = 0; i < config::kParameterFields; ++i) {
    value += (static_cast<size_t>(i) < fields.size() ? fields[i] : std::string()) + "\t";
  }
  return value;
}

class LabelParametersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    directory_ = fs::temp_directory_path() /
                 ("vz_labels_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(directory_);
    path_ = (directory_ / "PARAM.DTA").string();
    config::SetParameterFilePath(path_);
    config::SetListSeparator('\t');
  }
  void TearDown() override {
    config::SetListSeparator(',');
    config::SetParameterFilePath(config::kParameterFilePath);
    fs::remove_all(directory_);
  }

  void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string ReadFile() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The user ends the input with `code` after typing `typed` (field, text).
  void PlayInput(const std::string& code,
                 std::vector<std::pair<std::string, std::string>> typed = {}) {
    RecordingRuntime& runtime = RecordingRuntime::Get();
    runtime.Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", code});
    runtime.SetCommandHook([typed](const std::string& command) {
      if (command != "ECRAN,SAISIE") return;
      for (const auto& [field, text] : typed) RecordingRuntime::Get().fields()[field] = text;
    });
  }
  std::string ShownIn(const std::string& field) { return RecordingRuntime::Get().fields()[field]; }

  fs::path directory_;
  std::string path_;
};

const std::vector<std::string> kLayout = {"10", "5", "2", "3", "38,1", "70", "3", "8"};

TEST_F(LabelParametersTest, ShowsTheStoredLayoutAndSavesTheTypedOne) {
  WriteFile("[COMPOSANTS]\r\nEX_ETIQUETTE=" + StoredValue(kLayout) + "\r\n");
  PlayInput("TF0", {{"MHAUTE", "12"}, {"NBETIV", "9"}});

  RunLabelParametersScreen();

  std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  // Open, eight fields, the preview, the input, the window's check, eight
  // fields read back, the write and the close.
  ASSERT_EQ(commands.size(), 2u + 8u + 1u + 1u + 1u + 8u + 2u);
  EXPECT_EQ(commands[1], "Ouvre,PARETI");
  for (size_t i = 0; i < kLabelLayoutFields.size(); ++i) {
    EXPECT_EQ(commands[2 + i], "AFFICHE," + std::string(kLabelLayoutFields[i]) + "=" + kLayout[i]);
    EXPECT_EQ(commands[13 + i], "ECRAN,RECUPERE," + std::string(kLabelLayoutFields[i]));
  }
  EXPECT_EQ(commands[10], "Execute,APERCU.REMPLIR");
  EXPECT_EQ(commands[11], "ECRAN,SAISIE");
  EXPECT_EQ(commands[12], "EX\xE9" "CUTE(\"VerifieEtiquettes\")");
  EXPECT_EQ(commands.back(), "Ferme");

  std::vector<std::string> saved = kLayout;
  saved[0] = "12";
  saved[7] = "9";
  EXPECT_EQ(ReadFile(), "[COMPOSANTS]\r\nEX_ETIQUETTE=" + StoredValue(saved) + "\r\n");
}

// A layout the window refuses (it does not fit the page; the window has said
// why) is not stored: the window waits again, and the next confirmed one is.
TEST_F(LabelParametersTest, ARefusedLayoutIsNotStoredAndTheWindowWaitsAgain) {
  WriteFile("[COMPOSANTS]\r\nEX_ETIQUETTE=" + StoredValue(kLayout) + "\r\n");
  int inputs = 0;
  RecordingRuntime& runtime = RecordingRuntime::Get();
  runtime.Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", "TF0"});
  runtime.AnswerInTurn("EX\xE9" "CUTE(\"VerifieEtiquettes\")", {RuntimeAnswer{1, "", {}},
                                                          RuntimeAnswer{0, "", {}}});
  runtime.SetCommandHook([&inputs](const std::string& command) {
    if (command != "ECRAN,SAISIE") return;
    // First a width that runs off the page, then one that fits.
    RecordingRuntime::Get().fields()["LARGEUR"] = ++inputs == 1 ? "90" : "65";
  });

  RunLabelParametersScreen();

  EXPECT_EQ(inputs, 2);
  std::vector<std::string> saved = kLayout;
  saved[5] = "65";
  EXPECT_EQ(ReadFile(), "[COMPOSANTS]\r\nEX_ETIQUETTE=" + StoredValue(saved) + "\r\n");
  EXPECT_EQ(RecordingRuntime::Get().Commands().back(), "Ferme");
}

TEST_F(LabelParametersTest, EscapeLeavesTheFileUntouched) {
  const std::string file = "; labels\n[COMPOSANTS]\nEX_ETIQUETTE=" + StoredValue(kLayout) + "\n";
  WriteFile(file);
  PlayInput("ESC", {{"MHAUTE", "99"}});
  RunLabelParametersScreen();
  EXPECT_EQ(ReadFile(), file);
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    EXPECT_NE(command.rfind("ECRAN,RECUPERE,", 0), 0u) << command;
  }
  EXPECT_EQ(RecordingRuntime::Get().Commands().back(), "Ferme");
}

TEST_F(LabelParametersTest, ConfirmingWithoutChangesKeepsEveryField) {
  std::vector<std::string> fields;
  for (int i = 1; i <= config::kParameterFields; ++i) fields.push_back("v" + std::to_string(i));
  const std::string file =
      "[COMPOSANTS]\nREPERTOIREF=/data,\nEX_ETIQUETTE=" + StoredValue(fields) + "\n[AUTRE]\nX=1\n";
  WriteFile(file);
  PlayInput("TF0");
  RunLabelParametersScreen();
  EXPECT_EQ(ReadFile(), file);
}

TEST_F(LabelParametersTest, MissingParameterShowsEmptyFieldsAndConfirmingWritesIt) {
  for (const bool file_exists : {false, true}) {
    SCOPED_TRACE(file_exists ? "file without the key" : "no file");
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    fs::remove(path_);
    if (file_exists) WriteFile("[COMPOSANTS]\nNUMREQ=000012,\n");
    PlayInput("TF0", {{"LARGEUR", "70"}});
    RunLabelParametersScreen();
    for (std::string_view field : kLabelLayoutFields) {
      EXPECT_THAT(RecordingRuntime::Get().Commands(),
                  ::testing::Contains("AFFICHE," + std::string(field) + "="));
    }
    EXPECT_THAT(ReadFile(),
                ::testing::HasSubstr("EX_ETIQUETTE=" + StoredValue({"", "", "", "", "", "70"})));
  }
}

TEST_F(LabelParametersTest, CommaSeparatedValueArrivesWholeInTheFirstField) {
  WriteFile("[COMPOSANTS]\nEX_ETIQUETTE=10,5,2\n");
  PlayInput("ESC");
  RunLabelParametersScreen();
  EXPECT_EQ(ShownIn("MHAUTE"), "10,5,2");
  EXPECT_EQ(ShownIn("MGAUCHE"), "");
}

// Layouts stored with fewer than 32 fields, as another program or a hand may
// write them: what is shown, and what confirming without changes stores.
TEST_F(LabelParametersTest, ShortLayoutsGainNoComma) {
  struct Case {
    const char* label;
    std::string stored;
    std::string shown_last;  // NBETIV
    std::string saved;
  };
  const std::vector<std::string> eight = {"3", "8", "70", "37", "0", "0", "5", "1"};
  const Case cases[] = {
      {"eight fields without the last TAB", "3\t8\t70\t37\t0\t0\t5\t1", "1", StoredValue(eight)},
      {"eight TAB-ended fields", "3\t8\t70\t37\t0\t0\t5\t1\t", "1", StoredValue(eight)},
      {"a stored comma is kept", "3\t8\t70\t37\t0\t0\t5\t1,\t", "1,",
       StoredValue({"3", "8", "70", "37", "0", "0", "5", "1,"})},
      {"a value ending with a comma", "3\t8\t70\t37\t0\t0\t5\t1,", "1,",
       StoredValue({"3", "8", "70", "37", "0", "0", "5", "1,"})},
      {"one field", "4", "", StoredValue({"4"})},
      {"ten fields", "1\t2\t3\t4\t5\t6\t7\t8\t9\tx", "8",
       StoredValue({"1", "2", "3", "4", "5", "6", "7", "8", "9", "x"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    WriteFile("[COMPOSANTS]\nEX_ETIQUETTE=" + c.stored + "\n");
    PlayInput("TF0");
    RunLabelParametersScreen();
    EXPECT_EQ(ShownIn("NBETIV"), c.shown_last);
    EXPECT_EQ(ReadFile(), "[COMPOSANTS]\nEX_ETIQUETTE=" + c.saved + "\n");
  }
}

TEST_F(LabelParametersTest, SwitchFieldsReadBackAsLetters) {
  WriteFile("[COMPOSANTS]\nEX_ETIQUETTE=" + StoredValue({"1", "0"}) + "\n");
  RecordingRuntime::Get().SetSwitchField("MGAUCHE");
  PlayInput("TF0");
  RunLabelParametersScreen();
  // "1" in a text field stays "1"; "0" in a switch becomes "N".
  EXPECT_THAT(ReadFile(), ::testing::HasSubstr("EX_ETIQUETTE=" + StoredValue({"1", "N"})));
}

// Typed values that would move the other fields or break the file's lines.
TEST_F(LabelParametersTest, HostileTypedValuesKeepTheFileWhole) {
  WriteFile("[COMPOSANTS]\nREPERTOIREF=/data,\nEX_ETIQUETTE=" + StoredValue(kLayout) + "\n");
  PlayInput("TF0", {{"MHAUTE", "1\t2\t3"},
                    {"MGAUCHE", "4\nREPERTOIREF=/ailleurs"},
                    {"ESPV", std::string(300, 'x')},
                    {"ESPH", "\"q\""}});
  RunLabelParametersScreen();
  config::SetListSeparator(',');
  config::table_param table;
  config::ReadParameter(path_, "REPERTOIREF", table, config::kComponentsSection);
  EXPECT_EQ(table[1], "/data");
  config::SetListSeparator('\t');
  config::ReadParameter(path_, "EX_ETIQUETTE", table, config::kComponentsSection);
  EXPECT_EQ(table[1], "1 2 3");
  EXPECT_EQ(table[2], "4 REPERTOIREF=/ailleurs");
  EXPECT_EQ(table[3].size(), 206u);  // what the window can give back
  EXPECT_EQ(table[4], "\"q\"");
  EXPECT_EQ(table[5], kLayout[4]);
  EXPECT_EQ(table[8], kLayout[7]);
}

struct StorableCase {
  std::string typed;
  std::string stored;
};

TEST(StorableFieldValueTest, SeparatorsAndLineBreaksBecomeBlanks) {
  const StorableCase cases[] = {
      {"", ""},       {"12,5", "12,5"},           {"a\tb", "a b"}, {"a\r\nb", "a  b"}, {"\n", " "},
      {" 7 ", " 7 "}, {"\xE9t\xE9", "\xE9t\xE9"}, {"a;b", "a;b"}};
  for (const StorableCase& c : cases) EXPECT_EQ(StorableFieldValue(c.typed), c.stored) << c.typed;
}

}  // namespace
}  // namespace vz::outputs
