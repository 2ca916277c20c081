// Check and reindex over a real demo installation: wrong key columns are
// rewritten from the records' bytes, missing indexes come back, a damaged
// file is reported and left as it is, and the report says all of it.
#include "tools/veriroru/file_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/cp1252.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/verification.h"
#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using testing::DumpRecords;
using testing::ExecSql;
using testing::FileBytes;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class FileCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ok()) << installation_.error();
    analysis_ = LoadToolAnalysis(installation_.paths());
    ASSERT_TRUE(analysis_.has_value());
  }
  FileCheckResult Check(const std::string& name) {
    return CheckAndReindexFile(installation_.DataFile(name), &*analysis_);
  }

  testing::DemoInstallation installation_;
  std::optional<vz::engine::Analysis> analysis_;
};

TEST_F(FileCheckTest, SoundFilesNeedNothing) {
  for (const char* name : {"CLIENT.vzdb", "REVENUS.vzdb", "REQUETES.vzdb", "PROFES.vzdb"}) {
    const std::string before = DumpRecords(installation_.DataFile(name));
    FileCheckResult result = Check(name);
    EXPECT_TRUE(result.sound()) << name << ": " << ::testing::PrintToString(result.problems);
    EXPECT_EQ(result.keys_rebuilt, 0) << name;
    EXPECT_GT(result.records, 0) << name;
    EXPECT_EQ(DumpRecords(installation_.DataFile(name)), before) << name;
  }
}

// Key columns spoilt in several ways; each time the check puts back exactly
// the keys the engine wrote.
struct KeySpoil {
  const char* name;
  const char* file;
  const char* sql;
  int64_t rebuilt;
};

class WrongKeysTest : public FileCheckTest, public ::testing::WithParamInterface<KeySpoil> {};

TEST_P(WrongKeysTest, AreRewrittenFromTheRecords) {
  const std::string path = installation_.DataFile(GetParam().file);
  const std::string before = DumpRecords(path);
  ASSERT_TRUE(ExecSql(path, GetParam().sql));
  ASSERT_NE(DumpRecords(path), before);
  FileCheckResult result = Check(GetParam().file);
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_EQ(result.keys_rebuilt, GetParam().rebuilt);
  EXPECT_EQ(DumpRecords(path), before);
  // A second check finds nothing more to do.
  EXPECT_EQ(Check(GetParam().file).keys_rebuilt, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Spoils, WrongKeysTest,
    ::testing::Values(
        KeySpoil{"FirstKeyOfTwoRecords", "CLIENT.vzdb",
                 "UPDATE records SET k1 = x'41' WHERE recno IN (2, 5)", 2},
        KeySpoil{"SecondKeyEmptied", "REQUETES.vzdb", "UPDATE records SET k2 = x'' WHERE recno = 1",
                 1},
        KeySpoil{"KeyStoredAsText", "REVENUS.vzdb",
                 "UPDATE records SET k1 = CAST(k1 AS TEXT) WHERE recno = 3", 1},
        KeySpoil{"KeyOneBlankShort", "CLIENT.vzdb",
                 "UPDATE records SET k1 = substr(k1, 1, length(k1) - 1) WHERE recno = 1", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCheckTest, MissingIndexIsMadeAgain) {
  const std::string path = installation_.DataFile("CLIENT.vzdb");
  ASSERT_TRUE(ExecSql(path, "DROP INDEX records_k1"));
  FileCheckResult result = Check("CLIENT.vzdb");
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_TRUE(ExecSql(path, "DROP INDEX records_k1"));  // it is there again
}

TEST_F(FileCheckTest, ChangedKeyRulesRebuildEveryKeyAsTheEngineDoes) {
  const std::string path = installation_.DataFile("REVENUS.vzdb");
  const std::string before = DumpRecords(path);
  ASSERT_TRUE(ExecSql(path,
                      "UPDATE vz_info SET value = 'OLD 1:9' WHERE name = 'key1';"
                      "UPDATE records SET k1 = x'30'"));
  FileCheckResult result = Check("REVENUS.vzdb");
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_EQ(result.keys_rebuilt, result.records);
  EXPECT_THAT(result.repairs, ::testing::Not(IsEmpty()));
  EXPECT_EQ(DumpRecords(path), before);
}

TEST_F(FileCheckTest, DamagedFileIsReportedAndLeftAsItIs) {
  const std::string path = installation_.DataFile("CLIENT.vzdb");
  std::string bytes = FileBytes(path);
  // Everything after the first page (the page size is stored big-endian at
  // offset 16 of the file's header) is overwritten.
  ASSERT_GT(bytes.size(), 18u);
  const std::size_t page_size =
      (static_cast<unsigned char>(bytes[16]) << 8) | static_cast<unsigned char>(bytes[17]);
  ASSERT_GT(bytes.size(), page_size + 4096);
  for (std::size_t i = page_size; i < bytes.size(); i += 5) bytes[i] = static_cast<char>(0x5A);
  testing::WriteBytes(path, bytes);
  FileCheckResult result = Check("CLIENT.vzdb");
  EXPECT_FALSE(result.sound());
  EXPECT_THAT(::testing::PrintToString(result.problems), HasSubstr("endommagé"));
  EXPECT_EQ(FileBytes(path), bytes);
}

TEST_F(FileCheckTest, FilesTheCheckCannotPlace) {
  ASSERT_TRUE(ExecSql(installation_.DataFile("ANNEXE.vzdb"),
                      "UPDATE vz_info SET value = 'NULLEPART' WHERE name = 'file'"));
  EXPECT_THAT(::testing::PrintToString(Check("ANNEXE.vzdb").problems),
              HasSubstr("inconnu de l'analyse"));
  ASSERT_TRUE(ExecSql(installation_.DataFile("PROFES.vzdb"),
                      "UPDATE vz_info SET value = '9' WHERE name = 'format'"));
  EXPECT_THAT(::testing::PrintToString(Check("PROFES.vzdb").problems),
              HasSubstr("format de fichier inconnu"));
  FileCheckResult without_analysis =
      CheckAndReindexFile(installation_.DataFile("CLIENT.vzdb"), nullptr);
  EXPECT_THAT(::testing::PrintToString(without_analysis.problems),
              HasSubstr("analyse introuvable"));
  testing::WriteBytes(installation_.DataFile("VIDE.vzdb"), "");
  EXPECT_TRUE(Check("VIDE.vzdb").sound());  // never written: nothing to check
}

TEST_F(FileCheckTest, ReportNamesEveryFileAndIsStoredInCp1252) {
  ASSERT_TRUE(ExecSql(installation_.DataFile("CLIENT.vzdb"),
                      "UPDATE records SET k1 = x'41' WHERE recno IN (1, 2, 3)"));
  testing::WriteBytes(installation_.DataFile("ABIME.vzdb"), std::string(10000, 'z'));
  VerificationResult result =
      RunVerification(installation_.paths(), &*analysis_, testing::FixedTime(30));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.report_path,
            installation_.paths().data_directory + "/RAPPORTS/verification-20261208-102030.txt");
  EXPECT_THAT(result.report, HasSubstr("CLIENT.vzdb : 24 enregistrements, 3 clés reconstruites, "
                                       "aucun problème"));
  EXPECT_THAT(result.report, HasSubstr("ABIME.vzdb : enregistrements non comptés"));
  EXPECT_THAT(result.report, HasSubstr("1 fichier avec des problèmes, 3 clés reconstruites"));
  const std::string stored = FileBytes(result.report_path);
  EXPECT_THAT(
      stored,
      HasSubstr(vz::os::Cp1252("Vérification et réindexation des fichiers de données") + "\r\n"));
  EXPECT_EQ(stored.find("\xC3\xA9"), std::string::npos);  // no UTF-8 left

  // A second check in the same second keeps the first report.
  VerificationResult again =
      RunVerification(installation_.paths(), &*analysis_, testing::FixedTime(30));
  EXPECT_EQ(again.report_path,
            installation_.paths().data_directory + "/RAPPORTS/verification-20261208-102030-2.txt");
  EXPECT_EQ(FileBytes(result.report_path), stored);
  EXPECT_THAT(again.report, HasSubstr("CLIENT.vzdb : 24 enregistrements, 0 clé reconstruite"));
}

}  // namespace
}  // namespace vz::veriroru
