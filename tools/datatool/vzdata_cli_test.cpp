// The command line of vzdata, run as a separate program: exit statuses and
// messages for good and bad use.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/engine/pg_test_support.h"
#include "platform/os/profile_file.h"
#include "tools/datatool/datatool_test_support.h"

namespace vz::datatool {
namespace {

using testing::TempDir;
using testing::WriteText;

struct CommandResult {
  int status;
  std::string output;  // standard output and error
};

CommandResult Vzdata(const std::string& arguments) {
  const std::string command = std::string(VZDATA_PATH) + " " + arguments + " 2>&1";
  CommandResult run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(VzdataCliTest, WrongCommandLinesExitWithTwo) {
  struct Case {
    const char* arguments;
    const char* message;
  };
  const Case cases[] = {
      {"", "usage"},
      {"frobnicate", "unknown command"},
      {"export", "export takes 2 or 3 arguments"},
      {"import /nowhere CLIENT", "import takes 3 arguments"},
      {"generate", "needs an installation"},
      {"generate /tmp/x --clients 10", "needs --clients and --seed"},
      {"generate /tmp/x --clients ten --seed 1", "whole number"},
      {"generate /tmp/x --clients -5 --seed 1", "whole number"},
      {"generate /tmp/x --clients 99999999 --seed 1", "at most"},
      {"generate /tmp/x --clients 10 --seed 1 --colour", "unknown option"},
      {"export /nowhere/at/all CLIENT", "no installation"},
      {"export /tmp NOSUCHFILE", "no file called"},
  };
  for (const Case& c : cases) {
    const CommandResult run = Vzdata(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
  }
}

TEST(VzdataCliTest, GenerateCopiesTheLetterTemplates) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() + "/modeles");
  WriteText(dir.path() + "/modeles/BILAN.HTM", "<p>#0000A</p>");
  WriteText(dir.path() + "/modeles/INVITATION.RTF", "{\\rtf1 #0000A}");
  CommandResult run = Vzdata("generate " + dir.path() + "/a --clients 2 --seed 1 --templates " +
                             dir.path() + "/modeles");
  ASSERT_EQ(run.status, 0) << run.output;
  std::ifstream copied(dir.path() + "/a/DONNEES/INVITATION.RTF", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), {}), "{\\rtf1 #0000A}");
  EXPECT_TRUE(std::ifstream(dir.path() + "/a/DONNEES/BILAN.HTM").good());

  run = Vzdata("generate " + dir.path() + "/b --clients 2 --seed 1 --templates " + dir.path() +
               "/absent");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("letter templates folder"), std::string::npos) << run.output;
  run = Vzdata("generate " + dir.path() + "/c --clients 2 --seed 1 --templates");
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("--templates needs a folder"), std::string::npos) << run.output;
}

TEST(VzdataCliTest, GenerateExportImport) {
  TempDir dir;
  const std::string a = dir.path() + "/a", b = dir.path() + "/b";
  CommandResult run = Vzdata("generate " + a + " --clients 30 --seed 4 --letters");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("30 clients"), std::string::npos) << run.output;
  EXPECT_TRUE(std::ifstream(a + "/DONNEES/LETTRE01.TXT").good());

  // Never written over: the folder exists and is not empty.
  run = Vzdata("generate " + a + " --clients 30 --seed 4");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("not an empty folder"), std::string::npos) << run.output;

  run = Vzdata("export " + a + " client " + dir.path() + "/client.jsonl");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("CLIENT: 30 records exported"), std::string::npos) << run.output;

  ASSERT_EQ(Vzdata("generate " + b + " --clients 1 --seed 4").status, 0);
  run = Vzdata("import --replace " + b + " CLIENT " + dir.path() + "/client.jsonl");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("CLIENT: 30 records imported, 0 rejected"), std::string::npos)
      << run.output;
  EXPECT_EQ(Vzdata("export " + b + " CLIENT").output, Vzdata("export " + a + " CLIENT").output);

  WriteText(dir.path() + "/bad.jsonl", "{\"4\":\"ok\"}\n{\"4\":1}\n");
  run = Vzdata("import " + b + " CLIENT " + dir.path() + "/bad.jsonl");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("line 2: field 4: expected a text"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("0 records imported, 1 rejected"), std::string::npos) << run.output;
}

// An installation's files go to the server its CONNEXIONBASE names and come
// back into another installation with the records as they were; with
// BASEDONNEES=POSTGRESQL the tool itself reads the server.
TEST(VzdataCliTest, CopyToTheServerAndBack) {
  if (engine::testing::TestServerConninfo().empty()) GTEST_SKIP() << "no test server";
  engine::testing::TestSchema schema;
  ASSERT_TRUE(schema.ok());
  TempDir dir;
  const std::string a = dir.path() + "/a", b = dir.path() + "/b";
  ASSERT_EQ(Vzdata("generate " + a + " --clients 30 --seed 4 --queries").status, 0);
  ASSERT_EQ(Vzdata("generate " + b + " --clients 2 --seed 5").status, 0);
  for (const std::string& root : {a, b}) {
    ASSERT_TRUE(os::WriteProfileString(root + "/FIC01/PARAM.DTA", "COMPOSANTS", "CONNEXIONBASE",
                                       schema.conninfo()));
  }
  const std::string clients = Vzdata("export " + a + " CLIENT").output;
  const std::string queries = Vzdata("export " + a + " REQUETES").output;
  ASSERT_NE(clients.find("30 records exported"), std::string::npos) << clients;

  CommandResult run = Vzdata("copy " + a + " to-server");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("CLIENT: 30 records copied"), std::string::npos) << run.output;
  ASSERT_TRUE(
      os::WriteProfileString(a + "/FIC01/PARAM.DTA", "COMPOSANTS", "BASEDONNEES", "POSTGRESQL"));
  EXPECT_EQ(Vzdata("export " + a + " CLIENT").output, clients);  // read from the server
  EXPECT_EQ(Vzdata("export " + a + " REQUETES").output, queries);

  run = Vzdata("copy " + b + " from-server");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Vzdata("export " + b + " CLIENT").output, clients);  // b's own files
  EXPECT_EQ(Vzdata("export " + b + " REQUETES").output, queries);

  EXPECT_EQ(Vzdata("copy " + b + " sideways").status, 2);
  ASSERT_TRUE(os::WriteProfileString(b + "/FIC01/PARAM.DTA", "COMPOSANTS", "CONNEXIONBASE",
                                     "host=/nowhere"));
  run = Vzdata("copy " + b + " to-server");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("cannot reach the database server"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace vz::datatool
