// What the progress window shows for a step: the place of the file being
// handled, a bar and a share of the files already handled, held within the
// window's bounds whatever the counts.
#include "tools/veriroru/progress_window.h"

#include <gtest/gtest.h>

#include <set>

namespace vz::veriroru {
namespace {

struct CountCase {
  std::size_t done;
  std::size_t total;
  const char* count;
  std::size_t marks;
  const char* percent;
};

class DescribeProgressTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(DescribeProgressTest, PlaceBarAndShare) {
  const CountCase& c = GetParam();
  const ProgressTexts texts =
      DescribeProgress(ProgressStep{ProgressPhase::kBackup, "CLIENT.vzdb", c.done, c.total});
  EXPECT_EQ(texts.count, c.count);
  EXPECT_EQ(texts.bar, std::string(c.marks, '|'));
  EXPECT_EQ(texts.percent, c.percent);
  EXPECT_EQ(texts.file, "CLIENT.vzdb");
  EXPECT_LE(texts.bar.size(), static_cast<std::size_t>(kProgressBarMarks));  // JAUGE length=50
}

INSTANTIATE_TEST_SUITE_P(
    Counts, DescribeProgressTest,
    ::testing::Values(CountCase{0, 25, "1 sur 25", 0, "0 %"},  // the first file, nothing done
                      CountCase{2, 25, "3 sur 25", 4, "8 %"},
                      CountCase{24, 25, "25 sur 25", 48, "96 %"},  // the last is not done yet
                      CountCase{1, 3, "2 sur 3", 16, "33 %"}, CountCase{0, 1, "1 sur 1", 0, "0 %"},
                      CountCase{99, 100, "100 sur 100", 49, "99 %"},
                      // Counts out of bounds never overflow the bar.
                      CountCase{30, 25, "25 sur 25", 50, "100 %"}, CountCase{0, 0, "", 0, "0 %"}));

TEST(DescribeProgress, ShareOfTheFileBeingCopiedMovesTheGauge) {
  const struct {
    std::size_t done;
    std::size_t total;
    double file_share;
    const char* count;
    const char* percent;
  } cases[] = {
      {1, 4, 0.5, "2 sur 4", "37 %"},   // one file and a half of four
      {0, 1, 0.99, "1 sur 1", "99 %"},  // never 100 % before the end
      {0, 2, 2.0, "1 sur 2", "50 %"},   // a share out of bounds counts as the whole file
      {3, 4, -1.0, "4 sur 4", "75 %"},
  };
  for (const auto& c : cases) {
    ProgressStep step{ProgressPhase::kBackup, "LIQUIDIT.vzdb", c.done, c.total, c.file_share};
    const ProgressTexts texts = DescribeProgress(step);
    EXPECT_EQ(texts.count, c.count) << c.file_share;
    EXPECT_EQ(texts.percent, c.percent) << c.file_share;
  }
}

TEST(DescribeProgress, EachPhaseSaysWhatRuns) {
  std::set<std::string> steps;
  for (ProgressPhase phase : {ProgressPhase::kBackup, ProgressPhase::kBackupCheck,
                              ProgressPhase::kRestoreCopy, ProgressPhase::kCheckAndIndex}) {
    const std::string step = DescribeProgress(ProgressStep{phase, "A.vzdb", 0, 1}).step;
    EXPECT_FALSE(step.empty());
    steps.insert(step);
  }
  EXPECT_EQ(steps.size(), 4u);  // the two phases of a restore read differently
}

TEST(BackupPhrase, NamesABackupOrTheFilesARestoreReplaced) {
  struct Case {
    const char* readable;
    const char* title;
  };
  for (const Case& c : {
           Case{"08/12/2026 à 10:20:30", "Restauration de la sauvegarde du 08/12/2026 à 10:20:30"},
           Case{"avant la restauration du 08/12/2026 à 10:20:45",
                "Restauration de la sauvegarde faite avant la restauration du 08/12/2026 à "
                "10:20:45"},
           Case{"vieux-dossier", "Restauration de la sauvegarde du vieux-dossier"},
       }) {
    EXPECT_EQ(RestoreTitle(c.readable), c.title);
  }
}

// The window is opened once, shows each step and is closed whatever way the
// action ends; a library without the window leaves the action unseen.
TEST(ProgressWindow, OpensShowsAndClosesThroughTheSender) {
  std::vector<std::string> sent;
  {
    ProgressWindow window(
        [&](const std::string& command) {
          sent.push_back(command);
          return 0;
        },
        "Vérification et réindexation");
    EXPECT_TRUE(window.is_open());
    window.Report()(ProgressStep{ProgressPhase::kCheckAndIndex, "REVENUS.vzdb", 1, 4});
  }
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(sent.front(), "Ouvre,PROGRESSION");
  EXPECT_EQ(sent.back(), "Ferme");
  auto has = [&](const std::string& command) {
    return std::find(sent.begin(), sent.end(), command) != sent.end();
  };
  EXPECT_TRUE(has("AFFICHE,INTITULE=Vérification et réindexation"));
  EXPECT_TRUE(has("AFFICHE,FICHIER=REVENUS.vzdb"));
  EXPECT_TRUE(has("AFFICHE,COMPTE=2 sur 4"));
  EXPECT_TRUE(has("AFFICHE,POURCENT=25 %"));
  EXPECT_EQ(sent[sent.size() - 2], "MULTITACHE,-2");  // the update is repainted

  sent.clear();
  {
    ProgressWindow missing(
        [&](const std::string& command) {
          sent.push_back(command);
          return -1;
        },
        "Sauvegarde des fichiers de données");
    EXPECT_FALSE(missing.is_open());
    missing.Report()(ProgressStep{ProgressPhase::kBackup, "CLIENT.vzdb", 0, 2});
  }
  EXPECT_EQ(sent, std::vector<std::string>{"Ouvre,PROGRESSION"});
}

}  // namespace
}  // namespace vz::veriroru
