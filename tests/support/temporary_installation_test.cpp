// The shared test installation must leave nothing behind: its folder, the
// engine context and every program setting it changed go back as they were,
// or the tests that run after it in the same program see another's state.
#include "tests/support/temporary_installation.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/os/local_date.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/catalogue.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/numbered_fields.h"
#include "tests/support/test_records.h"

namespace vz::testing {
namespace {

namespace fs = std::filesystem;
using db::FileId;

struct Settings {
  std::string data_directory;
  std::string parameter_file;
  char separator;
  int today_year;
  bool operator==(const Settings&) const = default;
};

Settings Current() {
  return {config::DataDirectory(), config::ParameterFilePath(), config::ListSeparator(),
          os::Today().year};
}

TEST(TemporaryInstallationTest, EverySettingComesBackAndTheFolderGoes) {
  struct Case {
    const char* name;
    InstallationOptions options;
  };
  const Case cases[] = {
      {"none", InstallationOptions()},
      {"shared", InstallationOptions().SharedWithRuntime()},
      {"data", InstallationOptions().WithDataDirectory()},
      {"parameters", InstallationOptions().WithOwnParameterFile()},
      {"all", InstallationOptions()
                  .SharedWithRuntime()
                  .WithDataDirectory()
                  .WithOwnParameterFile()
                  .WithListSeparator('\t')
                  .WithToday({1999, 12, 31})},
  };
  const config::ScopedListSeparator semicolon(';');  // not the default one
  const Settings before = Current();
  for (const Case& c : cases) {
    fs::path root;
    {
      const TemporaryInstallation installation(c.name, c.options);
      ASSERT_TRUE(installation.ready()) << c.name;
      root = installation.root();
      EXPECT_TRUE(fs::is_directory(installation.data_directory())) << c.name;
      EXPECT_EQ(installation.runtime_context() != 0, c.options.share_with_runtime) << c.name;
      if (c.options.set_data_directory) {
        EXPECT_EQ(config::DataDirectory(), installation.data_directory().string()) << c.name;
      }
      if (c.options.own_parameter_file) {
        EXPECT_EQ(config::ParameterFilePath(), installation.parameter_file().string()) << c.name;
      }
      if (c.options.list_separator) {
        EXPECT_EQ(config::ListSeparator(), '\t') << c.name;
      }
      if (c.options.today) {
        EXPECT_EQ(os::Today().year, 1999) << c.name;
      }
    }
    EXPECT_FALSE(fs::exists(root)) << c.name;
    EXPECT_EQ(db::ContextHandle(), 0) << c.name;
    EXPECT_TRUE(Current() == before) << c.name;
  }
}

TEST(TemporaryInstallationTest, RecordsWrittenAreReadBackAndLeftOverBuffersAreCleared) {
  {
    const TemporaryInstallation first("records");
    ASSERT_TRUE(first.ready());
    AddClient("010000011", "DUPONT");
    AddQueryLine("01000011", "TITRE*******", "20260101\tTitre\t", "O");
    // Leaves its buffers dirty, as a test may.
    SetField(FileId::CLIENT, 4, "RESTE");
  }
  const TemporaryInstallation second("records");
  ASSERT_TRUE(second.ready());
  EXPECT_EQ(GetField(FileId::CLIENT, 4), "") << "a buffer kept the last test's record";
  // The first installation's files went with it.
  db::Hlitpremier("CLIENT", "CODCLI");
  EXPECT_TRUE(db::Hendehors());

  AddClient("010000011", "DUPONT");
  AddQueryLine("01000011", "TITRE*******", "20260101\tTitre\t", "O");
  ClearRecordBuffer(FileId::CLIENT);
  db::Hlitrecherche("CLIENT", "CODCLI", "010000011");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(GetField(FileId::CLIENT, 4), "DUPONT");
  db::Hlitrecherche("REQUETES", "CODREQ", "01000011");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(LongText(FileId::REQUETES), "20260101\tTitre\t");
}

TEST(TemporaryInstallationTest, AnExistingInstallationIsOpenedAndLeftInPlace) {
  const TemporaryInstallation owner("existing");
  ASSERT_TRUE(owner.ready());
  const fs::path analysis = owner.root() / "HSF" / "vestra.wdd";
  const fs::path data = owner.data_directory();
  // Closes the owner's engine context first, as a second program would not share it.
  db::Hferme("");
  db::HftermineCTX();
  db::SetContextHandle(0);
  {
    const TemporaryInstallation attached(analysis, data);
    ASSERT_TRUE(attached.ready());
    EXPECT_TRUE(attached.root().empty());
    AddClient("010000011", "DUPONT");
  }
  EXPECT_TRUE(fs::exists(analysis));
  EXPECT_FALSE(fs::is_empty(data)) << "the client file stays in the data directory";
}

TEST(TemporaryInstallationTest, AMissingAnalysisIsAFailureNotACrash) {
  static bool ready = true;  // the failure check below cannot see locals
  EXPECT_NONFATAL_FAILURE(
      {
        const fs::path nowhere = fs::temp_directory_path() / "vz_no_such_folder" / "vestra.wdd";
        const TemporaryInstallation attached(nowhere, nowhere.parent_path());
        ready = attached.ready();
      },
      "cannot open the analysis");
  EXPECT_FALSE(ready);
  EXPECT_EQ(db::ContextHandle(), 0);
}

}  // namespace
}  // namespace vz::testing
