// Clean-up of the temporary files of killed writers: only this host's files
// of ended processes go.
#include "src/util/leftover_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "src/util/replacing_file.h"

namespace vz::util {
namespace {

namespace fs = std::filesystem;

// A pid that no process has any more: a child that has ended and been reaped.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

std::string Temporary(std::string_view host, pid_t pid) {
  return "01000001.EXT." + std::string(host) + "." + std::to_string(pid) + ".3.tmp";
}

TEST(LeftoverFilesTest, OnlyThisHostsFilesOfEndedProcessesAreRemoved) {
  const fs::path folder =
      fs::temp_directory_path() / ("vz_leftovers_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "SOUS");
  const pid_t ended = EndedProcess();
  ASSERT_GT(ended, 0);
  const std::string other_host = ThisHostPart() == "autre-poste" ? "poste-b" : "autre-poste";
  struct Case {
    std::string name;
    bool removed;
  };
  const Case cases[] = {
      {Temporary(ThisHostPart(), ended), true},
      {"lettres.pdf." + ThisHostPart() + "." + std::to_string(ended) + ".1.tmp", true},
      {Temporary(ThisHostPart(), ::getpid()), false},   // this process is writing it
      {Temporary(ThisHostPart(), ::getppid()), false},  // a running process
      {Temporary(other_host, ended), false},            // another workstation's
      {"01000001.EXT.tmp", false},                      // not our pattern
      {"01000001.EXT", false},
      {"notes.txt", false},
  };
  for (const Case& c : cases) std::ofstream(folder / c.name) << "x";
  // A folder with a leftover's name, and a leftover one folder down, stay.
  fs::create_directories(folder / ("d" + Temporary(ThisHostPart(), ended)));
  std::ofstream(folder / "SOUS" / Temporary(ThisHostPart(), ended)) << "x";

  EXPECT_EQ(RemoveLeftoverTemporaryFiles(folder.string()), 2);
  for (const Case& c : cases) EXPECT_EQ(fs::exists(folder / c.name), !c.removed) << c.name;
  EXPECT_TRUE(fs::is_directory(folder / ("d" + Temporary(ThisHostPart(), ended))));
  EXPECT_TRUE(fs::exists(folder / "SOUS" / Temporary(ThisHostPart(), ended)));
  EXPECT_EQ(RemoveLeftoverTemporaryFiles((folder / "missing").string()), 0);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vz::util
