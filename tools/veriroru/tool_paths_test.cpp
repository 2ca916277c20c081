// Finding the data directory as the program finds it: from the parameter
// file beside the program directory, or as named on the command line.
#include "tools/veriroru/tool_paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct ParameterCase {
  const char* value;
  const char* expected;  // relative to /suite/VUZUVIZA's parent, "" for none
};

class DataDirectoryFromParameterTest : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(DataDirectoryFromParameterTest, ResolvesLikeTheEngine) {
  EXPECT_EQ(DataDirectoryFromParameter("/suite/VUZUVIZA", GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DataDirectoryFromParameterTest,
    ::testing::Values(ParameterCase{"..\\DONNEES,", "/suite/DONNEES"},
                      ParameterCase{"  ..\\DONNEES\\  ,B", "/suite/DONNEES"},
                      ParameterCase{"/srv/data,", "/srv/data"},
                      ParameterCase{"D:\\VESTRA\\FIC01,", "/suite/VUZUVIZA/VESTRA/FIC01"},
                      ParameterCase{"DONNEES", "/suite/VUZUVIZA/DONNEES"}, ParameterCase{",B", ""},
                      ParameterCase{"", ""}, ParameterCase{"   ,", ""}));

class LocateTest : public ::testing::Test {
 protected:
  testing::DemoInstallation installation_;
};

TEST_F(LocateTest, FromTheProgramDirectory) {
  ASSERT_TRUE(installation_.ok()) << installation_.error();
  ToolPaths paths;
  std::string error;
  ASSERT_TRUE(LocateToolPathsFrom("", installation_.program_directory(), "", &paths, &error))
      << error;
  const std::string suite = fs::path(installation_.program_directory()).parent_path().string();
  EXPECT_EQ(paths.data_directory, suite + "/DONNEES");
  EXPECT_EQ(paths.parameter_file, suite + "/FIC01/PARAM.DTA");
  EXPECT_EQ(paths.analysis_file, suite + "/HSF/vestra.wdd");
}

TEST_F(LocateTest, TheExecutableDirectoryWhenTheCurrentOneHasNoParameterFile) {
  ASSERT_TRUE(installation_.ok()) << installation_.error();
  ToolPaths paths;
  std::string error;
  ASSERT_TRUE(LocateToolPathsFrom("", "/", installation_.program_directory(), &paths, &error))
      << error;
  EXPECT_EQ(paths.data_directory, installation_.paths().data_directory);
}

TEST_F(LocateTest, NamedDataDirectoryKeepsOnlyItsOwnParameterFile) {
  ASSERT_TRUE(installation_.ok()) << installation_.error();
  ToolPaths paths;
  std::string error;
  ASSERT_TRUE(LocateToolPathsFrom(installation_.paths().data_directory,
                                  installation_.program_directory(), "", &paths, &error));
  EXPECT_EQ(paths.parameter_file, installation_.paths().parameter_file);
  // Another data directory: the installation's settings are not its own.
  const std::string other = installation_.root() + "/AUTRES";
  fs::create_directories(other);
  ASSERT_TRUE(LocateToolPathsFrom(other, installation_.program_directory(), "", &paths, &error));
  EXPECT_EQ(paths.data_directory, other);
  EXPECT_EQ(paths.parameter_file, "");
  EXPECT_EQ(paths.analysis_file, installation_.paths().analysis_file);
}

TEST_F(LocateTest, FailuresSayWhat) {
  ASSERT_TRUE(installation_.ok()) << installation_.error();
  ToolPaths paths;
  std::string error;
  EXPECT_FALSE(LocateToolPathsFrom("", "/", "/", &paths, &error));
  EXPECT_THAT(error, HasSubstr("PARAM.DTA introuvable"));
  EXPECT_FALSE(LocateToolPathsFrom(installation_.root() + "/nulle-part",
                                   installation_.program_directory(), "", &paths, &error));
  EXPECT_THAT(error, HasSubstr("n'existe pas"));
  testing::WriteBytes(installation_.paths().parameter_file, "[COMPOSANTS]\r\nDPIOK=1,\r\n");
  EXPECT_FALSE(LocateToolPathsFrom("", installation_.program_directory(), "", &paths, &error));
  EXPECT_THAT(error, HasSubstr("REPERTOIREF"));
}

}  // namespace
}  // namespace vz::veriroru
