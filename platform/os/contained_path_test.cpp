#include "platform/os/contained_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vz::os {
namespace {

namespace fs = std::filesystem;

class StaysInsideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vz_contained_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "DONNEES" / "LETTRES");
    fs::create_directories(root_ / "ailleurs");
    std::ofstream(root_ / "DONNEES" / "BILAN.HTM") << "<p>#0000A</p>";
    std::ofstream(root_ / "ailleurs" / "secret.htm") << "secret";
    // Links planted in the data directory.
    fs::create_symlink(root_ / "ailleurs" / "secret.htm", Data() / "VOLE.HTM");
    fs::create_symlink(root_ / "ailleurs", Data() / "ETIQUETTES");
    fs::create_symlink("../ailleurs/nouveau.pdf", Data() / "PENDANT.PDF");  // dangling
    fs::create_symlink("BILAN.HTM", Data() / "COPIE.HTM");                  // stays inside
    fs::create_symlink(Data() / "BOUCLE2", Data() / "BOUCLE1");
    fs::create_symlink(Data() / "BOUCLE1", Data() / "BOUCLE2");
    // The data directory itself reached through a link: still inside.
    fs::create_symlink(Data(), root_ / "lien-donnees");
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path Data() const { return root_ / "DONNEES"; }

  fs::path root_;
};

TEST_F(StaysInsideTest, FollowsEveryLinkOnTheWay) {
  struct Case {
    const char* path;  // under the data directory
    bool inside;
  };
  const Case cases[] = {
      {"BILAN.HTM", true},
      {"COPIE.HTM", true},
      {"LETTRES", true},
      {"LETTRES/Q-BILAN/0001-C.htm", true},  // not made yet
      {"", true},
      {"VOLE.HTM", false},
      {"ETIQUETTES", false},
      {"ETIQUETTES/01000001.pdf", false},
      {"PENDANT.PDF", false},
      {"../ailleurs/secret.htm", false},
      {"LETTRES/../../ailleurs", false},
      {"BOUCLE1", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StaysInside(Data().string(), (Data() / c.path).string()), c.inside) << c.path;
  }
  const std::string through_link = (root_ / "lien-donnees").string();
  EXPECT_TRUE(StaysInside(through_link, (Data() / "BILAN.HTM").string()));
  EXPECT_TRUE(StaysInside(Data().string() + "/", through_link + "/LETTRES"));
  EXPECT_FALSE(StaysInside(through_link, (Data() / "VOLE.HTM").string()));
  // A neighbour whose name begins like the folder's is not inside it.
  EXPECT_FALSE(StaysInside((root_ / "DON").string(), Data().string()));
}

}  // namespace
}  // namespace vz::os
