#include "src/config/program_settings.h"

#include <gtest/gtest.h>

namespace vz::config {
namespace {

TEST(ProgramSettingsTest, DefaultsAndChanges) {
  EXPECT_EQ(DataDirectory(), "");
  EXPECT_EQ(ParameterFilePath(), "..\\FIC01\\PARAM.DTA");
  EXPECT_EQ(DatabaseSecurityLevel(), 2);
  SetDataDirectory("C:\\DATA");
  SetParameterFilePath("/etc/suite/PARAM.DTA");
  SetDatabaseSecurityLevel(0);
  EXPECT_EQ(DataDirectory(), "C:\\DATA");
  EXPECT_EQ(ParameterFilePath(), "/etc/suite/PARAM.DTA");
  EXPECT_EQ(DatabaseSecurityLevel(), 0);
  SetDataDirectory("");
  SetParameterFilePath(kParameterFilePath);
  SetDatabaseSecurityLevel(2);
}

}  // namespace
}  // namespace vz::config
