#include "platform/runtime/qt/screenshots.h"

#include <gtest/gtest.h>

#include <QImage>

#include "platform/runtime/field_values.h"
#include "platform/runtime/qt/qt_test_support.h"
#include "platform/runtime/qt/screenshot_samples.h"
#include "platform/runtime/runtime_test_files.h"

namespace vz::runtime {
namespace {

TEST(ScreenshotsTest, EveryWindowBecomesAPictureOfItsSizeWithATitleBar) {
  TestApplication();
  TempDir dir;
  WriteFile(dir.path() / "test.wdl", kAllKindsLibrary);
  const auto run = RenderScreenshots(dir.path() / "test.wdl", dir.path() / "out" / "shots");
  EXPECT_TRUE(run.failures.empty()) << run.failures.front();
  ASSERT_EQ(run.written.size(), 6u);  // FICHE and five message boxes
  QImage fiche(QString::fromStdString((dir.path() / "out/shots/fiche.png").string()));
  ASSERT_FALSE(fiche.isNull());
  EXPECT_EQ(fiche.width(), 640 + 2);
  EXPECT_EQ(fiche.height(), 480 + 31);
  for (const char* box :
       {"question.png", "compter.png", "selection_terminee.png", "abandon.png", "export.png"}) {
    const QImage picture(QString::fromStdString((dir.path() / "out/shots" / box).string()));
    EXPECT_FALSE(picture.isNull()) << box;
    EXPECT_GT(picture.width(), 200) << box;
  }
}

TEST(ScreenshotsTest, FailuresAreReportedNotThrown) {
  TestApplication();
  TempDir dir;
  WriteFile(dir.path() / "bad.wdl", "library X\nwindow W title=\"T\" w=10\nend\n");
  WriteFile(dir.path() / "good.wdl", kAllKindsLibrary);
  WriteFile(dir.path() / "file", "not a directory");
  const struct {
    const char* what;
    std::filesystem::path library;
    std::filesystem::path directory;
  } cases[] = {
      {"missing library", dir.path() / "none.wdl", dir.path() / "out"},
      {"malformed library", dir.path() / "bad.wdl", dir.path() / "out"},
      {"directory is a file", dir.path() / "good.wdl", dir.path() / "file"},
      {"directory below a file", dir.path() / "good.wdl", dir.path() / "file" / "sub"},
  };
  for (const auto& c : cases) {
    const auto run = RenderScreenshots(c.library, c.directory);
    EXPECT_FALSE(run.failures.empty()) << c.what;
    EXPECT_TRUE(run.written.empty()) << c.what;
  }
}

TEST(ScreenshotSamplesTest, SampleCellsFollowTheColumnTitle) {
  const struct {
    const char* title;
    int row;
    std::string expected;
  } cases[] = {
      {"Date", 0, "11/01/2027"},       {"Heure", 1, "09:30"},
      {"Nom", 0, "MARTIN Claire"},     {"Montant maximum", 3, "999999999"},
      {"Rendement maximum", 0, "999"}, {"Rendement minimum", 0, "2,5"},
      {"Inconnue", 2, "Inconnue 3"},   {"Date", -7, "13/01/2027"},  // negative rows stay in range
  };
  for (const auto& c : cases) EXPECT_EQ(SampleCell(c.title, c.row), c.expected) << c.title;
}

TEST(ScreenshotSamplesTest, TypicalStateFillsOnlyWhatIsEmpty) {
  Window window = *AllKindsLibrary().Find("FICHE");
  ASSERT_EQ(AddTableRow(*window.FindField("LIGNES"), "Revenus\t1\t2"), "");
  FillTypicalState(window);
  EXPECT_EQ(window.FindField("LIGNES")->ItemCount(), 1) << "rows already there are kept";
  EXPECT_EQ(window.FindField("FAMILLE")->ItemCount(), 3) << "entries already there are kept";
  EXPECT_EQ(window.FindField("SITU")->value, "1");

  Window empty = window;
  empty.FindField("LIGNES")->rows.clear();
  empty.FindField("LIGNES")->selected = 0;
  FillTypicalState(empty);
  EXPECT_EQ(empty.FindField("LIGNES")->ItemCount(), 5);
  EXPECT_EQ(empty.FindField("LIGNES")->selected, 1);
}

}  // namespace
}  // namespace vz::runtime
