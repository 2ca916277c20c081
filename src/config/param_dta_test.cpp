#include "src/config/param_dta.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/os/paths.h"
#include "platform/os/shell.h"
#include "platform/os/whole_file.h"
#include "src/config/display_scaling.h"
#include "src/config/parameter_file.h"

namespace vz::config {
namespace {

namespace fs = std::filesystem;

// A parameter file beside the test program, reached by a relative path
// written the Windows way, and a current directory elsewhere.
class ParamDtaTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_directory_ = os::CurrentDirectory();
    const std::string unique = "vz_param_dta_" + std::to_string(::getpid());
    beside_ = fs::path(os::ProgramDirectory()) / unique;
    elsewhere_ = fs::temp_directory_path() / unique;
    fs::remove_all(beside_);
    fs::remove_all(elsewhere_);
    fs::create_directories(beside_);
    fs::create_directories(elsewhere_);
    relative_ = unique + "\\PARAM.DTA";
    ASSERT_TRUE(os::ChangeDirectory(elsewhere_.string()));
  }
  void TearDown() override {
    os::ChangeDirectory(saved_directory_);
    ::unsetenv(os::kShellLogVariable);
    fs::remove_all(beside_);
    fs::remove_all(elsewhere_);
  }
  void Put(const std::string& text) {
    std::ofstream(beside_ / "PARAM.DTA", std::ios::binary) << text;
  }

  std::string saved_directory_;
  fs::path beside_;
  fs::path elsewhere_;
  std::string relative_;
};

TEST_F(ParamDtaTest, DefaultPathAndSharedTable) {
  TParamDTA parameters;
  EXPECT_EQ(parameters.path(), "..\\FIC01\\PARAM.DTA");
  EXPECT_EQ(parameters.ResolvedPath(), os::JoinPath(os::ProgramDirectory(), "../FIC01/PARAM.DTA"));
  EXPECT_EQ(parameters.elements().Count(), 0u);
  table_param* table = &SharedParameterTable();
  TParamDTA another;
  EXPECT_EQ(&SharedParameterTable(), table);
}

TEST_F(ParamDtaTest, ReadsFromTheProgramDirectoryAndLeavesTheCurrentOne) {
  Put("[COMPOSANTS]\r\nDPIOK=1\r\nREPERTOIREF= C:\\DATA , x\r\n");
  // A file of the same relative name in the current directory must not be read.
  fs::create_directories(elsewhere_ / beside_.filename());
  std::ofstream(elsewhere_ / beside_.filename() / "PARAM.DTA") << "[COMPOSANTS]\nDPIOK=0\n";
  const std::string before = os::CurrentDirectory();
  TParamDTA parameters(relative_);
  struct Case {
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"DPIOK", "1"},
      {"dpiok", "1"},
      {"REPERTOIREF", "C:\\DATA "},
      {"MISSING", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(parameters.ReadComponentParameter(c.key), c.expected);
    EXPECT_EQ(os::CurrentDirectory(), before);
  }
  // An absolute path is read as it is.
  TParamDTA absolute((beside_ / "PARAM.DTA").string());
  EXPECT_EQ(absolute.ReadComponentParameter("DPIOK"), "1");
  // Missing file, empty path: empty results.
  EXPECT_EQ(TParamDTA(relative_ + "X").ReadComponentParameter("DPIOK"), "");
  EXPECT_EQ(TParamDTA("").ReadComponentParameter("DPIOK"), "");
}

TEST_F(ParamDtaTest, ElementListOwnsItsElements) {
  TParamDTA parameters(relative_);
  parameters.elements().Add("NUMREQ", "000012");
  parameters.elements().Add("DPIOK", "1");
  ASSERT_EQ(parameters.elements().Count(), 2u);
  EXPECT_EQ(parameters.elements().At(1).key, "DPIOK");
  parameters.elements().Clear();
  EXPECT_EQ(parameters.elements().Count(), 0u);
}

TEST_F(ParamDtaTest, DisplayScalingRegistrationFollowsDpiok) {
  const std::string log = (elsewhere_ / "shell.log").string();
  ::setenv(os::kShellLogVariable, log.c_str(), 1);
  TParamDTA parameters(relative_);
  const auto lines = [&log] {
    std::string text;
    os::ReadWholeFile(log, &text);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  };
  struct Case {
    const char* file;
    int new_lines;
  };
  const Case cases[] = {
      {"[COMPOSANTS]\nDPIOK=1\n", 0},
      {"[COMPOSANTS]\nDPIOK = 1 \n", 0},
      {"[COMPOSANTS]\nDPIOK=1,0\n", 0},
      {"[COMPOSANTS]\nDPIOK=0\n", 1},
      {"[COMPOSANTS]\nDPIOK=11\n", 1},
      {"[COMPOSANTS]\n", 1},  // the key absent: at every start
      {"", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Put(c.file);
    SetListSeparator('\t');
    const int before = lines();
    RegisterDisplayScaling("/opt/suite/vuzuviza", parameters);
    EXPECT_EQ(lines() - before, c.new_lines);
    EXPECT_EQ(ListSeparator(), ',');
  }
  std::string text;
  os::ReadWholeFile(log, &text);
  EXPECT_NE(text.find("/C reg add "), std::string::npos);
  EXPECT_NE(text.find("/v \"/opt/suite/vuzuviza\""), std::string::npos);
}

}  // namespace
}  // namespace vz::config
