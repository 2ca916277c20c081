// The selection run against the real engine and the recording screen
// runtime: files of elementary and combined queries, skipped names, the
// progress window's commands, the title record, refused expansions, a client
// deleted during the run and a run interrupted half-way. Every run has a step
// limit, so that a run that no longer moves on fails at once.
#include "src/selection/selection_run.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/db/record_ops.h"
#include "src/selection/selection_run_progress.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/recording_runtime.h"

namespace vz::selection {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using vz::testing::RecordingRuntime;

Lines CommandsStartingWith(std::string_view prefix) {
  Lines found;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.rfind(prefix, 0) == 0) found.push_back(command);
  }
  return found;
}

// Six clients, two of them skipped by their names.
void AddClients(SelectionTestDatabase& db) {
  db.AddClient("100000011", "(ARCHIVE");
  db.AddClient("100000021", "ALPHA");
  db.AddClient("100000022", "BRAVO");
  db.AddClient("100000031", "*DOUBLON");
  db.AddClient("100000041", "CHARLIE");
  db.AddClient("100000051", "DELTA");
}

void AddNameQuery(SelectionTestDatabase& db, std::string_view code, std::string_view from,
                  std::string_view to) {
  db.AddElementaryQuery(code);
  db.AddQueryLine(code, "NOMCLI******", std::string(from) + "\t" + std::string(to) + "\t");
}

TEST(SelectionRunTest, QueryWithoutCriteriaSelectsEveryClientNotSkipped) {
  SelectionTestDatabase db;
  AddClients(db);
  db.AddElementaryQuery("01000001");
  ASSERT_TRUE(db.RunWithinStepLimit("01000001"));
  EXPECT_EQ(db.ReadSelectionFile("01000001"),
            "100000021\r\n100000022\r\n100000041\r\n100000051\r\n");
  EXPECT_EQ(db.TitleState("01000001"), "O");
  for (const fs::directory_entry& entry : fs::directory_iterator(db.data_directory())) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

TEST(SelectionRunTest, QueryThatMatchesNoRecordSelectsEveryClient) {
  SelectionTestDatabase db;
  AddClients(db);
  ASSERT_TRUE(db.RunWithinStepLimit("01000099"));
  EXPECT_EQ(db.SelectionLines("01000099").size(), 4u);
}

TEST(SelectionRunTest, EmptyClientFileGivesAnEmptyFile) {
  SelectionTestDatabase db;
  db.AddElementaryQuery("01000001");
  ASSERT_TRUE(db.RunWithinStepLimit("01000001"));
  EXPECT_TRUE(db.SelectionFileExists("01000001"));
  EXPECT_EQ(db.ReadSelectionFile("01000001"), "");
  EXPECT_TRUE(CommandsStartingWith("AFFICHE,CHEVAL").empty());
}

TEST(SelectionRunTest, ProgressWindowCommands) {
  SelectionTestDatabase db;
  AddClients(db);
  db.AddClient("100000061", "(FIN");
  db.AddElementaryQuery("01000001");
  ASSERT_TRUE(db.RunWithinStepLimit("01000001"));
  EXPECT_EQ(CommandsStartingWith("Ouvre,EX_attente").size(), 1u);
  EXPECT_EQ(CommandsStartingWith("AFFICHE,INTITULE="),
            Lines{os::Cp1252("AFFICHE,INTITULE=Sélection des personnes")});
  EXPECT_EQ(CommandsStartingWith("AFFICHE,NBTOTAL="), Lines{"AFFICHE,NBTOTAL=7"});
  // The first record is skipped without a step; "*DOUBLON" is counted on
  // the record reached after it; the last, skipped, ends the file.
  EXPECT_EQ(CommandsStartingWith("AFFICHE,NOM="),
            (Lines{"AFFICHE,NOM=ALPHA", "AFFICHE,NOM=ALPHA", "AFFICHE,NOM=BRAVO",
                   "AFFICHE,NOM=CHARLIE", "AFFICHE,NOM=CHARLIE", "AFFICHE,NOM=DELTA"}));
  EXPECT_EQ(CommandsStartingWith("AFFICHE,NbTraite="),
            (Lines{"AFFICHE,NbTraite=1", "AFFICHE,NbTraite=2", "AFFICHE,NbTraite=3",
                   "AFFICHE,NbTraite=4", "AFFICHE,NbTraite=5", "AFFICHE,NbTraite=6"}));
  EXPECT_EQ(CommandsStartingWith("EXECUTE,NbTraite.entree").size(), 6u);
  EXPECT_EQ(CommandsStartingWith("AFFICHE,CHEVAL="),
            (Lines{"AFFICHE,CHEVAL=HORSE2A.BMP", "AFFICHE,CHEVAL=HORSE3A.BMP",
                   "AFFICHE,CHEVAL=HORSE1A.BMP", "AFFICHE,CHEVAL=HORSE2A.BMP",
                   "AFFICHE,CHEVAL=HORSE3A.BMP", "AFFICHE,CHEVAL=HORSE1A.BMP"}));
  EXPECT_EQ(CommandsStartingWith("Ferme").size(), 1u);
  EXPECT_EQ(RecordingRuntime::Get().Commands().back(), "Ferme");
}

TEST(SelectionRunTest, HorsePicturesCycleFromTheSecond) {
  const Lines expected = {"HORSE1A.BMP", "HORSE2A.BMP", "HORSE3A.BMP", "HORSE1A.BMP"};
  for (int steps = 0; steps < 4; ++steps) EXPECT_EQ(HorsePicture(steps), expected[steps]);
  EXPECT_EQ(HorsePicture(3000000001LL), "HORSE2A.BMP");  // beyond 32 bits
}

TEST(SelectionRunTest, CombinedQueryWritesEveryFileAndMarksOnlyItsTitle) {
  SelectionTestDatabase db;
  AddClients(db);
  AddNameQuery(db, "01000001", "A", "C");          // ALPHA BRAVO
  AddNameQuery(db, "01000002", "B", "E");          // BRAVO CHARLIE DELTA
  AddNameQuery(db, "01000003", "DELTA", "DELTA");  // DELTA
  AddNameQuery(db, "01000004", "Z", "");           // nobody
  db.AddCombinedQuery("01000010", "01000001", "ET", "01000002");
  db.AddCombinedQuery("01000011", "01000003", "OU", "01000004");
  db.AddCombinedQuery("01000012", "01000010", "OU", "01000011");
  ASSERT_TRUE(db.RunWithinStepLimit("01000012"));
  EXPECT_EQ(db.SelectionLines("01000001"), (Lines{"100000021", "100000022"}));
  EXPECT_EQ(db.SelectionLines("01000002"), (Lines{"100000022", "100000041", "100000051"}));
  EXPECT_EQ(db.SelectionLines("01000003"), (Lines{"100000051"}));
  EXPECT_EQ(db.SelectionLines("01000004"), Lines{});
  EXPECT_EQ(db.SelectionLines("01000010"), (Lines{"100000022"}));
  EXPECT_EQ(db.SelectionLines("01000011"), (Lines{"100000051"}));
  EXPECT_EQ(db.SelectionLines("01000012"), (Lines{"100000022", "100000051"}));
  EXPECT_EQ(db.TitleState("01000012"), "O");
  EXPECT_EQ(db.TitleState("01000010"), " ");
  EXPECT_EQ(db.TitleState("01000001"), " ");
  // One pass, and one window opening, per elementary query; one closing.
  EXPECT_EQ(CommandsStartingWith("Ouvre,EX_attente").size(), 4u);
  EXPECT_EQ(CommandsStartingWith("Ferme").size(), 1u);
}

TEST(SelectionRunTest, PostcodeCriterionReadsEachClientsAddress) {
  SelectionTestDatabase db;
  db.AddClient("100000011", "ALPHA", "75012");
  db.AddClient("100000021", "BRAVO", "69003");
  db.AddClient("100000031", "CHARLIE", "75999");
  db.AddClient("100000041", "DELTA", "76000");
  db.AddElementaryQuery("01000001");
  db.AddQueryLine("01000001", "CODPOST*****", "75000\t75999\t");
  ASSERT_TRUE(db.RunWithinStepLimit("01000001"));
  EXPECT_EQ(db.SelectionLines("01000001"), (Lines{"100000011", "100000031"}));
}

TEST(SelectionRunTest, QueryCombinedWithItselfKeepsItsSelection) {
  SelectionTestDatabase db;
  AddClients(db);
  AddNameQuery(db, "01000001", "B", "C");  // BRAVO
  db.AddCombinedQuery("01000010", "01000001", "OU", "01000001");
  ASSERT_TRUE(db.RunWithinStepLimit("01000010"));
  EXPECT_EQ(db.SelectionLines("01000010"), (Lines{"100000022"}));
  EXPECT_EQ(CommandsStartingWith("Ouvre,EX_attente").size(), 2u);
}

TEST(SelectionRunTest, RefusedExpansionsChangeNothing) {
  struct Case {
    const char* name;
    int chain;  // combined queries in a chain, or 0 for a cycle
    const char* message;
  };
  for (const Case& c : {Case{"25 combined queries", 25, "Trop de combinaisons"},
                        Case{"cycle", 0, "se contient elle-m"}}) {
    SCOPED_TRACE(c.name);
    SelectionTestDatabase db;
    AddClients(db);
    db.AddElementaryQuery("01009000");
    if (c.chain == 0) {
      db.AddCombinedQuery("01000100", "01000101", "OU", "01009000");
      db.AddCombinedQuery("01000101", "01000100", "ET", "01009000");
    }
    for (int i = 0; i < c.chain; ++i) {
      const std::string next = i + 1 < c.chain ? "01000" + std::to_string(101 + i) : "01009000";
      db.AddCombinedQuery("01000" + std::to_string(100 + i), next, "OU", "01009000");
    }
    EXPECT_FALSE(db.RunWithinStepLimit("01000100"));
    const Lines errors = CommandsStartingWith("Erreur,");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(c.message), std::string::npos);
    EXPECT_TRUE(CommandsStartingWith("Ouvre").empty());
    EXPECT_TRUE(CommandsStartingWith("Ferme").empty());
    for (const fs::directory_entry& entry : fs::directory_iterator(db.data_directory())) {
      EXPECT_NE(entry.path().extension(), ".EXT") << entry.path();
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
    EXPECT_EQ(db.TitleState("01000100"), " ");
  }
}

// A code that cannot name its files alone (src/db/query_code.h) is refused
// before anything runs: its selection file would be another query's.
TEST(SelectionRunTest, ACodeThatCannotNameItsFilesIsRefused) {
  for (const std::string code : {"0100:001", "0100a001"}) {
    SCOPED_TRACE(code);
    SelectionTestDatabase db;
    AddClients(db);
    db.AddElementaryQuery(code);
    EXPECT_FALSE(RunSelection(code));
    const Lines errors = CommandsStartingWith("Erreur,");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(os::Cp1252("« ") + code + os::Cp1252(" »")), std::string::npos);
    EXPECT_NE(errors[0].find(os::Cp1252("la sélection n'est pas lancée")), std::string::npos);
    EXPECT_TRUE(CommandsStartingWith("Ouvre").empty());
    for (const fs::directory_entry& entry : fs::directory_iterator(db.data_directory())) {
      EXPECT_NE(entry.path().extension(), ".EXT") << entry.path();
    }
    EXPECT_EQ(db.TitleState(code), " ");
  }
}

// A selection file that cannot be written (here a folder stands in its way)
// stops the run with a message naming it, after the progress window closes;
// the query is not marked as selected and nothing else is removed.
TEST(SelectionRunTest, ASelectionFileThatCannotBeWrittenStopsTheRun) {
  for (const std::string blocked : {"01000001", "01000010"}) {  // an operand, the group
    SCOPED_TRACE(blocked);
    SelectionTestDatabase db;
    AddClients(db);
    db.AddElementaryQuery("01000001");
    db.AddElementaryQuery("01000002");
    db.AddCombinedQuery("01000010", "01000001", "OU", "01000002");
    const fs::path in_the_way = db.data_directory() / (blocked + ".EXT");
    fs::create_directories(in_the_way / "inside");
    EXPECT_FALSE(RunSelection("01000010"));
    Lines commands = RecordingRuntime::Get().Commands();
    std::erase_if(commands, [](const std::string& c) {
      return c.starts_with(
          "EX\xE9"
          "CUTE(");
    });
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], "Ferme");
    EXPECT_EQ(commands.back(), os::Cp1252("Erreur,Le fichier de sélection " + blocked +
                                          ".EXT n'a pas pu être écrit dans le répertoire des "
                                          "données : la sélection est arrêtée."));
    EXPECT_TRUE(fs::is_directory(in_the_way / "inside"));
    EXPECT_EQ(db.TitleState("01000010"), " ");
    for (const fs::directory_entry& entry : fs::directory_iterator(db.data_directory())) {
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
  }
}

TEST(SelectionRunTest, TwentyFourCombinedQueriesAreRun) {
  SelectionTestDatabase db;
  AddClients(db);
  AddNameQuery(db, "01009000", "B", "C");  // BRAVO
  for (int i = 0; i < 24; ++i) {
    const std::string next = i + 1 < 24 ? "01000" + std::to_string(101 + i) : "01009000";
    db.AddCombinedQuery("01000" + std::to_string(100 + i), next, "OU", "01009000");
  }
  ASSERT_TRUE(db.RunWithinStepLimit("01000100"));
  EXPECT_EQ(db.SelectionLines("01000100"), (Lines{"100000022"}));
  EXPECT_EQ(db.SelectionLines("01000123"), (Lines{"100000022"}));
}

// A retirement criterion makes the run restore its position in the client
// file after each client; every client passes it (no pension, range 0-5).
TEST(SelectionRunTest, PositionIsRestoredAcrossDuplicateCodes) {
  SelectionTestDatabase db;
  AddClients(db);
  db.AddClient("100000041", "CHARLIE BIS");  // a duplicate code
  db.AddElementaryQuery("01000001");
  db.AddQueryLine("01000001", "2000A*******", "0\t5\t");
  ASSERT_TRUE(db.RunWithinStepLimit("01000001"));
  EXPECT_EQ(db.SelectionLines("01000001"),
            (Lines{"100000021", "100000022", "100000041", "100000041", "100000051"}));
}

TEST(SelectionRunTest, ClientDeletedDuringTheRunDoesNotEndIt) {
  SelectionTestDatabase db;
  AddClients(db);
  db.AddElementaryQuery("01000001");
  db.AddQueryLine("01000001", "2000A*******", "0\t5\t");
  // Another user of the suite deletes BRAVO while the run shows it.
  bool deleted = false;
  RecordingRuntime::Get().SetCommandHook([&](const std::string& command) {
    if (deleted || command != "AFFICHE,NOM=BRAVO") return;
    deleted = true;
    db::Hlitrecherche("CLIENT", "CODCLI", "100000022");
    db::Hsupprime("CLIENT");
  });
  ASSERT_TRUE(db.RunWithinStepLimit("01000001"));
  EXPECT_TRUE(deleted);
  const Lines lines = db.SelectionLines("01000001");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "100000021");
  EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"100000041", "100000051"}));
}

// The step limit itself: a run whose client file is put back on the first
// client at every step never reaches the end, and is stopped with a failure
// that says so; it leaves no selection file.
TEST(SelectionRunTest, RunThatNoLongerMovesOnIsStopped) {
  SelectionTestDatabase db;
  AddClients(db);
  db.AddElementaryQuery("01000001");
  RecordingRuntime::Get().SetCommandHook([](const std::string& command) {
    if (command.rfind("AFFICHE,NOM=", 0) == 0) db::Hlitrecherche("CLIENT", "CODCLI", "100000021");
  });
  bool finished = true;
  EXPECT_NONFATAL_FAILURE(finished = db.RunWithinStepLimit("01000001"),
                          "more than 600 progress steps in one pass over a client file of 6");
  EXPECT_FALSE(finished);
  EXPECT_FALSE(db.SelectionFileExists("01000001"));
}

TEST(SelectionRunTest, InterruptedRunLeavesNoFileUnderTheFinalName) {
  SelectionTestDatabase db;
  AddClients(db);
  db.AddElementaryQuery("01000001");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecordingRuntime::Get().SetCommandHook([](const std::string& command) {
      if (command == "AFFICHE,NOM=CHARLIE") _exit(3);  // the power goes
    });
    db.RunWithinStepLimit("01000001");
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_FALSE(db.SelectionFileExists("01000001"));
  EXPECT_EQ(db.TitleState("01000001"), " ");
}

}  // namespace
}  // namespace vz::selection
