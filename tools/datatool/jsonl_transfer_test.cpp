#include "tools/datatool/jsonl_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/os/whole_file.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "tools/datatool/datatool_test_support.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"

namespace vz::datatool {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteText;
using vz::db::FileId;

// The files a demo installation fills.
constexpr FileId kGeneratedFiles[] = {
    FileId::RUBRIQUE, FileId::PROFES,   FileId::ANNEXE,   FileId::CLIENT,   FileId::ADRESSES,
    FileId::CLIPART,  FileId::REQUETES, FileId::REVENUS,  FileId::EMPRUNTS, FileId::IMPOTS,
    FileId::IMMOBUSA, FileId::IMMORAPP, FileId::FONCIER,  FileId::VALMOBIL, FileId::LIQUIDIT,
    FileId::AUTREVAL, FileId::PRIMEUNI, FileId::RETRAITE, FileId::RETRPERS, FileId::RETRSOUH,
    FileId::PREVSOUH};

std::unique_ptr<EngineSession> OpenSession(const std::string& root) {
  Installation installation;
  std::string error;
  EXPECT_TRUE(LocateInstallation(root, &installation, &error)) << error;
  auto session = EngineSession::Open(installation, &error);
  EXPECT_TRUE(session) << error;
  return session;
}

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    source_ = dir_.path() + "/source";
    target_ = dir_.path() + "/target";
    DemoInstallationOptions options;
    options.data.clients = 150;
    options.data.seed = 11;
    options.data.queries = true;
    GenerateStats stats;
    std::string error;
    ASSERT_TRUE(CreateDemoInstallation(source_, options, nullptr, &stats, &error)) << error;
    ASSERT_TRUE(CreateEmptyInstallation(target_, 0, &error)) << error;
  }

  std::string Export(const std::string& root, FileId file) {
    auto session = OpenSession(root);
    std::ostringstream out;
    int64_t count = 0;
    std::string error;
    EXPECT_TRUE(ExportRecords(*session, file, out, &count, &error)) << error;
    return out.str();
  }

  bool Import(const std::string& root, FileId file, const std::string& path, bool replace,
              ImportReport* report) {
    auto session = OpenSession(root);
    std::string error;
    return ImportRecords(*session, file, path, replace, report, &error);
  }

  std::vector<std::string> Records(const std::string& root, FileId file) {
    auto session = OpenSession(root);
    return ReadAll(*session, file);
  }

  TempDir dir_;
  std::string source_, target_;
};

TEST_F(TransferTest, EveryGeneratedFileRoundTripsToIdenticalBytes) {
  for (FileId file : kGeneratedFiles) {
    const std::string name(vz::db::Describe(file).name);
    SCOPED_TRACE(name);
    const std::string lines = Export(source_, file);
    const std::string path = WriteText(dir_.path() + "/" + name + ".jsonl", lines);
    ImportReport report;
    ASSERT_TRUE(Import(target_, file, path, false, &report)) << report.problems.size();
    const std::vector<std::string> before = Records(source_, file);
    const std::vector<std::string> after = Records(target_, file);
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(report.records, static_cast<int64_t>(before.size()));
    EXPECT_EQ(report.texts_cut, 0);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) ASSERT_EQ(after[i], before[i]) << "record " << i;
    // And the export of the copy is the same text.
    EXPECT_EQ(Export(target_, file), lines);
  }
}

TEST_F(TransferTest, RejectedLinesAreNamedAndNothingIsImported) {
  const std::string good = "{\"1\":\"40\",\"2\":\"999\",\"3\":\"Essai\"}\n";
  const std::string path =
      WriteText(dir_.path() + "/bad.jsonl",
                good + "\n" + good + "{\"1\":40}\n" + good + "not json\n{\"7\":\"key\"}\n" + good);
  const size_t count = Records(source_, FileId::RUBRIQUE).size();
  for (bool replace : {false, true}) {
    ImportReport report;
    EXPECT_FALSE(Import(source_, FileId::RUBRIQUE, path, replace, &report));
    EXPECT_EQ(report.rejected, 3);
    EXPECT_EQ(report.records, 0);
    ASSERT_EQ(report.problems.size(), 3u);
    EXPECT_EQ(report.problems[0].rfind("line 4: field 1: expected a text", 0), 0u)
        << report.problems[0];
    EXPECT_EQ(report.problems[1].rfind("line 6: not valid JSON", 0), 0u) << report.problems[1];
    EXPECT_EQ(report.problems[2].rfind("line 7: field 7 is a key", 0), 0u) << report.problems[2];
    EXPECT_EQ(Records(source_, FileId::RUBRIQUE).size(), count) << "replace " << replace;
  }
}

TEST_F(TransferTest, ReplaceEmptiesTheFileFirstAndAppendKeepsIt) {
  const std::string path =
      WriteText(dir_.path() + "/one.jsonl",
                "\xEF\xBB\xBF{\"1\":\"RM\",\"2\":\"009\",\"3\":\"R\xC3\xA9gime\"}\r\n\r\n");
  const size_t count = Records(source_, FileId::ANNEXE).size();
  ImportReport report;
  ASSERT_TRUE(Import(source_, FileId::ANNEXE, path, false, &report));
  EXPECT_EQ(report.lines, 2);
  EXPECT_EQ(Records(source_, FileId::ANNEXE).size(), count + 1);
  ASSERT_TRUE(Import(source_, FileId::ANNEXE, path, true, &report));
  const std::vector<std::string> after = Records(source_, FileId::ANNEXE);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(vz::db::GetText(reinterpret_cast<const uint8_t*>(after[0].data()), 7, 30), "R\xE9gime");
}

TEST_F(TransferTest, LongTextsAreCutReportedAndImported) {
  const std::string path =
      WriteText(dir_.path() + "/long.jsonl",
                "{\"1\":\"RM\",\"2\":\"0099\",\"3\":\"" + std::string(40, 'x') + "\"}\n");
  ImportReport report;
  ASSERT_TRUE(Import(target_, FileId::ANNEXE, path, false, &report));
  EXPECT_EQ(report.records, 1);
  EXPECT_EQ(report.texts_cut, 2);
  ASSERT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.problems[0], "line 1: field 2: text of 4 characters cut to 3");
  EXPECT_EQ(report.problems[1], "line 1: field 3: text of 40 characters cut to 30");
}

TEST_F(TransferTest, HostileInputs) {
  const size_t count = Records(source_, FileId::RUBRIQUE).size();
  struct Case {
    const char* what;
    std::string contents;
    const char* problem;
  };
  const Case cases[] = {
      {"line over the limit", std::string(kMaxLineBytes + 10, ' ') + "\n{}\n",
       "line 1: line longer"},
      {"binary bytes", std::string("\0\x01\x02\xFF\n", 5), "line 1: not valid JSON"},
      {"unbalanced nesting", "{\"3\":[[[[[[[[[[\n", "line 1: values nested too deeply"},
  };
  for (const Case& c : cases) {
    const std::string path = WriteText(dir_.path() + "/hostile.jsonl", c.contents);
    ImportReport report;
    EXPECT_FALSE(Import(source_, FileId::RUBRIQUE, path, true, &report)) << c.what;
    ASSERT_FALSE(report.problems.empty()) << c.what;
    EXPECT_EQ(report.problems[0].rfind(c.problem, 0), 0u) << c.what << ": " << report.problems[0];
  }
  ImportReport report;
  EXPECT_FALSE(Import(source_, FileId::RUBRIQUE, dir_.path() + "/missing.jsonl", true, &report));
  EXPECT_EQ(Records(source_, FileId::RUBRIQUE).size(), count);
}

TEST_F(TransferTest, OnlyTheFirstProblemsAreListed) {
  std::string contents;
  for (int i = 0; i < 200; ++i) contents += "[]\n";
  const std::string path = WriteText(dir_.path() + "/many.jsonl", contents);
  ImportReport report;
  EXPECT_FALSE(Import(target_, FileId::RUBRIQUE, path, false, &report));
  EXPECT_EQ(report.rejected, 200);
  EXPECT_EQ(report.problems.size(), kMaxListedProblems);
}

TEST_F(TransferTest, ParameterFileAsTheSuiteWritesIt) {
  std::string text;
  ASSERT_TRUE(vz::os::ReadWholeFile(source_ + "/FIC01/PARAM.DTA", &text));
  EXPECT_EQ(text, "[COMPOSANTS]\r\nREPERTOIREF=..\\DONNEES,\r\nDPIOK=1,\r\nNUMREQ=000012,\r\n");
  ASSERT_TRUE(vz::os::ReadWholeFile(target_ + "/FIC01/PARAM.DTA", &text));
  EXPECT_EQ(text.find("NUMREQ"), std::string::npos) << "no counter without queries";
}

TEST_F(TransferTest, AFileWithoutKeyCannotBeExportedInOrder) {
  auto session = OpenSession(source_);
  std::ostringstream out;
  int64_t count = 0;
  std::string error;
  EXPECT_FALSE(ExportRecords(*session, FileId::CAISSRET, out, &count, &error));
  EXPECT_NE(error.find("CAISSRET has no key"), std::string::npos) << error;
  EXPECT_TRUE(out.str().empty());
}

TEST_F(TransferTest, AnEmptyOrMissingFileExportsNothing) {
  auto session = OpenSession(target_);
  std::ostringstream out;
  int64_t count = -1;
  std::string error;
  EXPECT_TRUE(ExportRecords(*session, FileId::CLIENT, out, &count, &error)) << error;
  EXPECT_EQ(count, 0);
  EXPECT_EQ(out.str(), "");
}

TEST_F(TransferTest, ADamagedAnalysisIsNamed) {
  Installation installation;
  std::string error;
  ASSERT_TRUE(LocateInstallation(target_, &installation, &error)) << error;
  for (const char* text : {"", "VZANALYSIS 1\nFILE\n", "\x01\x02 binary\n"}) {
    WriteText(installation.analysis_file, text);
    error.clear();
    EXPECT_EQ(EngineSession::Open(installation, &error), nullptr) << text;
    EXPECT_NE(error.find(installation.analysis_file), std::string::npos) << error;
  }
}

TEST(ReadLineTest, SplitsLinesAndCapsTheirLength) {
  std::istringstream in("ab\r\ncdefgh\n\nlast");
  std::string line;
  bool too_long = false;
  ASSERT_TRUE(ReadLine(in, 4, &line, &too_long));
  EXPECT_EQ(line, "ab");
  EXPECT_FALSE(too_long);
  ASSERT_TRUE(ReadLine(in, 4, &line, &too_long));
  EXPECT_EQ(line, "cdef");
  EXPECT_TRUE(too_long);
  ASSERT_TRUE(ReadLine(in, 4, &line, &too_long));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(ReadLine(in, 4, &line, &too_long));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(ReadLine(in, 4, &line, &too_long));
}

TEST(InstallationTest, DataDirectoryIsResolvedFromTheProgramDirectory) {
  struct Row {
    const char* field;
    const char* expected;
  };
  const Row rows[] = {{"..\\DONNEES", "/inst/DONNEES"},
                      {"DONNEES", "/inst/VUZUVIZA/DONNEES"},
                      {"..\\..\\autre\\DATA\\", "/autre/DATA"},
                      {"/srv/donnees", "/srv/donnees"},
                      {"D:\\VESTRA", "/VESTRA"},
                      {".", "/inst/VUZUVIZA"}};
  for (const Row& r : rows) {
    EXPECT_EQ(ResolveDataDirectory("/inst/VUZUVIZA", r.field), r.expected) << r.field;
  }
  EXPECT_EQ(FirstField("..\\DONNEES,"), "..\\DONNEES");
  EXPECT_EQ(FirstField("a,b,"), "a");
  EXPECT_EQ(FirstField(""), "");
}

TEST(InstallationTest, MissingPiecesAreNamed) {
  TempDir dir;
  const std::string root = dir.path() + "/inst";
  std::string error;
  Installation installation;
  EXPECT_FALSE(LocateInstallation(root, &installation, &error));
  EXPECT_NE(error.find("no installation"), std::string::npos) << error;
  ASSERT_TRUE(CreateEmptyInstallation(root, 0, &error)) << error;
  ASSERT_TRUE(LocateInstallation(root, &installation, &error)) << error;
  EXPECT_EQ(installation.data_directory, InstallationPaths(root).root + "/DONNEES");

  std::filesystem::remove(installation.analysis_file);
  EXPECT_FALSE(LocateInstallation(root, &installation, &error));
  EXPECT_NE(error.find("missing analysis"), std::string::npos) << error;

  WriteText(installation.parameter_file, "[COMPOSANTS]\r\nREPERTOIREF=..\\AILLEURS,\r\n");
  EXPECT_FALSE(LocateInstallation(root, &installation, &error));
  EXPECT_NE(error.find("does not exist"), std::string::npos) << error;

  WriteText(installation.parameter_file, "[AUTRE]\r\nREPERTOIREF=..\\DONNEES,\r\n");
  EXPECT_FALSE(LocateInstallation(root, &installation, &error));
  EXPECT_NE(error.find("no REPERTOIREF"), std::string::npos) << error;

  std::filesystem::remove(installation.parameter_file);
  EXPECT_FALSE(LocateInstallation(root, &installation, &error));
  EXPECT_NE(error.find("missing parameter file"), std::string::npos) << error;

  // A second installation is never written over an existing one.
  EXPECT_FALSE(CreateEmptyInstallation(root, 0, &error));
  EXPECT_NE(error.find("not an empty folder"), std::string::npos) << error;
}

}  // namespace
}  // namespace vz::datatool
